#include "transfer/EntryNames.h"

#include <fnmatch.h>

#include <algorithm>

bool IsSafeEntryName(const std::string& name) {
    if (name.empty() || name == "." || name == "..") return false;
    return name.find_first_of(std::string("/\\\r\n\0", 5)) == std::string::npos;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    if (name.empty()) return folder;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

std::string BaseName(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

int PathDepth(const std::string& relativePath) {
    return static_cast<int>(std::count(relativePath.begin(), relativePath.end(), '/'));
}

bool TExcludeList::Excludes(const std::string& relativePath) const {
    const std::string name = BaseName(relativePath);
    return std::any_of(patterns_.begin(), patterns_.end(), [&](const std::string& pattern) {
        return fnmatch(pattern.c_str(), name.c_str(), 0) == 0 || fnmatch(pattern.c_str(), relativePath.c_str(), 0) == 0;
    });
}
