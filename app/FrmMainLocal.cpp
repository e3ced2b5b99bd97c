// The local pane's wiring: its behaviour lives in TLocalPane; the window
// connects it to the session and the remote pane.
#include <QAbstractItemView>
#include <QListView>
#include <QTreeView>

#include "app/FrmMain.h"
#include "localpane/LocalPane.h"
#include "session/RemoteListView.h"
#include "session/RemotePane.h"

std::string TfrmMain::LocalDrive() const { return pnlLocal->LocalDrive(); }
std::string TfrmMain::LocalDir() const { return pnlLocal->LocalDir(); }
void TfrmMain::SetLocalDrive(const std::string& root) { pnlLocal->SetLocalDrive(root); }
void TfrmMain::SetLocalDir(const std::string& folder) { pnlLocal->SetLocalDir(folder); }
void TfrmMain::SetLocalFilter(int index) { pnlLocal->SetLocalFilter(index); }
// Called whenever a download may have changed the local folder: a folder
// download adds subfolders as well as files.
void TfrmMain::RefreshLocalFiles() {
    pnlLocal->RefreshLocalFolders();
    pnlLocal->RefreshLocalFiles();
}

void TfrmMain::BindLocalPane() {
    pnlLocal->SessionBusy = [this] { return Session.Busy || Session.Executing(); };
    pnlLocal->SessionConnected = [this] { return Session.SessionAlive(); };
    pnlLocal->UploadSelected = [this] { RemotePane->UploadSelectedLocalFiles(); };
    pnlLocal->UploadFolder = [this](const std::string& folder) { RemotePane->UploadFolderTree(folder); };
    pnlLocal->DownloadRemoteSelection = [this] { RemotePane->itmSrvFilesDownloadClick(); };
    pnlLocal->IsRemoteList = [this](const QObject* source) {
        return source != nullptr && (source == lvServerFiles->IconView() || source == lvServerFiles->DetailView());
    };
}
