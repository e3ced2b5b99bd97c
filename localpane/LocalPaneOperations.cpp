// The local pane's folder and file operations: new, rename and delete
// folder; rename, delete, upload and inspect files.
#include <fcntl.h>
#include <sys/stat.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStorageInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "dialogs/FrmFileProperties.h"
#include "dialogs/FrmFolder.h"
#include "localpane/LocalPane.h"
#include "util/MiscUtils.h"
#include "util/ui/UiUtils.h"

namespace {

// The last component of a typed name, trailing separators dropped: a typed
// path never moves the entry elsewhere.
std::string LastComponent(std::string text) {
    while (!text.empty() && text.back() == '/') text.pop_back();
    const std::size_t slash = text.rfind('/');
    return slash == std::string::npos ? text : text.substr(slash + 1);
}

std::string ParentOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {};
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string Join(const std::string& folder, const std::string& name) { return WithTrailingBackslash(folder) + name; }

bool SameFile(const std::string& a, const std::string& b) {
    struct stat x {};
    struct stat y {};
    return ::stat(a.c_str(), &x) == 0 && ::stat(b.c_str(), &y) == 0 && x.st_dev == y.st_dev && x.st_ino == y.st_ino;
}

bool Exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

// Renames without ever replacing an existing entry (a plain rename would
// silently replace a file, or an empty folder, of the new name); an errno
// text on failure.
std::string RenameNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return {};
    if (errno != EINVAL && errno != ENOSYS) return std::strerror(errno);
    // File systems without the flag: check, then rename.
    if (Exists(to) && !SameFile(from, to)) return std::strerror(EEXIST);
    return std::rename(from.c_str(), to.c_str()) == 0 ? std::string() : std::strerror(errno);
}

bool IsVolumeRoot(const std::string& path) {
    if (path.empty() || path == "/") return true;
    return FromQt(QStorageInfo(ToQt(path)).rootPath()) == WithoutTrailingBackslash(path);
}

}  // namespace

std::unique_ptr<TfrmFolder> TLocalPane::NewFolderDialog(const char* caption, const char* heading, const std::string& field,
                                                        const char* buttonCaption) {
    auto dialog = std::make_unique<TfrmFolder>(window_);
    dialog->setWindowTitle(tr(caption));
    dialog->lblCurrentFolder->setText(tr(heading));
    dialog->lblCurDir->setText(ToQt(field));
    dialog->btnCreate->setText(tr(buttonCaption));
    CenterOver(dialog.get(), window_);
    return dialog;
}

void TLocalPane::ShowError(const std::string& text) { ShowInfoBox(ApplicationTitle, text); }

void TLocalPane::itmNewLocalDirClick() {
    const std::string clicked = ClickedFolder();
    if (clicked.empty()) return;
    const std::string base = WithoutTrailingBackslash(clicked);
    auto dialog = NewFolderDialog(QT_TR_NOOP("Create a new folder"), QT_TR_NOOP("Current Folder:"), base.empty() ? "/" : base,
                                  QT_TR_NOOP("Create"));
    dialog->lblNewFolder->setText(tr("New Folder name:"));
    if (dialog->exec() != QDialog::Accepted) return;
    const std::string path = Join(base, FromQt(dialog->ebx97NewDir->text()));
    dialog.reset();
    if (::mkdir(path.c_str(), 0777) != 0) {
        ShowError(FromQt(tr("Unable to create the folder %1: %2").arg(ToQt(path), ToQt(std::strerror(errno)))));
        return;
    }
    RefreshLocalFolders();
}

void TLocalPane::itmRenameLocalDirClick() {
    const std::string old = WithoutTrailingBackslash(ClickedFolder());
    if (old.empty() || IsVolumeRoot(old)) return;
    auto dialog = NewFolderDialog(QT_TR_NOOP("Rename a folder"), QT_TR_NOOP("Original folder name:"), old, QT_TR_NOOP("Rename"));
    dialog->lblNewFolder->setText(tr("New Folder name:"));
    dialog->ebx97NewDir->setText(ToQt(LastComponent(old)));
    if (dialog->exec() != QDialog::Accepted) return;
    const std::string name = LastComponent(FromQt(dialog->ebx97NewDir->text()));
    dialog.reset();
    if (name.empty() || name == "." || name == "..") return;
    const std::string renamed = Join(ParentOf(old), name);
    if (const std::string failure = RenameNoReplace(old, renamed); !failure.empty()) {
        ShowError(FromQt(tr("Unable to rename %1 to %2: %3").arg(ToQt(old), ToQt(renamed), ToQt(failure))));
        return;
    }
    FollowMovedFolder(old, renamed);
}

