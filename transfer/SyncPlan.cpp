#include "transfer/SyncPlan.h"

#include <algorithm>

#include "transfer/EntryComparison.h"
#include "transfer/EntryNames.h"

namespace {

bool ExactTimes(const TRemoteEntry& source, const TRemoteEntry& target) {
    return source.modifiedUtc && target.modifiedUtc && source.timePrecision <= 1 && target.timePrecision <= 1;
}

// Why a file on both sides is sent; empty when it is not.
std::string ReasonToSend(const TRemoteEntry& source, const TRemoteEntry& target, const TSyncOptions& options) {
    const bool sizeDiffers = source.size != target.size;
    const bool timed = source.modifiedUtc && target.modifiedUtc;
    const bool newer = timed && NewerThan(source, target, options.toleranceSeconds);
    switch (options.compare) {
        case TSyncCompare::SizeOnly: return sizeDiffers ? "size differs" : "";
        case TSyncCompare::OnlyNewer:
            if (timed) return newer ? "newer" : "";
            return sizeDiffers ? "size differs" : "";
        case TSyncCompare::SizeAndTime: break;
    }
    if (sizeDiffers) return "size differs";
    if (newer) return "newer";
    return options.timesKept && ExactTimes(source, target) && NewerThan(target, source, options.toleranceSeconds) ? "time differs"
                                                                                                                  : "";
}

struct PlanBuilder {
    const TFileTree& source;
    const TFileTree& target;
    const TSyncOptions& options;
    std::vector<TSyncAction> deletions, folders, files, rest;

    TSyncActionKind Send() const { return options.upload ? TSyncActionKind::Upload : TSyncActionKind::Download; }

    // The target entry and everything below it.
    void DeleteTree(const std::string& path) {
        for (auto it = target.entries.lower_bound(path); it != target.entries.end(); ++it) {
            const bool below = it->first.size() > path.size() && it->first.compare(0, path.size() + 1, path + "/") == 0;
            if (it->first != path && !below) break;
            deletions.push_back({TSyncActionKind::Delete, it->first, it->second.isFolder, it->second.size, "not in the source"});
        }
    }
    bool UnderDeletedFolder(const std::string& path) const {
        return std::any_of(deletions.begin(), deletions.end(), [&](const TSyncAction& d) {
            return d.folder && path.size() > d.path.size() && path.compare(0, d.path.size() + 1, d.path + "/") == 0;
        });
    }

    void Compare(const std::string& path, const TRemoteEntry& from) {
        const auto there = target.entries.find(path);
        if (there != target.entries.end() && there->second.isFolder != from.isFolder) {
            if (!options.deleteExtra) {
                rest.push_back({TSyncActionKind::Conflict, path, from.isFolder, from.size,
                                from.isFolder ? "a folder in the source, a file in the target"
                                              : "a file in the source, a folder in the target"});
                return;
            }
            DeleteTree(path);
        } else if (there != target.entries.end() && from.isFolder) {
            return;
        } else if (there != target.entries.end()) {
            const std::string why = ReasonToSend(from, there->second, options);
            if (why.empty())
                rest.push_back({TSyncActionKind::Skip, path, false, from.size, "unchanged"});
            else
                files.push_back({Send(), path, false, from.size, why});
            return;
        }
        if (from.isFolder)
            folders.push_back({TSyncActionKind::MakeFolder, path, true, 0, "not in the target"});
        else
            files.push_back({Send(), path, false, from.size, "not in the target"});
    }
};

}  // namespace

std::vector<TSyncAction> BuildSyncPlan(const TFileTree& source, const TFileTree& target, const TSyncOptions& options) {
    PlanBuilder plan{source, target, options, {}, {}, {}, {}};
    // Named copies rather than structured bindings: clang 14 (the fuzz
    // build) cannot capture a binding in a lambda.
    for (const auto& sourceEntry : source.entries) {
        const std::string& path = sourceEntry.first;
        // Below a conflict nothing can be made.
        const auto conflict = std::find_if(plan.rest.begin(), plan.rest.end(), [&](const TSyncAction& a) {
            return a.kind == TSyncActionKind::Conflict && path.compare(0, a.path.size() + 1, a.path + "/") == 0;
        });
        if (conflict == plan.rest.end()) plan.Compare(path, sourceEntry.second);
    }
    if (options.deleteExtra)
        for (const auto& targetEntry : target.entries) {
            const std::string& path = targetEntry.first;
            if (source.entries.count(path) == 0 && !plan.UnderDeletedFolder(path) &&
                std::none_of(plan.deletions.begin(), plan.deletions.end(), [&](const TSyncAction& d) { return d.path == path; }))
                plan.DeleteTree(path);
        }
    // Deepest first, so that a folder is empty when its turn comes.
    std::stable_sort(plan.deletions.begin(), plan.deletions.end(),
                     [](const TSyncAction& a, const TSyncAction& b) { return PathDepth(a.path) > PathDepth(b.path); });
    std::vector<TSyncAction> all = std::move(plan.deletions);
    for (auto* part : {&plan.folders, &plan.files, &plan.rest}) all.insert(all.end(), part->begin(), part->end());
    return all;
}

std::string FormatSyncAction(const TSyncAction& action) {
    static const char* const names[] = {"upload", "download", "delete", "mkdir", "skip", "conflict"};
    std::string line = names[static_cast<int>(action.kind)];
    line.resize(10, ' ');
    line += action.path + (action.folder ? "/" : "");
    line += "  (";
    if (!action.folder) line += std::to_string(action.size) + " bytes; ";
    return line + action.reason + ")";
}

std::vector<TTransferItem> SyncPlanItems(const std::vector<TSyncAction>& plan, const TFileTree& source, bool upload,
                                         const std::string& localRoot, const std::string& remoteRoot) {
    int deepest = 0;
    for (const TSyncAction& action : plan) deepest = std::max(deepest, PathDepth(action.path));
    std::vector<TTransferItem> items;
    for (const TSyncAction& action : plan) {
        TTransferItem item;
        item.direction = upload ? TTransferDirection::Upload : TTransferDirection::Download;
        item.localPath = JoinPath(localRoot, action.path);
        item.remotePath = JoinPath(remoteRoot, action.path);
        item.size = action.size;
        const int depth = PathDepth(action.path);
        switch (action.kind) {
            case TSyncActionKind::Delete:
                item.action = action.folder ? TTransferAction::DeleteFolder : TTransferAction::DeleteFile;
                // Files first, then folders from the deepest up.
                item.stage = action.folder ? 1 + (deepest - depth) : 0;
                break;
            case TSyncActionKind::MakeFolder:
                item.action = TTransferAction::MakeFolder;
                item.stage = deepest + 2 + depth;
                break;
            case TSyncActionKind::Upload:
            case TSyncActionKind::Download: {
                item.stage = 2 * deepest + 3;
                const auto entry = source.entries.find(action.path);
                if (entry != source.entries.end()) item.modifiedUtc = entry->second.modifiedUtc;
                break;
            }
            case TSyncActionKind::Skip:
            case TSyncActionKind::Conflict: continue;
        }
        items.push_back(std::move(item));
    }
    return items;
}
