// The control connection's reply assembly, fed a server's bytes in receives
// of varying sizes exactly as the engine feeds it: receive into the free
// space, take every complete line, classify it; a full buffer without a line
// end ends the connection.
//
// Input: one byte choosing the receive sizes, then the bytes the server sends.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "ftp/FtpReplyBuffer.h"
#include "fuzz/FuzzCheck.h"

namespace {

// Receive sizes that vary with the pattern byte and the receive's number, so
// that line ends fall at every place within and across receives.
std::size_t ReceiveSize(std::uint8_t pattern, std::size_t index) {
    if (pattern == 0) return FtpReplyBuffer::kCapacity;
    return 1 + (pattern * (index + 1) + index * index) % (pattern < 128 ? 7u : 613u);
}

// Each line must be the next bytes of the stream, followed by a line end.
std::size_t CheckLine(std::string_view stream, std::size_t at, const std::string& line) {
    FUZZ_CHECK(stream.substr(at, line.size()) == line);
    at += line.size();
    if (stream.substr(at, 2) == "\r\n") return at + 2;
    FUZZ_CHECK(at < stream.size() && stream[at] == '\n');
    return at + 1;
}

void CheckClassification(const std::string& line, int& openCode) {
    int statusCode = -1;
    const bool final = ClassifyReplyLine(line, statusCode, openCode);
    FUZZ_CHECK(statusCode >= -1);
    FUZZ_CHECK(!final || openCode == 0);
    FUZZ_CHECK(ParseQuotedName(line).size() <= line.size());
    std::size_t pos = 0;
    (void)ParseReplyNumber(line, pos);
    FUZZ_CHECK(pos <= line.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t pattern = data[0];
    const std::string_view stream(reinterpret_cast<const char*>(data + 1), size - 1);
    FtpReplyBuffer buffer;
    std::size_t sent = 0;
    std::size_t taken = 0;
    int openCode = 0;
    std::string line;
    for (std::size_t receive = 0; sent < stream.size(); ++receive) {
        if (buffer.FreeCount() == 0) break;  // the engine closes the connection here
        const std::size_t count =
            std::min({ReceiveSize(pattern, receive), stream.size() - sent, static_cast<std::size_t>(buffer.FreeCount())});
        std::memcpy(buffer.FreeSpace(), stream.data() + sent, count);
        buffer.Commit(static_cast<int>(count));
        sent += count;
        while (buffer.TakeLine(line)) {
            taken = CheckLine(stream, taken, line);
            CheckClassification(line, openCode);
        }
        FUZZ_CHECK(static_cast<std::size_t>(buffer.Count()) == sent - taken);
        FUZZ_CHECK(buffer.FreeCount() == FtpReplyBuffer::kCapacity - buffer.Count());
    }
    return 0;
}
