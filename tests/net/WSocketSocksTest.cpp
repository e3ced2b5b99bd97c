// SOCKS 5 through real proxies on loopback, and through a scripted proxy for
// replies real proxies never send.
#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>
#include <thread>

#include "tests/net/NetTestSupport.h"
#include "tests/support/net/SocksProxyProcess.h"

using namespace nettest;

namespace {

// Logs the SOCKS events after the socket's own ("auth refused", "socks error
// 20015 ...", "socks connected 0").
struct SocksRun {
    TWSocket socket;
    EventLog log;

    SocksRun() {
        static const char* const authNames[] = {"begun", "accepted", "refused", "skipped"};
        log.Attach(socket);
        const auto note = [this](const std::string& text) { log.events.push_back(text); };
        socket.OnSocksConnected = [note](auto*, std::uint16_t e) { note("socks connected " + std::to_string(e)); };
        socket.OnSocksError = [note](auto*, int e, const std::string& m) { note("socks error " + std::to_string(e) + " " + m); };
        socket.OnSocksAuthState = [note](auto*, TSocksAuthState s) { note(std::string("auth ") + authNames[s]); };
    }
    void Connect(std::uint16_t proxyPort, const std::string& addr = "target.example", std::uint16_t port = 2121) {
        socket.SetSocksServer("127.0.0.1");
        socket.SetSocksPort(std::to_string(proxyPort));
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
    bool ClosedWithin() {
        return PumpUntil([&] { return socket.State() == wsClosed; });
    }
};

// A failure is reported three ways with the same code: OnSocksError,
// OnSessionConnected, OnSessionClosed.
Events Failure(const std::string& socksError) {
    const std::string code = socksError.substr(12, 5);
    return {socksError, "connected " + code, "closed " + code + " in closed"};
}

std::unique_ptr<FtpServerProcess> MakeProxy(int kind) {
    if (kind == 2) return std::make_unique<DanteProxy>();
    return kind == 1 ? std::make_unique<MicrosocksProxy>("proxyuser", "proxypass") : std::make_unique<MicrosocksProxy>();
}

}  // namespace

// Each real proxy (microsocks without and with a login, dante) reaches the
// target by name and by address and carries data both ways; a refused target
// gives the connect reply error; a wrong password is refused.
TEST(Socks, RealProxiesCarryDataBothWaysAndReportRefusals) {
    for (int kind : {0, 1, 2}) {
        const auto proxy = MakeProxy(kind);
        ASSERT_TRUE(proxy->Start()) << proxy->Error();
        const auto proxyPort = static_cast<std::uint16_t>(proxy->Port());
        const bool login = !proxy->User().empty();
        SCOPED_TRACE(proxy->Name() + (login ? " with a login" : ""));
        SocksRun run;
        if (login) run.Login(proxy->User(), proxy->Password());
        for (const std::string target : {"localhost", "127.0.0.1"}) {
            SCOPED_TRACE(target);
            RawListener listener;
            run.log.events.clear();
            run.log.received.clear();
            run.Connect(proxyPort, target, listener.Port());
            const int peer = listener.Accept();
            ASSERT_GE(peer, 0);
            ASSERT_TRUE(PumpUntil([&] { return run.log.Count("connected 0") == 1; }));
            EXPECT_EQ(run.log.Count("socks connected 0"), 1);
            EXPECT_EQ(run.socket.SocksState(), SocksIdle);
            EXPECT_FALSE(run.socket.ProxyBoundPort().empty());
            EXPECT_EQ(run.Only({"auth"}), (login ? Events{"auth begun", "auth accepted"} : Events{}));
            const std::string payload = "through the proxy\r\n" + RandomBytes(100000, 3);
            EXPECT_EQ(run.socket.SendText(payload), static_cast<int>(payload.size()));
            EXPECT_TRUE(Read(peer, payload.size()) == payload);
            ASSERT_TRUE(WriteAll(peer, payload));
            ASSERT_TRUE(PumpUntil([&] { return run.log.received.size() >= payload.size(); }));
            EXPECT_TRUE(run.log.received == payload);
            run.socket.Close();
            close(peer);
            EXPECT_EQ(run.log.Count("closed 0 in closed"), 1);
            EXPECT_TRUE(run.socket.SocksServer().empty());  // a proxy is set per connection
        }

        SocksRun refused;
        if (login) refused.Login(proxy->User(), proxy->Password());
        refused.Connect(proxyPort, "127.0.0.1", ClosedPort());
        ASSERT_TRUE(refused.ClosedWithin());
        const Events errors = refused.Only();
        ASSERT_EQ(errors.size(), 3u);
        EXPECT_EQ(errors, Failure(errors[0]));
        // Proxies word a refused target differently; each is a reply code error.
        const int code = std::stoi(errors[0].substr(12, 5));
        EXPECT_TRUE(code >= 20004 && code <= 20012) << code;
        if (!login) continue;

        SocksRun wrong;
        wrong.Login(proxy->User(), proxy->WrongPassword());
        wrong.Connect(proxyPort, "127.0.0.1", ClosedPort());
        ASSERT_TRUE(wrong.ClosedWithin());
        EXPECT_EQ(wrong.Only({"auth"}), (Events{"auth begun", "auth refused"}));
        EXPECT_EQ(wrong.Only(), Failure("socks error 20015 socks authentication failed"));
    }
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
    run.Connect(ClosedPort());
    ASSERT_TRUE(run.ClosedWithin());
    EXPECT_EQ(run.Only({"socks connected", "connected"}), (Events{"socks connected 10061", "connected 10061"}));
}

// ---- scripted proxy ------------------------------------------------------------

namespace {

const std::string kMethodReply("\x05\x00", 2);
const std::string kConnectOk("\x05\x00\x00\x01\x7f\x00\x00\x01\x12\x34", 10);
const std::string kRequest("\x05\x01\x00\x03\x0etarget.example\x08\x49", 21);  // target.example:2121

struct Step {
    std::size_t read;
    std::string write;
    int pauseMs = 0;
};

// A one-connection proxy on its own thread, for replies no real proxy sends:
// for each step it reads `read` bytes (kept in `heard`), pauses, then writes
// `write`; at the end it waits for the client to close, or hangs up at once.
class ScriptedProxy {
public:
    explicit ScriptedProxy(std::vector<Step> steps, bool hangUp = false)
        : thread_([this, steps = std::move(steps), hangUp] {
              const int fd = listener_.Accept(false);
              for (const Step& step : steps) {
                  if (step.read > 0) heard += Read(fd, step.read, 5000, false);
                  usleep(static_cast<useconds_t>(step.pauseMs) * 1000);
                  WriteAll(fd, step.write);
              }
              if (!hangUp) Read(fd, 1, 2000, false);
              if (fd >= 0) close(fd);
          }) {}
    ~ScriptedProxy() { thread_.join(); }
    std::uint16_t Port() const { return listener_.Port(); }
    std::string heard;

private:
    RawListener listener_;
    std::thread thread_;
};

}  // namespace

TEST(SocksScripted, LongAddrAndCredentialsTravelWhole) {
    const std::string addr(200, 'h'), user(150, 'u'), password(150, 'p');
    const std::string login = std::string("\x01\x96", 2) + user + '\x96' + password;
    const std::string request = std::string("\x05\x01\x00\x03", 4) + '\xc8' + addr + "\x08\x49";
    ScriptedProxy proxy(
        {{3, std::string("\x05\x02", 2)}, {login.size(), std::string("\x01\x00", 2)}, {request.size(), kConnectOk}});
    SocksRun run;
    run.Login(user, password);
    run.Connect(proxy.Port(), addr);
    ASSERT_TRUE(PumpUntil([&] { return run.log.Count("connected 0") == 1; }));
    run.socket.Close();
    EXPECT_EQ(proxy.heard, std::string("\x05\x01\x02", 3) + login + request);
}

// A reply split across arrivals completes like one; data that came with the
// reply is read after OnSessionConnected (from inside it, 3 bytes at a time);
// line mode waits for the negotiation, then gives one line per read ("|").
TEST(SocksScripted, ReplyAndDataAcrossArrivals) {
    struct Row {
        std::string withReply, later;  // sent 100 ms apart
        bool lineMode;
        int readSize;
        std::string reads;
    };
    const std::vector<Row> rows = {
        {kConnectOk.substr(0, 3), kConnectOk.substr(3), false, 3, ""},
        {kConnectOk + "ABCD", "EFGH", false, 3, "ABCDEFGH"},
        {kConnectOk + "L1\r\nL2", "\r\n", true, 16, "L1\r\n|L2\r\n|"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.reads);
        std::string reads;
        ScriptedProxy proxy({{3, kMethodReply}, {kRequest.size(), row.withReply}, {0, row.later, 100}});
        SocksRun run;
        const auto read = [&](TCustomWSocket* s) {
            std::string buffer(static_cast<std::size_t>(row.readSize), '\0');
            const int n = s->Receive(buffer.data(), row.readSize);
            if (n > 0) reads += buffer.substr(0, static_cast<std::size_t>(n)) + (row.lineMode ? "|" : "");
        };
        run.socket.SetLineMode(row.lineMode);
        run.socket.OnSessionConnected = [&](TCustomWSocket* s, std::uint16_t e) {
            run.log.events.push_back("connected " + std::to_string(e));
            if (!row.lineMode) read(s);
        };
        run.socket.OnDataAvailable = [&](TCustomWSocket* s, std::uint16_t) {
            EXPECT_EQ(run.log.Count("connected 0"), 1) << "data before the connection";
            read(s);
        };
        run.Connect(proxy.Port());
        EXPECT_TRUE(PumpUntil([&] { return run.log.Count("connected 0") == 1 && reads == row.reads; })) << reads;
        EXPECT_EQ(proxy.heard, std::string("\x05\x01\x00", 3) + kRequest);
        EXPECT_EQ(run.socket.ProxyBoundAddress(), "127.0.0.1");
        EXPECT_EQ(run.socket.ProxyBoundPort(), "4660");
        run.socket.Close();
    }
}

TEST(SocksScripted, BadRepliesAreReportedWithTheirErrors) {
    const std::vector<std::pair<std::vector<Step>, std::string>> rows = {
        {{{3, std::string("\x05\xff", 2)}}, "socks error 20003 authentification method not acceptable"},
        {{{3, std::string("\x04\x00", 2)}}, "socks error 20002 socks version error"},
        {{{3, kMethodReply}, {kRequest.size(), std::string("\x04\x00\x00\x01", 4)}}, "socks error 20002 socks version error"},
        {{{3, kMethodReply}, {kRequest.size(), std::string("\x05\x00\x00\x07\x00\x00\x00\x00\x00\x00", 10)}},
         "socks error 20011 address type not supported"},
        {{{3, kMethodReply}, {kRequest.size(), std::string("\x05\x02\x00\x01", 4)}},
         "socks error 20005 connection not allowed by ruleset"},
        {{{3, kMethodReply}, {kRequest.size(), std::string("\x05\x63\x00\x01", 4)}}, "socks error 20012 unassigned error #99"},
        {{{3, std::string("\x05\x00\x00", 3)}}, "socks error 20001 too much data availaible"},
    };
    for (const auto& [steps, error] : rows) {
        ScriptedProxy proxy(steps);
        SocksRun run;
        run.Connect(proxy.Port());
        ASSERT_TRUE(PumpUntil([&] { return run.socket.State() == wsClosed && run.log.Count("socks connected 0") == 1; }))
            << error;
        EXPECT_EQ(run.Only(), Failure(error));
    }
}

// Found by fuzzing: a proxy that hung up before it answered whole gave only
// OnSessionClosed, and a caller waiting for its connect's outcome never got it.
TEST(SocksScripted, AProxyHangingUpMidwayEndsTheConnectAsAFailure) {
    const std::string hungUp = "socks error 10054 socks server closed the connection";
    const std::vector<std::vector<Step>> rows = {
        {{3, ""}},
        {{3, std::string("\x05", 1)}},
        {{3, std::string("\x05\x02", 2)}},  // the login is asked for, then nothing
        {{3, kMethodReply}, {kRequest.size(), std::string("\x05\x00\x00\x01\x7f", 5)}},
    };
    for (std::size_t row = 0; row < rows.size(); ++row) {
        ScriptedProxy proxy(rows[row], true);
        SocksRun run;
        if (row == 2) run.Login("user", "password");
        run.Connect(proxy.Port());
        ASSERT_TRUE(run.ClosedWithin()) << row;
        // The close is the proxy's, so it is reported before ours.
        EXPECT_EQ(run.Only(), (Events{hungUp, "connected 10054", "closed 10054 in connected"})) << row;
    }
}
