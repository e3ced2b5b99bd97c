// The remote pane's wiring: its behaviour lives in TRemotePane; the window
// hands it the local pane's folder and file list.
#include <QAction>
#include <QListWidget>

#include "app/FrmMain.h"
#include "localpane/LocalPane.h"
#include "session/RemoteListView.h"
#include "session/RemotePane.h"
#include "session/TransferListView.h"
#include "util/ui/UiUtils.h"

void TfrmMain::SetServerViewStyle(int style) { lvServerFiles->SetViewStyle(style); }

void TfrmMain::BindServerPane() {
    RemotePane = new TRemotePane(Session, lvServerFiles, cbServerDir, this);
    RemotePane->LocalFolder = [this] { return LocalDir(); };
    RemotePane->RefreshLocalFiles = [this] { RefreshLocalFiles(); };
    RemotePane->IsLocalFileList = [this](const QObject* source) { return source != nullptr && source == lbFiles; };
    connect(tb97NewFolder, &QAction::triggered, RemotePane, [this] { RemotePane->itmSrvFilesNewFolderClick(); });
    connect(tb97Delete, &QAction::triggered, RemotePane, [this] { RemotePane->itmSrvFilesDeleteClick(); });
    RemotePane->SelectedLocalFiles = [this] { return pnlLocal->SelectedFileNames(); };
    RemotePane->IsLocalFolderList = [this](const QObject* source) {
        return source != nullptr && source == pnlLocal->lbDirectory;
    };
    RemotePane->DraggedLocalFolder = [this] { return pnlLocal->DraggedFolder(); };
    RemotePane->QueueView = lvTransfers;
    lvTransfers->OnRetry = [this](std::vector<TTransferItem> items) { RemotePane->RetryItems(items); };
    lvTransfers->OnStop = [this] { RemotePane->StopQueue(); };
}
