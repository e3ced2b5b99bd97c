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
    btnTrustAlways = new QPushButton(QStringLiteral("Trust &always"), this);
    btnTrustOnce = new QPushButton(QStringLiteral("Trust this &once"), this);
    btnRefuse = new QPushButton(QStringLiteral("&Refuse"), this);
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
    const std::string why = certificate.Verified ? std::string("it is not the one you trusted") : certificate.Reason;
    lblWarning->setText(
        ToQt(changed ? "WARNING: the certificate of " + server +
                           " has CHANGED since you chose to trust it. Someone may be pretending to be this server. Refuse it "
                           "unless you know that the server got a new certificate."
                     : "The certificate of " + server + " cannot be verified: " + why + "."));
    if (changed) lblWarning->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold;"));
    lblDetails->setText(ToQt("Reason:\t" + why + "\nSubject:\t" + certificate.Subject + "\nIssuer:\t" + certificate.Issuer +
                             "\nValid:\t" + certificate.NotBefore + " to " + certificate.NotAfter + "\nSHA-256:\t" +
                             TwoLineFingerprint(certificate.Sha256)));
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
