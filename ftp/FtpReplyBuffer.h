#pragma once
// Reply assembly for the control connection: bytes in, complete lines out.
// It knows nothing about FTP beyond line ends and the shape of a reply code;
// protocol decisions stay with the engine.

#include <cstdint>
#include <string>
#include <string_view>

class FtpReplyBuffer {
public:
    static constexpr int kCapacity = 4096;

    // Where the next receive may write, and how many bytes fit. Zero free
    // bytes means a line of kCapacity bytes arrived without a line end.
    char* FreeSpace() { return data_ + count_; }
    int FreeCount() const { return kCapacity - count_; }
    // Accounts for `count` bytes written at FreeSpace().
    void Commit(int count);

    // Removes the first complete line (without its terminator) from the front.
    // A CR LF anywhere in the held bytes ends the line before a lone LF does,
    // so an early lone LF stays inside a line that a later CR LF ends.
    // False when no line end is held yet.
    bool TakeLine(std::string& line);

    int Count() const { return count_; }
    void Clear();

private:
    char data_[kCapacity + 1] = {};
    int count_ = 0;
};

// Reads an optionally signed decimal number after blanks (space, TAB, CR, LF)
// starting at `pos`; `pos` moves past what was read. Absurd digit runs
// saturate instead of overflowing.
std::int64_t ParseReplyNumber(std::string_view text, std::size_t& pos);

// Classifies a reply line: false for a line that does not begin with a digit
// or whose code is followed by '-' (a continuation line). `statusCode` is set
// from any digit-led line.
bool IsFinalReplyLine(std::string_view line, int& statusCode);

// Classifies a line within the reply it belongs to. `openCode` holds the
// code of a multi-line reply still open (0: none) and is kept up to date: a
// code followed by '-' opens one, and inside it only a line that starts with
// that same code followed by a blank or nothing ends it (RFC 959 4.2);
// outside one, IsFinalReplyLine decides. `statusCode` is set from any
// digit-led line.
bool ClassifyReplyLine(std::string_view line, int& statusCode, int& openCode);

// The quoted name after the status code of a 257-style reply, a doubled quote
// standing for one quote character; empty when no quote follows the code.
std::string ParseQuotedName(std::string_view line);

// The port given by the parenthesised six numbers of a 227 reply; false when
// the reply does not carry them in range.
bool ParsePasvPort(std::string_view reply, int& port);

// The size of a 213 reply to SIZE: digits alone after the code, blanks
// around them allowed; false for a sign, a fraction or trailing text.
bool ParseSizeReply(std::string_view reply, std::int64_t& size);
