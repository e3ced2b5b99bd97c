// Socket calls and address texts for either address family. The IPv4 forms
// in Winsock.cpp keep their classic leniencies ("127.1"); IPv6 follows
// inet_pton, with the brackets of URLs and a zone after '%'.
#include <arpa/inet.h>
#include <net/if.h>

#include <cerrno>

#include "platform/SocketErrors.h"
#include "platform/Winsock.h"

namespace platform {

SocketHandle WsSocketOf(int family, int type, int protocol) {
    const int handle = socket(family, type | SOCK_NONBLOCK | SOCK_CLOEXEC, protocol);
    if (handle >= 0) return handle;
    WSASetLastError(ErrnoToSocketError(errno));
    return kInvalidSocket;
}

int WsBindTo(SocketHandle handle, const sockaddr* address, socklen_t length) {
    if (bind(handle, address, length) == 0) return 0;
    WSASetLastError(ErrnoToSocketError(errno));
    return kSocketError;
}

bool WsInet6Addr(const std::string& text, sockaddr_in6& address) {
    std::string name = text;
    if (name.size() > 2 && name.front() == '[' && name.back() == ']') name = name.substr(1, name.size() - 2);
    if (name.find(':') == std::string::npos) return false;
    std::string zone;
    if (const auto percent = name.find('%'); percent != std::string::npos) {
        zone = name.substr(percent + 1);
        name.erase(percent);
    }
    sockaddr_in6 parsed{};
    parsed.sin6_family = AF_INET6;
    if (inet_pton(AF_INET6, name.c_str(), &parsed.sin6_addr) != 1) return false;
    if (!zone.empty()) {
        parsed.sin6_scope_id = if_nametoindex(zone.c_str());
        if (parsed.sin6_scope_id == 0) return false;
    }
    address = parsed;
    return true;
}

std::string WsAddressText(const sockaddr* address) {
    char text[INET6_ADDRSTRLEN] = {};
    if (address->sa_family == AF_INET) {
        (void)inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(address)->sin_addr, text, sizeof text);
    } else if (address->sa_family == AF_INET6) {
        (void)inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr, text, sizeof text);
    }
    return text;
}

}  // namespace platform
