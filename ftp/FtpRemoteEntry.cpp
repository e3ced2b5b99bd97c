#include "ftp/FtpRemoteEntry.h"

#include <cctype>
#include <ctime>

namespace {

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

bool AllDigits(std::string_view text) {
    if (text.empty()) return false;
    for (const char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

int Number(std::string_view digits) {
    int value = 0;
    for (const char c : digits) value = value * 10 + (c - '0');
    return value;
}

// Fact names are case-insensitive; values keep their case (a link target).
void ApplyFact(std::string_view name, std::string_view value, FtpRemoteEntry& entry, bool& skip) {
    const std::string fact = Lower(name);
    if (fact == "type") {
        const std::string type = Lower(value);
        if (type == "file") {
            entry.Type = TFtpEntryType::File;
        } else if (type == "dir") {
            entry.Type = TFtpEntryType::Folder;
        } else if (type == "cdir" || type == "pdir") {
            skip = true;
        } else if (type == "os.unix=symlink" || type.rfind("os.unix=slink", 0) == 0) {
            entry.Type = TFtpEntryType::Link;
            if (const auto colon = value.find(':'); colon != std::string_view::npos)
                entry.LinkTarget = std::string(value.substr(colon + 1));
        }
    } else if (fact == "size" && AllDigits(value) && value.size() <= 18) {
        entry.Size = std::stoll(std::string(value));
    } else if (fact == "modify") {
        entry.ModifyUtc = ParseFtpTime(value);
    } else if (fact == "unique") {
        entry.Unique = std::string(value);
    } else if (fact == "unix.mode") {
        // Servers written in Python may write the mode as Python does: "0o644".
        if (value.starts_with("0o")) value.remove_prefix(2);
        if (AllDigits(value) && value.size() <= 6) entry.UnixMode = std::stoi(std::string(value), nullptr, 8) & 07777;
    }
}

}  // namespace

bool ParseMlsdLine(std::string_view Line, FtpRemoteEntry& Entry) {
    while (!Line.empty() && (Line.back() == '\r' || Line.back() == '\n')) Line.remove_suffix(1);
    if (!Line.empty() && Line.front() == ' ') Line.remove_prefix(1);
    // RFC 3659 7.2: the facts, each ending in ';', then one blank, then the
    // name to the end of the line: whatever blanks it holds are its own.
    const auto blank = Line.find(' ');
    if (blank == std::string_view::npos || blank == 0 || Line[blank - 1] != ';' || blank + 1 >= Line.size()) return false;
    FtpRemoteEntry entry;
    entry.Name = std::string(Line.substr(blank + 1));
    std::string_view facts = Line.substr(0, blank);
    bool skip = false;
    while (!facts.empty()) {
        const auto end = facts.find(';');
        const std::string_view fact = facts.substr(0, end);
        const auto equals = fact.find('=');
        if (equals != std::string_view::npos) ApplyFact(fact.substr(0, equals), fact.substr(equals + 1), entry, skip);
        if (end == std::string_view::npos) break;
        facts.remove_prefix(end + 1);
    }
    if (skip) return false;
    Entry = std::move(entry);
    return true;
}

std::vector<FtpRemoteEntry> ParseMlsdListing(std::string_view Listing) {
    std::vector<FtpRemoteEntry> entries;
    while (!Listing.empty()) {
        const auto lf = Listing.find('\n');
        FtpRemoteEntry entry;
        if (ParseMlsdLine(Listing.substr(0, lf), entry)) entries.push_back(std::move(entry));
        if (lf == std::string_view::npos) break;
        Listing.remove_prefix(lf + 1);
    }
    return entries;
}

std::optional<std::int64_t> ParseFtpTime(std::string_view Text) {
    if (Text.size() < 14 || !AllDigits(Text.substr(0, 14))) return std::nullopt;
    std::tm utc{};
    utc.tm_year = Number(Text.substr(0, 4)) - 1900;
    utc.tm_mon = Number(Text.substr(4, 2)) - 1;
    utc.tm_mday = Number(Text.substr(6, 2));
    utc.tm_hour = Number(Text.substr(8, 2));
    utc.tm_min = Number(Text.substr(10, 2));
    utc.tm_sec = Number(Text.substr(12, 2));
    if (utc.tm_mon < 0 || utc.tm_mon > 11 || utc.tm_mday < 1 || utc.tm_mday > 31 || utc.tm_hour > 23 || utc.tm_min > 59 ||
        utc.tm_sec > 60)
        return std::nullopt;
    return static_cast<std::int64_t>(timegm(&utc));
}

std::string FormatFtpTime(std::int64_t Utc) {
    const auto seconds = static_cast<std::time_t>(Utc);
    std::tm utc{};
    if (gmtime_r(&seconds, &utc) == nullptr) return {};
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d%H%M%S", &utc);
    return text;
}
