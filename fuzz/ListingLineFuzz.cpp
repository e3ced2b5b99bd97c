// The column split of a listing, line by line as the listing file is read
// (line end LF, an optional CR before it dropped).
//
// Input: the listing as the server sends it.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/FuzzCheck.h"
#include "session/ListingLine.h"

namespace {

bool IsSeparator(char c) { return c == ' ' || c == '\r' || c == '\n'; }

// Fields lie inside the line in column order; below the name they hold no
// separator, and only a line that starts with one leaves field 0 empty.
void CheckFields(std::string_view line, const TListingFields& f) {
    FUZZ_CHECK(f.highest >= -1 && f.highest < TListingFields::Count);
    const char* previousEnd = line.data();
    for (int i = 0; i <= f.highest; ++i) {
        const std::string_view field = f.field[i];
        if (field.empty()) {
            FUZZ_CHECK(i == 0 && !line.empty() && IsSeparator(line[0]));
            continue;
        }
        FUZZ_CHECK(field.data() >= previousEnd && field.data() + field.size() <= line.data() + line.size());
        previousEnd = field.data() + field.size();
        if (i < TListingFields::Count - 1)
            for (const char c : field) FUZZ_CHECK(!IsSeparator(c));
    }
    for (int i = f.highest + 1; i < TListingFields::Count; ++i) FUZZ_CHECK(f.field[i].empty());
    FUZZ_CHECK(f.highest < 0 || !f.Name().empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        (void)IsListingTotalLine(line);
        CheckFields(line, SplitListingLine(line));
    }
    return 0;
}
