#include "util/WindowDataFiles.h"

#include <cstdlib>

#include "util/MiscUtils.h"

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : value;
}

// The settings library takes an empty $HOME as the root folder.
std::string HomeFolder() {
    const std::string home = Environment("HOME");
    return home.empty() ? "/" : home;
}

// An XDG variable when set, else the home folder's fallback. A relative
// value is used as it is, as the window's libraries use it.
std::string XdgFolder(const char* variable, const char* fallbackUnderHome) {
    const std::string value = Environment(variable);
    return value.empty() ? HomeFolder() + fallbackUnderHome : value;
}

constexpr char kOrganisation[] = "Orvan Software";
constexpr char kApplication[] = "Velliant FTP";

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void AppendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | ((code >> 12) & 0x0F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// Group and key names escape what the file format cannot hold as %XX.
std::string PercentDecoded(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 && HexDigit(text[i + 2]) >= 0) {
            out += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// One backslash escape starting after the backslash at text[i]; returns the
// index after it.
std::size_t Unescape(const std::string& text, std::size_t i, std::string& out) {
    static const std::string kCodes = "abfnrtv\"?'\\";
    static const std::string kValues = "\a\b\f\n\r\t\v\"?'\\";
    if (i >= text.size()) return i;
    const char c = text[i++];
    if (const auto at = kCodes.find(c); at != std::string::npos) {
        out += kValues[at];
    } else if (c == 'x' || (c >= '0' && c <= '7')) {
        const int base = c == 'x' ? 16 : 8;
        unsigned code = c == 'x' ? 0 : static_cast<unsigned>(c - '0');
        for (int digit; i < text.size() && (digit = HexDigit(text[i])) >= 0 && digit < base; ++i)
            code = (code * static_cast<unsigned>(base) + static_cast<unsigned>(digit)) & 0xFFFF;
        AppendUtf8(out, code);
    }
    return i;  // any other escaped character is dropped
}

// The text of a value as the settings reader unescapes it; nothing when it
// is no text (an invalid or binary value).
std::optional<std::string> ValueText(const std::string& raw) {
    std::string out;
    bool quoted = false;
    bool anyQuoted = false;
    std::size_t i = raw.find_first_not_of(" \t");
    while (i != std::string::npos && i < raw.size()) {
        const char c = raw[i];
        if (c == '\\') {
            i = Unescape(raw, i + 1, out);
        } else if (c == '"') {
            quoted = !quoted;
            anyQuoted = true;
            i = quoted ? i + 1 : raw.find_first_not_of(" \t", i + 1);
        } else if (!quoted && c == ';') {
            break;
        } else if (!quoted && c == ',') {
            return std::string();  // a list, which reads as empty text
        } else {
            out += c;
            ++i;
        }
    }
    if (!anyQuoted) out = out.substr(0, out.find_last_not_of(" \t") + 1);
    if (out.empty() || out[0] != '@') return out;
    if (out.compare(0, 2, "@@") == 0) return out.substr(1);
    for (const std::string form : {"@String(", "@ByteArray("})
        if (out.compare(0, form.size(), form) == 0 && out.back() == ')')
            return out.substr(form.size(), out.size() - form.size() - 1);
    return std::nullopt;  // @Invalid(), @Variant(...) and the like
}

// Logical lines: a line ending in an odd number of backslashes goes on in
// the next one; carriage returns before line ends are dropped.
std::vector<std::string> LogicalLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string pending;
    for (std::string& line : SplitText(text, '\n')) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto kept = line.find_last_not_of('\\');
        const std::size_t backslashes = line.size() - (kept == std::string::npos ? 0 : kept + 1);
        if (backslashes % 2 == 1) {
            pending += line.substr(0, line.size() - 1);
            continue;
        }
        lines.push_back(pending + std::move(line));
        pending.clear();
    }
    if (!pending.empty()) lines.push_back(pending);
    return lines;
}

}  // namespace

std::string WindowDataFolder() {
    return XdgFolder("XDG_DATA_HOME", "/.local/share") + "/" + kOrganisation + "/" + kApplication + "/";
}

std::vector<std::string> WindowSettingsFiles() {
    const std::string app = std::string("/") + kOrganisation + "/" + kApplication + ".conf";
    const std::string org = std::string("/") + kOrganisation + ".conf";
    const std::string home = XdgFolder("XDG_CONFIG_HOME", "/.config");
    std::vector<std::string> systemFolders;
    const std::string dirs = Environment("XDG_CONFIG_DIRS").empty() ? "/etc/xdg" : Environment("XDG_CONFIG_DIRS");
    for (std::string& dir : SplitText(dirs, ':'))
        if (!dir.empty()) systemFolders.push_back(std::move(dir));
    std::vector<std::string> files{home + app, home + org};
    for (const auto& dir : systemFolders) files.push_back(dir + app);
    for (const auto& dir : systemFolders) files.push_back(dir + org);
    return files;
}

std::optional<std::string> SettingsTextValue(const std::string& text, const std::string& group, const std::string& key) {
    std::optional<std::string> found;
    bool inGroup = false;
    for (const std::string& line : LogicalLines(text)) {
        const std::string trimmed = Trimmed(line);
        if (trimmed.empty() || trimmed[0] == ';') continue;
        if (trimmed[0] == '[') {
            const auto close = trimmed.find(']');
            inGroup = close != std::string::npos && PercentDecoded(trimmed.substr(1, close - 1)) == group;
            continue;
        }
        const auto equals = line.find('=');
        if (!inGroup || equals == std::string::npos || PercentDecoded(Trimmed(line.substr(0, equals))) != key) continue;
        found = ValueText(line.substr(equals + 1));
    }
    return found;
}

std::optional<std::string> ReadWindowSetting(const std::string& group, const std::string& key) {
    for (const std::string& file : WindowSettingsFiles())
        if (auto value = SettingsTextValue(ReadWholeFile(file), group, key)) return value;
    return std::nullopt;
}

std::string WindowServerIniFile() {
    return ReadWindowSetting("FTP Servers", "INIFilename").value_or(WindowDataFolder() + "FTPServers.ini");
}
