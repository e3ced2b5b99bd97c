#include "session/FrmCertificate.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "util/ui/UiUtils.h"

namespace {

// The 32 colon-separated bytes on one line are wider than a window may grow
// (two thirds of the screen) and were cut off: 16 on each line.
std::string TwoLineFingerprint(const std::string& fingerprint) {
    constexpr std::size_t kHalf = 16 * 3;
    if (fingerprint.size() <= kHalf) return fingerprint;
    return fingerprint.substr(0, kHalf) + "\n\t" + fingerprint.substr(kHalf);
}

}  // namespace

TfrmCertificate::TfrmCertificate(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromLatin1(ApplicationTitle));
    // No title-bar buttons: one of the three answers must be chosen.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    lblWarning = new QLabel(this);
    lblWarning->setTextFormat(Qt::PlainText);
    lblWarning->setWordWrap(true);
    lblDetails = new QLabel(this);
    lblDetails->setTextFormat(Qt::PlainText);
    lblDetails->setTextInteractionFlags(Qt::TextSelectableByMouse);
    btnTrustAlways = new QPushButton(tr("Trust &always"), this);
    btnTrustOnce = new QPushButton(tr("Trust this &once"), this);
    btnRefuse = new QPushButton(tr("&Refuse"), this);
    // A stray Enter must not let an unknown certificate in.
    btnRefuse->setDefault(true);
    connect(btnTrustAlways, &QPushButton::clicked, this, [this] {
        answer_ = ftpCertTrustAlways;
        accept();
    });
    connect(btnTrustOnce, &QPushButton::clicked, this, [this] {
        answer_ = ftpCertTrustOnce;
        accept();
    });
    connect(btnRefuse, &QPushButton::clicked, this, &TfrmCertificate::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnTrustAlways);
    buttons->addWidget(btnTrustOnce);
    buttons->addWidget(btnRefuse);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblWarning);
    layout->addWidget(lblDetails, 1);
    layout->addLayout(buttons);
    setMinimumWidth(520);
}

void TfrmCertificate::reject() {
    answer_ = ftpCertRefuse;
    QDialog::reject();
}

void TfrmCertificate::Show(const std::string& server, const TSslCertificateInfo& certificate, bool changed) {
    // The reason of a failed verification comes from the TLS layer, in English.
    const QString why = certificate.Verified ? tr("it is not the one you trusted") : ToQt(certificate.Reason);
    lblWarning->setText(changed ? tr("WARNING: the certificate of %1 has CHANGED since you chose to trust it. Someone may be "
                                     "pretending to be this server. Refuse it unless you know that the server got a new "
                                     "certificate.")
                                      .arg(ToQt(server))
                                : tr("The certificate of %1 cannot be verified: %2.").arg(ToQt(server), why));
    if (changed) lblWarning->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold;"));
    lblDetails->setText(tr("Reason:\t%1\nSubject:\t%2\nIssuer:\t%3\nValid:\t%4 to %5\nSHA-256:\t%6")
                            .arg(why, ToQt(certificate.Subject), ToQt(certificate.Issuer), ToQt(certificate.NotBefore),
                                 ToQt(certificate.NotAfter), ToQt(TwoLineFingerprint(certificate.Sha256))));
    adjustSize();
}

TFtpCertificateDecision TfrmCertificate::Ask(QWidget* owner, const std::string& server, const TSslCertificateInfo& certificate,
                                             bool changed) {
    TfrmCertificate dialog(owner);
    dialog.Show(server, certificate, changed);
    CenterOver(&dialog, owner);
    dialog.exec();
    return dialog.Result();
}
