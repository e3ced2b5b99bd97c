// The shared client context and OpenSSL's error texts.
#include "net/SslContext.h"

#include <dirent.h>

#include <cctype>
#include <cstdlib>
#include <stdexcept>

#include "net/OpenSsl.h"
#include "net/SslSession.h"
#include "net/WSocket.h"

TSslSession::~TSslSession() { SSL_SESSION_free(session_); }

namespace {

// Every TLS connection starts from a context, so OpenSSL is loaded here.
ssl_ctx_st* NewClientContext() {
    std::string why;
    if (!LoadOpenSsl(why)) throw ESocketException(why);
    return SSL_CTX_new(TLS_client_method());
}

// "5ad8a5d6.0": the subject's hash and a number, as c_rehash names them.
bool IsHashedCertificateName(const char* name) {
    int i = 0;
    for (; i < 8; ++i)
        if (std::isxdigit(static_cast<unsigned char>(name[i])) == 0) return false;
    if (name[i] != '.' || name[i + 1] == '\0') return false;
    for (i += 1; name[i] != '\0'; ++i)
        if (std::isdigit(static_cast<unsigned char>(name[i])) == 0) return false;
    return true;
}

bool HoldsHashedCertificateNames(const std::string& folder) {
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return false;
    bool found = false;
    while (const dirent* entry = readdir(dir))
        if ((found = IsHashedCertificateName(entry->d_name))) break;
    closedir(dir);
    return found;
}

}  // namespace

TSslContext::TSslContext() : ctx_(NewClientContext()) {
    if (ctx_ == nullptr) throw ESocketException(SslQueueErrorText("TLS: cannot create a context"));
    (void)SSL_CTX_set_min_proto_version(ctx_, TLS1_2_VERSION);
    UseSystemAuthorities();
    // The sessions are kept by the sockets (the control connection's is
    // offered by each data connection), not in a cache of the context.
    SSL_CTX_set_session_cache_mode(ctx_, SSL_SESS_CACHE_CLIENT | SSL_SESS_CACHE_NO_INTERNAL_STORE);
    SSL_CTX_sess_set_new_cb(ctx_, &TCustomSslWSocket::KeepNewSession);
    // Read ahead in large blocks: one system call brings many records
    // (measured against 16 KiB records in bench/RESULTS.md). 128 KiB ran as
    // fast as 256 KiB (1 GiB from vsftpd) with 128 KiB less memory in use.
    SSL_CTX_set_default_read_buffer_len(ctx_, 128 * 1024);
}

TSslContext::~TSslContext() { SSL_CTX_free(ctx_); }

// Where the system's folder of authorities holds the hashed names OpenSSL
// finds an issuer by (update-ca-certificates makes them), only the issuers a
// server's chain needs are read. Reading the whole bundle file instead cost
// every TLS session about 1.4 MiB of memory. Without such names, or when
// SSL_CERT_FILE names a bundle of the user's own, the bundle is read.
void TSslContext::UseSystemAuthorities() {
    const char* bundle = std::getenv(X509_get_default_cert_file_env());
    const char* folders = std::getenv(X509_get_default_cert_dir_env());
    const std::string folder = folders != nullptr ? std::string(folders).substr(0, std::string(folders).find(':'))
                                                  : std::string(X509_get_default_cert_dir());
    const bool hashed = bundle == nullptr && HoldsHashedCertificateNames(folder);
    const int loaded = hashed ? SSL_CTX_set_default_verify_dir(ctx_) : SSL_CTX_set_default_verify_paths(ctx_);
    if (loaded != 1) errorText_ = SslQueueErrorText("TLS: no CA store");
}

const std::shared_ptr<TSslContext>& TSslContext::Shared() {
    static const std::shared_ptr<TSslContext> shared = std::make_shared<TSslContext>();
    return shared;
}

bool TSslContext::AddCaFile(const std::string& Path) {
    if (SSL_CTX_load_verify_locations(ctx_, Path.c_str(), nullptr) == 1) return true;
    errorText_ = SslQueueErrorText("cannot read " + Path);
    return false;
}

std::string SslQueueErrorText(const std::string& Fallback) {
    const unsigned long code = ERR_get_error();
    ERR_clear_error();
    if (code == 0) return Fallback;
    const char* reason = ERR_reason_error_string(code);
    if (reason == nullptr) {
        LoadOpenSslErrorTexts();
        reason = ERR_reason_error_string(code);
    }
    if (reason != nullptr) return reason;
    char text[256];
    ERR_error_string_n(code, text, sizeof text);
    return text;
}
