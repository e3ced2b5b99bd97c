#include "profiles/FrmServerAdd.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <memory>

#include "profiles/DialogFrame.h"
#include "profiles/ServerList.h"
#include "util/FTPServerObj.h"
#include "util/ui/UiUtils.h"

TfrmServerAdd::TfrmServerAdd(QWidget* parent) : QDialog(parent) {
    SetFixedDialogFrame(this, tr(" Add a new FTP Server"), QSize(345, 499));
    ebxName = AddEdit(lblName, QT_TR_NOOP("Name:"), 8, 8, 329);
    // The port column is as wide as its label needs.
    ebxHostname = AddEdit(lblHostname, QT_TR_NOOP("Hostname/Address:"), 8, 52, 196);
    ebxPort = AddEdit(lblPort, QT_TR_NOOP("Port: (default is 21)"), 212, 52, 125);
    rbAnonymous = new QRadioButton(tr("Anonymous"), this);
    rbAnonymous->setGeometry(8, 98, 329, 20);
    ebxEMail = AddEdit(lblEMail, QT_TR_NOOP("E-Mail:"), 26, 118, 311);
    rbUserPass = new QRadioButton(tr("Requires username and password"), this);
    rbUserPass->setGeometry(8, 160, 329, 20);
    ebxUsername = AddEdit(lblUsername, QT_TR_NOOP("Username:"), 26, 180, 150);
    ebxPassword = AddEdit(lblPassword, QT_TR_NOOP("Password:"), 187, 180, 150);
    HideTyping(ebxPassword);
    ebxLocalStartingDirectory = AddEdit(lblLocalStartingDirectory, QT_TR_NOOP("Local starting directory:"), 8, 222, 329);
    ebxRemoteStartingDirectory = AddEdit(lblRemoteStartingDirectory, QT_TR_NOOP("Remote starting directory:"), 8, 264, 329);
    cbPASV = new QCheckBox(tr("Use Firewall Friendly operation (Passive Mode)"), this);
    cbPASV->setGeometry(8, 308, 329, 20);
    lblEncryption = new QLabel(tr("Encryption (FTP over TLS):"), this);
    lblEncryption->setGeometry(8, 334, 329, 16);
    cbxEncryption = new QComboBox(this);
    cbxEncryption->setGeometry(8, 351, 329, 22);
    // In the order of TEncryptionMode.
    cbxEncryption->addItems({tr("None (plain FTP)"), tr("Explicit TLS if the server offers it"), tr("Explicit TLS, required"),
                             tr("Implicit TLS (port 990)")});
    lblEncryption->setBuddy(cbxEncryption);
    ebxSocksHost = AddEdit(lblSocksHost, QT_TR_NOOP("SOCKS 5 proxy (optional):"), 8, 380, 229);
    ebxSocksPort = AddEdit(lblSocksPort, QT_TR_NOOP("Proxy port:"), 245, 380, 92);
    ebxSocksUser = AddEdit(lblSocksUser, QT_TR_NOOP("Proxy username:"), 8, 422, 164);
    ebxSocksPassword = AddEdit(lblSocksPassword, QT_TR_NOOP("Proxy password:"), 180, 422, 157);
    HideTyping(ebxSocksPassword);
    btnOk = new QPushButton(tr("&Cool"), this);
    btnOk->setGeometry(176, 466, 75, 25);
    btnOk->setDefault(true);
    btnCancel = new QPushButton(tr("&No Way !"), this);
    btnCancel->setGeometry(262, 466, 75, 25);
    SetTabOrder();

    // toggled covers clicks, the keyboard and programmatic changes alike.
    connect(rbAnonymous, &QRadioButton::toggled, this, [this] { rbAnonymousClick(); });
    connect(rbUserPass, &QRadioButton::toggled, this, [this] { rbAnonymousClick(); });
    connect(btnOk, &QPushButton::clicked, this, [this] { btnOkClick(); });
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(cbxEncryption, &QComboBox::activated, this, [this] { cbxEncryptionChange(); });
    FormCreate();
}

QLineEdit* TfrmServerAdd::AddEdit(QLabel*& label, const char* caption, int left, int top, int width) {
    label = new QLabel(tr(caption), this);
    label->setGeometry(left, top, width, 16);
    auto* edit = new QLineEdit(this);
    edit->setGeometry(left, top + 17, width, 21);
    label->setBuddy(edit);
    return edit;
}

void TfrmServerAdd::HideTyping(QLineEdit* edit) {
    edit->setEchoMode(QLineEdit::Password);
    edit->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
}

void TfrmServerAdd::SetTabOrder() {
    // The passive box comes before the remote folder, as users of the form
    // are used to.
    QWidget* const order[] = {ebxName,
                              ebxHostname,
                              ebxPort,
                              rbAnonymous,
                              ebxEMail,
                              rbUserPass,
                              ebxUsername,
                              ebxPassword,
                              ebxLocalStartingDirectory,
                              cbPASV,
                              ebxRemoteStartingDirectory,
                              cbxEncryption,
                              ebxSocksHost,
                              ebxSocksPort,
                              ebxSocksUser,
                              ebxSocksPassword,
                              btnOk,
                              btnCancel};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);
}

