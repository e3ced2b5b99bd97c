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

// The empty text when every function is bound.
std::string LoadOnce() {
    // libcrypto comes with libssl, and its functions are found through it.
    void* library = ::dlopen(VFTP_LIBSSL_NAME, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* error = ::dlerror();
        return std::string("TLS is not available: cannot load ") + VFTP_LIBSSL_NAME +
               (error ? std::string(" (") + error + ")" : "");
    }
    std::string why;
#define VFTP_OPENSSL_BIND(name) &&Bind(library, #name, ossl::name, why)
    if (true VFTP_OPENSSL_FUNCTIONS(VFTP_OPENSSL_BIND)) return {};
#undef VFTP_OPENSSL_BIND
    return why;
}

}  // namespace

bool LoadOpenSsl(std::string& Why) {
    static const std::string failure = LoadOnce();
    Why = failure;
    return failure.empty();
}
