#include "ftp/FtpDataAddress.h"

#include <cctype>

bool ParseEpsvPort(std::string_view reply, int& port) {
    const auto open = reply.find('(');
    if (open == std::string_view::npos || reply.size() < open + 6) return false;
    const char delimiter = reply[open + 1];
    if (delimiter < 33 || delimiter > 126 || std::isdigit(static_cast<unsigned char>(delimiter))) return false;
    if (reply[open + 2] != delimiter || reply[open + 3] != delimiter) return false;
    std::size_t pos = open + 4;
    long value = 0;
    std::size_t digits = 0;
    while (pos < reply.size() && std::isdigit(static_cast<unsigned char>(reply[pos])) && digits < 6) {
        value = value * 10 + (reply[pos] - '0');
        ++pos;
        ++digits;
    }
    if (digits == 0 || pos + 1 >= reply.size() || reply[pos] != delimiter || reply[pos + 1] != ')') return false;
    if (value < 1 || value > 65535) return false;
    port = static_cast<int>(value);
    return true;
}

std::string EprtCommand(const std::string& address, int port) {
    const char* family = address.find(':') != std::string::npos ? "2" : "1";
    return std::string("EPRT |") + family + "|" + address + "|" + std::to_string(port) + "|";
}
