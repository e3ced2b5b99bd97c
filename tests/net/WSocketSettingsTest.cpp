// Property setters, misuse, resolvers, lookups and error texts.
#include <gtest/gtest.h>

#include "tests/net/NetTestSupport.h"

using namespace nettest;

TEST(WSocketSettings, AddrPortProtoAreFixedWhileConnected) {
    Link c;
    c.socket.SetAddr(" 127.0.0.2 ");
    EXPECT_EQ(c.socket.Addr(), "127.0.0.2");  // trimmed
    c.Open();
    c.socket.SetPort(c.listener.PortText());  // same text: accepted silently
    c.socket.SetAddr("127.0.0.1");
    EXPECT_EQ(ErrorOf([&] { c.socket.SetPort("21"); }), "Cannot change Port if not closed");
    EXPECT_EQ(ErrorOf([&] { c.socket.SetAddr("10.0.0.1"); }), "Cannot change Addr if not closed");
    EXPECT_EQ(ErrorOf([&] { c.socket.SetProto("udp"); }), "Cannot change Proto if not closed");
    EXPECT_EQ(ErrorOf([&] { c.socket.Connect(); }), "Connect: Socket already in use");
    EXPECT_EQ(c.socket.Port(), c.listener.PortText());
}

// Misuse throws, or raises OnError instead when bound and the operation
// falls back (a send while connecting also closes).
TEST(WSocketSettings, MisuseNamesTheMissingPart) {
    TWSocket socket;
    EXPECT_EQ(ErrorOf([&] { socket.Connect(); }), "Connect: No Port Specified");
    socket.SetPort("21");
    EXPECT_EQ(ErrorOf([&] { socket.Connect(); }), "Connect: No IP Address Specified");
    socket.SetAddr("127.0.0.1");
    socket.SetProto("");
    EXPECT_EQ(ErrorOf([&] { socket.Connect(); }), "Connect: No Protocol Specified");
    socket.SetProto("tcp");
    socket.SetPort(std::string(32, '1'));
    EXPECT_EQ(ErrorOf([&] { socket.Connect(); }), "connect: WSocketResolvePort: Invalid Port.");
    EXPECT_EQ(socket.State(), wsClosed);
    EXPECT_EQ(ErrorOf([&] { socket.SetSendFlags(static_cast<TSocketSendFlags>(7)); }), "Invalid SendFlags");
    socket.SetSendFlags(wsSendUrgent);
    EXPECT_EQ(socket.SendFlags(), wsSendUrgent);
    EXPECT_EQ(ErrorOf([&] { socket.ApplyLinger(); }), "Cannot set linger option at this time");
    EXPECT_EQ(ErrorOf([&] { socket.SendText("x"); }), "Error 10057 in function Send\r\nSocket is not connected");
    EXPECT_EQ(socket.LastError(), 10057);

    TWSocket other;
    EXPECT_EQ(ErrorOf([&] { other.Listen(); }), "Error 10022 in function listen: port not assigned\r\nInvalid argument");
    EXPECT_EQ(ErrorOf([&] { other.Accept(); }), "Error 10022 in function not a listening socket\r\nInvalid argument");
    int errors = 0;
    other.OnError = [&](TCustomWSocket*) { ++errors; };
    other.Connect();
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(other.Accept(), platform::kInvalidSocket);
    EXPECT_EQ(errors, 2);
    EXPECT_EQ(other.LastError(), 10022);

    // A send while connecting: OnError, -1, and the handle is gone.
    RawListener listener;
    other.SetAddr("127.0.0.1");
    other.SetPort(listener.PortText());
    other.Connect();
    ASSERT_EQ(other.State(), wsConnecting);
    EXPECT_EQ(other.SendText("x"), -1);
    EXPECT_EQ(errors, 3);
    EXPECT_EQ(other.State(), wsClosed);
    EXPECT_EQ(other.SocketHandle(), platform::kInvalidSocket);
}

TEST(WSocketSettings, ListenOnAPortInUseReleasesItsHandle) {
    RawListener taken;
    TWSocket socket;
    socket.SetAddr("127.0.0.1");
    socket.SetPort(taken.PortText());
    EXPECT_EQ(ErrorOf([&] { socket.Listen(); }), "Error 10048 in function Bind\r\nAddress already in use");
    EXPECT_EQ(socket.State(), wsClosed);
    EXPECT_EQ(socket.SocketHandle(), platform::kInvalidSocket);
    socket.SetPort("0");
    socket.Listen();  // the object is still usable
    EXPECT_EQ(socket.State(), wsListening);
}

