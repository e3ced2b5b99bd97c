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

// The Link column's text before a link's target.

// A remote path with "." and ".." worked out and no empty parts; `base`
// (absolute) is where a relative `path` starts.
std::string NormalRemotePath(const std::string& base, const std::string& path) {
    std::vector<std::string> parts;
    const std::string whole = path.starts_with('/') ? path : base + "/" + path;
    for (std::size_t start = 0; start <= whole.size();) {
        const std::size_t slash = std::min(whole.find('/', start), whole.size());
        const std::string part = whole.substr(start, slash - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = slash + 1;
    }
    std::string normal;
    for (const std::string& part : parts) normal += "/" + part;
    return normal.empty() ? "/" : normal;
}

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
void TRemotePane::DownloadFile(const TDirEntry& entry, const std::string& localPath, const std::string& remoteDir) {
    const bool binary = session_.ChooseBinaryMode(entry.EntryName);
    std::string target = localPath;
    std::int64_t resumeAt = 0;
    if (QFileInfo::exists(ToQt(localPath))) {
        const TFileFacts local = LocalFileFacts(localPath);
        switch (DecideExisting(localPath, false, local, {entry.EntrySize, std::nullopt}, binary, entry.EntryName)) {
            case TFileExistsChoice::Overwrite: break;
            case TFileExistsChoice::Resume: resumeAt = local.size; break;
            case TFileExistsChoice::Rename: target = FreeLocalName(localPath); break;
            case TFileExistsChoice::Skip: return LogSkipped(localPath, "the file exists");
        }
        if (target.empty()) return LogSkipped(localPath, "no free name beside it");
    }
    session_.QueueDownload(target, resumeAt, entry.EntrySize, binary, entry.EntryName, remoteDir);
}

// The server is asked whether the file is there (someone else may have put
// it there since the list was read); a file it has is replaced only as the
// file-exists question says.
void TRemotePane::UploadFile(const std::string& localPath, const std::string& remoteDir, const std::string& remoteName) {
    const bool binary = session_.ChooseBinaryMode(BaseName(localPath));
    const std::string shown = remoteDir + "/" + BaseName(remoteName);
    std::string target = remoteName;
    std::int64_t resumeAt = 0;
    TFileFacts remote;
    if (RemoteNameTaken(remoteName, remote)) {
        switch (DecideExisting(shown, true, LocalFileFacts(localPath), remote, binary, remoteName)) {
            case TFileExistsChoice::Overwrite: break;
            case TFileExistsChoice::Resume: resumeAt = remote.size; break;
            case TFileExistsChoice::Rename: target = FreeRemoteName(remoteName); break;
            case TFileExistsChoice::Skip: return LogSkipped(shown, "the file exists on the server");
        }
        if (target.empty()) return LogSkipped(shown, "no free name beside it on the server");
    }
    session_.QueueUpload(localPath, remoteDir, FileSizeOf(localPath), binary, target, resumeAt);
}

void TRemotePane::itmSrvFilesDownloadClick() {
    if (!LocalFolder) return;
    BeginTransferAction();
    // Taken first: a folder's walk lists other folders into the view.
    const std::vector<TDirEntry> entries = CollectEntries(list_->SelectedRows());
    const std::string folder = LocalFolder();
    for (const TDirEntry& entry : entries) {
        if (IsDotEntry(entry.EntryName) || !AcceptName(entry.EntryName)) continue;
        if (!session_.SessionAlive()) break;
        if (entry.IsFolder)
            DownloadFolderTree(WithTrailingBackslash(folder) + entry.EntryName, session_.CurrentRemoteDir, entry.EntryName);
        else
            DownloadFile(entry, WithTrailingBackslash(folder) + entry.EntryName, session_.CurrentRemoteDir);
    }
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
            DownloadFolderTree(FromQt(browse.selectedFiles().front()), session_.CurrentRemoteDir, entry.EntryName);
            continue;
        }
        QFileDialog save(window_, tr("Choose filename to save as..."), ToQt(folder), tr("All files (*)"));
        save.setAcceptMode(QFileDialog::AcceptSave);
        save.setFileMode(QFileDialog::AnyFile);
        // The overwrite question of our own follows, with its Resume answer.
        save.setOption(QFileDialog::DontConfirmOverwrite);
        save.selectFile(ToQt(entry.EntryName));
        if (save.exec() != QDialog::Accepted || save.selectedFiles().isEmpty()) return;
        DownloadFile(entry, FromQt(save.selectedFiles().front()), session_.CurrentRemoteDir);
    }
}

