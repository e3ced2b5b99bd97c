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

private:
    TExcludeList excludes_;
};
