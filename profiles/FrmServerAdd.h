#pragma once
// The profile form: one server profile's fields, used to add a profile and,
// with the caption changed, to edit one.
//
// Main-window use:
//   TFTPServer* added = TfrmServerAdd::AddServer(this, store.ServerList, fillMenu);
// centres the form over `this`, shows it modally, and on "&Cool" inserts a new
// profile and calls `fillMenu`. Returns the new profile, or null when
// cancelled. A name that another profile has, ignoring case, is refused with
// a message while the form stays open, so no profile is ever replaced.

#include <QCoreApplication>
#include <QDialog>
#include <functional>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class TFTPServer;
class TServerList;

class TfrmServerAdd : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(TfrmServerAdd)

public:
    // The e-mail address a new anonymous profile offers as its password.
    static constexpr char PlaceholderEMail[] = "someone@example.com";

    explicit TfrmServerAdd(QWidget* parent = nullptr);

    static TFTPServer* AddServer(QWidget* owner, TServerList& servers, const std::function<void()>& serversChanged);

    // The name of the profile that already holds `name` (ignoring case), or
    // empty when the name is free; "&Cool" refuses a held name. The edit
    // dialog leaves out the profile being edited.
    std::function<std::string(const std::string& name)> NameHolder;

    // Fills the form from a profile (for editing) and takes its content into
    // one; taking overwrites every field the form shows.
    void LoadFrom(const TFTPServer& server);
    void SaveTo(TFTPServer& server) const;
    std::string EnteredName() const;

    void FormCreate();
    void rbAnonymousClick();
    void cbxEncryptionChange();
    // Refuses an empty name, or one NameHolder reports as held, with a
    // message and the form left open; an empty port becomes "21", an empty
    // proxy port "1080".
    void btnOkClick();

    QLabel* lblName;
    QLineEdit* ebxName;
    QLabel* lblHostname;
    QLineEdit* ebxHostname;
    QLabel* lblPort;
    QLineEdit* ebxPort;
    QRadioButton* rbAnonymous;
    QLabel* lblEMail;
    QLineEdit* ebxEMail;
    QRadioButton* rbUserPass;
    QLabel* lblUsername;
    QLineEdit* ebxUsername;
    QLabel* lblPassword;
    QLineEdit* ebxPassword;
    QLabel* lblLocalStartingDirectory;
    QLineEdit* ebxLocalStartingDirectory;
    QLabel* lblRemoteStartingDirectory;
    QLineEdit* ebxRemoteStartingDirectory;
    QCheckBox* cbPASV;
    QLabel* lblEncryption;
    QComboBox* cbxEncryption;  // the items in the order of TEncryptionMode
    // The SOCKS 5 proxy in front of the server; an empty host means none.
    QLabel* lblSocksHost;
    QLineEdit* ebxSocksHost;
    QLabel* lblSocksPort;
    QLineEdit* ebxSocksPort;
    QLabel* lblSocksUser;
    QLineEdit* ebxSocksUser;
    QLabel* lblSocksPassword;
    QLineEdit* ebxSocksPassword;
    QPushButton* btnOk;
    QPushButton* btnCancel;

private:
    static void HideTyping(QLineEdit* edit);
    QLineEdit* AddEdit(QLabel*& label, const char* caption, int left, int top, int width);
    void SetTabOrder();
};
