// Downloads and uploads started from the remote pane: to the local folder,
// "Download as", whole folder trees, and local files dropped on the list.
#include <QComboBox>
#include <QFileDialog>
#include <algorithm>
#include <charconv>
#include <vector>

#include "session/DirEntry.h"
#include "session/RemoteListView.h"
#include "session/RemotePane.h"
#include "session/SessionController.h"
#include "session/SideConnection.h"
#include "transfer/EntryNames.h"
#include "util/MiscUtils.h"
#include "util/ui/UiUtils.h"

namespace {

std::int64_t SizeOfColumn(const std::string& text) {
    std::int64_t size = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), size);
    return error == std::errc() && end == text.data() + text.size() && size > 0 ? size : 0;
}

bool IsDotEntry(const std::string& name) { return name == "." || name == ".."; }

}  // namespace

// A name from the server becomes a local path only if it stays one entry of
// the chosen folder: no separators (either kind), no "." or "..", nothing
// that ends the string early.
bool IsSafeLocalName(const std::string& name) {
    if (name.empty() || IsDotEntry(name)) return false;
    return name.find_first_of(std::string("/\\\0", 3)) == std::string::npos;
}

std::vector<TDirEntry> TRemotePane::CollectEntries(const std::vector<int>& rows) const {
    std::vector<TDirEntry> entries;
    for (int row : rows) {
        TDirEntry entry;
        entry.EntryName = list_->Caption(row);
        entry.EntrySize = SizeOfColumn(list_->ColumnText(row, TRemoteFileModel::colSize));
        entry.IsFolder = list_->Model()->IsFolder(row);
        const std::string link = list_->ColumnText(row, TRemoteFileModel::colLink);
        // The listing wrote the column in the user's language.
        const std::string linkPrefix = Translated("TRemoteFileModel", "Link to ");
        if (link.rfind(linkPrefix, 0) == 0) entry.LinkTarget = link.substr(linkPrefix.size());
        entries.push_back(std::move(entry));
    }
    return entries;
}

// Skips (and logs) an entry whose name could write outside the target.
bool TRemotePane::AcceptName(const std::string& name) {
    if (IsSafeLocalName(name)) return true;
    session_.AddLogLine(FromQt(tr("Skipped \"%1\": the name would leave the folder it is downloaded to").arg(ToQt(name))),
                        TLogKind::Status);
    return false;
}

// An existing local file is replaced, resumed, kept beside a free name or
// skipped as the file-exists question (or its remembered answer) says.
std::optional<TTransferItem> TRemotePane::DownloadFile(const TDirEntry& entry, const std::string& localPath,
                                                       const std::string& remoteDir) {
    TTransferItem item;
    item.direction = TTransferDirection::Download;
    item.localPath = localPath;
    item.remotePath = JoinPath(remoteDir, entry.EntryName);
    item.size = entry.EntrySize;
    item.text = !session_.ChooseBinaryMode(entry.EntryName);
    if (QFileInfo::exists(ToQt(localPath))) {
        const TFileFacts local = LocalFileFacts(localPath);
        item.exists = DecideExisting(localPath, false, local, {entry.EntrySize, entry.ModifiedUtc}, !item.text, item.remotePath);
        if (item.exists == TFileExistsChoice::Skip) return LogSkipped(localPath, "the file exists"), std::nullopt;
        if (item.exists == TFileExistsChoice::Rename) item.localPath = FreeLocalName(localPath);
        if (item.localPath.empty()) return LogSkipped(localPath, "no free name beside it"), std::nullopt;
    }
    item.modifiedUtc = entry.ModifiedUtc;
    return item;
}

