// Uploading local folders with everything in them: the local tree and the
// server's copy of it (if any) are walked first, the file-exists question
// is asked for each file the server has, and the transfer queue then makes
// the folders (empty ones too, parents first) and sends the files on
// connections of its own. Entries that cannot be sent (links that lead out
// of the folder, unreadable files) and failures are logged and listed once
// at the end; the rest goes on.
#include <algorithm>

#include "dialogs/FrmOptions.h"
#include "session/RemotePane.h"
#include "session/SessionController.h"
#include "session/SideConnection.h"
#include "transfer/EntryNames.h"
#include "transfer/LocalTreeWalker.h"
#include "util/ui/SpinEdit.h"
#include "util/ui/UiUtils.h"

namespace {

// The default when the options are not at hand.
constexpr int kDefaultConnections = 2;

}  // namespace

int TRemotePane::TransferConnections() const {
    const TfrmOptions* options = session_.W.frmOptions;
    return options != nullptr ? std::clamp(options->sedtTransfers->Value(), 1, TfrmOptions::MaxTransfers) : kDefaultConnections;
}

void TRemotePane::UploadFolderTree(const std::string& localFolder, const std::string& into) {
    if (!session_.FTP.Connected() || Refused()) return;
    BeginTransferAction();
    const std::string remoteParent = into.empty() ? session_.CurrentRemoteDir : JoinPath(session_.CurrentRemoteDir, into);
    const std::string remoteRoot = JoinPath(remoteParent, BaseName(localFolder));
    TFileTree local;
    TLocalTreeWalker walker;
    walker.StayInsideRoot();
    if (!walker.Walk(localFolder, local, false))
        return session_.ShowFailureText(Substitute(FromQt(tr("\"%1\" cannot be read: nothing was uploaded.")), {localFolder}));
    TTransferResult result;
    std::unique_ptr<TTransferConnection> connection = ConnectSide(session_.TransferEndpoint(), result);
    if (!connection)
        return session_.ShowFailureText(
            Substitute(FromQt(tr("Nothing was uploaded: no second connection to the server (%1)")), {result.text}));
    TFileTree remote;
    result = WalkRemoteTree(*connection, remoteRoot, remote, false, true);
    if (!result.Ok()) return session_.ShowFailureText(Substitute(FromQt(tr("Nothing was uploaded: %1")), {result.text}));
    std::vector<std::string> problems;
    for (const std::string& skipped : local.skipped) {
        problems.push_back(JoinPath(localFolder, skipped));
        LogSkipped(JoinPath(localFolder, skipped), "not uploaded");
    }
    const std::vector<TTransferItem> items = PlanFolderUpload(localFolder, remoteRoot, local, remote, problems);
    Enqueue(items, QT_TR_NOOP("%1 not uploaded:"), std::move(connection), problems);
}

// Folders the server lacks are made parents first; a file the server has
// is sent, renamed or skipped as the file-exists question says. Resume is
// not offered: the walk's sizes are a listing's, which in text mode are
// not the bytes the upload would skip.
std::vector<TTransferItem> TRemotePane::PlanFolderUpload(const std::string& localRoot, const std::string& remoteRoot,
                                                         const TFileTree& local, const TFileTree& remote,
                                                         std::vector<std::string>& problems) {
    int deepest = 0;
    for (const auto& entry : local.entries) deepest = std::max(deepest, PathDepth(entry.first) + 1);
    std::vector<TTransferItem> items;
    const auto add = [&](TTransferAction action, const std::string& relative, const std::string& remotePath, int stage) {
        TTransferItem item;
        item.direction = TTransferDirection::Upload;
        item.action = action;
        item.localPath = JoinPath(localRoot, relative);
        item.remotePath = remotePath;
        item.stage = stage;
        items.push_back(item);
        return &items.back();
    };
    if (remote.rootMissing) add(TTransferAction::MakeFolder, "", remoteRoot, 0);
    for (const auto& [relative, entry] : local.entries) {
        const std::string remotePath = JoinPath(remoteRoot, relative);
        const auto there = remote.entries.find(relative);
        if (there != remote.entries.end() && there->second.isFolder != entry.isFolder) {
            problems.push_back(remotePath + ": a " + (entry.isFolder ? "folder" : "file") + " here, a " +
                               (entry.isFolder ? "file" : "folder") + " on the server");
            continue;
        }
        if (entry.isFolder) {
            if (there == remote.entries.end()) add(TTransferAction::MakeFolder, relative, remotePath, PathDepth(relative) + 1);
            continue;
        }
        std::string target = remotePath;
        if (there != remote.entries.end()) {
            const TFileFacts mine{entry.size, entry.modifiedUtc};
            const TFileFacts theirs{there->second.size, there->second.modifiedUtc};
            switch (DecideExisting(remotePath, true, mine, theirs, false, remotePath)) {
                case TFileExistsChoice::Overwrite:
                case TFileExistsChoice::Resume: break;
                case TFileExistsChoice::Rename: {
                    const std::string folder =
                        relative.find('/') == std::string::npos ? "" : relative.substr(0, relative.rfind('/'));
                    const std::string name = FreeName(BaseName(relative), [&](const std::string& candidate) {
                        return remote.entries.count(JoinPath(folder, candidate)) > 0;
                    });
                    target = name.empty() ? std::string() : JoinPath(remoteRoot, JoinPath(folder, name));
                    break;
                }
                case TFileExistsChoice::Skip: LogSkipped(remotePath, "the file exists on the server"); continue;
            }
            if (target.empty()) {
                LogSkipped(remotePath, "no free name beside it on the server");
                continue;
            }
        }
        TTransferItem* item = add(TTransferAction::Transfer, relative, target, deepest + 1);
        item->size = entry.size;
        item->modifiedUtc = entry.modifiedUtc;
        item->text = !session_.ChooseBinaryMode(BaseName(relative));
    }
    return items;
}
