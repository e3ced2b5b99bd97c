// Binding the OpenSSL functions at their first use.
#include "net/OpenSslLibrary.h"

#include <dlfcn.h>

namespace ossl {
#define VFTP_OPENSSL_POINTER(name) decltype(&::name) name = nullptr;
VFTP_OPENSSL_FUNCTIONS(VFTP_OPENSSL_POINTER)
#undef VFTP_OPENSSL_POINTER
}  // namespace ossl

namespace {

template <typename Function>
bool Bind(void* library, const char* name, Function& function, std::string& why) {
    function = reinterpret_cast<Function>(::dlsym(library, name));
    if (function == nullptr) why = std::string("TLS is not available: ") + VFTP_LIBSSL_NAME + " has no " + name;
    return function != nullptr;
}

void* library = nullptr;

// The empty text when every function is bound.
std::string LoadOnce() {
    // libcrypto comes with libssl, and its functions are found through it.
    library = ::dlopen(VFTP_LIBSSL_NAME, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* error = ::dlerror();
        return std::string("TLS is not available: cannot load ") + VFTP_LIBSSL_NAME +
               (error ? std::string(" (") + error + ")" : "");
    }
    std::string why;
#define VFTP_OPENSSL_BIND(name) &&Bind(library, #name, ossl::name, why)
    if (!(true VFTP_OPENSSL_FUNCTIONS(VFTP_OPENSSL_BIND))) return why;
#undef VFTP_OPENSSL_BIND
    // Before any other call: the first initialisation decides what is loaded.
    if (ossl::OPENSSL_init_ssl(OPENSSL_INIT_NO_LOAD_CRYPTO_STRINGS, nullptr) != 1)
        return "TLS is not available: OpenSSL cannot start";
    return {};
}

// OpenSSL loads libcrypto's texts only once, at its initialisation; later
// they come one library at a time, through these (kept for compatibility,
// so looked up rather than required).
void LoadErrorTextsOnce() {
    static const char* const loaders[] = {"ERR_load_ASN1_strings", "ERR_load_BIO_strings",    "ERR_load_BN_strings",
                                          "ERR_load_BUF_strings",  "ERR_load_CONF_strings",   "ERR_load_CRYPTO_strings",
                                          "ERR_load_DH_strings",   "ERR_load_DSA_strings",    "ERR_load_EC_strings",
                                          "ERR_load_EVP_strings",  "ERR_load_OBJ_strings",    "ERR_load_OSSL_STORE_strings",
                                          "ERR_load_PEM_strings",  "ERR_load_PKCS12_strings", "ERR_load_RAND_strings",
                                          "ERR_load_RSA_strings",  "ERR_load_X509_strings",   "ERR_load_X509V3_strings"};
    for (const char* name : loaders)
        if (auto load = reinterpret_cast<int (*)()>(::dlsym(library, name))) (void)load();
}

}  // namespace

bool LoadOpenSsl(std::string& Why) {
    static const std::string failure = LoadOnce();
    Why = failure;
    return failure.empty();
}

void LoadOpenSslErrorTexts() {
    static const bool loaded = (LoadErrorTextsOnce(), true);
    (void)loaded;
}
