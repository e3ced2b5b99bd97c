#pragma once
// One remote entry collected from the remote list while a folder tree is
// being downloaded.

#include <cstdint>
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
};
