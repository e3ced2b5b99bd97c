#include "transfer/LocalTreeWalker.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
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
    if (insideOnly_) {
        char* real = ::realpath(root.c_str(), nullptr);
        realRoot_ = real != nullptr ? real : root;
        std::free(real);
    }
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
            if (const std::string why = insideOnly_ ? Unusable(JoinPath(root, relative), S_ISDIR(info.st_mode)) : "";
                !why.empty()) {
                tree.skipped.push_back(relative + ": " + why);
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

std::string TLocalTreeWalker::Unusable(const std::string& path, bool folder) const {
    if (::access(path.c_str(), folder ? (R_OK | X_OK) : R_OK) != 0) return "cannot be read";
    struct stat link {};
    if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return {};
    char* real = ::realpath(path.c_str(), nullptr);
    const std::string target = real != nullptr ? real : "";
    std::free(real);
    if (target.starts_with(realRoot_ + "/")) return {};
    return "a link that leads out of the folder (to " + target + ")";
}
