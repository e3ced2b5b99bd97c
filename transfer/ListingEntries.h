#pragma once
// A long listing (LIST) read into entries: nine columns split at blanks, the
// kind from the permission column's first letter, the exact size column, and
// the date columns as a UTC time. Servers on loopback and most hosted ones
// list in UTC; the date of a recent file carries the minute, that of one
// older than half a year only the day, and the precision says which.

#include <cstdint>
#include <string_view>
#include <vector>

#include "transfer/RemoteEntry.h"

// `nowUtc` decides the year of a "Mon DD HH:MM" date: the latest one not
// more than a day after now. "total" lines, "." and ".." are left out;
// hostile names are not (the walker judges them).
std::vector<TRemoteEntry> ParseListingEntries(std::string_view listing, std::int64_t nowUtc);
