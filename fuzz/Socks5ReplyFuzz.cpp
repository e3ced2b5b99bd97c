// The SOCKS 5 negotiation of TWSocket against a proxy that answers with the
// fuzz input. The proxy is a plain socket of this process on 127.0.0.1; the
// client runs on our message loop, as in the programs. Each reply piece is
// written only once the client has taken every earlier byte, so an input
// always arrives in the same receives. Every wait is bounded.
//
// Input: one flag byte, then the pieces the proxy writes, each a length byte
// and that many bytes. Flags: bit 0 log in with user and password; bit 1
// line mode; bit 2 the proxy ends with a reset instead of a close; bits 3-6
// the number of the event (1-15, 0 none) whose handler closes the socket, or
// destroys it when bit 7 is set.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "fuzz/FuzzCheck.h"
#include "net/WSocket.h"
#include "platform/MessageLoop.h"
#include "platform/Ticks.h"

namespace {

constexpr int kStepMs = 300;        // for one piece to be taken, or the end to settle
constexpr int kExecutionMs = 3000;  // for the whole input
constexpr int kCloseMs = 1000;      // for the client to see the proxy's end

// The proxy's listening socket, made once per process.
int ProxyListener(std::uint16_t& port) {
    static std::uint16_t listenPort = 0;
    static const int fd = [] {
        const int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (s < 0 || bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(s, 16) != 0 ||
            getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            std::perror("socks5 fuzz: listener");
            std::abort();
        }
        listenPort = ntohs(address.sin_port);
        return s;
    }();
    port = listenPort;
    return fd;
}

int AcceptProxyConnection(int listener) {
    pollfd p{listener, POLLIN, 0};
    if (poll(&p, 1, kStepMs) != 1) return -1;
    const int fd = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    return fd;
}

// Reads and drops what the client has sent so far (its requests).
void DrainRequests(int fd) {
    char scrap[1024];
    while (read(fd, scrap, sizeof scrap) > 0) {
    }
}

void CloseProxy(int fd, bool reset) {
    if (reset) {
        const linger immediate{1, 0};
        (void)setsockopt(fd, SOL_SOCKET, SO_LINGER, &immediate, sizeof immediate);
    }
    (void)close(fd);
}

// The client socket, its events counted, and the action one handler takes.
class Client {
public:
    explicit Client(std::uint8_t flags) : actionAt_((flags >> 3) & 0x0F), destroy_((flags & 0x80) != 0) {
        socket_ = std::make_unique<TWSocket>();
        TWSocket& s = *socket_;
        s.OnError = [](TCustomWSocket*) {};
        s.OnSessionConnected = [this](TCustomWSocket*, std::uint16_t e) {
            ++connected_;
            if (e == 0) connectedOk_ = true;
            Event();
        };
        s.OnSessionClosed = [this](TCustomWSocket*, std::uint16_t) {
            ++closed_;
            closedUnconnected_ = closedUnconnected_ || connected_ == 0;
            Event();
        };
        s.OnDataAvailable = [this](TCustomWSocket*, std::uint16_t) { Read(); };
        s.OnDataSent = [this](TCustomWSocket*, std::uint16_t) { Event(); };
        s.OnChangeState = [this](TCustomWSocket*, TSocketState, TSocketState) { Event(); };
        s.OnSocksConnected = [this](TCustomWSocket*, std::uint16_t) { Event(); };
        s.OnSocksError = [this](TCustomWSocket*, int, const std::string&) {
            ++socksErrors_;
            Event();
        };
        s.OnSocksAuthState = [this](TCustomWSocket*, TSocksAuthState) { Event(); };
        if ((flags & 1) != 0) {
            s.SetSocksAuthentication(socksAuthenticateUsercode);
            s.SetSocksUsercode("user");
            s.SetSocksPassword("secret");
        }
        s.SetLineMode((flags & 2) != 0);
    }

    void Connect(std::uint16_t proxyPort) {
        socket_->SetSocksServer("127.0.0.1");
        socket_->SetSocksPort(std::to_string(proxyPort));
        socket_->SetAddr("127.0.0.1");
        socket_->SetPort("2121");
        socket_->Connect();
    }

    // Whether the client still has a connection that can take bytes.
    bool Open() const { return socket_ != nullptr && socket_->State() != wsClosed; }
    bool Closed() const { return !Open(); }
    // No byte waits on the client's handle and no message in the queue.
    bool Settled() const {
        if (!Open()) return platform::MessageLoop::Instance().PendingCount() == 0;
        int waiting = 0;
        return ioctl(socket_->SocketHandle(), FIONREAD, &waiting) == 0 && waiting == 0 &&
               platform::MessageLoop::Instance().PendingCount() == 0;
    }
    // Whether data written to the proxy has reached the client's handle.
    bool Arrived() const {
        if (!Open()) return true;
        pollfd p{socket_->SocketHandle(), POLLIN, 0};
        return poll(&p, 1, kStepMs) == 1;
    }

