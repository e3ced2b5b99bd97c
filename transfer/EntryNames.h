#pragma once
// Names and paths of the transfer layer. Remote paths are joined with '/'
// (FTP's separator), local ones with the platform's, which is '/' too.

#include <string>
#include <vector>

// A name from a listing becomes a path only if it stays one entry of its
// folder: no separators (either kind), no "." or "..", nothing that ends the
// string early, and no line break that would end a command line.
bool IsSafeEntryName(const std::string& name);

// "a" + "b" -> "a/b"; an empty side gives the other; "/" + "b" -> "/b".
std::string JoinPath(const std::string& folder, const std::string& name);

// The part after the last '/' ("a/b/c" -> "c"; "c" -> "c").
std::string BaseName(const std::string& path);

// Number of '/' separators in a relative path: 0 for an entry of the root.
int PathDepth(const std::string& relativePath);

// Shell-style patterns (fnmatch) matched against an entry's name and against
// its path relative to the tree's root.
class TExcludeList {
public:
    TExcludeList() = default;
    explicit TExcludeList(std::vector<std::string> patterns) : patterns_(std::move(patterns)) {}
    bool Excludes(const std::string& relativePath) const;

private:
    std::vector<std::string> patterns_;
};
