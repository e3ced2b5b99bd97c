// Remote file operations started from the remote list: delete, rename in
// place (see RemotePane.cpp), new folder, permissions and properties.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <memory>

#include "dialogs/FrmChMod.h"
#include "dialogs/FrmFileProperties.h"
#include "dialogs/FrmFolder.h"
#include "session/RemoteListView.h"
#include "session/RemotePane.h"
#include "session/SessionController.h"
#include "util/ui/UiUtils.h"

namespace {

// "this file", "this folder", "these 3 files", "these 2 folders" or, for
// both kinds, "these 5 entries": a folder goes with all it holds, so the
// question must say so.
std::string DeleteQuestionObject(const std::vector<std::pair<std::string, bool>>& entries) {
    std::size_t folders = 0;
    for (const auto& entry : entries) folders += entry.second ? 1 : 0;
    const bool onlyFolders = folders == entries.size();
    if (entries.size() == 1)
        return onlyFolders ? Translated("TRemotePane", "this folder") : Translated("TRemotePane", "this file");
    const std::string kind = onlyFolders    ? Translated("TRemotePane", "these %1 folders")
                             : folders == 0 ? Translated("TRemotePane", "these %1 files")
                                            : Translated("TRemotePane", "these %1 entries");
    return Substitute(kind, {std::to_string(entries.size())});
}

}  // namespace

void TRemotePane::itmSrvFilesDeleteClick() {
    const std::vector<int> selected = list_->SelectedRows();
    if (selected.empty()) return;
    // The names are taken before anything runs: the listing queued behind
    // the first command replaces the list.
    std::vector<std::pair<std::string, bool>> entries;
    for (int row : selected) entries.emplace_back(list_->Caption(row), list_->Model()->IsFolder(row));
    const std::string question = FromQt(tr("Are you sure you want to delete %1 ?").arg(ToQt(DeleteQuestionObject(entries))));
    // A folder goes with everything in it: it is walked, counted and
    // deleted on a connection of its own.
    if (std::any_of(entries.begin(), entries.end(), [](const auto& entry) { return entry.second; }))
        return DeleteTrees(entries, question);
    if (AskYesNo(ApplicationTitle, question) != IDYES) return;
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
        dialog->setWindowTitle(tr("Make New Folder"));
        dialog->lblCurrentFolder->setText(tr("Current working directory:"));
        dialog->lblCurDir->setText(ToQt(session_.CurrentRemoteDir));
        dialog->lblNewFolder->setText(tr("Create new folder with name:"));
        dialog->btnCreate->setText(tr("Create"));
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

// One dialog per selected entry, the first row (always ".") left out;
// cancelling one ends the series, and one listing follows in any case.
void TRemotePane::itmSrvFilesChModClick() {
    std::vector<std::pair<std::string, std::string>> entries;
    for (int row : list_->SelectedRows())
        if (row != 0) entries.emplace_back(list_->Caption(row), list_->ColumnText(row, TRemoteFileModel::colPermission));
    for (const auto& [name, permissions] : entries) {
        bool flags[9] = {};
        {
            TfrmChMod dialog(window_);
            LoadPermissions(dialog, name, permissions);
            CenterOver(&dialog, window_);
            if (dialog.exec() != QDialog::Accepted) break;
            dialog.Flags(flags);
        }
        session_.QueueSiteChmod(name, flags);
    }
    session_.QueueListing();
}

void TRemotePane::itmSrvFilesPropertiesClick() {
    const TRemoteFileModel& model = *list_->Model();
    for (int row : list_->SelectedRows()) {
        if (row == 0) continue;
        try {
            auto* window = new TfrmFileProperties(window_);
            window->imgIcon->setPixmap(model.RowIcon(row).pixmap(32, 32));
            window->lblFilename->setText(ToQt(list_->Caption(row)));
            window->lblType->setText(ToQt(list_->ColumnText(row, TRemoteFileModel::colType)));
            window->lblLocation->setText(dirs_->currentText());
            window->lblSize->setText(ToQt(PropertiesSizeText(list_->ColumnText(row, TRemoteFileModel::colSize))));
            window->lblModified->setText(ToQt(list_->ColumnText(row, TRemoteFileModel::colModified)));
            window->lblPermissions->setText(ToQt(list_->ColumnText(row, TRemoteFileModel::colPermission)));
            window->lblUser->setText(ToQt(list_->ColumnText(row, TRemoteFileModel::colOwner)));
            window->lblGroup->setText(ToQt(list_->ColumnText(row, TRemoteFileModel::colGroup)));
            window->show();
        } catch (...) {
            // No window for this entry; the others are still shown.
        }
    }
}
