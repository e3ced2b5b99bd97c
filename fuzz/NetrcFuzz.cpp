// ~/.netrc, which the user (or a program of theirs) wrote: parsing ends in
// bounded time, and every entry it gives is found again by its host and
// login.
//
// Input: the content of the file.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/FuzzCheck.h"
#include "tools/vftp/Netrc.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto entries = ParseNetrc(text);
    for (const NetrcEntry& entry : entries) {
        if (entry.machine.empty()) continue;
        const NetrcEntry* found = FindNetrcEntry(entries, entry.machine, entry.login);
        FUZZ_CHECK(found != nullptr);
        FUZZ_CHECK(!found->login || !entry.login || *found->login == *entry.login);
    }
    return 0;
}
