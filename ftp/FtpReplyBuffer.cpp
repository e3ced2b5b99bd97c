#include "ftp/FtpReplyBuffer.h"

#include <cstring>
#include <limits>

void FtpReplyBuffer::Commit(int count) {
    if (count <= 0) return;
    if (count > FreeCount()) count = FreeCount();
    count_ += count;
    data_[count_] = '\0';
}

bool FtpReplyBuffer::TakeLine(std::string& line) {
    if (count_ <= 0) return false;
    const char* begin = data_;
    const char* end = begin + count_;
    const char* crlf = nullptr;
    for (const char* p = begin; p + 1 < end; ++p) {
        if (p[0] == '\r' && p[1] == '\n') {
            crlf = p;
            break;
        }
    }
    const char* stop = crlf;
    int terminator = 2;
    if (stop == nullptr) {
        stop = static_cast<const char*>(std::memchr(begin, '\n', static_cast<std::size_t>(count_)));
        terminator = 1;
    }
    if (stop == nullptr) return false;
    line.assign(begin, stop);
    const int consumed = static_cast<int>(stop - begin) + terminator;
    std::memmove(data_, data_ + consumed, static_cast<std::size_t>(count_ - consumed));
    count_ -= consumed;
    data_[count_] = '\0';
    return true;
}

void FtpReplyBuffer::Clear() {
    count_ = 0;
    data_[0] = '\0';
}

std::int64_t ParseReplyNumber(std::string_view text, std::size_t& pos) {
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t' || text[pos] == '\r' || text[pos] == '\n')) ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    std::int64_t value = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        const int digit = text[pos] - '0';
        value = (value > (kMax - digit) / 10) ? kMax : value * 10 + digit;
        ++pos;
    }
    return negative ? -value : value;
}

bool ParseSizeReply(std::string_view reply, std::int64_t& size) {
    std::size_t pos = 0;
    (void)ParseReplyNumber(reply, pos);
    while (pos < reply.size() && (reply[pos] == ' ' || reply[pos] == '\t')) ++pos;
    const std::size_t digits = pos;
    size = ParseReplyNumber(reply, pos);
    if (pos == digits || reply[digits] < '0' || reply[digits] > '9') return false;
    while (pos < reply.size() && (reply[pos] == ' ' || reply[pos] == '\t')) ++pos;
    return pos == reply.size() && size < std::numeric_limits<std::int64_t>::max();
}

bool IsFinalReplyLine(std::string_view line, int& statusCode) {
    if (line.empty() || line[0] < '0' || line[0] > '9') return false;
    std::size_t pos = 0;
    const std::int64_t value = ParseReplyNumber(line, pos);
    constexpr std::int64_t kIntMax = std::numeric_limits<int>::max();
    statusCode = static_cast<int>(value > kIntMax ? kIntMax : value);
    return !(pos < line.size() && line[pos] == '-');
}

bool ClassifyReplyLine(std::string_view line, int& statusCode, int& openCode) {
    const bool final = IsFinalReplyLine(line, statusCode);
    const bool digitLed = !line.empty() && line[0] >= '0' && line[0] <= '9';
    if (openCode == 0) {
        if (digitLed && !final) openCode = statusCode;
        return final;
    }
    if (!digitLed || statusCode != openCode) return false;
    std::size_t pos = 0;
    while (pos < line.size() && line[pos] >= '0' && line[pos] <= '9') ++pos;
    if (pos < line.size() && line[pos] != ' ' && line[pos] != '\t') return false;
    openCode = 0;
    return true;
}

std::string ParseQuotedName(std::string_view line) {
    std::size_t pos = 0;
    (void)ParseReplyNumber(line, pos);
    while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
    std::string name;
    if (pos >= line.size() || line[pos] != '"') return name;
    for (++pos; pos < line.size(); ++pos) {
        if (line[pos] != '"') {
            name += line[pos];
        } else if (pos + 1 < line.size() && line[pos + 1] == '"') {
            name += '"';
            ++pos;
        } else {
            break;
        }
    }
    return name;
}

bool ParsePasvPort(std::string_view reply, int& port) {
    const std::size_t open = reply.find('(');
    if (open == std::string_view::npos) return false;
    std::size_t pos = open + 1;
    std::int64_t numbers[6];
    for (int i = 0; i < 6; ++i) {
        while (pos < reply.size() && reply[pos] == ' ') ++pos;
        if (pos >= reply.size() || reply[pos] < '0' || reply[pos] > '9') return false;
        numbers[i] = ParseReplyNumber(reply, pos);
        if (numbers[i] > 255) return false;
        while (pos < reply.size() && reply[pos] == ' ') ++pos;
        const char expected = i < 5 ? ',' : ')';
        if (pos >= reply.size() || reply[pos] != expected) return false;
        ++pos;
    }
    port = static_cast<int>(numbers[4] * 256 + numbers[5]);
    return port > 0;
}
