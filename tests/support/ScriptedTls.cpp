#include "tests/support/ScriptedTls.h"

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <sys/socket.h>

#include "tests/support/TestCertificates.h"

namespace {

constexpr int kWaitSeconds = 10;

SSL_CTX* ServerContext(std::string& error) {
    static SSL_CTX* context = [] {
        const TestCertificates& certificates = TestCertificates::Shared();
        SSL_CTX* made = SSL_CTX_new(TLS_server_method());
        if (made == nullptr || !certificates.Ok() ||
            SSL_CTX_use_certificate_chain_file(made, certificates.Cert("good").c_str()) != 1 ||
            SSL_CTX_use_PrivateKey_file(made, certificates.Key("good").c_str(), SSL_FILETYPE_PEM) != 1) {
            SSL_CTX_free(made);
            return static_cast<SSL_CTX*>(nullptr);
        }
        (void)SSL_CTX_set_session_id_context(made, reinterpret_cast<const unsigned char*>("scripted"), 8);
        return made;
    }();
    if (context == nullptr) error = "no server certificate: " + TestCertificates::Shared().Error();
    return context;
}

// The scripted server's own waits are bounded; so must be the blocking
// reads and writes of a handshake.
void BoundWaits(int fd) {
    timeval limit{kWaitSeconds, 0};
    (void)setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    (void)setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
}

}  // namespace

ScriptedTls::~ScriptedTls() { Drop(); }

bool ScriptedTls::Accept(int fd) {
    Drop();
    SSL_CTX* context = ServerContext(error_);
    if (context == nullptr) return false;
    BoundWaits(fd);
    ssl_ = SSL_new(context);
    if (ssl_ != nullptr && SSL_set_fd(ssl_, fd) == 1 && SSL_accept(ssl_) == 1) return true;
    char text[256] = "handshake failed";
    if (const unsigned long code = ERR_get_error(); code != 0) ERR_error_string_n(code, text, sizeof text);
    error_ = std::string("TLS: ") + text;
    ERR_clear_error();
    Drop();
    return false;
}

bool ScriptedTls::HasPending() const { return ssl_ != nullptr && SSL_pending(ssl_) > 0; }

int ScriptedTls::Read(char* buffer, int size) {
    const int count = SSL_read(ssl_, buffer, size);
    if (count > 0) return count;
    const int error = SSL_get_error(ssl_, count);
    ERR_clear_error();
    return error == SSL_ERROR_ZERO_RETURN ? 0 : -1;
}

bool ScriptedTls::Write(const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const int count = SSL_write(ssl_, bytes.data() + sent, static_cast<int>(bytes.size() - sent));
        if (count <= 0) {
            ERR_clear_error();
            return false;
        }
        sent += static_cast<std::size_t>(count);
    }
    return true;
}

void ScriptedTls::SendCloseNotify() {
    if (ssl_ != nullptr) (void)SSL_shutdown(ssl_);
    ERR_clear_error();
}

void ScriptedTls::Drop() {
    if (ssl_ == nullptr) return;
    // Freed without SSL_shutdown: no close_notify, and the session is kept
    // resumable all the same.
    SSL_set_quiet_shutdown(ssl_, 1);
    SSL_free(ssl_);
    ssl_ = nullptr;
}
