#pragma once
// Walks a remote folder tree into a TFileTree over one connection, one
// listing at a time. Links are left out (the listing cannot tell a linked
// folder from a file, and following one may never end), and so are names
// that could leave their folder; both are listed in `skipped`. Each folder
// is listed once (by the server's identity of it where the listing gives
// one: some servers list a link as the folder it points to) and the walk
// goes no deeper than kMaxDepth.
//
// A folder that cannot be listed ends the walk as failed: a tree with a
// hole in it would make a plan delete or fetch again what is there.

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "transfer/EntryNames.h"
#include "transfer/FileTree.h"
#include "transfer/TransferConnection.h"

class TRemoteTreeWalker {
public:
    static constexpr int kMaxDepth = 32;
    using Done = std::function<void(const TTransferResult&)>;

    TRemoteTreeWalker(TTransferConnection& connection, TExcludeList excludes = {})
        : connection_(connection), excludes_(std::move(excludes)) {}

    // Walks `root` into `tree` (which must outlive the walk). A root the
    // server does not know is an empty tree when `missingIsEmpty`.
    void Walk(const std::string& root, TFileTree& tree, bool missingIsEmpty, Done done);
    // Links become entries of their own, never followed: a deletion removes
    // the link (DELE), not what it leads to, and its folder can go after it.
    void KeepLinksAsFiles() { linksAsFiles_ = true; }

private:
    struct Pending {
        std::string relative;
        int depth;
    };
    void Next();
    void Listed(const Pending& folder, const TTransferResult& result, std::vector<TRemoteEntry> entries);

    TTransferConnection& connection_;
    TExcludeList excludes_;
    std::string root_;
    TFileTree* tree_ = nullptr;
    bool missingIsEmpty_ = false;
    bool linksAsFiles_ = false;
    Done done_;
    std::vector<Pending> pending_;
    std::set<std::string> visited_;
};
