// Real connections on loopback: the events a client and a listener raise, in
// order, and how each kind of end is reported.
#include <gtest/gtest.h>
#include <unistd.h>

#include "tests/net/NetTestSupport.h"

using namespace nettest;

TEST(WSocketConnection, ConnectsExchangesBothWaysAndDeliversEverythingBeforeThePeerClose) {
    Link c;
    c.log.readSize = 7;  // a handler that takes only 7 bytes per call must still get everything
    c.Open();
    EXPECT_EQ(c.log.events, (Events{"state closed->opened", "state opened->connecting", "state connecting->connected",
                                    "connected 0", "sent 0"}));
    EXPECT_EQ(c.socket.PeerAddressText(), "127.0.0.1");
    EXPECT_NE(c.socket.LocalPortText(), "error");

    // OnDataSent only from the loop, never inside Send, even for nothing.
    EXPECT_EQ(c.socket.Send("", 0), 0);
    EXPECT_EQ(c.log.Count("sent 0"), 1);
    EXPECT_TRUE(PumpUntil([&] { return c.log.Count("sent 0") == 2; }));
    EXPECT_EQ(c.socket.SendText("hello"), 5);
    EXPECT_EQ(c.log.Count("sent 0"), 2);
    EXPECT_EQ(Read(c.peer, 5), "hello");
    EXPECT_TRUE(PumpUntil([&] { return c.log.Count("sent 0") == 3; }));

    ASSERT_TRUE(WriteAll(c.peer, "world"));
    ASSERT_TRUE(PumpUntil([&] { return c.log.received == "world"; }));
    EXPECT_EQ(c.socket.ReadCount(), 5);

    c.log.events.clear();
    const std::string payload = RandomBytes(50000, 7);
    ASSERT_TRUE(WriteAll(c.peer, payload));
    c.ClosePeer();
    ASSERT_TRUE(PumpUntil([&] { return c.socket.State() == wsClosed; }));
    PumpFor(100);
    EXPECT_EQ(c.log.received, "world" + payload);
    EXPECT_EQ(c.log.events, (Events{"data", "closed 0 in connected", "state connected->closed"}));
}

// A reset seen by the loop reports 10054 while still connected; one met by a
// send first closes the socket there, and the closed event still comes once.
TEST(WSocketConnection, PeerResetIsReportedOnceWithError10054) {
    for (const bool sendFirst : {false, true}) {
        Link c;
        c.Open();
        c.log.events.clear();
        c.ClosePeer(true);
        if (sendFirst) {
            usleep(50 * 1000);  // the reset arrives; the loop has not seen it yet
            EXPECT_EQ(c.socket.SendText(std::string(100000, 'x')), 100000);
        }
        ASSERT_TRUE(PumpUntil([&] { return c.socket.State() == wsClosed; }));
        PumpFor(100);
        std::erase(c.log.events, "data");  // the reset may first be offered as a read
        EXPECT_EQ(c.log.events, (sendFirst ? Events{"state connected->closed", "closed 10054 in closed"}
                                           : Events{"closed 10054 in connected", "state connected->closed"}));
    }
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
    EXPECT_EQ(log.events, (Events{"state closed->opened", "state opened->connecting", "state connecting->connected",
                                  "connected 10061", "state connected->closed", "closed 0 in closed"}));
    // The reset after the close forgets the port: it must be set again.
    EXPECT_EQ(ErrorOf([&] { socket.Connect(); }), "Connect: No Port Specified");
}

TEST(WSocketConnection, CloseIsSynchronousAndTheClosedHandlerMayReconnectAtOnce) {
    Link c;
    c.Open();
    c.log.events.clear();
    RawListener second;
    c.socket.OnSessionClosed = [&](TCustomWSocket* s, std::uint16_t e) {
        c.log.events.push_back("closed " + std::to_string(e));
        EXPECT_EQ(s->SocketHandle(), platform::kInvalidSocket);
        EXPECT_EQ(s->LocalPortText(), "error");
        s->SetPort(second.PortText());
        s->Connect();
    };
    c.socket.Close();
    EXPECT_EQ(c.log.events, (Events{"state connected->closed", "closed 0", "state closed->opened", "state opened->connecting"}));
    // The close's own reset must not undo the new connection.
    EXPECT_EQ(c.socket.State(), wsConnecting);
    EXPECT_EQ(Read(c.peer, 1, 2000), "");  // the first peer sees the end
    const int peer = second.Accept();
    ASSERT_GE(peer, 0);
    EXPECT_TRUE(PumpUntil([&] { return c.socket.State() == wsConnected; }));
    close(peer);
}

// The FTP engine's active-mode data connection: one object listens, accepts
// in its OnSessionAvailable handler, closes the listening handle, rebinds its
// events and adopts the accepted handle.
TEST(WSocketConnection, ListenAcceptCloseAndDupOnOneObject) {
    TWSocket data;
    EventLog log, after;
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
    EXPECT_EQ(Read(client, 4), "back");
    close(client);
    ASSERT_TRUE(PumpUntil([&] { return data.State() == wsClosed; }));
    EXPECT_EQ(after.Count("closed 0 in connected"), 1);
}

// A handler may destroy the socket that raised its event (its own closure
// dies with it), and destroying an open socket raises nothing.
TEST(WSocketConnection, DestroyedSocketsRaiseNothingMore) {
    RawListener listener;
    auto socket = std::make_unique<TWSocket>();
    bool destroyed = false;
    socket->OnDataAvailable = [&](TCustomWSocket*, std::uint16_t) {
        destroyed = true;
        socket.reset();
    };
    int peer = ConnectPumping(*socket, listener);
    ASSERT_GE(peer, 0);
    ASSERT_TRUE(WriteAll(peer, "bye"));
    close(peer);  // FD_CLOSE is queued behind FD_READ for the dead object
    ASSERT_TRUE(PumpUntil([&] { return destroyed; }));
    PumpFor(100);

    EventLog log;
    {
        TWSocket open;
        peer = ConnectPumping(open, listener);
        ASSERT_GE(peer, 0);
        log.Attach(open);
    }
    EXPECT_TRUE(log.events.empty());
    EXPECT_EQ(Read(peer, 1, 2000), "");
    close(peer);
}
