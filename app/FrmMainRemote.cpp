// The remote pane's navigation that exists so far: the folder combo and the
// view styles. Listings fill lvServerFiles through Session.OnListingDone.
#include <QComboBox>
#include <QLineEdit>

#include "app/FrmMain.h"
#include "session/RemoteListView.h"
#include "util/UiUtils.h"

void TfrmMain::cbServerDirClick() {
    if (Session.Busy || Session.Executing()) return;
    const std::string dir = FromQt(cbServerDir->currentText());
    if (dir.empty()) return;
    Session.QueueChangeDir(dir);
    Session.QueuePrintDir();
    Session.QueueListing();
}

void TfrmMain::SetServerViewStyle(int style) { lvServerFiles->SetViewStyle(style); }

void TfrmMain::BindServerPane() {
    // Choosing an entry and pressing Enter in the edit both open the folder.
    connect(cbServerDir, &QComboBox::activated, this, [this](int) { cbServerDirClick(); });
}