void TfrmServerAdd::FormCreate() {
    ebxName->clear();
    ebxHostname->clear();
    ebxPort->setText(QStringLiteral("21"));
    ebxEMail->setText(QString::fromLatin1(PlaceholderEMail));
    ebxUsername->clear();
    ebxPassword->clear();
    ebxLocalStartingDirectory->clear();
    ebxRemoteStartingDirectory->clear();
    ebxSocksHost->clear();
    ebxSocksPort->setText(QStringLiteral("1080"));
    ebxSocksUser->clear();
    ebxSocksPassword->clear();
    // Passive works behind NAT and firewalls, where active mode is the usual
    // cause of failed listings.
    cbPASV->setChecked(true);
    cbxEncryption->setCurrentIndex(static_cast<int>(TEncryptionMode::Plain));
    rbAnonymous->setChecked(true);
    rbAnonymousClick();
    ebxName->setFocus();
}

void TfrmServerAdd::rbAnonymousClick() {
    const bool anonymous = rbAnonymous->isChecked();
    ebxEMail->setEnabled(anonymous);
    ebxUsername->setEnabled(!anonymous);
    ebxPassword->setEnabled(!anonymous);
}

// Implicit TLS has a port of its own; a form still on the plain port moves
// to it, and back.
void TfrmServerAdd::cbxEncryptionChange() {
    const bool implicit = cbxEncryption->currentIndex() == static_cast<int>(TEncryptionMode::Implicit);
    if (implicit && ebxPort->text() == QStringLiteral("21")) ebxPort->setText(QStringLiteral("990"));
    if (!implicit && ebxPort->text() == QStringLiteral("990")) ebxPort->setText(QStringLiteral("21"));
}

void TfrmServerAdd::btnOkClick() {
    if (ebxName->text().isEmpty()) {
        ShowInfoBox(ApplicationTitle, FromQt(tr("You must enter a name for this FTP Server")));
        return;
    }
    // Names are unique ignoring case; taking a held one would silently
    // replace that profile, with its host and password.
    if (const std::string holder = NameHolder ? NameHolder(EnteredName()) : std::string(); !holder.empty()) {
        ShowInfoBox(ApplicationTitle, FromQt(tr("Another FTP Server is already named %1").arg(ToQt(holder))));
        return;
    }
    if (ebxPort->text().isEmpty()) ebxPort->setText(QStringLiteral("21"));
    if (ebxSocksPort->text().isEmpty()) ebxSocksPort->setText(QStringLiteral("1080"));
    accept();
}

void TfrmServerAdd::LoadFrom(const TFTPServer& server) {
    ebxName->setText(ToQt(server.Name));
    ebxHostname->setText(ToQt(server.Hostname));
    ebxPort->setText(ToQt(server.Port));
    if (server.IsAnonymous()) {
        rbAnonymous->setChecked(true);
        ebxEMail->setText(ToQt(server.Password));
    } else {
        rbUserPass->setChecked(true);
        ebxUsername->setText(ToQt(server.Username));
        ebxPassword->setText(ToQt(server.Password));
    }
    cbPASV->setChecked(server.PASV == TPasvMode::Yes);
    cbxEncryption->setCurrentIndex(static_cast<int>(server.Encryption));
    ebxLocalStartingDirectory->setText(ToQt(server.LocalStartDir));
    ebxRemoteStartingDirectory->setText(ToQt(server.StartDir));
    ebxSocksHost->setText(ToQt(server.SocksHost));
    ebxSocksPort->setText(ToQt(server.SocksPort));
    ebxSocksUser->setText(ToQt(server.SocksUser));
    ebxSocksPassword->setText(ToQt(server.SocksPassword));
    rbAnonymousClick();
}

std::string TfrmServerAdd::EnteredName() const { return FromQt(ebxName->text()); }

void TfrmServerAdd::SaveTo(TFTPServer& server) const {
    server.Name = FromQt(ebxName->text());
    server.Hostname = FromQt(ebxHostname->text());
    server.Port = FromQt(ebxPort->text());
    if (rbAnonymous->isChecked()) {
        server.Username = "anonymous";
        server.Password = FromQt(ebxEMail->text());
    } else {
        server.Username = FromQt(ebxUsername->text());
        server.Password = FromQt(ebxPassword->text());
    }
    server.PASV = cbPASV->isChecked() ? TPasvMode::Yes : TPasvMode::No;
    server.Encryption = static_cast<TEncryptionMode>(cbxEncryption->currentIndex());
    server.LocalStartDir = FromQt(ebxLocalStartingDirectory->text());
    server.StartDir = FromQt(ebxRemoteStartingDirectory->text());
    // Blanks around a pasted host name would make it a name no proxy has.
    server.SocksHost = FromQt(ebxSocksHost->text().trimmed());
    server.SocksPort = FromQt(ebxSocksPort->text());
    server.SocksUser = FromQt(ebxSocksUser->text());
    server.SocksPassword = FromQt(ebxSocksPassword->text());
}

TFTPServer* TfrmServerAdd::AddServer(QWidget* owner, TServerList& servers, const std::function<void()>& serversChanged) {
    TfrmServerAdd form(owner);
    CentreDialogOver(&form, owner);
    form.NameHolder = [&servers](const std::string& name) { return servers.HolderOf(name); };
    if (form.exec() != QDialog::Accepted) return nullptr;
    auto server = std::make_unique<TFTPServer>();
    form.SaveTo(*server);
    const std::string name = server->Name;
    TFTPServer* added = servers.At(servers.Add(name, std::move(server)));
    if (serversChanged) serversChanged();
    return added;
}
