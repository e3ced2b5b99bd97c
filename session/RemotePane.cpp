// Navigation in the remote pane: double-click, keys, the folder box, the
// context menu and what may be dropped on the list.
#include "session/RemotePane.h"

#include <QAbstractItemView>
#include <QActionGroup>
#include <QComboBox>
#include <QCompleter>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QTreeView>

#include "session/RemoteFileEditor.h"
#include "session/RemoteListView.h"
#include "session/SessionController.h"
#include "session/WindowQueue.h"
#include "util/ui/UiUtils.h"

namespace {

bool IsEnter(const QKeyEvent& key) { return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter; }

bool NoModifier(const QKeyEvent& key) {
    return (key.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) == 0;
}

bool IsPaneKey(const QKeyEvent& key) { return key.key() == Qt::Key_Delete || key.key() == Qt::Key_F2 || key.key() == Qt::Key_F5; }

bool IsParentFolderKey(const QKeyEvent& key) {
    return (key.key() == Qt::Key_Backspace && NoModifier(key)) ||
           (key.key() == Qt::Key_Up && (key.modifiers() & ~Qt::KeypadModifier) == Qt::AltModifier);
}

}  // namespace

TRemotePane::TRemotePane(TSessionController& session, TRemoteListView* list, QComboBox* dirs, QWidget* window)
    : QObject(window), session_(session), list_(list), dirs_(dirs), window_(window) {
    BuildMenu();
    BindList();
    BindFolderBox();
    BindEditor();
}

TRemotePane::~TRemotePane() = default;

bool TRemotePane::Refused() const { return session_.Busy || session_.Executing(); }

void TRemotePane::BuildMenu() {
    popServerFiles = new QMenu(window_);
    const auto add = [this](QMenu* menu, const char* caption, void (TRemotePane::*handler)()) {
        QAction* item = menu->addAction(tr(caption));
        connect(item, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
        return item;
    };
    itmSrvFilesDownload = add(popServerFiles, QT_TR_NOOP("Down&load to local dir"), &TRemotePane::itmSrvFilesDownloadClick);
    itmSrvFilesDownloadAs = add(popServerFiles, QT_TR_NOOP("Download &as ..."), &TRemotePane::itmSrvFilesDownloadAsClick);
    itmSrvFilesEdit = add(popServerFiles, QT_TR_NOOP("&Edit"), &TRemotePane::itmSrvFilesEditClick);
    popServerFiles->addSeparator();
    itmSrvFilesNewFolder = add(popServerFiles, QT_TR_NOOP("Create &new folder"), &TRemotePane::itmSrvFilesNewFolderClick);
    itmSrvFilesRename = add(popServerFiles, QT_TR_NOOP("Re&name"), &TRemotePane::itmSrvFilesRenameClick);
    itmSrvFilesDelete = add(popServerFiles, QT_TR_NOOP("&Delete"), &TRemotePane::itmSrvFilesDeleteClick);
    itmSrvFilesChMod = add(popServerFiles, QT_TR_NOOP("&Change permissions"), &TRemotePane::itmSrvFilesChModClick);
    popServerFiles->addSeparator();
    mnuSrvFilesView = popServerFiles->addMenu(tr("&View"));
    auto* styles = new QActionGroup(mnuSrvFilesView);
    const auto addStyle = [&](const char* caption, int style) {
        QAction* item = mnuSrvFilesView->addAction(tr(caption));
        item->setCheckable(true);
        styles->addAction(item);
        connect(item, &QAction::triggered, this, [this, style] { SetViewStyle(style); });
        return item;
    };
    itmSrvFilesViewLarge = addStyle(QT_TR_NOOP("View as large icons"), TRemoteListView::vsIcon);
    itmSrvFilesViewSmall = addStyle(QT_TR_NOOP("View as small icons"), TRemoteListView::vsSmallIcon);
    itmSrvFilesViewList = addStyle(QT_TR_NOOP("View as list"), TRemoteListView::vsList);
    itmSrvFilesViewDetails = addStyle(QT_TR_NOOP("View details"), TRemoteListView::vsReport);
    popServerFiles->addSeparator();
    itmSrvFilesProperties = add(popServerFiles, QT_TR_NOOP("&Properties"), &TRemotePane::itmSrvFilesPropertiesClick);
    connect(popServerFiles, &QMenu::aboutToShow, this, [this] { popServerFilesPopup(); });
}

void TRemotePane::BindList() {
    for (QAbstractItemView* view :
         {static_cast<QAbstractItemView*>(list_->IconView()), static_cast<QAbstractItemView*>(list_->DetailView())}) {
        view->installEventFilter(this);
        view->viewport()->installEventFilter(this);
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(view, &QWidget::customContextMenuRequested, this,
                [this, view](const QPoint& at) { popServerFiles->popup(view->viewport()->mapToGlobal(at)); });
        connect(view, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex&) { lvServerFilesDblClick(); });
    }
    // The list shows the new name at once; the listing after the rename
    // puts the old one back when the server refused it.
    list_->Model()->OnRenamed = [this](int, const std::string& oldName, const std::string& newName) {
        session_.QueueRename(oldName, newName);
        session_.QueueListing();
    };
}

