#pragma once
// Asynchronous host lookups: each runs getaddrinfo/getnameinfo on a
// short-lived worker thread that posts the answer to the asking window as
// (wParam = lookup handle, lParam = MakeLParam(0, error)). The worker touches
// nothing but this registry and the message queue. A cancelled lookup's
// answer is dropped.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Messages.h"

namespace platform {

using LookupHandle = std::uint32_t;  // 0 = none

struct HostRecord {
    std::string name;
    std::vector<std::uint32_t> addresses;  // IPv4, network byte order, in the resolver's order
    // Names only: every address of either family as numeric text, in the
    // resolver's order (IPv6 first where the system prefers it).
    std::vector<std::string> allAddresses;
};

// Both return 0 and set the last socket error when the lookup cannot start.
LookupHandle WSAAsyncGetHostByName(WindowHandle window, std::uint32_t message, const std::string& name);
LookupHandle WSAAsyncGetHostByAddr(WindowHandle window, std::uint32_t message, std::uint32_t addressNetworkOrder);
// 0 on success; -1 with last error 10022 for an unknown or finished handle.
int WSACancelAsyncRequest(LookupHandle handle);
// Hands over the answer of a finished lookup once; false when there is none.
bool TakeLookupResult(LookupHandle handle, HostRecord& out);

// Blocking forms used by the resolvers. Empty / -1 when nothing is found;
// the last socket error is set.
std::vector<std::uint32_t> BlockingHostAddresses(const std::string& name);
int BlockingServicePort(const std::string& service, const std::string& protocol);
int BlockingProtocolNumber(const std::string& name);

}  // namespace platform
