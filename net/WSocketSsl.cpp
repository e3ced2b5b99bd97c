// TLS as a layer of the asynchronous socket: the handshake, the session
// kept for resumption, close_notify and failures. The records travel
// through two memory BIOs: what the handle brings is fed to OpenSSL, what
// OpenSSL writes goes out through the socket's own send queue, so that TLS
// needs no thread and no blocking call and keeps the socket's events.
#include <arpa/inet.h>

#include "net/OpenSsl.h"
#include "net/SslContext.h"
#include "net/SslSession.h"
#include "net/WSocket.h"

namespace {
constexpr int kRecordQueueBlock = 64 * 1024;

bool IsDottedAddress(const std::string& Name) {
    in_addr address{};
    return inet_pton(AF_INET, Name.c_str(), &address) == 1;
}
}  // namespace

TCustomSslWSocket::TCustomSslWSocket() { TCustomSslWSocket::ResetToDefaults(); }

TCustomSslWSocket::~TCustomSslWSocket() { FreeSsl(); }

void TCustomSslWSocket::ResetToDefaults() {
    TCustomSocksWSocket::ResetToDefaults();
    FreeSsl();
    SetSendBlockSize(TBuffer::kDefaultSize);
    sslState_ = sslNone;
    sslServerName_.clear();
    offeredSession_.reset();
    heldPlain_.clear();
    closeStage_ = sslCloseNone;
    awaitPeerClose_ = false;
    peerClosed_ = false;
    failurePosted_ = false;
    closeNotifyPosted_ = false;
}

void TCustomSslWSocket::FreeSsl() {
    if (ssl_ != nullptr) SSL_free(ssl_);  // frees both BIOs
    ssl_ = nullptr;
    readBio_ = writeBio_ = nullptr;
}

const std::shared_ptr<TSslContext>& TCustomSslWSocket::SslContext() {
    if (!sslContext_) sslContext_ = TSslContext::Shared();
    return sslContext_;
}

int TCustomSslWSocket::KeepNewSession(ssl_st* Ssl, ssl_session_st* Session) {
    auto* socket = static_cast<TCustomSslWSocket*>(SSL_get_app_data(Ssl));
    if (socket == nullptr) return 0;
    socket->sslSession_ = std::make_shared<TSslSession>(Session);
    return 1;  // the reference is ours now
}

bool TCustomSslWSocket::CreateSsl() {
    ssl_ = SSL_new(SslContext()->Handle());
    readBio_ = NewHandleBio();
    writeBio_ = BIO_new(BIO_s_mem());
    if (ssl_ == nullptr || readBio_ == nullptr || writeBio_ == nullptr) {
        if (ssl_ == nullptr) {
            BIO_free(readBio_);
            BIO_free(writeBio_);
            readBio_ = writeBio_ = nullptr;
        }
        return false;
    }
    SSL_set_bio(ssl_, readBio_, writeBio_);
    // Records are read ahead into a buffer as large as the engine's blocks.
    SSL_set_read_ahead(ssl_, 1);
    SSL_set_connect_state(ssl_);
    SSL_set_app_data(ssl_, this);
    // Verified after the handshake, so that the caller can show the
    // certificate and decide instead of getting a bare failure.
    SSL_set_verify(ssl_, SSL_VERIFY_NONE, nullptr);
    // A name or address that cannot be set would leave the certificate
    // checked against nothing: no connection then.
    if (!sslServerName_.empty()) {
        if (IsDottedAddress(sslServerName_)) {
            if (X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl_), sslServerName_.c_str()) != 1) return false;
        } else {
            (void)SSL_set_tlsext_host_name(ssl_, sslServerName_.c_str());
            if (SSL_set1_host(ssl_, sslServerName_.c_str()) != 1) return false;
        }
    }
    if (offeredSession_) (void)SSL_set_session(ssl_, offeredSession_->Handle());
    return true;
}

