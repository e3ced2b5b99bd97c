#include "session/ListingLine.h"

#include <cstddef>
#include <string>

#include "util/MiscUtils.h"

namespace {

bool IsSeparator(char c) { return c == ' ' || c == '\r' || c == '\n'; }

}  // namespace

TListingFields SplitListingLine(std::string_view line) {
    TListingFields out;
    int index = 0;
    // Blanks before the first column are indentation, not an empty column.
    bool previousStored = false;
    std::size_t begin[TListingFields::Count];
    std::size_t end[TListingFields::Count] = {};
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (index < TListingFields::Count - 1 && IsSeparator(line[i])) {
            if (previousStored) ++index;
            previousStored = false;
            continue;
        }
        // Each field's characters are contiguous: below field 8 a separator
        // ends the field, and field 8 runs to the end of the line.
        if (index > out.highest) {
            out.highest = index;
            begin[index] = i;
        }
        end[index] = i + 1;
        previousStored = true;
    }
    for (int f = 0; f <= out.highest; ++f)
        if (end[f] != 0) out.field[f] = line.substr(begin[f], end[f] - begin[f]);
    return out;
}

bool IsListingTotalLine(std::string_view line) {
    return line.size() >= 6 && AsciiUpper(std::string(line.substr(0, 6))) == "TOTAL ";
}
