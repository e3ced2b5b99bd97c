#include "tests/net/NetTestSupport.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

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

void PumpFor(int ms) { (void)PumpUntil([] { return false; }, ms); }

namespace {
sockaddr_in Loopback(std::uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

bool Readable(int fd, int ms) {
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, ms) == 1;
}
}  // namespace

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

int RawListener::Accept(bool pump, int ms) {
    if (!pump) return Readable(fd_, ms) ? accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC) : -1;
    int accepted = -1;
    (void)PumpUntil([&] { return Readable(fd_, 0) && (accepted = accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC)) >= 0; }, ms);
    return accepted;
}

int ConnectPumping(TCustomWSocket& socket, RawListener& listener) {
    socket.SetAddr("127.0.0.1");
    socket.SetPort(listener.PortText());
    socket.Connect();
    const int peer = listener.Accept();
    if (peer < 0 || !PumpUntil([&] { return socket.State() == wsConnected; })) return -1;
    return peer;
}

int RawConnect(std::uint16_t port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in address = Loopback(port);
    if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) return fd;
    close(fd);
    return -1;
}

bool WriteAll(int fd, const std::string& bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

std::string Read(int fd, std::size_t count, int ms, bool pump) {
    std::string got;
    bool ended = false;
    const auto take = [&] {
        while (!ended && got.size() < count && Readable(fd, pump ? 0 : ms)) {
            char buffer[65536];
            const ssize_t n = recv(fd, buffer, std::min(sizeof buffer, count - got.size()), 0);
            if (n <= 0) ended = true;
            if (n > 0) got.append(buffer, static_cast<std::size_t>(n));
        }
        return ended || got.size() >= count;
    };
    if (pump) (void)PumpUntil(take, ms);
    if (!pump) (void)take();
    return got;
}

void ResetClose(int fd) {
    linger value{1, 0};
    (void)setsockopt(fd, SOL_SOCKET, SO_LINGER, &value, sizeof value);
    close(fd);
}

std::uint16_t ClosedPort() { return RawListener().Port(); }

void Echo(int fd) {
    char buffer[65536];
    while (Readable(fd, 5000)) {
        const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0 || !WriteAll(fd, std::string(buffer, static_cast<std::size_t>(n)))) return;
    }
}

ScriptedPeer::ScriptedPeer(std::function<void(int fd)> script) {
    thread_ = std::thread([this, script = std::move(script)] {
        const int fd = listener_.Accept(false);
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

void EventLog::Attach(TCustomWSocket& socket, int readSize) {
    const auto note = [this](const char* what) {
        return [this, what](TCustomWSocket*, std::uint16_t e) { events.push_back(what + std::to_string(e)); };
    };
    socket.OnSessionConnected = note("connected ");
    socket.OnDataSent = note("sent ");
    socket.OnSessionAvailable = note("available ");
    socket.OnDnsLookupDone = note("lookup ");
    socket.OnSessionClosed = [this](TCustomWSocket* s, std::uint16_t e) {
        events.push_back("closed " + std::to_string(e) + " in " + StateName(s->State()));
    };
    socket.OnChangeState = [this](TCustomWSocket*, TSocketState a, TSocketState b) {
        events.push_back(std::string("state ") + StateName(a) + "->" + StateName(b));
    };
    if (readSize == 0) return;
    socket.OnDataAvailable = [this, readSize](TCustomWSocket* s, std::uint16_t) {
        std::string buffer(static_cast<std::size_t>(readSize), '\0');
        const int n = s->Receive(buffer.data(), readSize);
        if (n > 0) received.append(buffer, 0, static_cast<std::size_t>(n));
        if (events.empty() || events.back() != "data") events.push_back("data");
    };
}

void EventLog::AttachSocks(TCustomSocksWSocket& socket) {
    static const char* const authNames[] = {"begun", "accepted", "refused", "skipped"};
    socket.OnSocksConnected = [this](TCustomWSocket*, std::uint16_t e) { events.push_back("socks connected " + std::to_string(e)); };
    socket.OnSocksError = [this](TCustomWSocket*, int e, const std::string& msg) {
        events.push_back("socks error " + std::to_string(e) + " " + msg);
    };
    socket.OnSocksAuthState = [this](TCustomWSocket*, TSocksAuthState state) { events.push_back(std::string("auth ") + authNames[state]); };
}

int EventLog::Count(const std::string& event) const { return static_cast<int>(std::count(events.begin(), events.end(), event)); }

void Link::Open(int readSize) {
    log.Attach(socket, readSize);
    peer = ConnectPumping(socket, listener);
    ASSERT_GE(peer, 0);
    ASSERT_TRUE(PumpUntil([&] { return log.Count("sent 0") == 1; }));
}

void Link::ClosePeer(bool reset) {
    if (reset) ResetClose(peer);
    if (!reset) close(peer);
    peer = -1;
}

Link::~Link() {
    if (peer >= 0) close(peer);
}

std::string ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const ESocketException& e) {
        return e.what();
    }
    return "(no error)";
}

}  // namespace nettest
