#pragma once
// The chooser opened by the Connect button: pick one profile, or add or edit
// profiles on the way.
//
// Main-window use:
//   if (TFTPServer* chosen = TfrmServerConnectTo::Execute(this, store.ServerList, fillMenu, forget))
//       ConnectToServer(chosen);
// centres the dialog over `this` and shows it modally; returns the profile
// chosen with "&Cool" or a double click, null when cancelled. "&Add Server"
// opens the profile form centred over `this` (the main window's add action);
// `fillMenu` runs after each addition or edit; `forget(profile)` just before a
// profile is freed because an added one replaces it.

#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;
class TFTPServer;
class TServerInfoPanel;
class TServerList;
class TServerListBox;

class TfrmServerConnectTo : public QDialog {
public:
    explicit TfrmServerConnectTo(TServerList& servers, QWidget* parent = nullptr);

    static TFTPServer* Execute(QWidget* owner, TServerList& servers, const std::function<void()>& serversChanged,
                               const std::function<void(TFTPServer*)>& forgetServer = {});

    std::function<void(QWidget* Sender)> OnServersChanged;
    std::function<void(QWidget* Sender, TFTPServer* Server)> OnServerRemoving;

    // The selected profile; null with none selected.
    TFTPServer* SelectedServer() const;

    // Also refreshes the dialog after an addition or an edit.
    void FormCreate();
    void lbServersClick();
    void lbServersDblClick();
    void btnAddServerClick();
    void btnEditServerClick();

    QLabel* lblServers;
    TServerListBox* lbServers;
    TServerInfoPanel* pnlInfo;
    QPushButton* btnOk;
    QPushButton* btnCancel;
    QPushButton* btnAddServer;
    QPushButton* btnEditServer;

private:
    QPushButton* AddButton(const char* caption, int left, int top);
    void ServersChanged();

    TServerList& servers_;
};
