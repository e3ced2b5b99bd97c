#pragma once
// The question asked when a server's certificate does not verify (or is not
// the one trusted before): what the certificate says, why it failed, and
// three answers: trust it always (remembered for this server), trust it for
// this connection only, or refuse it (the connection ends).

#include <QCoreApplication>
#include <QDialog>
#include <string>

#include "ftp/Ftpcli.h"

class QLabel;
class QPushButton;

class TfrmCertificate : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(TfrmCertificate)

public:
    explicit TfrmCertificate(QWidget* parent = nullptr);

    // Fills the texts; `changed`: this server had another certificate that
    // the user trusted always.
    void Show(const std::string& server, const TSslCertificateInfo& certificate, bool changed);

    QLabel* lblWarning;
    QLabel* lblDetails;
    QPushButton* btnTrustAlways;
    QPushButton* btnTrustOnce;
    QPushButton* btnRefuse;  // default, also Escape

    TFtpCertificateDecision Result() const { return answer_; }

    // Asks about `certificate` of `server` ("host:port"), centred over owner.
    static TFtpCertificateDecision Ask(QWidget* owner, const std::string& server, const TSslCertificateInfo& certificate,
                                       bool changed);

protected:
    void reject() override;

private:
    TFtpCertificateDecision answer_ = ftpCertRefuse;
};
