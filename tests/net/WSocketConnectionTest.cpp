// Real connections on loopback: the events a client and a listener raise, in
// order, and how each kind of end is reported.
#include <gtest/gtest.h>
#include <unistd.h>

#include "tests/net/NetTestSupport.h"

using namespace nettest;

namespace {

struct Connected {
    RawListener listener;
    TWSocket socket;
    EventLog log;
    int peer = -1;

    void Open() {
        log.Attach(socket);
        socket.SetAddr("127.0.0.1");
        socket.SetPort(listener.PortText());
        socket.Connect();
        peer = listener.AcceptPumping();
        ASSERT_GE(peer, 0);
        ASSERT_TRUE(PumpUntil([&] { return log.Count("sent 0") == 1; }));
    }
    ~Connected() {
        if (peer >= 0) close(peer);
    }
};

}  // namespace

TEST(WSocketConnection, ConnectsExchangesBothWaysAndReportsPeerCloseOnce) {
    Connected c;
    c.Open();
    EXPECT_EQ(c.socket.State(), wsConnected);
    const std::vector<std::string> opening = {"state closed->opened", "state opened->connecting", "state connecting->connected",
                                              "connected 0", "sent 0"};
    EXPECT_EQ(c.log.events, opening);
    EXPECT_EQ(c.socket.PeerAddressText(), "127.0.0.1");
    EXPECT_NE(c.socket.LocalPortText(), "error");

    EXPECT_EQ(c.socket.SendText("hello"), 5);
    EXPECT_EQ(ReadPumping(c.peer, 5), "hello");
    // OnDataSent only from the loop, once the queue has drained.
    EXPECT_TRUE(PumpUntil([&] { return c.log.Count("sent 0") == 2; }));

    ASSERT_TRUE(WriteAll(c.peer, "world"));
    ASSERT_TRUE(PumpUntil([&] { return c.log.received == "world"; }));
    EXPECT_EQ(c.socket.ReadCount(), 5);

    close(c.peer);
    c.peer = -1;
    ASSERT_TRUE(PumpUntil([&] { return c.socket.State() == wsClosed; }));
    PumpFor(100);
    EXPECT_EQ(c.log.Count("closed 0 in connected"), 1);
    EXPECT_EQ(c.log.events.back(), "state connected->closed");
    EXPECT_EQ(c.log.Count("connected 0"), 1);
}

TEST(WSocketConnection, PeerCloseDeliversRemainingDataBeforeClosed) {
    Connected c;
    c.Open();
    // A handler that takes only 7 bytes per call must still get everything.
    c.socket.OnDataAvailable = [&](TCustomWSocket* s, std::uint16_t) {
        char buffer[7];
        const int n = s->Receive(buffer, sizeof buffer);
        if (n > 0) c.log.received.append(buffer, static_cast<std::size_t>(n));
        if (c.log.events.back() != "data") c.log.events.push_back("data");
    };
    const std::string payload = RandomBytes(50000, 7);
    ASSERT_TRUE(WriteAll(c.peer, payload));
    close(c.peer);
    c.peer = -1;
    ASSERT_TRUE(PumpUntil([&] { return c.socket.State() == wsClosed; }));
    EXPECT_EQ(c.log.received, payload);
    const int data = c.log.IndexOf("data");
    const int closed = c.log.IndexOf("closed 0 in connected");
    const int state = c.log.IndexOf("state connected->closed");
    ASSERT_GE(data, 0);
    EXPECT_LT(data, closed);
    EXPECT_LT(closed, state);
}

TEST(WSocketConnection, PeerResetReports10054WhileStillConnected) {
    Connected c;
    c.Open();
    ResetClose(c.peer);
    c.peer = -1;
    ASSERT_TRUE(PumpUntil([&] { return c.socket.State() == wsClosed; }));
    EXPECT_EQ(c.log.Count("closed 10054 in connected"), 1);
    EXPECT_EQ(c.log.events.back(), "state connected->closed");
}

TEST(WSocketConnection, SendAfterPeerResetReportsClosedOnceAfterClosing) {
    Connected c;
    c.Open();
    ResetClose(c.peer);
    c.peer = -1;
    usleep(50 * 1000);  // the reset arrives; the loop has not seen it yet
    EXPECT_EQ(c.socket.SendText(std::string(100000, 'x')), 100000);
    PumpFor(200);
    EXPECT_EQ(c.socket.State(), wsClosed);
    int closedEvents = 0;
    for (const auto& e : c.log.events) closedEvents += e.rfind("closed ", 0) == 0;
    EXPECT_EQ(closedEvents, 1);
    EXPECT_EQ(c.log.Count("closed 10054 in closed"), 1);
}

TEST(WSocketConnection, RefusedConnectReportsErrorThenCloses) {
    TWSocket socket;
    EventLog log;
    log.Attach(socket);
    socket.SetAddr("127.0.0.1");
    socket.SetPort(std::to_string(ClosedPort()));
    socket.Connect();
    ASSERT_TRUE(PumpUntil([&] { return socket.State() == wsClosed; }));
    PumpFor(100);
    const std::vector<std::string> expected = {"state closed->opened", "state opened->connecting", "state connecting->connected",
                                               "connected 10061",      "state connected->closed",  "closed 0 in closed"};
    EXPECT_EQ(log.events, expected);
    // The reset after the close forgets the port: it must be set again.
    try {
        socket.Connect();
        FAIL() << "Connect without a port must be refused";
    } catch (const ESocketException& e) {
        EXPECT_STREQ(e.what(), "Connect: No Port Specified");
    }
}

