#pragma once
// What the edit, remove and connect-to dialogs share: the profile names at
// the left, the information panel at the right kept in step with the
// selection, and the events through which the main window follows changes.

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QDialog>
#include <functional>

#include "profiles/ServerInfoPanel.h"

class QLabel;
class QPushButton;
class TFTPServer;
class TServerList;
class TServerListBox;

class TServerListDialog : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(TServerListDialog)

public:
    // After profiles were added, edited or removed through the dialog (the
    // main window rebuilds the Servers menu).
    std::function<void(QWidget* Sender)> OnServersChanged;
    // Just before a profile is removed and freed (the main window drops any
    // pointer it holds to it).
    std::function<void(QWidget* Sender, TFTPServer* Server)> OnServerRemoving;

    // Refills the list from the server list, with nothing selected.
    virtual void FormCreate();
    // Refreshes the information panel from the selection; runs on every
    // selection change, by mouse or keyboard.
    virtual void lbServersClick();

    QLabel* lblServers;
    TServerListBox* lbServers;
    TServerInfoPanel* pnlInfo;

protected:
    struct TLook {
        const char* caption;
        QSize size;
        const char* heading;
        TServerInfoPanel::TWording wording;
        QAbstractItemView::SelectionMode selection;
    };

    TServerListDialog(TServerList& servers, const TLook& look, QWidget* parent);

    // Lets the plain callbacks of a static Execute receive the events.
    void BindCallbacks(const std::function<void()>& serversChanged, const std::function<void(TFTPServer*)>& forgetServer);
    void ServersChanged();
    void ServerRemoving(TFTPServer* server);
    QPushButton* AddButton(const char* caption, int left, int top, int width = 75);

    TServerList& servers_;
};
