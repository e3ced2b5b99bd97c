// SOCKS 5 through real proxies on loopback, and through a scripted proxy for
// replies real proxies never send.
#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>

#include "tests/net/NetTestSupport.h"
#include "tests/support/net/SocksProxyProcess.h"

using namespace nettest;

namespace {

enum class ProxyKind { Microsocks, MicrosocksAuth, Dante };

std::unique_ptr<FtpServerProcess> MakeProxy(ProxyKind kind) {
    switch (kind) {
        case ProxyKind::Microsocks: return std::make_unique<MicrosocksProxy>();
        case ProxyKind::MicrosocksAuth: return std::make_unique<MicrosocksProxy>("proxyuser", "proxypass");
        case ProxyKind::Dante: return std::make_unique<DanteProxy>();
    }
    return nullptr;
}

void PointAtProxy(TWSocket& socket, std::uint16_t proxyPort, const std::string& addr, std::uint16_t port) {
    socket.SetSocksServer("127.0.0.1");
    socket.SetSocksPort(std::to_string(proxyPort));
    socket.SetAddr(addr);
    socket.SetPort(std::to_string(port));
}

std::vector<std::string> Only(const std::vector<std::string>& events, const std::vector<std::string>& prefixes) {
    std::vector<std::string> kept;
    for (const auto& e : events)
        for (const auto& p : prefixes)
            if (e.rfind(p, 0) == 0) {
                kept.push_back(e);
                break;
            }
    return kept;
}

std::string ProxyName(const ::testing::TestParamInfo<ProxyKind>& info) {
    switch (info.param) {
        case ProxyKind::Microsocks: return "microsocks";
        case ProxyKind::MicrosocksAuth: return "microsocks_auth";
        case ProxyKind::Dante: return "dante";
    }
    return "unknown";
}

class RealProxy : public ::testing::TestWithParam<ProxyKind> {
protected:
    void SetUp() override {
        proxy = MakeProxy(GetParam());
        ASSERT_TRUE(proxy->Start()) << proxy->Error();
        log.Attach(socket);
        log.AttachSocks(socket);
        if (GetParam() == ProxyKind::MicrosocksAuth) {
            socket.SetSocksAuthentication(socksAuthenticateUsercode);
            socket.SetSocksUsercode(proxy->User());
            socket.SetSocksPassword(proxy->Password());
        }
    }
    std::unique_ptr<FtpServerProcess> proxy;
    TWSocket socket;
    EventLog log;
};

}  // namespace

TEST_P(RealProxy, ReachesTheTargetByNameAndByAddressAndEchoes) {
    EchoServer echo;
    for (const std::string target : {"localhost", "127.0.0.1"}) {
        SCOPED_TRACE(target);
        log.events.clear();
        log.received.clear();
        PointAtProxy(socket, static_cast<std::uint16_t>(proxy->Port()), target, echo.Port());
        socket.Connect();
        ASSERT_TRUE(PumpUntil([&] { return log.Count("connected 0") == 1; }));
        EXPECT_EQ(log.Count("socks connected 0"), 1);
        EXPECT_EQ(socket.SocksState(), SocksIdle);
        EXPECT_FALSE(socket.ProxyBoundPort().empty());
        if (GetParam() == ProxyKind::MicrosocksAuth) {
            EXPECT_EQ(Only(log.events, {"auth"}), (std::vector<std::string>{"auth begun", "auth accepted"}));
        }

        const std::string payload = "through the proxy\r\n" + RandomBytes(100000, 3);
        EXPECT_EQ(socket.SendText(payload), static_cast<int>(payload.size()));
        ASSERT_TRUE(PumpUntil([&] { return log.received.size() >= payload.size(); }));
        EXPECT_EQ(log.received, payload);
        socket.Close();
        EXPECT_EQ(log.Count("closed 0 in closed"), 1);
        EXPECT_TRUE(socket.SocksServer().empty());  // a proxy is set per connection
    }
}

