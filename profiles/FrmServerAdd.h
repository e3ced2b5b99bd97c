#pragma once
// The profile form: one server profile's fields, used to add a profile and,
// with the caption changed, to edit one.
//
// Main-window use:
//   TFTPServer* added = TfrmServerAdd::AddServer(this, store.ServerList, fillMenu, forget);
// centres the form over `this`, shows it modally, and on "&Cool" inserts a new
// profile (replacing one whose name is equal ignoring case) and calls
// `fillMenu`. Returns the profile now in the list, or null when cancelled.
// A profile that is replaced is freed; `forget(profile)` runs just before, so
// the caller can drop any pointer to it (such as the current session's).

#include <QDialog>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class TFTPServer;
class TServerList;

class TfrmServerAdd : public QDialog {
public:
    // The e-mail address a new anonymous profile offers as its password.
    static constexpr char PlaceholderEMail[] = "someone@example.com";

    explicit TfrmServerAdd(QWidget* parent = nullptr);

    static TFTPServer* AddServer(QWidget* owner, TServerList& servers, const std::function<void()>& serversChanged,
                                 const std::function<void(TFTPServer*)>& forgetServer = {});

    // Fills the form from a profile (for editing) and takes its content into
    // one; taking overwrites every field the form shows.
    void LoadFrom(const TFTPServer& server);
    void SaveTo(TFTPServer& server) const;
    std::string EnteredName() const;

    void FormCreate();
    void rbAnonymousClick();
    // Refuses an empty name with a message; an empty port becomes "21".
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
    QPushButton* btnOk;
    QPushButton* btnCancel;

private:
    QLineEdit* AddEdit(QLabel*& label, const char* caption, int left, int top, int width);
    void SetTabOrder();
};
