#pragma once
// A walked tree: every entry below its root by relative path ("a/b.html"),
// folders included. The map keeps paths sorted, so a parent always comes
// before what it holds.

#include <map>
#include <string>
#include <vector>

#include "transfer/RemoteEntry.h"

struct TFileTree {
    std::map<std::string, TRemoteEntry> entries;
    // Entries the walk left out and why ("a/x -> y: a link, not followed"),
    // for the front end to show.
    std::vector<std::string> skipped;
    // The root itself is not there (a target not made yet).
    bool rootMissing = false;
};
