// The 227 reply's port: whatever the server writes, the port is in range or
// the reply is refused.
//
// Input: the reply line.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "ftp/FtpReplyBuffer.h"
#include "fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view reply(reinterpret_cast<const char*>(data), size);
    int port = -1;
    if (ParsePasvPort(reply, port)) FUZZ_CHECK(port > 0 && port <= 65535);
    return 0;
}