TEST(WSocketConnection, CloseIsSynchronousAndTheObjectIsReusable) {
    Connected c;
    c.Open();
    c.log.events.clear();
    c.socket.Close();
    const std::vector<std::string> expected = {"state connected->closed", "closed 0 in closed"};
    EXPECT_EQ(c.log.events, expected);
    EXPECT_EQ(c.socket.SocketHandle(), platform::kInvalidSocket);
    EXPECT_EQ(c.socket.LocalPortText(), "error");
    EXPECT_EQ(ReadPumping(c.peer, 1, 2000), "");  // the peer sees the end

    RawListener second;
    c.socket.SetPort(second.PortText());
    c.socket.SetAddr("127.0.0.1");
    c.socket.Connect();
    const int peer = second.AcceptPumping();
    ASSERT_GE(peer, 0);
    ASSERT_TRUE(PumpUntil([&] { return c.socket.State() == wsConnected; }));
    close(peer);
}

// The FTP engine's active-mode data connection: one object listens, accepts
// in its OnSessionAvailable handler, closes the listening handle, rebinds its
// events and adopts the accepted handle.
TEST(WSocketConnection, ListenAcceptCloseAndDupOnOneObject) {
    TWSocket data;
    EventLog log;
    log.Attach(data);
    data.SetAddr("0.0.0.0");
    data.SetPort("0");
    data.Listen();
    ASSERT_EQ(data.State(), wsListening);
    sockaddr_in local{};
    socklen_t length = sizeof local;
    ASSERT_EQ(data.LocalSocketAddress(local, length), 0);
    const std::uint16_t port = ntohs(local.sin_port);
    ASSERT_NE(port, 0);
    EXPECT_EQ(data.LocalPortText(), std::to_string(port));

    EventLog after;
    data.OnSessionAvailable = [&](TCustomWSocket* s, std::uint16_t error) {
        EXPECT_EQ(error, 0);
        const platform::SocketHandle accepted = s->Accept();
        ASSERT_NE(accepted, platform::kInvalidSocket);
        EXPECT_EQ(s->SocketAddress().sin_addr.s_addr, htonl(INADDR_LOOPBACK));
        s->Close();
        after.Attach(*s);
        s->Dup(accepted);
    };
    const int client = RawConnect(port);
    ASSERT_GE(client, 0);
    ASSERT_TRUE(PumpUntil([&] { return data.State() == wsConnected && after.Count("sent 0") == 1; }));
    EXPECT_EQ(log.Count("state listening->closed"), 1);
    EXPECT_EQ(after.events.front(), "state closed->connected");
    EXPECT_EQ(after.Count("connected 0"), 0);  // Dup raises no OnSessionConnected

    ASSERT_TRUE(WriteAll(client, "LIST data"));
    ASSERT_TRUE(PumpUntil([&] { return after.received == "LIST data"; }));
    data.SendText("back");
    EXPECT_EQ(ReadPumping(client, 4), "back");
    close(client);
    ASSERT_TRUE(PumpUntil([&] { return data.State() == wsClosed; }));
    EXPECT_EQ(after.Count("closed 0 in connected"), 1);
}

TEST(WSocketConnection, HandlerMayDestroyTheSocketThatRaisedTheEvent) {
    RawListener listener;
    auto socket = std::make_unique<TWSocket>();
    bool destroyed = false;
    // The handler's own closure dies with the socket: nothing after reset().
    socket->OnDataAvailable = [&](TCustomWSocket*, std::uint16_t) {
        destroyed = true;
        socket.reset();
    };
    socket->SetAddr("127.0.0.1");
    socket->SetPort(listener.PortText());
    socket->Connect();
    const int peer = listener.AcceptPumping();
    ASSERT_GE(peer, 0);
    ASSERT_TRUE(WriteAll(peer, "bye"));
    close(peer);  // FD_CLOSE is queued behind FD_READ for the dead object
    ASSERT_TRUE(PumpUntil([&] { return destroyed; }));
    PumpFor(100);
}

TEST(WSocketConnection, ClosedHandlerMayReconnectAtOnce) {
    Connected c;
    c.Open();
    RawListener second;
    c.socket.OnSessionClosed = [&](TCustomWSocket* s, std::uint16_t) {
        s->SetAddr("127.0.0.1");
        s->SetPort(second.PortText());
        s->Connect();
    };
    c.socket.Close();
    // The close's own reset must not undo the new connection.
    EXPECT_EQ(c.socket.State(), wsConnecting);
    const int peer = second.AcceptPumping();
    ASSERT_GE(peer, 0);
    EXPECT_TRUE(PumpUntil([&] { return c.socket.State() == wsConnected; }));
    close(peer);
}

TEST(WSocketConnection, DestroyingAnOpenSocketRaisesNothing) {
    EventLog log;
    RawListener listener;
    int peer = -1;
    {
        TWSocket socket;
        peer = ConnectPumping(socket, listener);
        ASSERT_GE(peer, 0);
        log.Attach(socket);
    }
    EXPECT_TRUE(log.events.empty());
    EXPECT_EQ(ReadPumping(peer, 1, 2000), "");
    close(peer);
}
