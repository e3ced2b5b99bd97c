#include <clocale>
#include <cmath>
#include <cstring>

#include "util/MiscUtils.h"

namespace {

// Digits of a non-negative whole number with a separator every three digits,
// as the "#,#" pattern of the size displays asks.
std::string GroupedText(std::uint64_t whole, const std::string& thousands) {
    const std::string digits = std::to_string(whole);
    std::string result;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) result += thousands;
        result += digits[i];
    }
    return result;
}

// "#,#.##": grouped whole part, at most two decimals, no trailing zeros.
// Rounding to hundredths before splitting lets 1023.999 carry into "1,024"
// instead of leaving a fraction of one hundred hundredths.
std::string DecimalText(double value, const NumberSeparators& separators) {
    const bool negative = value < 0;
    const auto hundredths = RoundedWhole(std::fabs(value) * 100.0);
    // Appending rather than `"-" + GroupedText(...)`: GCC 12 at -O2 and above
    // warns falsely (-Wrestrict) about the inlined insert at the front.
    std::string text = negative ? "-" : "";
    text += GroupedText(hundredths / 100, separators.thousands);
    std::uint64_t fraction = hundredths % 100;
    if (fraction == 0) return text;
    std::string decimals = {static_cast<char>('0' + fraction / 10), static_cast<char>('0' + fraction % 10)};
    if (decimals.back() == '0') decimals.pop_back();
    return text + separators.decimal + decimals;
}

bool IsPlainCLocale(const char* name) {
    return name == nullptr || std::strcmp(name, "C") == 0 || std::strcmp(name, "POSIX") == 0 || std::strncmp(name, "C.", 2) == 0;
}

}  // namespace

NumberSeparators LocaleNumberSeparators() {
    // The plain C locale has no thousands separator at all; the size displays
    // read "1,024 KB", so that locale reads like English.
    if (IsPlainCLocale(std::setlocale(LC_NUMERIC, nullptr))) return {",", "."};
    const std::lconv* conventions = std::localeconv();
    return {conventions->thousands_sep, conventions->decimal_point};
}

std::string SizeText(std::int64_t n) { return SizeText(n, LocaleNumberSeparators()); }

std::string SizeText(std::int64_t n, const NumberSeparators& separators) {
    static const char* const kUnits[] = {" bytes", " KB", " MB", " GB"};
    double value = static_cast<double>(n);
    int unit = 0;
    while (value > 1024 && unit < 3) {
        value *= 0.0009765625;
        ++unit;
    }
    return (value == 0 ? std::string("0") : DecimalText(value, separators)) + kUnits[unit];
}

std::string ByteCountText(std::int64_t n) { return ByteCountText(n, LocaleNumberSeparators()); }

std::string ByteCountText(std::int64_t n, const NumberSeparators& separators) {
    if (n > 1) return GroupedText(static_cast<std::uint64_t>(n), separators.thousands) + " bytes";
    return std::to_string(n) + " byte";
}
