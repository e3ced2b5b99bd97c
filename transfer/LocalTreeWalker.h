#pragma once
// Walks a local folder tree into a TFileTree. Links are followed (a site's
// linked file is uploaded as the file), each folder is entered once however
// many links lead to it, and the walk goes no deeper than kMaxDepth. Names
// a server would take as more than one entry, or as a second command, are
// left out and listed in `skipped`.

#include <string>

#include "transfer/EntryNames.h"
#include "transfer/FileTree.h"

class TLocalTreeWalker {
public:
    static constexpr int kMaxDepth = 32;

    explicit TLocalTreeWalker(TExcludeList excludes = {}) : excludes_(std::move(excludes)) {}
    // False when `root` is no readable folder (the tree is then empty); a
    // missing root is an empty tree and true when `missingIsEmpty`.
    bool Walk(const std::string& root, TFileTree& tree, bool missingIsEmpty);
    // Links that lead out of the root's folder, and files this user cannot
    // read, are left out and listed in `skipped`: publishing a folder sends
    // what is in it, never what a link drags in from elsewhere.
    void StayInsideRoot() { insideOnly_ = true; }

private:
    // Why an entry is left out under StayInsideRoot; empty when it stays.
    std::string Unusable(const std::string& path, bool folder) const;

    TExcludeList excludes_;
    bool insideOnly_ = false;
    std::string realRoot_;
};
