#include "transfer/ListingEntries.h"

#include <array>
#include <charconv>
#include <ctime>
#include <string>

namespace {

using Columns = std::array<std::string_view, 9>;

constexpr std::int64_t kDay = 24 * 60 * 60;

int MonthNumber(std::string_view text) {
    static const char* const names[] = {"jan", "feb", "mar", "apr", "may", "jun", "jul", "aug", "sep", "oct", "nov", "dec"};
    if (text.size() != 3) return -1;
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(c | 0x20);
    for (int m = 0; m < 12; ++m)
        if (lower == names[m]) return m;
    return -1;
}

bool Number(std::string_view text, int& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

std::int64_t UtcSeconds(int year, int month, int day, int hour, int minute) {
    std::tm parts{};
    parts.tm_year = year - 1900;
    parts.tm_mon = month;
    parts.tm_mday = day;
    parts.tm_hour = hour;
    parts.tm_min = minute;
    return static_cast<std::int64_t>(timegm(&parts));
}

int YearOf(std::int64_t utc) {
    const std::time_t t = static_cast<std::time_t>(utc);
    std::tm parts{};
    gmtime_r(&t, &parts);
    return parts.tm_year + 1900;
}

// Permissions, links, owner, group, size, month, day, time or year, and
// the name with everything after it (inner blanks, a link's " -> target").
// False for a line with fewer columns ("total 12", a server's remark): there
// is nothing in it to trust.
bool SplitColumns(std::string_view line, Columns& columns) {
    std::size_t pos = 0;
    for (std::size_t i = 0; i + 1 < columns.size(); ++i) {
        pos = line.find_first_not_of(' ', pos);
        const std::size_t end = pos == std::string_view::npos ? pos : line.find(' ', pos);
        if (end == std::string_view::npos) return false;
        columns[i] = line.substr(pos, end - pos);
        pos = end;
    }
    pos = line.find_first_not_of(' ', pos);
    if (pos == std::string_view::npos) return false;
    columns.back() = line.substr(pos);
    return true;
}

// "Jan  5 12:34" (this year or the last) or "Jan  5  2019".
void ReadDate(const Columns& f, std::int64_t nowUtc, TRemoteEntry& entry) {
    const int month = MonthNumber(f[5]);
    int day = 0;
    if (month < 0 || !Number(f[6], day)) return;
    const std::string_view last = f[7];
    int hour = 0;
    int minute = 0;
    int year = 0;
    if (last.size() == 5 && last[2] == ':' && Number(last.substr(0, 2), hour) && Number(last.substr(3), minute)) {
        year = YearOf(nowUtc);
        if (UtcSeconds(year, month, day, hour, minute) > nowUtc + kDay) --year;
        entry.modifiedUtc = UtcSeconds(year, month, day, hour, minute);
        entry.timePrecision = 60;
    } else if (Number(last, year)) {
        entry.modifiedUtc = UtcSeconds(year, month, day, 0, 0);
        entry.timePrecision = kDay;
    }
}

std::int64_t SizeOf(std::string_view text) {
    std::int64_t size = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), size);
    return error == std::errc() && end == text.data() + text.size() && size > 0 ? size : 0;
}

}  // namespace

std::vector<TRemoteEntry> ParseListingEntries(std::string_view listing, std::int64_t nowUtc) {
    std::vector<TRemoteEntry> entries;
    while (!listing.empty()) {
        const auto end = listing.find('\n');
        std::string_view line = listing.substr(0, end);
        listing.remove_prefix(end == std::string_view::npos ? listing.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        Columns f;
        if (!SplitColumns(line, f)) continue;
        TRemoteEntry entry;
        const char kind = static_cast<char>(f[0][0] | 0x20);
        entry.isFolder = kind == 'd';
        entry.isLink = kind == 'l';
        entry.name = std::string(f[8]);
        if (entry.isLink) {
            const auto arrow = entry.name.find(" -> ");
            if (arrow != std::string::npos) entry.name.resize(arrow);
        }
        if (entry.name == "." || entry.name == "..") continue;
        entry.size = entry.isFolder ? 0 : SizeOf(f[4]);
        ReadDate(f, nowUtc, entry);
        entries.push_back(std::move(entry));
    }
    return entries;
}

TRemoteEntry EntryOfFacts(const FtpRemoteEntry& facts) {
    TRemoteEntry entry;
    entry.name = facts.Name;
    entry.isFolder = facts.Type == TFtpEntryType::Folder;
    entry.isLink = facts.Type == TFtpEntryType::Link;
    entry.size = entry.isFolder || facts.Size < 0 ? 0 : facts.Size;
    entry.modifiedUtc = facts.ModifyUtc;
    entry.timePrecision = 1;
    entry.uniqueId = facts.Unique;
    return entry;
}

std::vector<TRemoteEntry> ParseMachineListingEntries(std::string_view listing) {
    std::vector<TRemoteEntry> entries;
    for (const FtpRemoteEntry& facts : ParseMlsdListing(listing))
        if (facts.Type != TFtpEntryType::Other) entries.push_back(EntryOfFacts(facts));
    return entries;
}