TEST_P(RealProxy, RefusedTargetGivesTheConnectReplyError) {
    PointAtProxy(socket, static_cast<std::uint16_t>(proxy->Port()), "127.0.0.1", ClosedPort());
    socket.Connect();
    ASSERT_TRUE(PumpUntil([&] { return socket.State() == wsClosed; }));
    const auto errors = Only(log.events, {"socks error", "connected", "closed"});
    ASSERT_EQ(errors.size(), 3u);
    // Proxies word a refused target differently; each is a reply code error.
    const int code = std::stoi(errors[0].substr(12, 5));
    EXPECT_GE(code, 20004);
    EXPECT_LE(code, 20012);
    EXPECT_EQ(errors[1], "connected " + std::to_string(code));
    EXPECT_EQ(errors[2], "closed " + std::to_string(code) + " in closed");
}

INSTANTIATE_TEST_SUITE_P(Proxies, RealProxy,
                         ::testing::Values(ProxyKind::Microsocks, ProxyKind::MicrosocksAuth, ProxyKind::Dante), ProxyName);

TEST(Socks, WrongCredentialsAreRefusedAndReportedThreeWays) {
    MicrosocksProxy proxy("proxyuser", "proxypass");
    ASSERT_TRUE(proxy.Start()) << proxy.Error();
    EchoServer echo;
    TWSocket socket;
    EventLog log;
    log.Attach(socket);
    log.AttachSocks(socket);
    socket.SetSocksAuthentication(socksAuthenticateUsercode);
    socket.SetSocksUsercode("proxyuser");
    socket.SetSocksPassword("wrong");
    PointAtProxy(socket, static_cast<std::uint16_t>(proxy.Port()), "127.0.0.1", echo.Port());
    socket.Connect();
    ASSERT_TRUE(PumpUntil([&] { return socket.State() == wsClosed; }));
    const std::vector<std::string> expected = {"auth begun", "auth refused", "socks error 20015 socks authentication failed",
                                               "connected 20015", "closed 20015 in closed"};
    EXPECT_EQ(Only(log.events, {"auth", "socks error", "connected", "closed"}), expected);
}

TEST(Socks, MisuseIsRefusedBeforeAnythingIsSent) {
    TWSocket socket;
    socket.SetSocksServer("127.0.0.1");
    socket.SetSocksPort("1080");
    socket.SetAddr("127.0.0.1");
    socket.SetPort("21");
    socket.SetProto("udp");
    const auto error = [&](auto&& action) {
        try {
            action();
        } catch (const ESocketException& e) {
            return std::string(e.what());
        }
        return std::string("(no error)");
    };
    EXPECT_EQ(error([&] { socket.Connect(); }), "tcp is the only protocol supported thru socks server");
    EXPECT_EQ(error([&] { socket.Listen(); }), "listening is not supported thru socks server");
    socket.SetProto("tcp");
    socket.SetAddr(std::string(256, 'a'));
    EXPECT_EQ(error([&] { socket.Connect(); }), "socks: Addr longer than 255 bytes");
    socket.SetAddr(std::string(200, 'a'));  // past the old 121-byte area, within the protocol
    socket.SetSocksAuthentication(socksAuthenticateUsercode);
    socket.SetSocksUsercode(std::string(256, 'u'));
    EXPECT_EQ(error([&] { socket.Connect(); }), "socks: user code or password longer than 255 bytes");
    EXPECT_EQ(socket.State(), wsClosed);
    EXPECT_EQ(socket.SocketHandle(), platform::kInvalidSocket);
}

// ---- scripted proxy ------------------------------------------------------------

namespace {

const std::string kMethodReply("\x05\x00", 2);
const std::string kConnectOk("\x05\x00\x00\x01\x7f\x00\x00\x01\x12\x34", 10);

struct ScriptedRun {
    TWSocket socket;
    EventLog log;
    std::string request;  // what the proxy received

