#pragma once
// Work of the remote pane that runs on a connection of its own (a tree walk,
// a deletion, a folder upload), waited for in the message loop as the
// waiting mode waits for the browsing connection: the window keeps
// painting and answering.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "transfer/EntryNames.h"
#include "transfer/FileTree.h"
#include "transfer/FtpTransferConnection.h"
#include "transfer/TransferQueue.h"

// Pumps the loop until `done` (or the program ends), giving `connection`
// (when not null) its time-outs.
void WaitInLoop(const std::function<bool()>& done, TTransferConnection* connection);

// A logged-in connection to `endpoint`; null with `result` saying why not.
std::unique_ptr<TTransferConnection> ConnectSide(const TFtpEndpoint& endpoint, TTransferResult& result);

// Walks `root` into `tree` over `connection`; the walk's outcome. A root
// the server does not have is an empty tree when `missingIsEmpty`; names
// `excludes` matches are left out.
TTransferResult WalkRemoteTree(TTransferConnection& connection, const std::string& root, TFileTree& tree, bool linksAsFiles,
                               bool missingIsEmpty = false, const TExcludeList& excludes = {});

// The size and modify time of the file `path`; nullopt with `result`
// saying why when the server gives none.
std::optional<TRemoteEntry> StatRemoteFile(TTransferConnection& connection, const std::string& path, TTransferResult& result);

// One message for many failures: the first `shown` lines, then how many
// more the log holds.
std::string FailureSummary(const std::string& heading, const std::vector<std::string>& failures, std::size_t shown = 15);
