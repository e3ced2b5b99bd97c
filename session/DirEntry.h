#pragma once
// One remote entry to download, collected from the remote list or a walk.

#include <cstdint>
#include <optional>
#include <string>

class TDirEntry {
public:
    std::string EntryName;
    // The Size column as a number; 0 when it is not one.
    std::int64_t EntrySize = 0;
    // The Permission column starts with "D" in any case.
    bool IsFolder = false;
    // Where a link points, as the listing gave it; empty for no link.
    std::string LinkTarget;
    // The modify time (UTC seconds) where the listing gave it exactly.
    std::optional<std::int64_t> ModifiedUtc;
};
