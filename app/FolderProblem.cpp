#include "app/FolderProblem.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "util/ui/UiUtils.h"

std::string FolderProblem(const std::string& folder) {
    // Walk down from the root: the first part that is missing would be
    // created in its parent, so that parent must be writable; a part that is
    // a file blocks the whole path.
    std::string parent = "/";
    std::string path;
    std::size_t at = 0;
    while (at < folder.size()) {
        const std::size_t end = std::min(folder.find('/', at), folder.size());
        const std::string name = folder.substr(at, end - at);
        at = end + 1;
        if (name.empty()) continue;
        path += "/" + name;
        struct stat info {};
        if (stat(path.c_str(), &info) != 0) {
            if (errno != ENOENT)
                return Substitute(Translated("TfrmMain", "The folder %1 cannot be reached: %2."), {path, std::strerror(errno)});
            break;
        }
        if (!S_ISDIR(info.st_mode))
            return Substitute(Translated("TfrmMain", "A file stands where the folder %1 should be."), {path});
        parent = path;
    }
    if (access(parent.c_str(), W_OK | X_OK) == 0) return {};
    return Substitute(Translated("TfrmMain", "The folder %1 cannot be written: %2."), {parent, std::strerror(errno)});
}
