#pragma once
// One entry of a folder as a walker or a plan sees it, on either side. The
// size is exact (a listing's size column, a machine listing's size fact);
// the modify time is optional because not every listing gives one, and
// carries its precision: a long listing shows minutes for recent files and
// only the day for older ones, a machine listing gives seconds.

#include <cstdint>
#include <optional>
#include <string>

struct TRemoteEntry {
    std::string name;
    bool isFolder = false;
    bool isLink = false;
    std::int64_t size = 0;
    // Seconds since 1970-01-01 00:00 UTC.
    std::optional<std::int64_t> modifiedUtc;
    // How far the true time may lie after modifiedUtc, in seconds.
    std::int64_t timePrecision = 1;
    // The server's identity of the file or folder (a machine listing's
    // unique fact), empty when not given: two paths with one identity are
    // one folder reached through a link.
    std::string uniqueId;
};
