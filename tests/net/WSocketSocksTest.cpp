// SOCKS 5 through real proxies on loopback, and through a scripted proxy for
// replies real proxies never send.
#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>

#include "tests/net/NetTestSupport.h"
#include "tests/support/net/SocksProxyProcess.h"

using namespace nettest;
using Events = std::vector<std::string>;

namespace {

struct SocksRun {
    TWSocket socket;
    EventLog log;

    SocksRun() {
        log.Attach(socket);
        log.AttachSocks(socket);
    }
    void Connect(const std::string& proxyPort, const std::string& addr = "target.example", std::uint16_t port = 2121) {
        socket.SetSocksServer("127.0.0.1");
        socket.SetSocksPort(proxyPort);
        socket.SetAddr(addr);
        socket.SetPort(std::to_string(port));
        socket.Connect();
    }
    void Login(const std::string& user, const std::string& password) {
        socket.SetSocksAuthentication(socksAuthenticateUsercode);
        socket.SetSocksUsercode(user);
        socket.SetSocksPassword(password);
    }
    // The events whose text starts with one of `prefixes`, in order.
    Events Only(const std::vector<std::string>& prefixes = {"socks error", "connected", "closed"}) const {
        Events kept;
        for (const auto& e : log.events)
            if (std::any_of(prefixes.begin(), prefixes.end(), [&](const std::string& p) { return e.rfind(p, 0) == 0; }))
                kept.push_back(e);
        return kept;
    }
    bool ClosedWithin() { return PumpUntil([&] { return socket.State() == wsClosed; }); }
};

// A failure is reported three ways with the same code: OnSocksError,
// OnSessionConnected, OnSessionClosed.
Events Failure(const std::string& socksError) {
    const std::string code = socksError.substr(12, 5);
    return {socksError, "connected " + code, "closed " + code + " in closed"};
}

enum class ProxyKind { microsocks, microsocks_auth, dante };

std::string ProxyName(const ::testing::TestParamInfo<ProxyKind>& info) {
    static const char* const names[] = {"microsocks", "microsocks_auth", "dante"};
    return names[static_cast<int>(info.param)];
}

class RealProxy : public ::testing::TestWithParam<ProxyKind> {
protected:
    void SetUp() override {
        if (GetParam() == ProxyKind::dante) proxy = std::make_unique<DanteProxy>();
        if (GetParam() == ProxyKind::microsocks) proxy = std::make_unique<MicrosocksProxy>();
        if (GetParam() == ProxyKind::microsocks_auth) {
            proxy = std::make_unique<MicrosocksProxy>("proxyuser", "proxypass");
            run.Login(proxy->User(), proxy->Password());
        }
        ASSERT_TRUE(proxy->Start()) << proxy->Error();
    }
    std::unique_ptr<FtpServerProcess> proxy;
    SocksRun run;
};

}  // namespace

TEST_P(RealProxy, ReachesTheTargetByNameAndByAddressAndEchoes) {
    for (const std::string target : {"localhost", "127.0.0.1"}) {
        SCOPED_TRACE(target);
        ScriptedPeer echo(Echo);
        run.log.events.clear();
        run.log.received.clear();
        run.Connect(std::to_string(proxy->Port()), target, static_cast<std::uint16_t>(std::stoi(echo.PortText())));
        ASSERT_TRUE(PumpUntil([&] { return run.log.Count("connected 0") == 1; }));
        EXPECT_EQ(run.log.Count("socks connected 0"), 1);
        EXPECT_EQ(run.socket.SocksState(), SocksIdle);
        EXPECT_FALSE(run.socket.ProxyBoundPort().empty());
        if (GetParam() == ProxyKind::microsocks_auth) {
            EXPECT_EQ(run.Only({"auth"}), (Events{"auth begun", "auth accepted"}));
        }

        const std::string payload = "through the proxy\r\n" + RandomBytes(100000, 3);
        EXPECT_EQ(run.socket.SendText(payload), static_cast<int>(payload.size()));
        ASSERT_TRUE(PumpUntil([&] { return run.log.received.size() >= payload.size(); }));
        EXPECT_EQ(run.log.received, payload);
        run.socket.Close();
        EXPECT_EQ(run.log.Count("closed 0 in closed"), 1);
        EXPECT_TRUE(run.socket.SocksServer().empty());  // a proxy is set per connection
    }
}

