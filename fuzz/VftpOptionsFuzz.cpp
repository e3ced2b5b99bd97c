// vftp's command line: any argument list is either taken, with a known
// command and the number of arguments it takes, or refused with a reason.
//
// Input: the arguments, separated by NUL bytes as in the process's argv.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "tools/vftp/VftpOptions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            args.emplace_back();
        else
            args.back() += static_cast<char>(data[i]);
    }
    std::string error;
    const auto options = ParseVftpOptions(args, error);
    FUZZ_CHECK(options.has_value() == error.empty());
    if (!options || options->help || options->version) return 0;
    FUZZ_CHECK(!options->command.empty());
    FUZZ_CHECK(options->timeoutSeconds >= 0);
    // Only get and put take many files; every other command one or two words.
    FUZZ_CHECK(options->arguments.size() <= 2 || options->command == "get" || options->command == "put");
    return 0;
}