TEST(WSocketResolvers, PortProtoAndHostTextsFollowTheirRules) {
    EXPECT_EQ(WSocketResolvePort("21abc", "tcp"), 21);
    EXPECT_EQ(WSocketResolvePort("70000", "tcp"), 4464);
    EXPECT_EQ(WSocketResolvePort("ftp", "tcp"), 21);
    EXPECT_EQ(WSocketResolvePort(" ftp ", ""), 21);
    EXPECT_EQ(WSocketResolvePort(std::string(31, '0'), "tcp"), 0);
    EXPECT_EQ(ErrorOf([] { WSocketResolvePort(std::string(32, '1'), "tcp"); }), "WSocketResolvePort: Invalid Port.");
    EXPECT_EQ(ErrorOf([] { WSocketResolvePort("", "tcp"); }), "WSocketResolvePort: Invalid Port.");
    EXPECT_EQ(ErrorOf([] { WSocketResolvePort("nosuchservice", "tcp"); }),
              "WSocketResolvePort: Cannot convert port 'nosuchservice'");

    EXPECT_EQ(WSocketResolveProto("tcp"), 6);
    EXPECT_EQ(WSocketResolveProto("17x"), 17);
    EXPECT_EQ(ErrorOf([] { WSocketResolveProto(""); }), "WSocketResolveProto: Invalid Protocol.");
    EXPECT_EQ(ErrorOf([] { WSocketResolveProto("nosuchproto"); }), "WSocketResolveProto: Cannot convert protocol 'nosuchproto'");

    EXPECT_EQ(WSocketResolveHost("127.1"), htonl(0x7F000001));
    EXPECT_EQ(WSocketResolveHost("255.255.255.255"), 0xFFFFFFFFu);
    EXPECT_EQ(WSocketResolveHost("localhost"), htonl(0x7F000001));
    EXPECT_EQ(ErrorOf([] { WSocketResolveHost(""); }), "WSocketResolveHost: Invalid Hostname.");
    EXPECT_EQ(ErrorOf([] { WSocketResolveHost(std::string(257, 'a')); }), "WSocketResolveHost: Invalid Hostname.");
    EXPECT_EQ(ErrorOf([] { WSocketResolveHost("no-such-host.invalid"); }),
              "WSocketResolveHost: Cannot convert host address 'no-such-host.invalid'");
}

// Dotted text is answered inside the call, names and reverse lookups by
// message. A cancel gives 10004 and its late answer is dropped; a new lookup
// replaces a pending one silently; a destroyed socket's answer finds nobody.
TEST(WSocketLookup, AnswersCancelsAndMisuse) {
    TWSocket socket;
    EventLog log;
    log.Attach(socket);
    EXPECT_EQ(ErrorOf([&] { socket.StartDnsLookup(""); }), "DNS lookup: invalid host name.");
    EXPECT_TRUE(log.events.empty());
    socket.StartDnsLookup("127.1");
    EXPECT_EQ(log.events, Events{"lookup 0"});
    EXPECT_EQ(socket.DnsResult(), "127.0.0.1");
    EXPECT_TRUE(socket.DnsResultList().empty());

    socket.StartDnsLookup("localhost");
    EXPECT_EQ(log.events.size(), 1u);
    ASSERT_TRUE(PumpUntil([&] { return log.events.size() == 2; }));
    EXPECT_EQ(socket.DnsResult(), "127.0.0.1");
    ASSERT_FALSE(socket.DnsResultList().empty());
    EXPECT_EQ(socket.DnsResultList().front(), "127.0.0.1");

    socket.StartReverseDnsLookup("127.0.0.1");
    ASSERT_TRUE(PumpUntil([&] { return log.events.size() == 3; }));
    EXPECT_EQ(socket.DnsResultList().size(), 1u);
    EXPECT_FALSE(socket.DnsResult().empty());

    socket.StartDnsLookup("localhost");
    socket.CancelLookup();
    EXPECT_EQ(log.events.back(), "lookup 10004");
    socket.CancelLookup();  // nothing pending: nothing happens
    socket.StartDnsLookup("localhost");
    socket.StartDnsLookup("localhost");
    ASSERT_TRUE(PumpUntil([&] { return log.events.size() == 5; }));
    PumpFor(200);
    EXPECT_EQ(log.events, (Events{"lookup 0", "lookup 0", "lookup 0", "lookup 10004", "lookup 0"}));

    int errors = 0;
    socket.OnError = [&](TCustomWSocket*) { ++errors; };
    socket.StartDnsLookup("");
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(log.events.back(), "lookup 10022");
    {
        TWSocket doomed;
        log.Attach(doomed);
        doomed.StartDnsLookup("localhost");
    }
    PumpFor(200);
    EXPECT_EQ(log.events.size(), 6u);
}
