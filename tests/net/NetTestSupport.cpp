#include "tests/net/NetTestSupport.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>

#include "platform/MessageLoop.h"
#include "platform/Ticks.h"

namespace nettest {

bool PumpUntil(const std::function<bool()>& done, int ms) {
    const std::uint32_t start = platform::GetTickCount();
    for (;;) {
        platform::ProcessMessages();
        if (done()) return true;
        const int elapsed = static_cast<int>(platform::GetTickCount() - start);
        if (elapsed >= ms) return false;
        (void)platform::WaitMessage(std::min(50, ms - elapsed));
    }
}

void PumpFor(int ms) {
    (void)PumpUntil([] { return false; }, ms);
}

sockaddr_in Loopback(std::uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

RawListener::RawListener() {
    fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = Loopback(0);
    (void)bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    (void)listen(fd_, 5);
    socklen_t length = sizeof address;
    (void)getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
}

RawListener::~RawListener() { close(fd_); }

int RawListener::AcceptPumping(int ms) {
    int accepted = -1;
    (void)PumpUntil(
        [&] {
            pollfd p{fd_, POLLIN, 0};
            if (poll(&p, 1, 0) == 1) accepted = accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
            return accepted >= 0;
        },
        ms);
    return accepted;
}

int RawListener::AcceptBlocking(int ms) {
    pollfd p{fd_, POLLIN, 0};
    if (poll(&p, 1, ms) != 1) return -1;
    return accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
}

int ConnectPumping(TCustomWSocket& socket, RawListener& listener) {
    socket.SetAddr("127.0.0.1");
    socket.SetPort(listener.PortText());
    socket.Connect();
    const int peer = listener.AcceptPumping();
    if (peer < 0 || !PumpUntil([&] { return socket.State() == wsConnected; })) return -1;
    return peer;
}

int RawConnect(std::uint16_t port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in address = Loopback(port);
    if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

bool WriteAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

std::string ReadPumping(int fd, std::size_t count, int ms) {
    std::string got;
    bool ended = false;
    (void)PumpUntil(
        [&] {
            pollfd p{fd, POLLIN, 0};
            while (!ended && got.size() < count && poll(&p, 1, 0) == 1) {
                char buffer[65536];
                const ssize_t n = recv(fd, buffer, std::min(sizeof buffer, count - got.size()), 0);
                if (n <= 0)
                    ended = true;
                else
                    got.append(buffer, static_cast<std::size_t>(n));
            }
            return ended || got.size() >= count;
        },
        ms);
    return got;
}

void ResetClose(int fd) {
    linger value{1, 0};
    (void)setsockopt(fd, SOL_SOCKET, SO_LINGER, &value, sizeof value);
    close(fd);
}

std::uint16_t ClosedPort() {
    RawListener listener;
    return listener.Port();
}

std::string ReadExactly(int fd, std::size_t count, int ms) {
    std::string got;
    while (got.size() < count) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, ms) != 1) break;
        char buffer[4096];
        const ssize_t n = recv(fd, buffer, std::min(sizeof buffer, count - got.size()), 0);
        if (n <= 0) break;
        got.append(buffer, static_cast<std::size_t>(n));
    }
    return got;
}

EchoServer::EchoServer() {
    thread_ = std::thread([this] {
        while (!stop_) {
            const int fd = listener_.AcceptBlocking(50);
            if (fd < 0) continue;
            while (!stop_) {
                pollfd p{fd, POLLIN, 0};
                if (poll(&p, 1, 50) != 1) continue;
                char buffer[65536];
                const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
                if (n <= 0 || !WriteAll(fd, std::string(buffer, static_cast<std::size_t>(n)))) break;
            }
            close(fd);
        }
    });
}

EchoServer::~EchoServer() {
    stop_ = true;
    thread_.join();
}

ScriptedPeer::ScriptedPeer(std::function<void(int fd)> script) {
    thread_ = std::thread([this, script = std::move(script)] {
        const int fd = listener_.AcceptBlocking(5000);
        if (fd < 0) return;
        script(fd);
        close(fd);
    });
}

ScriptedPeer::~ScriptedPeer() { thread_.join(); }

namespace {
const char* StateName(TSocketState state) {
    static const char* names[] = {"invalid", "opened", "bound", "connecting", "connected", "accepting", "listening", "closed"};
    return names[state];
}
}  // namespace

void EventLog::Attach(TCustomWSocket& socket, bool readData) {
    socket.OnSessionConnected = [this](TCustomWSocket*, std::uint16_t e) { events.push_back("connected " + std::to_string(e)); };
    socket.OnSessionClosed = [this](TCustomWSocket* s, std::uint16_t e) {
        events.push_back("closed " + std::to_string(e) + " in " + StateName(s->State()));
    };
    socket.OnChangeState = [this](TCustomWSocket*, TSocketState a, TSocketState b) {
        events.push_back(std::string("state ") + StateName(a) + "->" + StateName(b));
    };
    socket.OnDataSent = [this](TCustomWSocket*, std::uint16_t e) { events.push_back("sent " + std::to_string(e)); };
    socket.OnSessionAvailable = [this](TCustomWSocket*, std::uint16_t e) { events.push_back("available " + std::to_string(e)); };
    socket.OnDnsLookupDone = [this](TCustomWSocket*, std::uint16_t e) { events.push_back("lookup " + std::to_string(e)); };
    if (!readData) return;
    socket.OnDataAvailable = [this](TCustomWSocket* s, std::uint16_t) {
        char buffer[4096];
        const int n = s->Receive(buffer, sizeof buffer);
        if (n > 0) received.append(buffer, static_cast<std::size_t>(n));
        if (events.empty() || events.back() != "data") events.push_back("data");
    };
}

void EventLog::AttachSocks(TCustomSocksWSocket& socket) {
    static const char* const authNames[] = {"begun", "accepted", "refused", "skipped"};
    socket.OnSocksConnected = [this](TCustomWSocket*, std::uint16_t e) {
        events.push_back("socks connected " + std::to_string(e));
    };
    socket.OnSocksError = [this](TCustomWSocket*, int e, const std::string& msg) {
        events.push_back("socks error " + std::to_string(e) + " " + msg);
    };
    socket.OnSocksAuthState = [this](TCustomWSocket*, TSocksAuthState state) {
        events.push_back(std::string("auth ") + authNames[state]);
    };
}

int EventLog::Count(const std::string& event) const { return static_cast<int>(std::count(events.begin(), events.end(), event)); }

int EventLog::IndexOf(const std::string& event) const {
    const auto it = std::find(events.begin(), events.end(), event);
    return it == events.end() ? -1 : static_cast<int>(it - events.begin());
}

}  // namespace nettest
