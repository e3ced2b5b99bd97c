#include "util/CommaText.h"

#include <array>

namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

bool NeedsQuotes(const std::string& entry) {
    for (const char c : entry)
        if (IsBlank(c) || c == '"' || c == ',') return true;
    return false;
}

std::string Quoted(const std::string& entry) {
    std::string out = "\"";
    for (const char c : entry) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + '"';
}

// Reads a quoted entry starting at the opening quote; leaves `pos` after the
// closing quote (or at the end when there is none).
std::string ReadQuoted(const std::string& text, std::size_t& pos) {
    std::string out;
    ++pos;
    while (pos < text.size()) {
        if (text[pos] == '"') {
            if (pos + 1 < text.size() && text[pos + 1] == '"') {
                out += '"';
                pos += 2;
                continue;
            }
            ++pos;
            return out;
        }
        out += text[pos++];
    }
    return out;
}

void SkipBlanks(const std::string& text, std::size_t& pos) {
    while (pos < text.size() && IsBlank(text[pos])) ++pos;
}

}  // namespace

std::string CommaTextOf(const std::vector<std::string>& entries) {
    if (entries.size() == 1 && entries.front().empty()) return "\"\"";
    std::string out;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (i > 0) out += ',';
        out += NeedsQuotes(entries[i]) ? Quoted(entries[i]) : entries[i];
    }
    return out;
}

std::vector<std::string> ParseCommaText(const std::string& text) {
    std::vector<std::string> entries;
    std::size_t pos = 0;
    SkipBlanks(text, pos);
    while (pos < text.size()) {
        if (text[pos] == '"') {
            entries.push_back(ReadQuoted(text, pos));
        } else {
            const std::size_t start = pos;
            while (pos < text.size() && !IsBlank(text[pos]) && text[pos] != ',') ++pos;
            entries.push_back(text.substr(start, pos - start));
        }
        SkipBlanks(text, pos);
        if (pos < text.size() && text[pos] == ',') {
            if (pos + 1 == text.size()) entries.emplace_back();
            ++pos;
            SkipBlanks(text, pos);
        }
    }
    return entries;
}

bool IsRefusedTextExtension(const std::string& extension) {
    static const std::array<std::string, 5> refused{".GIF", ".JPG", ".JPEG", ".EXE", ".ZIP"};
    const std::string upper = AsciiUpper(extension);
    for (const auto& r : refused)
        if (upper == r) return true;
    return false;
}
