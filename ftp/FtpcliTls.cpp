// FTP over TLS (RFC 4217): AUTH TLS or TLS from the first byte, the
// certificate's judgement, PBSZ and PROT, and the data connections'
// handshakes, which resume the control connection's session (servers may
// refuse data connections that do not).
#include "ftp/Ftpcli.h"
#include "net/SslContext.h"

namespace {
// RFC 2228: request denied for policy reasons.
constexpr int kPolicyRefusal = 534;
}  // namespace

// Right after the greeting: a session that must be encrypted is made so
// before anything else is sent, so USER and PASS never go out in clear.
void TCustomFtpCli::AfterGreeting() {
    switch (Encryption) {
        case ftpTlsExplicitIfAvailable:
        case ftpTlsExplicitRequired: SendSessionCommand("AUTH TLS", &TCustomFtpCli::AuthTlsReply); return;
        case ftpTlsImplicit: ProtectDataChannel(); return;
        case ftpTlsNone: break;
    }
    FinishStep(0);
}

// A command of the opening step itself, answered by Next.
void TCustomFtpCli::SendSessionCommand(const std::string& Command, Handler Next) {
    fNext_ = Next;
    if (!SetState(ftpStateWaitingReply)) return;
    SendCommand(Command);
}

void TCustomFtpCli::AuthTlsReply() {
    if (!TakeFinalReply()) return;
    if (statusCode_ == 234) {
        fNext_ = nullptr;
        StartControlTls();
        return;
    }
    if (Encryption == ftpTlsExplicitIfAvailable && statusCode_ >= 400) {
        Display("! The server offers no TLS: the session goes on without encryption");
        FinishStep(0);
        return;
    }
    FailTls("534 The server refused AUTH TLS (" + lastResponse_ + "); nothing more is sent without encryption");
}

void TCustomFtpCli::StartControlTls() {
    if (!SslContext) SslContext = TSslContext::Shared();
    controlSocket_->SetSslContext(SslContext);
    controlSocket_->SetSslServerName(HostName);
    controlSocket_->StartSslHandshake();
}

void TCustomFtpCli::ControlSslHandshakeDone(std::uint16_t Error) {
    if (Error != 0) {
        FailTls("534 TLS handshake failed: " + controlSocket_->SslErrorText());
        return;
    }
    if (!AcceptCertificate()) return;
    Display("! TLS connection: " + controlSocket_->SslVersion() + ", " + controlSocket_->SslCipher());
    if (Encryption != ftpTlsImplicit) return ProtectDataChannel();
    // With implicit TLS the greeting goes on from here: it is still to come,
    // or it waits in the buffer since it came while the certificate was judged.
    if (!receiving_ && receiveBuffer_.Count() > 0) HandleBufferedReplies(0);
}

// Lines that arrive while the handler decides wait in the buffer and are
// handled afterwards, in order.
bool TCustomFtpCli::AcceptCertificate() {
    const TSslCertificateInfo& certificate = controlSocket_->SslPeerCertificate();
    TFtpCertificateDecision decision = certificate.Verified ? ftpCertTrustOnce : ftpCertRefuse;
    if (OnCertificateCheck) {
        const std::weak_ptr<bool> alive = alive_;
        const bool held = std::exchange(receiving_, true);
        OnCertificateCheck(this, certificate, decision);
        if (alive.expired()) return false;
        receiving_ = held;
        // The server's close that came meanwhile ends the request now.
        if (!held && closePending_) {
            HandleBufferedReplies(0);
            return false;
        }
    }
    if (controlSocket_->State() != wsConnected) return false;
    if (decision == ftpCertRefuse) {
        FailTls("534 Certificate refused: " + (certificate.Verified ? std::string("by the user") : certificate.Reason) + " (" +
                certificate.Subject + ")");
        return false;
    }
    controlCertificate_ = certificate.Sha256;
    return true;
}

void TCustomFtpCli::ProtectDataChannel() { SendSessionCommand("PBSZ 0", &TCustomFtpCli::PbszReply); }

void TCustomFtpCli::PbszReply() {
    if (!TakeFinalReply()) return;
    if (statusCode_ / 100 != 2) return DataClearAfterRefusal();
    SendSessionCommand("PROT P", &TCustomFtpCli::ProtReply);
}

void TCustomFtpCli::ProtReply() {
    if (!TakeFinalReply()) return;
    if (statusCode_ / 100 != 2) return DataClearAfterRefusal();
    dataProtected_ = true;
    fNext_ = nullptr;
    FinishStep(0);
}

// Files in clear are what "required" rules out; "if available" accepts it
// with a warning in the log.
void TCustomFtpCli::DataClearAfterRefusal() {
    if (Encryption != ftpTlsExplicitIfAvailable) {
        FailTls("534 The server refused to protect data connections (" + lastResponse_ + ")");
        return;
    }
    Display("! The server refused to protect data connections: files go without encryption");
    fNext_ = nullptr;
    FinishStep(0);
}

// The session ends through the close of the control connection, which
// finishes the request with this failure.
void TCustomFtpCli::FailTls(const std::string& Line) {
    SetFailure(kPolicyRefusal, Line);
    Display("! " + Line);
    fNext_ = nullptr;
    if (controlSocket_->State() != wsClosed) {
        CloseControl();
        return;
    }
    FinishStep(kPolicyRefusal);
}

// The engine is the TLS client on every data connection, passive or active.
// Its handshake starts once the connection is up and the server has accepted
// the transfer command (125 or 150), whichever comes last: servers take the
// connection's first bytes only for the command they have (one closes a
// data connection that speaks before it).
void TCustomFtpCli::StartDataTls() {
    if (!dataProtected_ || !transferAccepted_ || dataSocket_->State() != wsConnected || dataSocket_->SslState() != sslNone)
        return;
    dataSocket_->SetSslContext(SslContext);
    dataSocket_->SetSslServerName(HostName);
    dataSocket_->SetSslSession(controlSocket_->SslSession());
    // An upload ends with our close; the server must get all of it.
    dataSocket_->SetSslAwaitPeerClose(currentStep_ == TFtpStep::Stor || currentStep_ == TFtpStep::Appe);
    dataSocket_->OnSslHandshakeDone = [this](TCustomWSocket*, std::uint16_t Error) {
        DataEvent([this, Error] { DataSslHandshakeDone(Error); });
    };
    dataSocket_->StartSslHandshake();
}

void TCustomFtpCli::DataSslHandshakeDone(std::uint16_t Error) {
    if (Error != 0) {
        FailDataConnection("Unable to establish data connection, TLS: " + dataSocket_->SslErrorText());
        return;
    }
    // Someone between us and the server could otherwise take the data
    // connection with a certificate of their own.
    if (dataSocket_->SslPeerCertificate().Sha256 != controlCertificate_)
        FailDataConnection("Unable to establish data connection, TLS: the certificate differs from the control connection's");
}
