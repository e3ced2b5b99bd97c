#include "tests/net/NetTestSupport.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
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

namespace {
const char* StateName(TSocketState state) {
    static const char* names[] = {"invalid", "opened", "bound", "connecting", "connected", "accepting", "listening", "closed"};
    return names[state];
}
}  // namespace

void EventLog::Attach(TCustomWSocket& socket, bool readData) {
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
    if (!readData) return;
    socket.OnDataAvailable = [this](TCustomWSocket* s, std::uint16_t) {
        std::string buffer(static_cast<std::size_t>(readSize), '\0');
        const int n = readSize > 0 ? s->Receive(buffer.data(), readSize) : 0;
        if (n > 0) reads.push_back(buffer.substr(0, static_cast<std::size_t>(n)));
        if (n > 0) received += reads.back();
        if (events.empty() || events.back() != "data") events.push_back("data");
        if (const auto hook = afterRead) hook();  // a copy: the hook may replace itself
    };
}

int EventLog::Count(const std::string& event) const { return static_cast<int>(std::count(events.begin(), events.end(), event)); }

void Link::Open(bool readData) {
    log.Attach(socket, readData);
    peer = ConnectPumping(socket, listener);
    ASSERT_GE(peer, 0);
    ASSERT_TRUE(PumpUntil([&] { return log.Count("sent 0") == 1; }));
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
