// The shared client context and OpenSSL's error texts.
#include "net/SslContext.h"

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

}  // namespace

TSslContext::TSslContext() : ctx_(NewClientContext()) {
    if (ctx_ == nullptr) throw ESocketException(SslQueueErrorText("TLS: cannot create a context"));
    (void)SSL_CTX_set_min_proto_version(ctx_, TLS1_2_VERSION);
    if (SSL_CTX_set_default_verify_paths(ctx_) != 1) errorText_ = SslQueueErrorText("TLS: no CA store");
    // The sessions are kept by the sockets (the control connection's is
    // offered by each data connection), not in a cache of the context.
    SSL_CTX_set_session_cache_mode(ctx_, SSL_SESS_CACHE_CLIENT | SSL_SESS_CACHE_NO_INTERNAL_STORE);
    SSL_CTX_sess_set_new_cb(ctx_, &TCustomSslWSocket::KeepNewSession);
    // Read ahead in blocks as large as the engine's: one system call brings
    // many records (measured against 16 KiB records in bench/RESULTS.md).
    SSL_CTX_set_default_read_buffer_len(ctx_, 256 * 1024);
}

TSslContext::~TSslContext() { SSL_CTX_free(ctx_); }

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
    if (reason != nullptr) return reason;
    char text[256];
    ERR_error_string_n(code, text, sizeof text);
    return text;
}
