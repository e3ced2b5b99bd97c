#include "util/MiscUtils.h"

#include <algorithm>

namespace {

constexpr char kSeparator = '/';

// Profile files strip the quotes around a value and end a value at a line
// break, so these characters travel as control characters that never occur
// in typed text.
constexpr char kQuoteStandIn = '\x02';
constexpr char kCrStandIn = '\x03';
constexpr char kLfStandIn = '\x04';

}  // namespace

std::string WithTrailingBackslash(const std::string& path) {
    if (path.empty() || path.back() == kSeparator) return path;
    return path + kSeparator;
}

std::string WithoutTrailingBackslash(const std::string& path) {
    std::string result = WithTrailingBackslash(path);
    if (!result.empty()) result.pop_back();
    return result;
}

std::string QuoteValue(const std::string& s) {
    std::string result = "\"";
    for (char c : s) {
        switch (c) {
            case '"': result += kQuoteStandIn; break;
            case '\r': result += kCrStandIn; break;
            case '\n': result += kLfStandIn; break;
            default: result += c;
        }
    }
    return result + '"';
}

std::string UnquoteValue(const std::string& s) {
    std::string result = s;
    if (!result.empty() && result.front() == '"') result.erase(0, 1);
    if (!result.empty() && result.back() == '"') result.pop_back();
    for (char& c : result) {
        if (c == kQuoteStandIn)
            c = '"';
        else if (c == kCrStandIn)
            c = '\r';
        else if (c == kLfStandIn)
            c = '\n';
    }
    return result;
}

int LastPos(const std::string& needle, const std::string& text) {
    if (needle.empty() || text.empty()) return 0;
    const auto at = text.rfind(needle);
    return at == std::string::npos ? 0 : static_cast<int>(at) + 1;
}

int LargerOf(int a, int b) { return std::max(a, b); }

std::uint64_t RoundedWhole(double nonNegative) {
    constexpr double kBeyond64Bits = 18446744073709551616.0;
    if (!(nonNegative > 0)) return 0;  // also NaN
    const double rounded = nonNegative + 0.5;
    if (rounded >= kBeyond64Bits) return UINT64_MAX;
    return static_cast<std::uint64_t>(rounded);
}

std::string ExtensionOf(const std::string& name) {
    const auto dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::string AsciiUpper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

namespace {

bool SpellsPassAt(const std::string& text, std::size_t at) {
    return text.size() >= at + 4 && AsciiUpper(text.substr(at, 4)) == "PASS";
}

}  // namespace

std::string MaskPassword(const std::string& text) {
    if (SpellsPassAt(text, 0)) return "PASS *****";
    if (SpellsPassAt(text, 2)) return "> PASS *****";
    return text;
}