// The server is asked whether the file is there (someone else may have put
// it there since the list was read); a file it has is replaced only as the
// file-exists question says.
std::optional<TTransferItem> TRemotePane::UploadFile(const std::string& localPath, const std::string& remoteDir,
                                                     const std::string& remoteName) {
    TTransferItem item;
    item.direction = TTransferDirection::Upload;
    item.localPath = localPath;
    item.remotePath = JoinPath(remoteDir, BaseName(remoteName));
    item.text = !session_.ChooseBinaryMode(BaseName(localPath));
    const TFileFacts local = LocalFileFacts(localPath);
    item.size = local.size;
    item.modifiedUtc = local.modifiedUtc;
    TFileFacts remote;
    if (RemoteNameTaken(remoteName, remote)) {
        const std::string shown = item.remotePath;
        item.exists = DecideExisting(shown, true, local, remote, !item.text, remoteName);
        item.resumeAt = remote.size;
        if (item.exists == TFileExistsChoice::Skip) return LogSkipped(shown, "the file exists on the server"), std::nullopt;
        if (item.exists == TFileExistsChoice::Rename) {
            const std::string free = FreeRemoteName(remoteName);
            if (free.empty()) return LogSkipped(shown, "no free name beside it on the server"), std::nullopt;
            item.remotePath = JoinPath(remoteDir, BaseName(free));
        }
    }
    return item;
}

// The list's times are a listing's, to the minute at best: with "Keep file
// times" the server is asked for the file's own.
TTransferItem TRemotePane::WithServerTime(TTransferItem item) {
    if (session_.KeepFileTimesOn()) item.modifiedUtc = session_.RemoteFileTime(item.remotePath);
    return item;
}

void TRemotePane::itmSrvFilesDownloadClick() {
    if (!LocalFolder) return;
    BeginTransferAction();
    // Taken first: a folder's walk lists other folders into the view.
    const std::vector<TDirEntry> entries = CollectEntries(list_->SelectedRows());
    const std::string folder = LocalFolder();
    const std::string remoteDir = session_.CurrentRemoteDir;
    std::vector<TTransferItem> files;
    for (const TDirEntry& entry : entries) {
        if (IsDotEntry(entry.EntryName) || !AcceptName(entry.EntryName)) continue;
        if (!session_.SessionAlive()) break;
        if (entry.IsFolder)
            DownloadFolderTree(WithTrailingBackslash(folder) + entry.EntryName, JoinPath(remoteDir, entry.EntryName));
        else if (std::optional<TTransferItem> item =
                     DownloadFile(entry, WithTrailingBackslash(folder) + entry.EntryName, remoteDir))
            files.push_back(WithServerTime(*item));
    }
    if (!files.empty()) Enqueue(files, QT_TR_NOOP("%1 not downloaded:"));
}

void TRemotePane::itmSrvFilesDownloadAsClick() {
    BeginTransferAction();
    const std::vector<TDirEntry> entries = CollectEntries(list_->SelectedRows());
    const std::string folder = LocalFolder ? LocalFolder() : std::string();
    for (const TDirEntry& entry : entries) {
        if (IsDotEntry(entry.EntryName)) continue;
        if (!session_.SessionAlive()) break;
        if (entry.IsFolder) {
            QFileDialog browse(window_, tr("Choose destination for this directory"), ToQt(folder));
            browse.setFileMode(QFileDialog::Directory);
            browse.setOption(QFileDialog::ShowDirsOnly);
            if (browse.exec() != QDialog::Accepted || browse.selectedFiles().isEmpty()) return;
            DownloadFolderTree(FromQt(browse.selectedFiles().front()), JoinPath(session_.CurrentRemoteDir, entry.EntryName));
            continue;
        }
        QFileDialog save(window_, tr("Choose filename to save as..."), ToQt(folder), tr("All files (*)"));
        save.setAcceptMode(QFileDialog::AcceptSave);
        save.setFileMode(QFileDialog::AnyFile);
        // The overwrite question of our own follows, with its Resume answer.
        save.setOption(QFileDialog::DontConfirmOverwrite);
        save.selectFile(ToQt(entry.EntryName));
        if (save.exec() != QDialog::Accepted || save.selectedFiles().isEmpty()) return;
        if (std::optional<TTransferItem> item =
                DownloadFile(entry, FromQt(save.selectedFiles().front()), session_.CurrentRemoteDir))
            Enqueue({WithServerTime(*item)}, QT_TR_NOOP("%1 not downloaded:"));
    }
}