    void Connect(const ScriptedPeer& peer, const std::string& addr = "target.example") {
        log.Attach(socket);
        log.AttachSocks(socket);
        socket.SetSocksServer("127.0.0.1");
        socket.SetSocksPort(peer.PortText());
        socket.SetAddr(addr);
        socket.SetPort("2121");
        socket.Connect();
    }
    std::vector<std::string> Errors() const { return Only(log.events, {"socks error", "connected", "closed"}); }
};

std::string ConnectRequest(const std::string& addr, std::uint16_t port) {
    std::string r("\x05\x01\x00\x03", 4);
    r += static_cast<char>(addr.size());
    r += addr;
    r += static_cast<char>(port >> 8);
    r += static_cast<char>(port & 0xFF);
    return r;
}

}  // namespace

TEST(SocksScripted, LongAddrAndCredentialsTravelWhole) {
    const std::string addr(200, 'h');
    std::string seen;
    ScriptedPeer peer([&](int fd) {
        seen = ReadExactly(fd, 3);
        WriteAll(fd, std::string("\x05\x02", 2));
        seen += ReadExactly(fd, 2 + 150 + 1 + 150);
        WriteAll(fd, std::string("\x01\x00", 2));
        seen += ReadExactly(fd, 7 + addr.size());
        WriteAll(fd, kConnectOk);
        ReadExactly(fd, 1, 2000);
    });
    ScriptedRun run;
    run.socket.SetSocksAuthentication(socksAuthenticateUsercode);
    run.socket.SetSocksUsercode(std::string(150, 'u'));
    run.socket.SetSocksPassword(std::string(150, 'p'));
    run.Connect(peer, addr);
    ASSERT_TRUE(PumpUntil([&] { return run.log.Count("connected 0") == 1; }));
    run.socket.Close();
    const std::string expected = std::string("\x05\x01\x02", 3) + '\x01' + static_cast<char>(150) + std::string(150, 'u') +
                                 static_cast<char>(150) + std::string(150, 'p') + ConnectRequest(addr, 2121);
    EXPECT_EQ(seen, expected);
}

TEST(SocksScripted, SplitReplyCompletesLikeOneArrival) {
    std::string request;
    ScriptedPeer peer([&](int fd) {
        ReadExactly(fd, 3);
        WriteAll(fd, kMethodReply);
        request = ReadExactly(fd, 7 + 14);
        WriteAll(fd, kConnectOk.substr(0, 3));
        usleep(100 * 1000);
        WriteAll(fd, kConnectOk.substr(3));
        ReadExactly(fd, 1, 2000);
    });
    ScriptedRun run;
    run.Connect(peer);
    ASSERT_TRUE(PumpUntil([&] { return run.log.Count("connected 0") == 1; }));
    EXPECT_EQ(request, ConnectRequest("target.example", 2121));
    EXPECT_EQ(run.socket.ProxyBoundAddress(), "127.0.0.1");
    EXPECT_EQ(run.socket.ProxyBoundPort(), "4660");
    EXPECT_TRUE(run.log.received.empty());
    run.socket.Close();
}

TEST(SocksScripted, DataInTheSameArrivalAsTheReplyComesFirst) {
    ScriptedPeer peer([](int fd) {
        ReadExactly(fd, 3);
        WriteAll(fd, kMethodReply);
        ReadExactly(fd, 7 + 14);
        WriteAll(fd, kConnectOk + "ABCD");
        usleep(100 * 1000);
        WriteAll(fd, "EFGH");
        ReadExactly(fd, 1, 2000);
    });
    ScriptedRun run;
    run.Connect(peer);
    // A handler reading 3 bytes at a time, beginning inside OnSessionConnected.
    run.socket.OnSessionConnected = [&](TCustomWSocket* s, std::uint16_t e) {
        run.log.events.push_back("connected " + std::to_string(e));
        char b[3];
        const int n = s->Receive(b, 3);
        if (n > 0) run.log.received.append(b, static_cast<std::size_t>(n));
    };
    run.socket.OnDataAvailable = [&](TCustomWSocket* s, std::uint16_t) {
        run.log.events.push_back("data");
        char b[3];
        const int n = s->Receive(b, 3);
        if (n > 0) run.log.received.append(b, static_cast<std::size_t>(n));
    };
    ASSERT_TRUE(PumpUntil([&] { return run.log.received.size() == 8; }));
    EXPECT_EQ(run.log.received, "ABCDEFGH");
    EXPECT_LT(run.log.IndexOf("connected 0"), run.log.IndexOf("data"));
    run.socket.Close();
}