TEST_P(RealProxy, RefusedTargetGivesTheConnectReplyError) {
    run.Connect(std::to_string(proxy->Port()), "127.0.0.1", ClosedPort());
    ASSERT_TRUE(run.ClosedWithin());
    const Events errors = run.Only();
    ASSERT_EQ(errors.size(), 3u);
    EXPECT_EQ(errors, Failure(errors[0]));
    // Proxies word a refused target differently; each is a reply code error.
    const int code = std::stoi(errors[0].substr(12, 5));
    EXPECT_GE(code, 20004);
    EXPECT_LE(code, 20012);
}

INSTANTIATE_TEST_SUITE_P(Proxies, RealProxy,
                         ::testing::Values(ProxyKind::microsocks, ProxyKind::microsocks_auth, ProxyKind::dante), ProxyName);

TEST(Socks, WrongCredentialsAreRefusedAndReportedThreeWays) {
    MicrosocksProxy proxy("proxyuser", "proxypass");
    ASSERT_TRUE(proxy.Start()) << proxy.Error();
    SocksRun run;
    run.Login("proxyuser", "wrong");
    run.Connect(std::to_string(proxy.Port()), "127.0.0.1", ClosedPort());
    ASSERT_TRUE(run.ClosedWithin());
    EXPECT_EQ(run.Only({"auth"}), (Events{"auth begun", "auth refused"}));
    EXPECT_EQ(run.Only(), Failure("socks error 20015 socks authentication failed"));
}

// Misuse is refused before anything is sent; a proxy that is not listening
// gives the socket error.
TEST(Socks, MisuseAndAnAbsentProxyAreRefused) {
    SocksRun run;
    TWSocket& socket = run.socket;
    socket.SetSocksServer("127.0.0.1");
    socket.SetSocksPort("1080");
    socket.SetAddr("127.0.0.1");
    socket.SetPort("21");
    socket.SetProto("udp");
    EXPECT_EQ(ErrorOf([&] { socket.Connect(); }), "tcp is the only protocol supported thru socks server");
    EXPECT_EQ(ErrorOf([&] { socket.Listen(); }), "listening is not supported thru socks server");
    socket.SetProto("tcp");
    socket.SetAddr(std::string(256, 'a'));
    EXPECT_EQ(ErrorOf([&] { socket.Connect(); }), "socks: Addr longer than 255 bytes");
    socket.SetAddr(std::string(200, 'a'));  // past the old 121-byte area, within the protocol
    run.Login(std::string(256, 'u'), "");
    EXPECT_EQ(ErrorOf([&] { socket.Connect(); }), "socks: user code or password longer than 255 bytes");
    EXPECT_EQ(socket.State(), wsClosed);
    EXPECT_EQ(socket.SocketHandle(), platform::kInvalidSocket);
    EXPECT_TRUE(run.log.events.empty());

    socket.SetSocksUsercode("");
    socket.SetSocksAuthentication(socksNoAuthentication);
    run.Connect(std::to_string(ClosedPort()));
    ASSERT_TRUE(run.ClosedWithin());
    EXPECT_EQ(run.Only({"socks connected", "connected"}), (Events{"socks connected 10061", "connected 10061"}));
}

// ---- scripted proxy ------------------------------------------------------------

namespace {

const std::string kMethodReply("\x05\x00", 2);
const std::string kConnectOk("\x05\x00\x00\x01\x7f\x00\x00\x01\x12\x34", 10);

std::string ConnectRequest(const std::string& addr, std::uint16_t port) {
    return std::string("\x05\x01\x00\x03", 4) + static_cast<char>(addr.size()) + addr + static_cast<char>(port >> 8) +
           static_cast<char>(port & 0xFF);
}

std::string ReadPeer(int fd, std::size_t count) { return Read(fd, count, 5000, false); }

}  // namespace

TEST(SocksScripted, LongAddrAndCredentialsTravelWhole) {
    const std::string addr(200, 'h');
    std::string seen;
    ScriptedPeer peer([&](int fd) {
        seen = ReadPeer(fd, 3);
        WriteAll(fd, std::string("\x05\x02", 2));
        seen += ReadPeer(fd, 2 + 150 + 1 + 150);
        WriteAll(fd, std::string("\x01\x00", 2));
        seen += ReadPeer(fd, 7 + addr.size());
        WriteAll(fd, kConnectOk);
        Read(fd, 1, 2000, false);
    });
    SocksRun run;
    run.Login(std::string(150, 'u'), std::string(150, 'p'));
    run.Connect(peer.PortText(), addr);
    ASSERT_TRUE(PumpUntil([&] { return run.log.Count("connected 0") == 1; }));
    run.socket.Close();
    const std::string expected = std::string("\x05\x01\x02", 3) + '\x01' + static_cast<char>(150) + std::string(150, 'u') +
                                 static_cast<char>(150) + std::string(150, 'p') + ConnectRequest(addr, 2121);
    EXPECT_EQ(seen, expected);
}

