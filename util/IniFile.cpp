#include "util/IniFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <optional>

#include "util/MiscUtils.h"

namespace {

constexpr char kBlanks[] = " \t\r";

std::string Trim(const std::string& s) {
    const auto first = s.find_first_not_of(kBlanks);
    if (first == std::string::npos) return {};
    const auto last = s.find_last_not_of(kBlanks);
    return s.substr(first, last - first + 1);
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        const auto lx = (x >= 'A' && x <= 'Z') ? x + 32 : x;
        const auto ly = (y >= 'A' && y <= 'Z') ? y + 32 : y;
        if (lx != ly) return false;
    }
    return true;
}

// The name of a "[name]" line, or nothing when the line is not a header.
std::optional<std::string> HeaderName(const std::string& line) {
    const std::string t = Trim(line);
    if (t.empty() || t.front() != '[') return std::nullopt;
    const auto close = t.find(']');
    return Trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1));
}

struct SectionRange {
    std::size_t header;
    std::size_t end;  // one past the last line belonging to the section
};

std::optional<SectionRange> FindSection(const std::vector<std::string>& lines, const std::string& section) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto name = HeaderName(lines[i]);
        if (!name || !SameName(*name, Trim(section))) continue;
        std::size_t end = i + 1;
        while (end < lines.size() && !HeaderName(lines[end])) ++end;
        return SectionRange{i, end};
    }
    return std::nullopt;
}

std::optional<std::size_t> FindKey(const std::vector<std::string>& lines, const SectionRange& range, const std::string& key) {
    for (std::size_t i = range.header + 1; i < range.end; ++i) {
        const auto eq = lines[i].find('=');
        if (eq != std::string::npos && SameName(Trim(lines[i].substr(0, eq)), Trim(key))) return i;
    }
    return std::nullopt;
}

std::string DropEnclosingQuotes(const std::string& value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

bool HasLineBreak(const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; }

// Writes to the file a link points at, so that a relocated profile file
// reached through a link stays where it is.
std::string ResolvedTarget(const std::string& path) {
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved) != nullptr) return resolved;
    return path;
}

bool WriteAll(int fd, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

void SyncFolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    (void)fsync(fd);
    (void)close(fd);
}

}  // namespace

bool ParseIniInteger(const std::string& text, std::int32_t& value) {
    const std::string t = Trim(text);
    std::size_t pos = 0;
    bool negative = false;
    if (pos < t.size() && (t[pos] == '-' || t[pos] == '+')) negative = t[pos++] == '-';
    int base = 10;
    if (t.size() > pos + 1 && t[pos] == '0' && (t[pos + 1] == 'x' || t[pos + 1] == 'X')) {
        base = 16;
        pos += 2;
    }
    if (pos >= t.size()) return false;
    std::int64_t magnitude = 0;
    for (; pos < t.size(); ++pos) {
        const char c = t[pos];
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit < 0) return false;
        magnitude = magnitude * base + digit;
        // Hexadecimal spells the full 32-bit pattern (0xFFFFFFFF is -1).
        const std::int64_t limit = base == 16 ? 0xFFFFFFFFLL : (negative ? 0x80000000LL : 0x7FFFFFFFLL);
        if (magnitude > limit) return false;
    }
    // Two's complement in unsigned arithmetic, where negation cannot overflow.
    std::uint32_t bits = static_cast<std::uint32_t>(magnitude);
    if (negative) bits = 0u - bits;
    value = static_cast<std::int32_t>(bits);
    return true;
}

TIniFile::TIniFile(std::string fileName) : fileName_(std::move(fileName)) {}

TIniFile::Lines TIniFile::Load() const {
    if (hasPending_) return pending_;
    Lines lines = SplitText(ReadWholeFile(fileName_), '\n');
    for (std::string& line : lines)
        if (!line.empty() && line.back() == '\r') line.pop_back();
    return lines;
}

void TIniFile::FailWrite() const { throw EIniFileException("Unable to write to " + fileName_); }

void TIniFile::Store(const Lines& lines) const {
    if (updateDepth_ > 0) {
        pending_ = lines;
        hasPending_ = true;
        return;
    }
    std::string data;
    for (const auto& line : lines) data += line + '\n';
    const std::string target = ResolvedTarget(fileName_);
    std::string temp = target + ".XXXXXX";
    const int fd = mkstemp(temp.data());  // mode 0600: the file holds passwords
    if (fd < 0) FailWrite();
    const bool written = WriteAll(fd, data) && fsync(fd) == 0;
    const bool closed = close(fd) == 0;
    if (!written || !closed || rename(temp.c_str(), target.c_str()) != 0) {
        (void)unlink(temp.c_str());
        FailWrite();
    }
    SyncFolderOf(target);
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key, const std::string& def) const {
    const Lines lines = Load();
    std::string value = def;
    if (const auto range = FindSection(lines, section)) {
        if (const auto at = FindKey(lines, *range, key)) {
            const std::string& line = lines[*at];
            value = DropEnclosingQuotes(Trim(line.substr(line.find('=') + 1)));
        }
    }
    if (value.size() > MaxValueLength) value.resize(MaxValueLength);
    return value;
}

std::int32_t TIniFile::ReadInteger(const std::string& section, const std::string& key, std::int32_t def) const {
    std::int32_t value = 0;
    return ParseIniInteger(ReadString(section, key, ""), value) ? value : def;
}

bool TIniFile::ReadBool(const std::string& section, const std::string& key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TIniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    // A line break would split the line and could forge keys or sections.
    if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value) || key.find('=') != std::string::npos ||
        section.find(']') != std::string::npos || Trim(key).empty())
        FailWrite();
    Lines lines = Load();
    const std::string entry = key + "=" + value;
    const auto range = FindSection(lines, section);
    if (!range) {
        lines.push_back("[" + section + "]");
        lines.push_back(entry);
    } else if (const auto at = FindKey(lines, *range, key)) {
        lines[*at] = entry;
    } else {
        // After the section's last non-blank line, so blank lines that part it
        // from the next section stay in place.
        std::size_t insertAt = range->end;
        while (insertAt > range->header + 1 && Trim(lines[insertAt - 1]).empty()) --insertAt;
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), entry);
    }
    Store(lines);
}

void TIniFile::WriteInteger(const std::string& section, const std::string& key, std::int32_t value) {
    WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

void TIniFile::EraseSection(const std::string& section) {
    Lines lines = Load();
    const auto range = FindSection(lines, section);
    if (!range) return;
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(range->header),
                lines.begin() + static_cast<std::ptrdiff_t>(range->end));
    Store(lines);
}

bool TIniFile::SectionExists(const std::string& section) const { return FindSection(Load(), section).has_value(); }

std::vector<std::string> TIniFile::SectionNames() const {
    std::vector<std::string> names;
    for (const auto& line : Load())
        if (const auto name = HeaderName(line)) names.push_back(*name);
    return names;
}

void TIniFile::BeginUpdate() { ++updateDepth_; }

void TIniFile::EndUpdate() {
    if (updateDepth_ == 0 || --updateDepth_ > 0 || !hasPending_) return;
    const Lines lines = std::move(pending_);
    hasPending_ = false;
    pending_.clear();
    Store(lines);
}

TIniUpdate::~TIniUpdate() {
    if (ini_ == nullptr) return;
    try {
        ini_->EndUpdate();
    } catch (const EIniFileException&) {
        // Reported only through Commit(); see the header.
    }
}

void TIniUpdate::Commit() {
    TIniFile* ini = ini_;
    ini_ = nullptr;
    ini->EndUpdate();
}
