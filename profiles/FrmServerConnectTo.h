#pragma once
// The chooser opened by the Connect button: pick one profile, or add or edit
// profiles on the way.
//
// Main-window use:
//   if (TFTPServer* chosen = TfrmServerConnectTo::Execute(this, store.ServerList, fillMenu))
//       ConnectToServer(chosen);
// centres the dialog over `this` and shows it modally; returns the profile
// chosen with "&Cool" or a double click, null when cancelled. "&Add Server"
// opens the profile form centred over `this` (the main window's add action);
// `fillMenu` runs after each addition or edit.

#include <functional>

#include "profiles/ServerListDialog.h"

class TfrmServerConnectTo : public TServerListDialog {
public:
    explicit TfrmServerConnectTo(TServerList& servers, QWidget* parent = nullptr);

    static TFTPServer* Execute(QWidget* owner, TServerList& servers, const std::function<void()>& serversChanged);

    // The selected profile; null with none selected.
    TFTPServer* SelectedServer() const;

    // Also refreshes the dialog after an addition or an edit.
    void FormCreate() override;
    void lbServersClick() override;
    void lbServersDblClick();
    void btnAddServerClick();
    void btnEditServerClick();

    QPushButton* btnOk;
    QPushButton* btnCancel;
    QPushButton* btnAddServer;
    QPushButton* btnEditServer;
};
