#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <vector>

#include "platform/MessageLoop.h"
#include "platform/SocketErrors.h"
#include "platform/Ticks.h"
#include "platform/Winsock.h"

using namespace platform;

namespace {

constexpr std::uint32_t kSocketMessage = WM_USER + 1;
constexpr long kAllEvents = FD_READ | FD_WRITE | FD_ACCEPT | FD_CONNECT | FD_CLOSE;

struct Event {
    SocketHandle handle;
    long bits;
    int error;
};

struct EventSink : MessageTarget {
    std::vector<Event> events;
    MessageWindow window{this};
    LParam HandleMessage(std::uint32_t message, WParam wParam, LParam lParam) override {
        if (message == kSocketMessage) events.push_back({static_cast<SocketHandle>(wParam), LowWord(lParam), HighWord(lParam)});
        return 0;
    }
    int Count(SocketHandle handle, long bit) const {
        int n = 0;
        for (const auto& e : events) n += (e.handle == handle && e.bits == bit);
        return n;
    }
    // Pumps the loop until `done` holds or two seconds pass.
    template <typename Predicate>
    bool PumpUntil(Predicate done) {
        const auto start = GetTickCount();
        while (!done()) {
            if (GetTickCount() - start > 2000) return false;
            WaitMessage(50);
            ProcessMessages();
        }
        return true;
    }
};

sockaddr_in Loopback(std::uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

struct Listener {
    SocketHandle handle = WsSocket(SOCK_STREAM, 0);
    std::uint16_t port = 0;
    Listener() {
        const sockaddr_in any = Loopback(0);
        EXPECT_EQ(WsBind(handle, any), 0);
        sockaddr_in bound{};
        socklen_t length = sizeof bound;
        WsGetSockName(handle, &bound, &length);
        port = ntohs(bound.sin_port);
    }
    ~Listener() { WsCloseSocket(handle); }
};

}  // namespace

TEST(SocketEvents, ConnectAcceptReadWriteAndGracefulClose) {
    EventSink sink;
    Listener listener;
    ASSERT_EQ(WsAsyncSelect(listener.handle, sink.window.Handle(), kSocketMessage, kAllEvents), 0);
    ASSERT_EQ(WsListen(listener.handle, 5), 0);

    const SocketHandle client = WsSocket(SOCK_STREAM, 0);
    ASSERT_EQ(WsAsyncSelect(client, sink.window.Handle(), kSocketMessage, kAllEvents), 0);
    const int connected = WsConnect(client, Loopback(listener.port));
    ASSERT_TRUE(connected == 0 || WSAGetLastError() == 10035);

    ASSERT_TRUE(
        sink.PumpUntil([&] { return sink.Count(client, FD_CONNECT) == 1 && sink.Count(listener.handle, FD_ACCEPT) == 1; }));
    EXPECT_EQ(sink.events.front().error, 0);
    ASSERT_TRUE(sink.PumpUntil([&] { return sink.Count(client, FD_WRITE) == 1; }));

    const SocketHandle server = WsAccept(listener.handle, nullptr);
    ASSERT_GE(server, 0);
    ASSERT_EQ(WsAsyncSelect(server, sink.window.Handle(), kSocketMessage, kAllEvents), 0);
    ASSERT_TRUE(sink.PumpUntil([&] { return sink.Count(server, FD_WRITE) == 1; }));

    // One FD_READ per arrival until the data is received, then re-armed.
    ASSERT_EQ(WsSend(client, "abc", 3, 0), 3);
    ASSERT_TRUE(sink.PumpUntil([&] { return sink.Count(server, FD_READ) == 1; }));
    ASSERT_EQ(WsSend(client, "def", 3, 0), 3);
    EXPECT_FALSE(sink.PumpUntil([&] { return sink.Count(server, FD_READ) == 2; }));
    char buffer[16];
    EXPECT_EQ(WsRecv(server, buffer, 2, 0), 2);
    ASSERT_TRUE(sink.PumpUntil([&] { return sink.Count(server, FD_READ) == 2; }));
    EXPECT_EQ(WsRecv(server, buffer, sizeof buffer, 0), 4);

    WsCloseSocket(client);
    ASSERT_TRUE(sink.PumpUntil([&] { return sink.Count(server, FD_CLOSE) == 1; }));
    EXPECT_EQ(sink.events.back().error, 0);
    EXPECT_FALSE(sink.PumpUntil([&] { return sink.Count(server, FD_CLOSE) > 1; }));  // once only, no spinning
    EXPECT_EQ(WsRecv(server, buffer, sizeof buffer, 0), 0);
    WsCloseSocket(server);
}

TEST(SocketEvents, ResetIsReportedAsCloseWith10054) {
    EventSink sink;
    Listener listener;
    ASSERT_EQ(WsListen(listener.handle, 5), 0);
    const SocketHandle client = WsSocket(SOCK_STREAM, 0);
    ASSERT_EQ(WsAsyncSelect(client, sink.window.Handle(), kSocketMessage, kAllEvents), 0);
    (void)WsConnect(client, Loopback(listener.port));
    ASSERT_TRUE(sink.PumpUntil([&] { return sink.Count(client, FD_CONNECT) == 1; }));
    SocketHandle server = kInvalidSocket;
    ASSERT_TRUE(sink.PumpUntil([&] { return (server = WsAccept(listener.handle, nullptr)) >= 0; }));
    linger abortive{1, 0};
    WsSetSockOpt(server, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
    WsCloseSocket(server);
    ASSERT_TRUE(sink.PumpUntil([&] { return sink.Count(client, FD_CLOSE) == 1; }));
    EXPECT_EQ(sink.events.back().error, 10054);
    WsCloseSocket(client);
}

TEST(SocketEvents, RefusedConnectionIsReportedOnceWith10061) {
    EventSink sink;
    std::uint16_t closedPort = 0;
    {
        Listener unused;  // bound, never listening: connections are refused
        closedPort = unused.port;
    }
    const SocketHandle client = WsSocket(SOCK_STREAM, 0);
    ASSERT_EQ(WsAsyncSelect(client, sink.window.Handle(), kSocketMessage, kAllEvents), 0);
    (void)WsConnect(client, Loopback(closedPort));
    ASSERT_TRUE(sink.PumpUntil([&] { return sink.Count(client, FD_CONNECT) == 1; }));
    EXPECT_EQ(sink.events.back().error, 10061);
    EXPECT_FALSE(sink.PumpUntil([&] { return sink.events.size() > 1; }));
    WsCloseSocket(client);
}

TEST(SocketEvents, CancelledSelectionReportsNothing) {
    EventSink sink;
    Listener listener;
    ASSERT_EQ(WsAsyncSelect(listener.handle, sink.window.Handle(), kSocketMessage, kAllEvents), 0);
    ASSERT_EQ(WsListen(listener.handle, 5), 0);
    ASSERT_EQ(WsAsyncSelect(listener.handle, sink.window.Handle(), kSocketMessage, 0), 0);
    const SocketHandle client = WsSocket(SOCK_STREAM, 0);
    (void)WsConnect(client, Loopback(listener.port));
    EXPECT_FALSE(sink.PumpUntil([&] { return !sink.events.empty(); }));
    WsCloseSocket(client);
}

TEST(SocketEvents, NotificationsQueuedForAClosedHandleNeverReachItsSuccessor) {
    EventSink sink;
    Listener listener;
    ASSERT_EQ(WsListen(listener.handle, 5), 0);
    const SocketHandle first = WsSocket(SOCK_STREAM, 0);
    ASSERT_EQ(WsAsyncSelect(first, sink.window.Handle(), kSocketMessage, kAllEvents), 0);
    PostMessage(sink.window.Handle(), kSocketMessage, static_cast<WParam>(first), MakeLParam(FD_CLOSE, 0));
    WsCloseSocket(first);
    const SocketHandle second = WsSocket(SOCK_STREAM, 0);  // the system hands out the lowest free number again
    EXPECT_EQ(second, first);
    ASSERT_EQ(WsAsyncSelect(second, sink.window.Handle(), kSocketMessage, kAllEvents), 0);
    ProcessMessages();
    EXPECT_EQ(sink.Count(second, FD_CLOSE), 0);
    WsCloseSocket(second);
}
