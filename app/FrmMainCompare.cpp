// The two folders side by side: the comparison's colours (the toolbar
// toggle and the View menu entry, kept in step) and the synchronisation.
#include <QAction>
#include <QListWidget>

#include "app/FolderCompare.h"
#include "app/FrmMain.h"
#include "app/StatusBar.h"
#include "session/RemotePane.h"

void TfrmMain::BindCompare() {
    FolderCompare = new TFolderCompare(Session, lbFiles, lvServerFiles, this);
    FolderCompare->LocalFolder = [this] { return LocalDir(); };
    FolderCompare->RefreshRemote = [this] { tb97RefreshClick(); };
    connect(tb97Compare, &QAction::toggled, this, [this](bool on) { SetCompare(on); });
    connect(itmViewCompare, &QAction::toggled, this, [this](bool on) { SetCompare(on); });
    // Enabled with the Refresh button: connected, and no command running.
    itmSynchronise->setEnabled(tb97Refresh->isEnabled());
    connect(tb97Refresh, &QAction::enabledChanged, itmSynchronise, &QAction::setEnabled);
}

void TfrmMain::SetCompare(bool on) {
    tb97Compare->setChecked(on);
    itmViewCompare->setChecked(on);
    FolderCompare->SetOn(on);
    ShowHint(QString());
}

void TfrmMain::itmSynchroniseClick() {
    if (Session.Busy || Session.Executing()) return;
    RemotePane->SynchroniseFolders();
}
