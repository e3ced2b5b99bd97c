#pragma once
// One entry of a remote folder as the facts of MLSD and MLST (RFC 3659) give
// it: exact name, type, exact size, modification time in UTC, Unix mode.
// Plain data without Qt, for the window, vftp and the transfer layer alike.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class TFtpEntryType : std::uint8_t { File, Folder, Link, Other };

struct FtpRemoteEntry {
    std::string Name;  // exactly as the server has it: blanks, leading blanks, UTF-8
    TFtpEntryType Type = TFtpEntryType::Other;
    std::int64_t Size = -1;                 // -1: the server gave none
    std::optional<std::int64_t> ModifyUtc;  // seconds since 1970-01-01 00:00 UTC
    int UnixMode = -1;                      // permission bits, -1: none given
    std::string LinkTarget;                 // OS.unix=slink:TARGET, where given
    // The unique fact: the same for every path to one file or folder, so a
    // server that lists a link as what it points to still shows a loop.
    std::string Unique;
};

// One line of MLSD or the fact line of MLST ("type=file;size=3; name"; a
// leading blank, as MLST's reply has, is allowed). False for a line without
// facts or name, and for the current and parent folder entries (cdir, pdir),
// which are no entries of the folder.
bool ParseMlsdLine(std::string_view Line, FtpRemoteEntry& Entry);

// Every entry of an MLSD listing (CR LF or LF line ends).
std::vector<FtpRemoteEntry> ParseMlsdListing(std::string_view Listing);

// "YYYYMMDDHHMMSS[.sss]" (MLSD's modify, MDTM's reply) as seconds since the
// epoch, UTC; nothing when malformed.
std::optional<std::int64_t> ParseFtpTime(std::string_view Text);
// The inverse, for MFMT: "YYYYMMDDHHMMSS" in UTC.
std::string FormatFtpTime(std::int64_t Utc);
