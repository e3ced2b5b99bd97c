#include "platform/HostLookup.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <strings.h>
#include <sys/socket.h>

#include <cstring>
#include <map>
#include <mutex>
#include <thread>

#include "platform/MessageLoop.h"
#include "platform/SocketErrors.h"
#include "platform/Winsock.h"

namespace platform {

namespace {

struct PendingLookup {
    WindowHandle window = 0;
    std::uint32_t message = 0;
    bool cancelled = false;
    bool finished = false;
    HostRecord record;
};

class LookupRegistry {
public:
    static LookupRegistry& Instance() {
        static LookupRegistry* const registry = new LookupRegistry();  // outlives detached workers
        return *registry;
    }

    LookupHandle Start(WindowHandle window, std::uint32_t message) {
        std::lock_guard lock(mutex_);
        LookupHandle handle = nextHandle_++;
        if (nextHandle_ == 0) nextHandle_ = 1;
        PendingLookup lookup;
        lookup.window = window;
        lookup.message = message;
        pending_[handle] = std::move(lookup);
        return handle;
    }

    // Stores the answer and posts it, unless the lookup was cancelled
    // meanwhile. Posting under the lock lets Cancel take a posted answer back.
    void Finish(LookupHandle handle, HostRecord&& record, int error) {
        std::lock_guard lock(mutex_);
        const auto it = pending_.find(handle);
        if (it == pending_.end()) return;
        if (it->second.cancelled) {
            pending_.erase(it);
            return;
        }
        it->second.finished = true;
        it->second.record = std::move(record);
        PostMessage(it->second.window, it->second.message, handle, MakeLParam(0, static_cast<std::uint16_t>(error)));
    }

    bool Cancel(LookupHandle handle) {
        std::lock_guard lock(mutex_);
        const auto it = pending_.find(handle);
        if (it == pending_.end() || it->second.cancelled) return false;
        if (it->second.finished) {
            MessageLoop::Instance().DiscardMessages(it->second.window, it->second.message, handle);
            pending_.erase(it);
        } else {
            it->second.cancelled = true;
        }
        return true;
    }

    bool Take(LookupHandle handle, HostRecord& out) {
        std::lock_guard lock(mutex_);
        const auto it = pending_.find(handle);
        if (it == pending_.end() || !it->second.finished) return false;
        out = std::move(it->second.record);
        pending_.erase(it);
        return true;
    }

private:
    std::mutex mutex_;
    std::map<LookupHandle, PendingLookup> pending_;
    LookupHandle nextHandle_ = 1;
};

int ResolveName(const std::string& name, HostRecord& record) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    // No AI_ADDRCONFIG: glibc does not count loopback addresses for it, so
    // a machine with only loopback would lose "localhost". An address of an
    // unreachable family fails its connect at once and the next is tried.
    hints.ai_flags = AI_CANONNAME;
    addrinfo* result = nullptr;
    const int status = getaddrinfo(name.c_str(), nullptr, &hints, &result);
    if (status != 0) return AddrInfoToSocketError(status);
    record.name = (result && result->ai_canonname) ? result->ai_canonname : name;
    for (addrinfo* entry = result; entry; entry = entry->ai_next) {
        if (entry->ai_family != AF_INET && entry->ai_family != AF_INET6) continue;
        record.allAddresses.push_back(WsAddressText(entry->ai_addr));
        if (entry->ai_family == AF_INET)
            record.addresses.push_back(reinterpret_cast<const sockaddr_in*>(entry->ai_addr)->sin_addr.s_addr);
    }
    freeaddrinfo(result);
    return record.allAddresses.empty() ? WSANO_DATA : 0;
}

int ResolveAddress(std::uint32_t address, HostRecord& record) {
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_addr.s_addr = address;
    char host[NI_MAXHOST] = {};
    const int status =
        getnameinfo(reinterpret_cast<const sockaddr*>(&peer), sizeof peer, host, sizeof host, nullptr, 0, NI_NAMEREQD);
    if (status != 0) return AddrInfoToSocketError(status);
    record.name = host;
    record.addresses.push_back(address);
    return 0;
}

template <typename Resolve>
LookupHandle StartWorker(WindowHandle window, std::uint32_t message, Resolve resolve) {
    auto& registry = LookupRegistry::Instance();
    const LookupHandle handle = registry.Start(window, message);
    try {
        std::thread([handle, resolve]() {
            HostRecord record;
            const int error = resolve(record);
            LookupRegistry::Instance().Finish(handle, std::move(record), error);
        }).detach();
    } catch (const std::system_error&) {
        (void)registry.Cancel(handle);
        WSASetLastError(WSAENOBUFS);
        return 0;
    }
    return handle;
}

}  // namespace

LookupHandle WSAAsyncGetHostByName(WindowHandle window, std::uint32_t message, const std::string& name) {
    return StartWorker(window, message, [name](HostRecord& record) { return ResolveName(name, record); });
}

LookupHandle WSAAsyncGetHostByAddr(WindowHandle window, std::uint32_t message, std::uint32_t addressNetworkOrder) {
    return StartWorker(window, message,
                       [addressNetworkOrder](HostRecord& record) { return ResolveAddress(addressNetworkOrder, record); });
}

int WSACancelAsyncRequest(LookupHandle handle) {
    if (handle != 0 && LookupRegistry::Instance().Cancel(handle)) return 0;
    WSASetLastError(WSAEINVAL);
    return -1;
}

bool TakeLookupResult(LookupHandle handle, HostRecord& out) { return LookupRegistry::Instance().Take(handle, out); }

std::vector<std::uint32_t> BlockingHostAddresses(const std::string& name) {
    HostRecord record;
    int error = ResolveName(name, record);
    if (error == 0 && record.addresses.empty()) error = WSANO_DATA;
    if (error != 0) WSASetLastError(error);
    return record.addresses;
}

namespace {
// Used only when the system's services and protocols databases are missing
// (minimal containers without netbase), so that "ftp" and "tcp" still work.
struct NamedNumber {
    const char* name;
    int number;
};
constexpr NamedNumber kFallbackServices[] = {{"ftp-data", 20}, {"ftp", 21},  {"ssh", 22},    {"telnet", 23},
                                             {"smtp", 25},     {"http", 80}, {"https", 443}, {"socks", 1080}};
constexpr NamedNumber kFallbackProtocols[] = {{"ip", 0}, {"icmp", 1}, {"tcp", 6}, {"udp", 17}};

template <std::size_t N>
int FindFallback(const NamedNumber (&table)[N], const std::string& name) {
    for (const auto& entry : table)
        if (strcasecmp(entry.name, name.c_str()) == 0) return entry.number;
    return -1;
}
}  // namespace

int BlockingServicePort(const std::string& service, const std::string& protocol) {
    servent entry{};
    servent* found = nullptr;
    char buffer[1024];
    getservbyname_r(service.c_str(), protocol.empty() ? nullptr : protocol.c_str(), &entry, buffer, sizeof buffer, &found);
    if (found) return ntohs(static_cast<std::uint16_t>(found->s_port));
    const int fallback = FindFallback(kFallbackServices, service);
    if (fallback < 0) WSASetLastError(WSANO_DATA);
    return fallback;
}

int BlockingProtocolNumber(const std::string& name) {
    protoent entry{};
    protoent* found = nullptr;
    char buffer[1024];
    getprotobyname_r(name.c_str(), &entry, buffer, sizeof buffer, &found);
    if (found) return found->p_proto;
    const int fallback = FindFallback(kFallbackProtocols, name);
    if (fallback < 0) WSASetLastError(WSANO_DATA);
    return fallback;
}

}  // namespace platform
