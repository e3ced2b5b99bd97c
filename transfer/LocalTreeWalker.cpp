#include "transfer/LocalTreeWalker.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <set>
#include <utility>
#include <vector>

namespace {

struct PendingFolder {
    std::string relative;
    int depth;
};

TRemoteEntry EntryOf(const std::string& name, const struct stat& info) {
    TRemoteEntry entry;
    entry.name = name;
    entry.isFolder = S_ISDIR(info.st_mode);
    entry.size = entry.isFolder ? 0 : static_cast<std::int64_t>(info.st_size);
    entry.modifiedUtc = static_cast<std::int64_t>(info.st_mtim.tv_sec);
    entry.timePrecision = 1;
    return entry;
}

}  // namespace

bool TLocalTreeWalker::Walk(const std::string& root, TFileTree& tree, bool missingIsEmpty) {
    tree = {};
    struct stat rootInfo {};
    if (::stat(root.c_str(), &rootInfo) != 0) {
        tree.rootMissing = errno == ENOENT;
        return missingIsEmpty && tree.rootMissing;
    }
    if (!S_ISDIR(rootInfo.st_mode)) return false;
    std::set<std::pair<dev_t, ino_t>> visited{{rootInfo.st_dev, rootInfo.st_ino}};
    std::vector<PendingFolder> pending{{"", 0}};
    while (!pending.empty()) {
        const PendingFolder folder = pending.back();
        pending.pop_back();
        DIR* dir = ::opendir(JoinPath(root, folder.relative).c_str());
        if (dir == nullptr) {
            tree.skipped.push_back(folder.relative + ": cannot be read");
            continue;
        }
        while (const dirent* found = ::readdir(dir)) {
            const std::string name = found->d_name;
            if (name == "." || name == "..") continue;
            const std::string relative = JoinPath(folder.relative, name);
            if (!IsSafeEntryName(name)) {
                tree.skipped.push_back(relative + ": the name cannot be sent to a server");
                continue;
            }
            if (excludes_.Excludes(relative)) continue;
            struct stat info {};
            if (::stat(JoinPath(root, relative).c_str(), &info) != 0 || !(S_ISDIR(info.st_mode) || S_ISREG(info.st_mode))) {
                tree.skipped.push_back(relative + ": neither a file nor a folder");
                continue;
            }
            if (S_ISDIR(info.st_mode)) {
                if (!visited.insert({info.st_dev, info.st_ino}).second) {
                    tree.skipped.push_back(relative + ": a folder already walked (a link loop)");
                    continue;
                }
                if (folder.depth + 1 > kMaxDepth) {
                    tree.skipped.push_back(relative + ": deeper than " + std::to_string(kMaxDepth) + " folders");
                    continue;
                }
                pending.push_back({relative, folder.depth + 1});
            }
            tree.entries[relative] = EntryOf(name, info);
        }
        ::closedir(dir);
    }
    return true;
}
