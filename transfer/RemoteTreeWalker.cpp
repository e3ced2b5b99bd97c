#include "transfer/RemoteTreeWalker.h"

void TRemoteTreeWalker::Walk(const std::string& root, TFileTree& tree, bool missingIsEmpty, Done done) {
    root_ = root;
    tree_ = &tree;
    *tree_ = {};
    missingIsEmpty_ = missingIsEmpty;
    done_ = std::move(done);
    pending_ = {{"", 0}};
    visited_.clear();
    Next();
}

void TRemoteTreeWalker::Next() {
    if (pending_.empty()) return done_({});
    const Pending folder = pending_.back();
    pending_.pop_back();
    connection_.List(JoinPath(root_, folder.relative),
                     [this, folder](const TTransferResult& result, std::vector<TRemoteEntry> entries) {
                         Listed(folder, result, std::move(entries));
                     });
}

void TRemoteTreeWalker::Listed(const Pending& folder, const TTransferResult& result, std::vector<TRemoteEntry> entries) {
    if (!result.Ok()) {
        // A root that is not there yet: everything is to be made.
        if (folder.relative.empty() && missingIsEmpty_ && !result.connectionLost && result.code >= 500) {
            tree_->rootMissing = true;
            return done_({});
        }
        TTransferResult failed = result;
        failed.text = "cannot list " + JoinPath(root_, folder.relative) + ": " + result.text;
        return done_(failed);
    }
    for (TRemoteEntry& entry : entries) {
        const std::string relative = JoinPath(folder.relative, entry.name);
        if (!IsSafeEntryName(entry.name)) {
            tree_->skipped.push_back(relative + ": the name would leave its folder");
            continue;
        }
        if (excludes_.Excludes(relative)) continue;
        if (entry.isLink && linksAsFiles_) {
            entry.isFolder = false;
            tree_->entries[relative] = std::move(entry);
            continue;
        }
        if (entry.isLink) {
            tree_->skipped.push_back(relative + ": a link, not followed");
            continue;
        }
        if (entry.isFolder) {
            if (folder.depth + 1 > kMaxDepth) {
                tree_->skipped.push_back(relative + ": deeper than " + std::to_string(kMaxDepth) + " folders");
                continue;
            }
            // Servers that list a link as what it points to give it the
            // identity of its folder: a loop ends at its second visit.
            if (!visited_.insert(entry.uniqueId.empty() ? "path:" + relative : "id:" + entry.uniqueId).second) {
                tree_->skipped.push_back(relative + ": a folder already walked (a link loop)");
                continue;
            }
            pending_.push_back({relative, folder.depth + 1});
        }
        tree_->entries[relative] = std::move(entry);
    }
    Next();
}
