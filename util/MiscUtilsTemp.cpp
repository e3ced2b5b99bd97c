#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "util/MiscUtils.h"

namespace {

// An absolute folder named by an environment variable, or "".
std::string FolderFromEnvironment(const char* variable) {
    const char* value = std::getenv(variable);
    if (value == nullptr || value[0] != '/') return {};
    return WithoutTrailingBackslash(value);
}

// Temporary names must not be guessable in a folder other users can write,
// or one of them could plant a link there that our next write follows. The
// per-session runtime folder is private already; the shared temporary folder
// gets a folder of our own.
std::vector<std::string> PrivateFolderCandidates() {
    std::vector<std::string> candidates;
    if (const std::string runtime = FolderFromEnvironment("XDG_RUNTIME_DIR"); !runtime.empty())
        candidates.push_back(runtime + "/velliant-ftp");
    std::string shared = FolderFromEnvironment("TMPDIR");
    if (shared.empty()) shared = "/tmp";
    candidates.push_back(shared + "/velliant-ftp-" + std::to_string(geteuid()));
    return candidates;
}

bool IsPrivateFolder(const std::string& folder) {
    struct stat info {};
    if (lstat(folder.c_str(), &info) != 0) return false;
    return S_ISDIR(info.st_mode) && info.st_uid == geteuid() && (info.st_mode & 07777) == 0700;
}

bool PreparePrivateFolder(const std::string& folder) {
    // The umask may have taken bits we need; a folder someone else made, or
    // a link in its place, fails the check below and is left alone.
    if (mkdir(folder.c_str(), 0700) == 0) (void)chmod(folder.c_str(), 0700);
    return IsPrivateFolder(folder);
}

// A fresh file in the folder, created exclusively (mkstemps: O_EXCL, mode
// 0600); removed again when only its name is wanted.
std::string UniqueNameIn(const std::string& folder, bool keepFile) {
    std::string pattern = (folder.empty() ? std::string() : folder + "/") + TempNamePrefix + "XXXXXX.tmp";
    const int fd = mkstemps(pattern.data(), 4);
    if (fd < 0) return {};
    close(fd);
    if (!keepFile) (void)unlink(pattern.c_str());
    return pattern;
}

}  // namespace

std::string NewTempFileName() {
    for (const std::string& folder : PrivateFolderCandidates()) {
        if (!PreparePrivateFolder(folder)) continue;
        if (std::string name = UniqueNameIn(folder, false); !name.empty()) return name;
    }
    // Outside a private folder the file itself is the reservation: it stays,
    // so that nobody can put a link of theirs under its name.
    return UniqueNameIn("", true);
}
