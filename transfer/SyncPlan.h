#pragma once
// What it takes to make a target tree like a source tree, worked out before
// anything runs, so that it can be shown (a dry run) and then handed to the
// queue.
//
// Files are compared by size and modify time. A time counts as newer only
// beyond the tolerance: the coarser of the two sides' precisions (a long
// listing gives minutes) plus what the options add. By default a file is
// sent when the sizes differ or the source is newer; --only-newer sends
// only newer files, --size-only looks at sizes alone. The target's copy being
// newer is no reason to overwrite it: an upload leaves the server's time at
// the moment of the upload. Only where the transfers keep times
// (timesKept: downloads always, uploads where the server can set a file's
// time) and both sides give them to the second does a time that differs
// either way mean a change.
//
// Nothing is deleted without deleteExtra. A file where the source has a
// folder (or the other way round) is a conflict without it, and with it is
// deleted first. The actions come in the order they must run: deletions
// (deepest first), folders (parents first), then files.

#include <cstdint>
#include <string>
#include <vector>

#include "transfer/FileTree.h"
#include "transfer/TransferItem.h"

enum class TSyncCompare { SizeAndTime, OnlyNewer, SizeOnly };
enum class TSyncActionKind { Upload, Download, Delete, MakeFolder, Skip, Conflict };

struct TSyncOptions {
    // Source is the local tree, target the remote one (else the reverse).
    bool upload = false;
    bool deleteExtra = false;
    TSyncCompare compare = TSyncCompare::SizeAndTime;
    std::int64_t toleranceSeconds = 0;
    // A sent file gets the source's time on the target.
    bool timesKept = false;
};

struct TSyncAction {
    TSyncActionKind kind = TSyncActionKind::Skip;
    std::string path;  // relative to both roots
    bool folder = false;
    std::int64_t size = 0;
    std::string reason;
};

std::vector<TSyncAction> BuildSyncPlan(const TFileTree& source, const TFileTree& target, const TSyncOptions& options);

// "upload     a/b.html  (1234 bytes; newer)"
std::string FormatSyncAction(const TSyncAction& action);

// The queue items of a plan's actions (skips and conflicts have none), with
// stages that keep the plan's order where it matters.
std::vector<TTransferItem> SyncPlanItems(const std::vector<TSyncAction>& plan, const TFileTree& source, bool upload,
                                         const std::string& localRoot, const std::string& remoteRoot);
