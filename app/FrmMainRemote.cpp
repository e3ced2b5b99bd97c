// The remote pane's navigation that exists so far: the folder combo and the
// view styles. Listings fill lvServerFiles through Session.OnListingDone.
#include <QActionGroup>
#include <QComboBox>
#include <QListView>
#include <QMenu>
#include <QTreeView>

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

    // The list's context menu; its file operations join it later, the view
    // styles are here from the start.
    popServerFiles = new QMenu(this);
    auto* styles = new QActionGroup(popServerFiles);
    const auto addStyle = [&](const char* caption, int style) {
        QAction* item = popServerFiles->addAction(QString::fromLatin1(caption));
        item->setCheckable(true);
        styles->addAction(item);
        connect(item, &QAction::triggered, this, [this, style] { SetServerViewStyle(style); });
        return item;
    };
    itmSrvFilesViewLarge = addStyle("Lar&ge Icons", TRemoteListView::vsIcon);
    itmSrvFilesViewSmall = addStyle("S&mall Icons", TRemoteListView::vsSmallIcon);
    itmSrvFilesViewList = addStyle("&List", TRemoteListView::vsList);
    itmSrvFilesViewDetails = addStyle("&Details", TRemoteListView::vsReport);
    for (QWidget* view : {static_cast<QWidget*>(lvServerFiles->IconView()), static_cast<QWidget*>(lvServerFiles->DetailView())}) {
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(view, &QWidget::customContextMenuRequested, this,
                [this, view](const QPoint& at) { popServerFiles->popup(view->mapToGlobal(at)); });
    }
    connect(popServerFiles, &QMenu::aboutToShow, this, [this] {
        QAction* current[] = {itmSrvFilesViewLarge, itmSrvFilesViewSmall, itmSrvFilesViewList, itmSrvFilesViewDetails};
        current[lvServerFiles->ViewStyle()]->setChecked(true);
    });
}