TEST(SocksScripted, BadRepliesAreReportedWithTheirErrors) {
    struct Case {
        std::string methodReply;
        std::string connectReply;
        std::string error;
    };
    const std::vector<Case> cases = {
        {std::string("\x05\xff", 2), "", "socks error 20003 authentification method not acceptable"},
        {std::string("\x04\x00", 2), "", "socks error 20002 socks version error"},
        {kMethodReply, std::string("\x04\x00\x00\x01", 4), "socks error 20002 socks version error"},
        {kMethodReply, std::string("\x05\x00\x00\x07\x00\x00\x00\x00\x00\x00", 10),
         "socks error 20011 address type not supported"},
        {kMethodReply, std::string("\x05\x02\x00\x01", 4), "socks error 20005 connection not allowed by ruleset"},
        {kMethodReply, std::string("\x05\x63\x00\x01", 4), "socks error 20012 unassigned error #99"},
        {std::string("\x05\x00\x00", 3), "", "socks error 20001 too much data availaible"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.error);
        ScriptedPeer peer([&](int fd) {
            ReadExactly(fd, 3);
            WriteAll(fd, c.methodReply);
            if (!c.connectReply.empty()) {
                ReadExactly(fd, 7 + 14);
                WriteAll(fd, c.connectReply);
            }
            ReadExactly(fd, 1, 2000);
        });
        ScriptedRun run;
        run.Connect(peer);
        ASSERT_TRUE(PumpUntil([&] { return run.socket.State() == wsClosed && run.log.Count("socks connected 0") == 1; }));
        const std::string code = c.error.substr(12, 5);
        EXPECT_EQ(run.Errors(), (std::vector<std::string>{c.error, "connected " + code, "closed " + code + " in closed"}));
    }
}

TEST(SocksScripted, ProxyThatIsNotListeningGivesTheSocketError) {
    TWSocket socket;
    EventLog log;
    log.Attach(socket);
    log.AttachSocks(socket);
    PointAtProxy(socket, ClosedPort(), "target.example", 21);
    socket.Connect();
    ASSERT_TRUE(PumpUntil([&] { return socket.State() == wsClosed; }));
    EXPECT_EQ(Only(log.events, {"socks connected", "connected"}),
              (std::vector<std::string>{"socks connected 10061", "connected 10061"}));
}

TEST(SocksScripted, LineModeWaitsForTheNegotiationThenSplitsLines) {
    ScriptedPeer peer([](int fd) {
        ReadExactly(fd, 3);
        WriteAll(fd, kMethodReply);
        ReadExactly(fd, 7 + 14);
        WriteAll(fd, kConnectOk + "L1\r\nL2");
        usleep(50 * 1000);
        WriteAll(fd, "\r\n");
        ReadExactly(fd, 1, 2000);
    });
    ScriptedRun run;
    run.socket.SetLineMode(true);
    run.Connect(peer);
    std::vector<std::string> lines;
    run.socket.OnDataAvailable = [&](TCustomWSocket* s, std::uint16_t) {
        char b[16];
        const int n = s->Receive(b, sizeof b);
        if (n > 0) lines.emplace_back(b, static_cast<std::size_t>(n));
    };
    ASSERT_TRUE(PumpUntil([&] { return lines.size() == 2; }));
    EXPECT_EQ(lines, (std::vector<std::string>{"L1\r\n", "L2\r\n"}));
    EXPECT_EQ(run.log.Count("connected 0"), 1);
    run.socket.Close();
}
