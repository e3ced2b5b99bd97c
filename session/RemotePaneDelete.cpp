// Deleting server folders with everything in them. The folders are walked
// on a connection of their own first, so that the question can say how
// many files and folders will go; then the transfer queue deletes files
// first and folders deepest first, logging each deletion. A deletion that
// fails stops nothing else; the failures are listed once when the queue's
// run ends.
#include <algorithm>

#include "session/RemotePane.h"
#include "session/SessionController.h"
#include "session/SideConnection.h"
#include "transfer/EntryNames.h"
#include "transfer/SyncPlan.h"
#include "util/ui/UiUtils.h"

namespace {

std::string Counted(std::size_t count, const std::string& one, const std::string& many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// Deletion items of a walked folder, and the folder itself after them.
void AddTreeDeletions(const std::string& root, const TFileTree& tree, std::vector<TTransferItem>& items) {
    TSyncOptions everything;
    everything.upload = true;
    everything.deleteExtra = true;
    const TFileTree nothing;
    const std::vector<TSyncAction> plan = BuildSyncPlan(nothing, tree, everything);
    std::vector<TTransferItem> deletions = SyncPlanItems(plan, nothing, true, "", root);
    int last = 0;
    for (const TTransferItem& item : deletions) last = std::max(last, item.stage);
    TTransferItem self;
    self.direction = TTransferDirection::Upload;
    self.action = TTransferAction::DeleteFolder;
    self.remotePath = root;
    self.stage = last + 1;
    deletions.push_back(self);
    items.insert(items.end(), deletions.begin(), deletions.end());
}

}  // namespace

void TRemotePane::DeleteTrees(const std::vector<std::pair<std::string, bool>>& entries, const std::string& question) {
    std::unique_ptr<TTransferConnection> connection =
        ConnectWalker(tr("Nothing was deleted: no second connection to the server (%1)"));
    if (!connection) return;
    TTransferResult result;
    std::vector<TTransferItem> items;
    std::size_t files = 0;
    std::size_t folders = 0;
    for (const auto& [name, folder] : entries) {
        const std::string path = JoinPath(session_.CurrentRemoteDir, name);
        if (!folder) {
            TTransferItem item;
            item.direction = TTransferDirection::Upload;
            item.action = TTransferAction::DeleteFile;
            item.remotePath = path;
            items.push_back(item);
            ++files;
            continue;
        }
        TFileTree tree;
        result = WalkRemoteTree(*connection, path, tree, true);
        // A folder that cannot be read in full would be deleted in part.
        if (!result.Ok()) return session_.ShowFailureText(Substitute(FromQt(tr("Nothing was deleted: %1")), {result.text}));
        ++folders;
        for (const auto& below : tree.entries) ++(below.second.isFolder ? folders : files);
        AddTreeDeletions(path, tree, items);
    }
    const std::string count = Substitute(
        FromQt(tr("%1 and %2 will be deleted.")),
        {Counted(files, FromQt(tr("file")), FromQt(tr("files"))), Counted(folders, FromQt(tr("folder")), FromQt(tr("folders")))});
    if (AskYesNo(ApplicationTitle, question + "\n\n" + count) != IDYES) return;
    Enqueue(items, QT_TR_NOOP("%1 not deleted:"), std::move(connection));
}