// The folder is walked on a connection of its own, which then stays for the
// transfers: the browsing connection, and the list, stay where they are.
void TRemotePane::DownloadFolderTree(const std::string& localFolder, const std::string& remoteFolder) {
    std::unique_ptr<TTransferConnection> connection =
        ConnectWalker(tr("Nothing was downloaded: no second connection to the server (%1)"));
    if (!connection) return;
    TFileTree remote;
    const TTransferResult result = WalkRemoteTree(*connection, remoteFolder, remote, false);
    if (!result.Ok()) return session_.ShowFailureText(Substitute(FromQt(tr("Nothing was downloaded: %1")), {result.text}));
    std::vector<std::string> problems;
    for (const std::string& skipped : remote.skipped) {
        problems.push_back(JoinPath(remoteFolder, skipped));
        LogSkipped(JoinPath(remoteFolder, skipped), "not downloaded");
    }
    Enqueue(PlanFolderDownload(localFolder, remoteFolder, remote), QT_TR_NOOP("%1 not downloaded:"), std::move(connection),
            problems);
}

// Local folders are made parents first (empty ones too), then the files
// come, each after the file-exists question where one is in the way.
std::vector<TTransferItem> TRemotePane::PlanFolderDownload(const std::string& localRoot, const std::string& remoteRoot,
                                                           const TFileTree& remote) {
    int deepest = 0;
    for (const auto& entry : remote.entries) deepest = std::max(deepest, PathDepth(entry.first) + 1);
    std::vector<TTransferItem> items;
    TTransferItem root;
    root.action = TTransferAction::MakeFolder;
    root.localPath = localRoot;
    items.push_back(root);
    const bool keepTimes = session_.KeepFileTimesOn();
    for (const auto& [relative, entry] : remote.entries) {
        TTransferItem item;
        item.localPath = JoinPath(localRoot, relative);
        item.remotePath = JoinPath(remoteRoot, relative);
        if (entry.isFolder) {
            item.action = TTransferAction::MakeFolder;
            item.stage = PathDepth(relative) + 1;
            items.push_back(item);
            continue;
        }
        TDirEntry file;
        file.EntryName = BaseName(relative);
        file.EntrySize = entry.size;
        file.ModifiedUtc = entry.modifiedUtc;
        const std::size_t slash = relative.rfind('/');
        const std::string folder = slash == std::string::npos ? remoteRoot : JoinPath(remoteRoot, relative.substr(0, slash));
        std::optional<TTransferItem> planned = DownloadFile(file, item.localPath, folder);
        if (!planned) continue;
        planned->stage = deepest + 1;
        // The queue gives a download the time it carries.
        if (!keepTimes) planned->modifiedUtc.reset();
        items.push_back(*planned);
    }
    return items;
}

void TRemotePane::lvServerFilesDragDrop(int row) {
    const std::string folder = row >= 0 && list_->Model()->IsFolder(row) ? list_->Caption(row) : std::string();
    UploadSelectedLocalFiles(folder == "." ? std::string() : folder);
}

// Into a subfolder the name is sent relative to the current folder
// ("css/site.css"): the server's current folder, and with it the list, stay.
void TRemotePane::UploadSelectedLocalFiles(const std::string& into) {
    if (!SelectedLocalFiles || !LocalFolder) return;
    const std::string folder = WithTrailingBackslash(LocalFolder());
    const std::string remoteDir = into.empty() ? session_.CurrentRemoteDir : session_.CurrentRemoteDir + "/" + into;
    BeginTransferAction();
    std::vector<TTransferItem> files;
    for (const std::string& name : SelectedLocalFiles()) {
        if (!session_.FTP.Connected()) break;
        if (std::optional<TTransferItem> item = UploadFile(folder + name, remoteDir, into.empty() ? name : into + "/" + name))
            files.push_back(*item);
    }
    if (!files.empty()) Enqueue(files, QT_TR_NOOP("%1 not uploaded:"));
}