    // What a reply sequence must never produce, whatever the proxy sends:
    // the application learns how its connect ended, once, before the close,
    // and the close is reported once the proxy has gone.
    void CheckEvents() const {
        FUZZ_CHECK(Closed());
        FUZZ_CHECK(closed_ == 1 || destroyed_);
        FUZZ_CHECK(acted_ || !closedUnconnected_);
        FUZZ_CHECK(connected_ <= 1);
        FUZZ_CHECK(closed_ <= 1);
        FUZZ_CHECK(socksErrors_ <= 1);
        FUZZ_CHECK(!(connectedOk_ && socksErrors_ > 0));
    }
    // Bytes after the CONNECT reply reach the application whole and in order:
    // they end the proxy's stream, unless a handler cut the connection short.
    // Before them came at least the method reply (2 bytes) and the shortest
    // CONNECT reply (7: a bound address given as a name of no characters).
    void CheckData(std::string_view written) const {
        if (acted_ || !connectedOk_) return;
        FUZZ_CHECK(received_.size() + 9 <= written.size() || received_.empty());
        FUZZ_CHECK(written.substr(written.size() - received_.size()) == received_);
    }

    void Release() { socket_.reset(); }
    bool Acted() const { return acted_; }

private:
    void Read() {
        char buffer[4096];
        const int count = socket_->Receive(buffer, sizeof buffer);
        if (count > 0) received_.append(buffer, static_cast<std::size_t>(count));
        Event();
    }
    // The handler of the chosen event closes or destroys the socket; nothing
    // of this object but plain fields is touched after that.
    void Event() {
        if (++events_ != actionAt_ || socket_ == nullptr) return;
        acted_ = true;
        if (destroy_) {
            destroyed_ = true;
            socket_.reset();
        } else {
            socket_->Close();
        }
    }

    std::unique_ptr<TWSocket> socket_;
    int actionAt_;
    bool destroy_;
    int events_ = 0;
    int connected_ = 0;
    int closed_ = 0;
    int socksErrors_ = 0;
    bool connectedOk_ = false;
    bool closedUnconnected_ = false;
    bool destroyed_ = false;
    bool acted_ = false;
    std::string received_;
};

bool PumpUntil(const Client& client, bool (Client::*done)() const, std::uint32_t deadline) {
    for (;;) {
        platform::ProcessMessages();
        if ((client.*done)()) return true;
        const auto now = platform::GetTickCount();
        if (static_cast<std::int32_t>(deadline - now) <= 0) return false;
        (void)platform::WaitMessage(std::min<std::uint32_t>(10, deadline - now));
    }
}

std::uint32_t StepDeadline(std::uint32_t end) {
    const std::uint32_t step = platform::GetTickCount() + kStepMs;
    return static_cast<std::int32_t>(step - end) < 0 ? step : end;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t flags = data[0];
    std::uint16_t port = 0;
    const int listener = ProxyListener(port);
    const std::uint32_t end = platform::GetTickCount() + kExecutionMs;

    Client client(flags);
    client.Connect(port);
    const int proxy = AcceptProxyConnection(listener);
    if (proxy < 0) {
        // Only a handler that closed or destroyed the socket inside Connect
        // (its first state change) keeps it from reaching the proxy.
        FUZZ_CHECK(client.Acted());
        (void)PumpUntil(client, &Client::Closed, platform::GetTickCount() + kCloseMs);
        FUZZ_CHECK(client.Closed());
        client.Release();
        platform::ProcessMessages();
        return 0;
    }
    std::string written;
    for (std::size_t at = 1; at < size && client.Open();) {
        const std::size_t length = std::min<std::size_t>(data[at], size - at - 1);
        (void)PumpUntil(client, &Client::Settled, StepDeadline(end));
        DrainRequests(proxy);
        const std::string_view piece(reinterpret_cast<const char*>(data + at + 1), length);
        at += 1 + length;
        if (piece.empty()) continue;
        // The client may have closed already: no SIGPIPE for this process.
        if (send(proxy, piece.data(), piece.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(piece.size())) break;
        written += piece;
        if (client.Arrived()) (void)PumpUntil(client, &Client::Settled, StepDeadline(end));
    }
    (void)PumpUntil(client, &Client::Settled, StepDeadline(end));
    CloseProxy(proxy, (flags & 4) != 0);
    (void)PumpUntil(client, &Client::Closed, platform::GetTickCount() + kCloseMs);
    client.CheckEvents();
    client.CheckData(written);
    client.Release();
    platform::ProcessMessages();
    return 0;
}
