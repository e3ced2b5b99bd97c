#include "ftp/FtpFeatures.h"

#include <cctype>

namespace {

bool SameLetters(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i]))) return false;
    return true;
}

std::string_view FirstWord(std::string_view line) { return line.substr(0, line.find(' ')); }

// RFC 2389 puts a blank before each feature and the code before the first
// and last lines; some servers forget the blank, none puts a code before a
// feature.
bool IsCodeLine(std::string_view line) {
    return line.size() >= 3 && std::isdigit(static_cast<unsigned char>(line[0])) &&
           std::isdigit(static_cast<unsigned char>(line[1])) && std::isdigit(static_cast<unsigned char>(line[2])) &&
           (line.size() == 3 || line[3] == '-' || line[3] == ' ');
}

}  // namespace

void FtpFeatures::Clear() { lines_.clear(); }

void FtpFeatures::AddLine(std::string_view Line) {
    if (IsCodeLine(Line)) return;
    const auto first = Line.find_first_not_of(' ');
    if (first == std::string_view::npos) return;
    Line.remove_prefix(first);
    while (!Line.empty() && (Line.back() == ' ' || Line.back() == '\r')) Line.remove_suffix(1);
    lines_.emplace_back(Line);
}

const std::string* FtpFeatures::Find(std::string_view Name) const {
    for (const std::string& line : lines_)
        if (SameLetters(FirstWord(line), Name)) return &line;
    return nullptr;
}

bool FtpFeatures::Has(std::string_view Name) const { return Find(Name) != nullptr; }

bool FtpFeatures::HasLine(std::string_view Line) const {
    for (const std::string& line : lines_)
        if (SameLetters(line, Line)) return true;
    return false;
}

std::string FtpFeatures::Parameters(std::string_view Name) const {
    const std::string* line = Find(Name);
    if (line == nullptr) return {};
    const auto blank = line->find(' ');
    return blank == std::string::npos ? std::string() : line->substr(blank + 1);
}
