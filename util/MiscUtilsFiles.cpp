#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "util/MiscUtils.h"

namespace {

bool IsDotEntry(const char* name) { return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)); }

// A real folder (not a link to one) that the user may enter and change.
// Anything else is deleted as a file, so a link is removed as a link and a
// protected folder stays, which makes its parent's removal fail.
bool IsDeletableFolderAt(int parent, const char* name) {
    struct stat info {};
    if (fstatat(parent, name, &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISDIR(info.st_mode)) return false;
    return faccessat(parent, name, W_OK | X_OK, AT_EACCESS) == 0;
}

// Empties the folder `name` of `parent`. Everything is addressed relative to
// an open folder descriptor opened without following links, so a link
// planted while we walk cannot lead the deletion outside the tree.
void EmptyFolderAt(int parent, const char* name) {
    const int fd = openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return;
    DIR* folder = fdopendir(fd);
    if (folder == nullptr) {
        close(fd);
        return;
    }
    while (const dirent* entry = readdir(folder)) {
        if (IsDotEntry(entry->d_name)) continue;
        if (IsDeletableFolderAt(fd, entry->d_name)) {
            EmptyFolderAt(fd, entry->d_name);
            (void)unlinkat(fd, entry->d_name, AT_REMOVEDIR);
        } else {
            (void)unlinkat(fd, entry->d_name, 0);
        }
    }
    closedir(folder);
}

bool IsFileSystemRoot(const std::string& path) {
    struct stat root {};
    struct stat info {};
    return stat("/", &root) == 0 && stat(path.c_str(), &info) == 0 && info.st_dev == root.st_dev && info.st_ino == root.st_ino;
}

}  // namespace

bool MakeFolder(const std::string& path) { return mkdir(WithoutTrailingBackslash(path).c_str(), 0777) == 0; }

bool DeleteFolderTree(const std::string& path) {
    // The root can never be removed, so deleting everything below it could
    // only end in failure after the damage. "/" is not the only spelling of
    // it ("//", "/.", "/tmp/.."): compare the folder itself with the root.
    const std::string folder = WithoutTrailingBackslash(path);
    if (folder.empty() || IsFileSystemRoot(folder)) return false;
    EmptyFolderAt(AT_FDCWD, folder.c_str());
    return rmdir(folder.c_str()) == 0;
}

void CreateEmptyFile(const std::string& path) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd >= 0) close(fd);
}

std::int64_t FileSizeOf(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return 0;
    return static_cast<std::int64_t>(info.st_size);
}

TDateTime FileDateTime(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return -1;
    using namespace std::chrono;
    const auto since = seconds{info.st_mtim.tv_sec} + nanoseconds{info.st_mtim.tv_nsec};
    return ToDateTime(system_clock::time_point{duration_cast<system_clock::duration>(since)});
}

std::string ReadWholeFile(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return {};
    std::string text;
    char block[16384];
    for (;;) {
        const ssize_t count = read(fd, block, sizeof block);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) break;
        text.append(block, static_cast<std::size_t>(count));
    }
    close(fd);
    return text;
}

std::vector<std::string> SplitText(const std::string& text, char separator) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(separator, start);
        if (end == std::string::npos) end = text.size();
        pieces.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return pieces;
}
