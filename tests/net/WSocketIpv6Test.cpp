// IPv6 text as Addr: a socket of that family that listens, accepts,
// connects and reports its addresses; the literal answered by the lookup.
#include <gtest/gtest.h>

#include "net/WSocket.h"
#include "tests/net/NetTestSupport.h"
#include "tests/support/FtpServerProcess.h"

namespace {

using nettest::PumpUntil;

TEST(WSocketIpv6, ListenConnectAndAddressesOnLoopback) {
    if (!LoopbackIpv6Available()) GTEST_SKIP() << "this machine has no ::1 (IPv6 is off)";
    TWSocket server, client, accepted;
    server.SetAddr("::1");
    server.SetPort("0");
    server.Listen();
    ASSERT_EQ(server.State(), wsListening);
    EXPECT_TRUE(server.IsIPv6());
    server.OnSessionAvailable = [&](TCustomWSocket* s, std::uint16_t) {
        const platform::SocketHandle handle = s->Accept();
        ASSERT_NE(handle, platform::kInvalidSocket);
        accepted.Dup(handle);
    };
    client.SetAddr("[::1]");
    client.SetPort(server.LocalPortText());
    client.Connect();
    ASSERT_TRUE(PumpUntil([&] { return client.State() == wsConnected && accepted.State() == wsConnected; }));
    EXPECT_EQ(client.PeerAddressText(), "::1");
    EXPECT_EQ(client.LocalAddressText(), "::1");
    EXPECT_EQ(client.SendText("over six"), 8);
    std::string got;
    accepted.OnDataAvailable = [&](TCustomWSocket* s, std::uint16_t) { got += s->ReceiveText(); };
    EXPECT_TRUE(PumpUntil([&] { return got == "over six"; }));

    client.StartDnsLookup("[::1]");
    EXPECT_EQ(client.DnsResult(), "::1");
    EXPECT_EQ(client.DnsResultAll(), std::vector<std::string>{"::1"});
}

}  // namespace