// The editor's transfers go through the queue pane on a connection of their
// own, and wait while the pane runs other server work.
void TRemotePane::BindEditor() {
    Editor = new TRemoteFileEditor(session_, window_);
    Editor->RunTransfers = [this](const TFtpEndpoint& endpoint, std::unique_ptr<TTransferConnection> connection,
                                  const std::vector<TTransferItem>& items) {
        return RunOnServer(endpoint, std::move(connection), items);
    };
    Editor->CanTransfer = [this] { return !Refused() && !QueueRunning(); };
}

void TRemotePane::BindFolderBox() {
    // A history entry picked from the list opens that folder; Enter sends
    // what was typed. Completion offers history entries in a list below the
    // box and never replaces the typed text on its own.
    connect(dirs_, &QComboBox::activated, this, [this](int) { cbServerDirClick(); });
    if (QCompleter* completer = dirs_->completer()) {
        completer->setCompletionMode(QCompleter::PopupCompletion);
        completer->setCaseSensitivity(Qt::CaseSensitive);
        completer->popup()->installEventFilter(this);
    }
    // Typed keys arrive at the combo box, which holds the focus (its edit
    // hands the focus on to it) and passes them to the edit directly, past
    // any filter of the edit: Enter is caught on the box as well.
    dirs_->installEventFilter(this);
    if (QLineEdit* edit = dirs_->lineEdit()) edit->installEventFilter(this);
}

bool TRemotePane::IsFolderBoxPart(const QObject* watched) const {
    return watched == dirs_ || watched == dirs_->lineEdit() || (dirs_->completer() && watched == dirs_->completer()->popup());
}

bool TRemotePane::FolderBoxKeyDown(QObject* watched, const QKeyEvent& key) {
    if (!IsEnter(key)) return false;
    // A completion the user picked in the list is taken into the box and
    // opened by the box's own activation; otherwise Enter sends the text as
    // typed.
    QAbstractItemView* popup = dirs_->completer() ? dirs_->completer()->popup() : nullptr;
    if (watched == popup && popup->currentIndex().isValid()) return false;
    if (popup != nullptr) popup->hide();
    cbServerDirKeyPress();
    return true;
}

void TRemotePane::SetViewStyle(int style) { list_->SetViewStyle(style); }

void TRemotePane::OpenFolder(const std::string& dir) {
    session_.QueueChangeDir(dir);
    session_.QueuePrintDir();
    session_.QueueListing();
}

void TRemotePane::lvServerFilesDblClick() {
    const std::vector<int> selected = list_->SelectedRows();
    if (selected.empty() || Refused()) return;
    const int row = selected.front();
    if (list_->Model()->IsFolder(row)) {
        OpenFolder(list_->Caption(row));
        return;
    }
    const std::string text = FromQt(selected.size() == 1 ? tr("Are you sure you want to download this file ?")
                                                         : tr("Are you sure you want to download these files ?"));
    if (AskYesNo(ApplicationTitle, text) == IDYES) itmSrvFilesDownloadClick();
}

bool TRemotePane::lvServerFilesKeyDown(const QKeyEvent& key) {
    // The Enter that ends an in-place rename comes on from the editor: it
    // must not open the folder being renamed.
    if (list_->IsEditing()) return IsEnter(key);
    if (IsContextMenuKey(key)) {
        OpenContextMenuFromKeyboard(list_->CurrentView());
        return true;
    }
    if (!list_->isEnabled()) return false;
    if (IsParentFolderKey(key)) {
        OpenParentFolder();
        return true;
    }
    if (!IsEnter(key) || key.modifiers() != Qt::NoModifier) return false;
    lvServerFilesDblClick();
    return true;
}

void TRemotePane::OpenParentFolder() {
    if (Refused() || !session_.SessionAlive()) return;
    session_.QueueParentDir();
    session_.QueueListing();
    session_.QueuePrintDir();
}

bool TRemotePane::lvServerFilesKeyUp(const QKeyEvent& key) {
    if (!IsPaneKey(key) || !NoModifier(key) || key.isAutoRepeat()) return false;
    if (list_->IsEditing() || !list_->isEnabled()) return true;
    try {
        switch (key.key()) {
            case Qt::Key_Delete: itmSrvFilesDeleteClick(); break;
            case Qt::Key_F2: itmSrvFilesRenameClick(); break;
            case Qt::Key_F5:
                if (!Refused()) {
                    session_.QueueListing();
                    session_.QueuePrintDir();
                }
                break;
            default: break;
        }
    } catch (...) {
        // A key handler never lets an error escape into the event loop.
    }
    return true;
}