void TLocalPane::itmDeleteLocalDirClick() {
    const std::string dir = WithoutTrailingBackslash(ClickedFolder());
    if (dir.empty() || IsVolumeRoot(dir)) return;
    auto dialog = NewFolderDialog(QT_TR_NOOP("Delete a folder"), QT_TR_NOOP("Are you sure you want to delete this folder:"), dir,
                                  QT_TR_NOOP("Delete"));
    dialog->SetConfirmOnly(true);
    dialog->lblNewFolder->hide();
    dialog->ebx97NewDir->hide();
    if (dialog->exec() != QDialog::Accepted) return;
    dialog.reset();
    if (!RemoveToTrashOrForGood(dir, true)) return;
    FollowMovedFolder(dir, {});
}

// A renamed or deleted (`to` empty) folder that held the open one takes the
// pane along to its new place, or to its parent; otherwise the list is only
// re-read.
void TLocalPane::FollowMovedFolder(const std::string& from, const std::string& to) {
    const bool inside = localDir_ == from || localDir_.rfind(WithTrailingBackslash(from), 0) == 0;
    if (!inside) {
        RefreshLocalFolders();
        return;
    }
    try {
        SetLocalDir(to.empty() ? ParentOf(from) : to + localDir_.substr(from.size()));
    } catch (const std::exception& error) {
        ShowError(error.what());
    }
}

bool TLocalPane::RemoveToTrashOrForGood(const std::string& path, bool folder) {
    if (Recycle && Recycle(path)) return true;
    // Permanent deletion is a second decision: the user agreed to the trash.
    const std::string question = FromQt(tr("\"%1\"\ncannot be moved to the trash. Delete it permanently?").arg(ToQt(path)));
    if (AskYesNo(ApplicationTitle, question) != IDYES) return false;
    const bool gone = folder ? DeleteFolderTree(path) : std::remove(path.c_str()) == 0;
    if (!gone)
        ShowError(folder ? FromQt(tr("Unable to delete %1").arg(ToQt(path)))
                         : FromQt(tr("Unable to delete %1: %2").arg(ToQt(path), ToQt(std::strerror(errno)))));
    return gone;
}

void TLocalPane::itmRenameLocalFileClick() {
    const std::vector<std::string> names = SelectedFileNames();
    if (names.empty()) return;
    auto dialog = NewFolderDialog(QT_TR_NOOP("Rename a file"), QT_TR_NOOP("Original file name:"), {}, QT_TR_NOOP("Rename"));
    dialog->lblNewFolder->setText(tr("New file name:"));
    const std::string folder = localDir_;
    for (const std::string& name : names) {
        const std::string full = Join(folder, name);
        dialog->lblCurDir->setText(ToQt(full));
        dialog->ebx97NewDir->setText(ToQt(name));
        if (dialog->exec() != QDialog::Accepted) continue;
        const std::string newName = LastComponent(FromQt(dialog->ebx97NewDir->text()));
        if (newName.empty() || newName == name) continue;
        const std::string renamed = Join(folder, newName);
        // A name that differs only in letter case may be the same file on a
        // case-blind volume; anything else that exists stops the run, so no
        // file is ever replaced.
        if (Exists(renamed) && !SameFile(full, renamed)) {
            ShowInfoBox(ApplicationTitle, FromQt(tr("File: \"%1\"\nalready exists. Rename aborted.").arg(ToQt(newName))));
            break;
        }
        (void)RenameNoReplace(full, renamed);
    }
    RefreshLocalFiles();
}

void TLocalPane::itmDeleteLocalFileClick() {
    const std::vector<std::string> names = SelectedFileNames();
    if (names.empty()) return;
    auto dialog = NewFolderDialog(QT_TR_NOOP("Delete a file"), QT_TR_NOOP("Are you sure you want to delete this file:"), {},
                                  QT_TR_NOOP("Delete"));
    dialog->SetConfirmOnly(true);
    dialog->lblNewFolder->hide();
    dialog->ebx97NewDir->hide();
    const std::string folder = localDir_;
    for (const std::string& name : names) {
        const std::string full = Join(folder, name);
        dialog->lblCurDir->setText(ToQt(full));
        if (dialog->exec() != QDialog::Accepted) continue;
        (void)RemoveToTrashOrForGood(full, false);
    }
    RefreshLocalFiles();
}

void TLocalPane::itmUploadLocaFileClick() {
    if ((SessionBusy && SessionBusy()) || SelectedFileNames().empty()) return;
    if (UploadSelected) UploadSelected();
}

void TLocalPane::lbFilesDblClick() {
    const std::size_t selected = SelectedFileNames().size();
    if ((SessionBusy && SessionBusy()) || !(SessionConnected && SessionConnected()) || selected == 0) return;
    const std::string question = FromQt(selected == 1 ? tr("Are you sure you want to upload this file ?")
                                                      : tr("Are you sure you want to upload these files ?"));
    if (AskYesNo(ApplicationTitle, question) == IDYES) itmUploadLocaFileClick();
}

void TLocalPane::itmLocFilePropertiesClick() {
    for (const std::string& name : SelectedFileNames()) (void)ShowLocalFileProperties(localDir_, name, window_);
}
