// The local pane's menus, keys and drops.
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>

#include "localpane/LocalPane.h"
#include "util/ui/UiUtils.h"

namespace {

bool NoModifier(const QKeyEvent& key) {
    return (key.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) == 0;
}

bool IsPaneKey(const QKeyEvent& key) { return key.key() == Qt::Key_F2 || key.key() == Qt::Key_F5 || key.key() == Qt::Key_Delete; }

bool IsParentFolderKey(const QKeyEvent& key) {
    return (key.key() == Qt::Key_Backspace && NoModifier(key)) ||
           (key.key() == Qt::Key_Up && (key.modifiers() & ~Qt::KeypadModifier) == Qt::AltModifier);
}

}  // namespace

void TLocalPane::BuildMenus() {
    const auto add = [this](QMenu* menu, const char* caption, void (TLocalPane::*handler)()) {
        QAction* item = menu->addAction(tr(caption));
        connect(item, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
        return item;
    };
    popLocalDir = new QMenu(this);
    itmNewLocalDir = add(popLocalDir, QT_TR_NOOP("Create &New folder"), &TLocalPane::itmNewLocalDirClick);
    itmRenameLocalDir = add(popLocalDir, QT_TR_NOOP("&Rename folder"), &TLocalPane::itmRenameLocalDirClick);
    itmDeleteLocalDir = add(popLocalDir, QT_TR_NOOP("&Delete folder"), &TLocalPane::itmDeleteLocalDirClick);
    itmUploadLocalDir = add(popLocalDir, QT_TR_NOOP("&Upload folder"), &TLocalPane::itmUploadLocalDirClick);
    connect(popLocalDir, &QMenu::aboutToShow, this, [this] { popLocalDirPopup(); });
    popLocalFiles = new QMenu(this);
    itmRenameLocalFile = add(popLocalFiles, QT_TR_NOOP("&Rename file"), &TLocalPane::itmRenameLocalFileClick);
    itmDeleteLocalFile = add(popLocalFiles, QT_TR_NOOP("&Delete file"), &TLocalPane::itmDeleteLocalFileClick);
    itmUploadLocaFile = add(popLocalFiles, QT_TR_NOOP("&Upload file to FTP Server"), &TLocalPane::itmUploadLocaFileClick);
    itmLocFileProperties = add(popLocalFiles, QT_TR_NOOP("&Properties"), &TLocalPane::itmLocFilePropertiesClick);
    connect(popLocalFiles, &QMenu::aboutToShow, this, [this] { popLocalFilesPopup(); });
    for (const auto& pair : {std::pair<QAbstractItemView*, QMenu*>{lbDirectory, popLocalDir}, {lbFiles, popLocalFiles}}) {
        // Named copies: clang 14 cannot capture structured bindings.
        QAbstractItemView* const list = pair.first;
        QMenu* const menu = pair.second;
        list->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(list, &QWidget::customContextMenuRequested, this,
                [list, menu](const QPoint& at) { menu->popup(list->viewport()->mapToGlobal(at)); });
    }
}

// Rename and delete need a folder below the volume's root, which is always
// the list's first line.
void TLocalPane::popLocalDirPopup() {
    const bool belowRoot = lbDirectory->currentRow() > 0;
    itmRenameLocalDir->setEnabled(belowRoot);
    itmDeleteLocalDir->setEnabled(belowRoot);
    itmNewLocalDir->setEnabled(true);
    itmUploadLocalDir->setEnabled(belowRoot && SessionConnected && SessionConnected() && !(SessionBusy && SessionBusy()));
}

void TLocalPane::itmUploadLocalDirClick() {
    if (UploadFolder && lbDirectory->currentRow() > 0) UploadFolder(ClickedFolder());
}

void TLocalPane::popLocalFilesPopup() {
    const bool selected = !SelectedFileNames().empty();
    itmRenameLocalFile->setEnabled(selected);
    itmDeleteLocalFile->setEnabled(selected);
    itmLocFileProperties->setEnabled(selected);
    itmUploadLocaFile->setEnabled(selected && SessionConnected && SessionConnected() && !(SessionBusy && SessionBusy()));
}

bool TLocalPane::lbDirectoryKeyUp(const QKeyEvent& key) {
    if (!IsPaneKey(key) || !NoModifier(key) || key.isAutoRepeat()) return false;
    switch (key.key()) {
        case Qt::Key_F2: itmRenameLocalDirClick(); break;
        case Qt::Key_F5: RefreshLocalFolders(); break;
        default: itmDeleteLocalDirClick(); break;
    }
    return true;
}

bool TLocalPane::lbFilesKeyUp(const QKeyEvent& key) {
    if (!IsPaneKey(key) || !NoModifier(key) || key.isAutoRepeat()) return false;
    switch (key.key()) {
        case Qt::Key_F2: itmRenameLocalFileClick(); break;
        case Qt::Key_F5: RefreshLocalFiles(); break;
        default: itmDeleteLocalFileClick(); break;
    }
    return true;
}

// Backspace and Alt+Up open the parent folder; Shift+F10 opens the list's
// menu as the Menu key does.
bool TLocalPane::ListKeyDown(QAbstractItemView* list, const QKeyEvent& key) {
    if (IsContextMenuKey(key)) {
        OpenContextMenuFromKeyboard(list);
        return true;
    }
    if (!IsParentFolderKey(key)) return false;
    try {
        SetLocalDir(LocalFolderPath(1));
    } catch (const std::exception&) {
        // A parent that cannot be read: the pane stays where it is.
    }
    return true;
}

// Only entries dragged from the remote list may be dropped here; they are
// downloaded into the current folder.
bool TLocalPane::lbFilesDragEvent(QDropEvent* event) {
    if (!(IsRemoteList && IsRemoteList(event->source()))) {
        event->ignore();
        return true;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    if (event->type() == QEvent::Drop && DownloadRemoteSelection) DownloadRemoteSelection();
    return true;
}

bool TLocalPane::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
            if (watched == lbFiles->viewport()) return lbFilesDragEvent(static_cast<QDropEvent*>(event));
            return false;
        case QEvent::ShortcutOverride:
            // The lists' own keys win over the window's shortcuts (F5 also
            // refreshes the remote folder).
            if (IsPaneKey(*static_cast<QKeyEvent*>(event))) {
                event->accept();
                return true;
            }
            return false;
        case QEvent::KeyPress: {
            const auto& key = *static_cast<QKeyEvent*>(event);
            if (watched != lbDirectory && watched != lbFiles) return false;
            return ListKeyDown(static_cast<QAbstractItemView*>(watched), key);
        }
        case QEvent::KeyRelease: {
            const auto& key = *static_cast<QKeyEvent*>(event);
            if (watched == lbDirectory) return lbDirectoryKeyUp(key);
            if (watched == lbFiles) return lbFilesKeyUp(key);
            return false;
        }
        default: return false;
    }
}