// Walks a remote folder in the waiting mode: change into it, list it, queue
// its files and walk its folders, then return to where it started. A folder the
// server does not let us into, or cannot list, is skipped rather than read
// from whatever the list still shows.
void TRemotePane::DownloadFolderTree(const std::string& localFolder, const std::string& remoteParent,
                                     const std::string& folderName, int depth) {
    if (!session_.WaitMode) {
        session_.AddLogLine(
            FromQt(tr("Skipped folder \"%1\": folders are downloaded in the waiting mode only").arg(ToQt(folderName))),
            TLogKind::Status);
        return;
    }
    if (depth >= MaxFolderDepth) {
        session_.AddLogLine(FromQt(tr("Skipped folder \"%1\": the tree is deeper than %2 folders")
                                       .arg(ToQt(folderName), QString::number(MaxFolderDepth))),
                            TLogKind::Status);
        return;
    }
    const std::string parentPath = session_.CurrentRemoteDir;
    if (depth == 0) walkedFolders_ = {parentPath};
    session_.LastChangeDirOk = false;
    session_.QueueChangeDir(folderName);
    if (!session_.LastChangeDirOk) return;
    session_.LastListingOk = false;
    session_.QueueListing(false);
    session_.QueuePrintDir();
    if (!EnterWalkedFolder(folderName)) return ReturnToFolder(parentPath);
    const std::string here = session_.CurrentRemoteDir;
    (void)MakeFolder(localFolder);
    std::vector<int> rows;
    if (session_.LastListingOk)
        for (int row = 0; row < list_->Count(); ++row)
            if (!IsDotEntry(list_->Caption(row))) rows.push_back(row);
    const std::vector<TDirEntry> entries = CollectEntries(rows);
    const std::string remoteFolder = remoteParent + "/" + folderName;
    for (const TDirEntry& entry : entries) {
        if (!session_.SessionAlive()) return;
        if (!AcceptName(entry.EntryName)) continue;
        const std::string localPath = WithTrailingBackslash(localFolder) + entry.EntryName;
        if (!entry.IsFolder)
            DownloadFile(entry, localPath, remoteFolder);
        else if (!LinkLeadsBack(entry, here))
            DownloadFolderTree(localPath, remoteFolder, entry.EntryName, depth + 1);
        if (session_.AbortRequested) break;
    }
    ReturnToFolder(parentPath);
}

// A link such as "a -> ." leads back into a folder of the walk: without
// this, one such link downloads the folder once per level, and two make the
// walk endless. PWD names the folder the server is really in.
bool TRemotePane::EnterWalkedFolder(const std::string& folderName) {
    const std::string here = session_.CurrentRemoteDir;
    std::string why;
    if (walkedFolders_.size() >= MaxFoldersPerDownload)
        why = FromQt(tr("the download has reached %1 folders").arg(MaxFoldersPerDownload));
    else if (!walkedFolders_.insert(here).second)
        why = FromQt(tr("it leads to \"%1\", which this download has been in already").arg(ToQt(here)));
    if (why.empty()) return true;
    session_.AddLogLine(FromQt(tr("Skipped folder \"%1\": %2").arg(ToQt(folderName), ToQt(why))), TLogKind::Status);
    return false;
}

// Servers that follow links report the path through the link, so PWD
// cannot tell "again -> ." from a new folder; the link's own target can.
bool TRemotePane::LinkLeadsBack(const TDirEntry& entry, const std::string& here) {
    if (entry.LinkTarget.empty() || here.empty() || here[0] != '/') return false;
    const std::string target = NormalRemotePath(here, entry.LinkTarget);
    const bool above = here == target || target == "/" || here.starts_with(target + "/");
    if (!above && !walkedFolders_.contains(target)) return false;
    session_.AddLogLine(FromQt(tr("Skipped folder \"%1\": %2")
                                   .arg(ToQt(entry.EntryName),
                                        tr("it leads to \"%1\", which this download has been in already").arg(ToQt(target)))),
                        TLogKind::Status);
    return true;
}

// Back to the folder a walk started from, by its full path: on servers that
// follow links, CDUP from a linked folder lands in the link target's parent,
// and the walk would go on in the wrong place.
void TRemotePane::ReturnToFolder(const std::string& path) {
    session_.LastChangeDirOk = false;
    if (!path.empty()) session_.QueueChangeDir(path);
    if (!session_.LastChangeDirOk) session_.QueueParentDir();
    session_.QueueListing();
    session_.QueuePrintDir();
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
    for (const std::string& name : SelectedLocalFiles()) {
        if (!session_.FTP.Connected()) break;
        UploadFile(folder + name, remoteDir, into.empty() ? name : into + "/" + name);
    }
}
