// Connections of their own to the session's server: trees are walked and
// many files moved on them, while the browsing connection stays free.
#include "session/SessionController.h"

TFtpEndpoint TSessionController::TransferEndpoint() {
    TFtpEndpoint endpoint;
    endpoint.host = FTP.HostName;
    endpoint.port = FTP.Port;
    endpoint.user = FTP.UserName;
    endpoint.password = FTP.PassWord;
    endpoint.passive = CurrentPassive;
    endpoint.encryption = FTP.Encryption;
    endpoint.sslContext = FTP.SslContext;
    endpoint.timeoutSeconds = FTP.Timeout;
    endpoint.socksServer = FTP.SocksServer;
    endpoint.socksPort = FTP.SocksPort;
    endpoint.socksUser = FTP.SocksUsercode;
    endpoint.socksPassword = FTP.SocksPassword;
    endpoint.socksLocalLookup = FTP.SocksLocalLookup;
    // The same judgement as the browsing connection's: a certificate trusted
    // always passes, any other is asked about.
    endpoint.onCertificateCheck = [this, alive = std::weak_ptr<bool>(alive_)](
                                      TCustomFtpCli*, const TSslCertificateInfo& certificate, TFtpCertificateDecision& decision) {
        if (!alive.expired()) FTPCertificateCheck(certificate, decision);
    };
    return endpoint;
}