// After the request, the proxy sends `pieces` 100 ms apart. A reply split
// across arrivals completes like one; data that came with the reply is read
// after OnSessionConnected (from inside it, 3 bytes at a time); line mode
// waits for the negotiation, then splits lines.
TEST(SocksScripted, ReplyAndDataAcrossArrivals) {
    struct Row {
        const char* name;
        std::vector<std::string> pieces;
        bool lineMode;
        int readSize;
        Events reads;
    };
    const std::vector<Row> rows = {
        {"split reply", {kConnectOk.substr(0, 3), kConnectOk.substr(3)}, false, 3, {}},
        {"data with the reply", {kConnectOk + "ABCD", "EFGH"}, false, 3, {"ABCDEFGH"}},
        {"line mode", {kConnectOk + "L1\r\nL2", "\r\n"}, true, 16, {"L1\r\n", "L2\r\n"}},
    };
    const auto join = [](const Events& parts) {
        std::string all;
        for (const auto& p : parts) all += p;
        return all;
    };
    for (const Row& row : rows) {
        std::string request;
        ScriptedPeer peer([&](int fd) {
            ReadPeer(fd, 3);
            WriteAll(fd, kMethodReply);
            request = ReadPeer(fd, 7 + 14);
            for (const auto& piece : row.pieces) {
                if (&piece != &row.pieces.front()) usleep(100 * 1000);
                WriteAll(fd, piece);
            }
            Read(fd, 1, 2000, false);
        });
        SocksRun run;
        Events reads;
        const auto read = [&](TCustomWSocket* s) {
            std::string buffer(static_cast<std::size_t>(row.readSize), '\0');
            const int n = s->Receive(buffer.data(), row.readSize);
            if (n > 0) reads.push_back(buffer.substr(0, static_cast<std::size_t>(n)));
        };
        run.socket.SetLineMode(row.lineMode);
        run.socket.OnSessionConnected = [&](TCustomWSocket* s, std::uint16_t e) {
            run.log.events.push_back("connected " + std::to_string(e));
            if (!row.lineMode) read(s);
        };
        run.socket.OnDataAvailable = [&](TCustomWSocket* s, std::uint16_t) {
            EXPECT_EQ(run.log.Count("connected 0"), 1) << row.name << ": data before the connection";
            read(s);
        };
        run.Connect(peer.PortText());
        EXPECT_TRUE(PumpUntil([&] { return run.log.Count("connected 0") == 1 && join(reads) == join(row.reads); }))
            << row.name;
        EXPECT_EQ(row.lineMode ? reads : row.reads, row.reads) << row.name;
        EXPECT_EQ(request, ConnectRequest("target.example", 2121)) << row.name;
        EXPECT_EQ(run.socket.ProxyBoundAddress(), "127.0.0.1") << row.name;
        EXPECT_EQ(run.socket.ProxyBoundPort(), "4660") << row.name;
        run.socket.Close();
    }
}

TEST(SocksScripted, BadRepliesAreReportedWithTheirErrors) {
    struct Row {
        std::string methodReply;
        std::string connectReply;
        std::string error;
    };
    const std::vector<Row> rows = {
        {std::string("\x05\xff", 2), "", "socks error 20003 authentification method not acceptable"},
        {std::string("\x04\x00", 2), "", "socks error 20002 socks version error"},
        {kMethodReply, std::string("\x04\x00\x00\x01", 4), "socks error 20002 socks version error"},
        {kMethodReply, std::string("\x05\x00\x00\x07\x00\x00\x00\x00\x00\x00", 10),
         "socks error 20011 address type not supported"},
        {kMethodReply, std::string("\x05\x02\x00\x01", 4), "socks error 20005 connection not allowed by ruleset"},
        {kMethodReply, std::string("\x05\x63\x00\x01", 4), "socks error 20012 unassigned error #99"},
        {std::string("\x05\x00\x00", 3), "", "socks error 20001 too much data availaible"},
    };
    for (const Row& row : rows) {
        ScriptedPeer peer([&](int fd) {
            ReadPeer(fd, 3);
            WriteAll(fd, row.methodReply);
            if (!row.connectReply.empty()) {
                ReadPeer(fd, 7 + 14);
                WriteAll(fd, row.connectReply);
            }
            Read(fd, 1, 2000, false);
        });
        SocksRun run;
        run.Connect(peer.PortText());
        ASSERT_TRUE(PumpUntil([&] { return run.socket.State() == wsClosed && run.log.Count("socks connected 0") == 1; }))
            << row.error;
        EXPECT_EQ(run.Only(), Failure(row.error));
    }
}