void TRemotePane::popServerFilesPopup() {
    const bool selected = list_->SelectedCount() > 0;
    for (QAction* item : {itmSrvFilesDelete, itmSrvFilesRename, itmSrvFilesChMod, itmSrvFilesProperties})
        item->setEnabled(selected);
    const bool canDownload = selected && session_.SessionAlive() && !session_.Busy;
    itmSrvFilesDownload->setEnabled(canDownload);
    itmSrvFilesDownloadAs->setEnabled(canDownload);
    bool fileSelected = false;
    for (int row : list_->SelectedRows()) fileSelected = fileSelected || !list_->Model()->IsFolder(row);
    itmSrvFilesEdit->setEnabled(canDownload && fileSelected);
    itmSrvFilesNewFolder->setEnabled(true);
    mnuSrvFilesView->setEnabled(true);
    QAction* current[] = {itmSrvFilesViewLarge, itmSrvFilesViewSmall, itmSrvFilesViewList, itmSrvFilesViewDetails};
    current[list_->ViewStyle()]->setChecked(true);
}

void TRemotePane::cbServerDirClick() {
    if (Refused()) return;
    const std::string dir = FromQt(dirs_->currentText());
    if (!dir.empty()) OpenFolder(dir);
}

void TRemotePane::cbServerDirKeyPress() {
    if (Refused() || dirs_->lineEdit() == nullptr) return;
    const std::string dir = FromQt(dirs_->lineEdit()->text());
    if (!dir.empty()) OpenFolder(dir);
}

void TRemotePane::itmSrvFilesEditClick() {
    if (Refused() || !session_.SessionAlive()) return;
    std::vector<std::string> names;
    for (int row : list_->SelectedRows())
        if (!list_->Model()->IsFolder(row)) names.push_back(list_->Caption(row));
    const std::string folder = session_.CurrentRemoteDir;
    for (const std::string& name : names) Editor->Edit(folder, name);
}

void TRemotePane::itmSrvFilesRenameClick() {
    const std::vector<int> selected = list_->SelectedRows();
    if (!selected.empty()) list_->StartRename(selected.front());
}

// Drags arrive at the viewport, or at the view itself (in its own
// coordinates, around the viewport's frame) when the viewport takes none.
int TRemotePane::FolderRowAt(QObject* target, QPoint at) const {
    for (QAbstractItemView* view :
         {static_cast<QAbstractItemView*>(list_->IconView()), static_cast<QAbstractItemView*>(list_->DetailView())}) {
        if (target != view && target != view->viewport()) continue;
        const QPoint inViewport = target == view ? view->viewport()->mapFrom(view, at) : at;
        const int row = view->indexAt(inViewport).row();
        return row >= 0 && list_->Model()->IsFolder(row) ? row : -1;
    }
    return -1;
}

// A drag over a folder's row lights that row: the files go into it.
bool TRemotePane::DragEvent(QObject* target, QEvent* event) {
    TRemoteFileModel& model = *list_->Model();
    if (event->type() == QEvent::DragLeave) {
        model.SetDropTarget(-1);
        return true;
    }
    auto* drag = static_cast<QDropEvent*>(event);
    const bool folder = IsLocalFolderList && IsLocalFolderList(drag->source()) && DraggedLocalFolder;
    if (!folder && !(IsLocalFileList && IsLocalFileList(drag->source()))) {
        drag->ignore();
        return true;
    }
    drag->setDropAction(Qt::CopyAction);
    drag->accept();
    const int row = FolderRowAt(target, drag->position().toPoint());
    if (event->type() != QEvent::Drop) {
        model.SetDropTarget(row);
        return true;
    }
    model.SetDropTarget(-1);
    if (folder) {
        const std::string into = row >= 0 && list_->Caption(row) != "." ? list_->Caption(row) : std::string();
        UploadFolderTree(DraggedLocalFolder(), into);
    } else {
        lvServerFilesDragDrop(row);
    }
    return true;
}

bool TRemotePane::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::DragLeave:
        case QEvent::Drop: return DragEvent(watched, event);
        case QEvent::ShortcutOverride: {
            // The list's own keys win over the window's shortcuts (F5 is
            // also the menu's refresh), so a key never acts twice.
            auto* key = static_cast<QKeyEvent*>(event);
            if (!IsFolderBoxPart(watched) && IsPaneKey(*key)) {
                event->accept();
                return true;
            }
            return false;
        }
        case QEvent::KeyPress: {
            const auto& key = *static_cast<QKeyEvent*>(event);
            if (IsFolderBoxPart(watched)) return FolderBoxKeyDown(watched, key);
            return lvServerFilesKeyDown(key);
        }
        case QEvent::KeyRelease:
            if (IsFolderBoxPart(watched)) return false;
            return lvServerFilesKeyUp(*static_cast<QKeyEvent*>(event));
        default: return false;
    }
}
