// The window's settings file as vftp reads it without Qt (it may move the
// profile file): any text is read in bounded time, and a group appended at
// the end is found with its value whatever plain lines came before it (a
// backslash or a quote may rightly carry a line into the next).
//
// Input: the content of the settings file.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/FuzzCheck.h"
#include "util/WindowDataFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    (void)SettingsTextValue(text, "General", "ServerIniFile");
    (void)SettingsTextValue(text, "a b", "k");
    if (text.find_first_of("\\\"") != std::string::npos) return 0;
    const auto appended = SettingsTextValue(text + "\n[fuzzgroup]\nfuzzkey=plain\n", "fuzzgroup", "fuzzkey");
    FUZZ_CHECK(appended && *appended == "plain");
    return 0;
}
