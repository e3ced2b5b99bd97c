#pragma once
// Splitting one line of a Unix long listing ("ls -l" as FTP servers send it)
// into its columns. No Qt, no allocation: the fields point into the line, so
// the caller keeps the line alive while it reads them.

#include <array>
#include <string_view>

struct TListingFields {
    static constexpr int Count = 9;
    // 0 permissions, 1 link count, 2 owner, 3 group, 4 size, 5-7 month, day
    // and time or year, 8 the name with everything after it (blanks and a
    // link's " -> target" included).
    std::array<std::string_view, Count> field{};
    // The highest field that received a character; -1 when none did.
    int highest = -1;

    // The entry name: the highest field that received a character, so a line
    // with fewer columns takes its last one.
    std::string_view Name() const { return highest < 0 ? std::string_view() : field[highest]; }
};

// Separators are blank, CR and LF. Runs of them count as one; separators
// before the first field are skipped; from field 8 on every character is
// kept; trailing separators make no field.
TListingFields SplitListingLine(std::string_view line);

// True for the line that gives the block total: its first six characters, in
// upper case, are "TOTAL ".
bool IsListingTotalLine(std::string_view line);
