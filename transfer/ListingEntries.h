#pragma once
// A long listing (LIST) read into entries: nine columns split at blanks, the
// kind from the permission column's first letter, the exact size column, and
// the date columns as a UTC time. Servers on loopback and most hosted ones
// list in UTC; the date of a recent file carries the minute, that of one
// older than half a year only the day, and the precision says which.
// A machine listing (MLSD) needs no guessing: its facts carry the exact size
// and the time to the second.

#include <cstdint>
#include <string_view>
#include <vector>

#include "ftp/FtpRemoteEntry.h"
#include "transfer/RemoteEntry.h"

// `nowUtc` decides the year of a "Mon DD HH:MM" date: the latest one not
// more than a day after now. "total" lines, "." and ".." are left out;
// hostile names are not (the walker judges them).
std::vector<TRemoteEntry> ParseListingEntries(std::string_view listing, std::int64_t nowUtc);

// An MLSD listing's entries. Entries that are neither file, folder nor link
// (devices, or a type the server made up) are left out: nothing a transfer
// can move.
std::vector<TRemoteEntry> ParseMachineListingEntries(std::string_view listing);

// One entry's facts (MLSD's or MLST's) as the transfer layer sees them.
TRemoteEntry EntryOfFacts(const FtpRemoteEntry& facts);
