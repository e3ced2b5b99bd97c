#pragma once
// The "FTP Server Information:" area beside the profile list of the edit,
// remove and connect-to dialogs: four read-only fields describing the
// selected profile. The fields are hidden while nothing is selected; with
// several profiles selected each shows "(multiple sites selected)".

#include <QCoreApplication>
#include <QWidget>
#include <vector>

class QLabel;
class QLineEdit;
class TFTPServer;

class TServerInfoPanel : public QWidget {
    Q_DECLARE_TR_FUNCTIONS(TServerInfoPanel)

public:
    // The edit dialog capitalises "Starting" in its labels; the other two
    // dialogs do not.
    enum class TWording { Edit, RemoveOrConnect };

    static constexpr char MultipleText[] = QT_TR_NOOP("(multiple sites selected)");

    explicit TServerInfoPanel(TWording wording, QWidget* parent = nullptr);

    // Shows the profiles' details, or hides the fields when the list is empty.
    void ShowServers(const std::vector<TFTPServer*>& servers);
    // Empties the four fields.
    void ClearFields();
    bool FieldsShown() const;

    QLabel* lblHeading;
    QWidget* pnlInfo;
    QLabel* lblHostPort;
    QLineEdit* ebxHostPort;
    QLabel* lblUsername;
    QLineEdit* ebxUsername;
    QLabel* lblLocalDir;
    QLineEdit* ebxLocalDir;
    QLabel* lblRemoteDir;
    QLineEdit* ebxRemoteDir;

private:
    QLineEdit* AddField(QLabel*& label, const char* caption, int top);
};
