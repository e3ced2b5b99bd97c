#include "ftp/FtpLocalTimes.h"

#include <fcntl.h>
#include <sys/stat.h>

std::optional<std::int64_t> LocalFileTime(const std::string& Path) {
    struct stat info {};
    if (::stat(Path.c_str(), &info) != 0) return std::nullopt;
    return static_cast<std::int64_t>(info.st_mtime);
}

bool SetLocalFileTime(const std::string& Path, std::int64_t Utc) {
    const timespec times[2] = {{static_cast<time_t>(Utc), 0}, {static_cast<time_t>(Utc), 0}};
    return ::utimensat(AT_FDCWD, Path.c_str(), times, 0) == 0;
}