void TCustomSslWSocket::StartSslHandshake() {
    if (State() != wsConnected) return ReportError("StartSslHandshake: not connected");
    if (sslState_ != sslNone) return ReportError("TLS already started");
    std::string unavailable;
    if (!LoadOpenSsl(unavailable)) return FailSsl(SslHandshakeFailed, unavailable);
    ERR_clear_error();
    sslErrorText_.clear();
    sslSession_.reset();
    closeNotifyReceived_ = false;
    peerCertificate_ = TSslCertificateInfo();
    if (!CreateSsl()) return FailSsl(SslHandshakeFailed, SslQueueErrorText("TLS: cannot create a connection"));
    sslState_ = sslHandshaking;
    // Records leave in bulk: what the kernel refuses waits in a few large
    // blocks, sent with a system call each, not in one per 1514 bytes.
    SetSendBlockSize(kRecordQueueBlock);
    ContinueHandshake();
}

void TCustomSslWSocket::ContinueHandshake() {
    const int result = SSL_do_handshake(ssl_);
    const int error = result == 1 ? SSL_ERROR_NONE : SSL_get_error(ssl_, result);
    const std::string failure =
        error == SSL_ERROR_NONE || error == SSL_ERROR_WANT_READ ? std::string() : SslQueueErrorText("TLS handshake failed");
    if (!FlushRecords()) return;
    if (error == SSL_ERROR_NONE) return FinishHandshake();
    if (peerClosed_) return FailSsl(SslHandshakeFailed, "connection closed by the server during the TLS handshake");
    if (error == SSL_ERROR_WANT_READ) return;
    FailSsl(SslHandshakeFailed, failure);
}

void TCustomSslWSocket::FinishHandshake() {
    sslState_ = sslEstablished;
    X509* certificate = SSL_get1_peer_certificate(ssl_);
    peerCertificate_ = TSslCertificateInfo::From(certificate, SSL_get_verify_result(ssl_));
    X509_free(certificate);
    const auto alive = AliveToken();
    if (!heldPlain_.empty()) {
        const std::string held = std::move(heldPlain_);
        heldPlain_.clear();
        if (!EncryptAndSend(held.data(), static_cast<int>(held.size())) || alive.expired()) return;
    }
    NotifySslHandshakeDone(0);
    if (alive.expired() || sslState_ != sslEstablished) return;
    // Writers held back during the handshake may go on now; readers are
    // served by the receive loop, which goes on while records wait.
    PostWriteNotice();
}

void TCustomSslWSocket::NotifySslHandshakeDone(std::uint16_t Error) {
    if (OnSslHandshakeDone) OnSslHandshakeDone(this, Error);
}

// A failure ends the connection: records cannot be trusted after one. During
// the handshake it is reported as the handshake's outcome first.
void TCustomSslWSocket::FailSsl(int Code, const std::string& Text) {
    sslErrorText_ = Text;
    const bool handshaking = sslState_ == sslHandshaking || sslState_ == sslNone;
    sslState_ = sslShuttingDown;
    closeStage_ = sslCloseNone;
    const auto alive = AliveToken();
    if (handshaking) {
        NotifySslHandshakeDone(static_cast<std::uint16_t>(Code));
        if (alive.expired()) return;
    }
    if (State() == wsClosed && SocketHandle() == platform::kInvalidSocket) return;
    CloseConnection(true, static_cast<std::uint16_t>(Code));
}

std::string TCustomSslWSocket::SslVersion() const { return ssl_ != nullptr ? SSL_get_version(ssl_) : std::string(); }

std::string TCustomSslWSocket::SslCipher() const {
    if (ssl_ == nullptr) return {};
    const char* name = SSL_get_cipher_name(ssl_);
    return name != nullptr ? name : std::string();
}

bool TCustomSslWSocket::SslSessionReused() const { return ssl_ != nullptr && SSL_session_reused(ssl_) == 1; }
