// What a hostile server or someone in between can try on the engine: text
// slipped in before TLS, replies nobody asked for, a protected download cut
// short, a short plain download, sizes that are no numbers, endless lines
// and silence at log-in.
#include <arpa/inet.h>
#include <gtest/gtest.h>

#include "net/SslContext.h"
#include "tests/ftp/TransferScriptTest.h"
#include "tests/support/TestCertificates.h"

namespace {

// An engine that must encrypt, trusting the test authority.
void RequireTls(TFtpClient& engine) {
    engine.Encryption = ftpTlsExplicitRequired;
    auto context = std::make_shared<TSslContext>();
    ASSERT_TRUE(context->AddCaFile(TestCertificates::Shared().CaFile())) << context->ErrorText();
    engine.SslContext = context;
}

ScriptedFtpServer& TlsGreeting(ScriptedFtpServer& s) {
    return s.Send("220 hi\r\n")
        .Reply("AUTH TLS", "234 go")
        .StartTls()
        .Reply("PBSZ 0", "200 ok")
        .Reply("PROT P", "200 ok")
        .Reply("USER bob", "331 pw")
        .Reply("PASS pw", "230 in")
        .Reply("TYPE I", "200 binary");
}

class SecurityScript : public TransferScript {
protected:
    void SetUp() override {}
};

TEST_F(SecurityScript, LinesSentWithThe234EndTheSessionBeforeTls) {
    RequireTls(ftp);
    server.Send("220 hi\r\n").Expect("AUTH TLS").Send("234 go\r\n200 PBSZ fine\r\n200 PROT fine\r\n").Silence(1000);
    StartServer();
    EXPECT_FALSE(ftp.Login());
    EXPECT_NE(ftp.ErrorMessage().find("sent more after accepting AUTH TLS"), std::string::npos) << ftp.ErrorMessage();
    EXPECT_FALSE(ftp.Connected());
    server.WaitDone(3000);
    EXPECT_EQ(server.Lines(), std::vector<std::string>{"AUTH TLS"});
}

TEST_F(SecurityScript, AReplyNobodyAskedForInsideTlsEndsTheSession) {
    RequireTls(ftp);
    TlsGreeting(server).Pause(100).Send("226 surprise\r\n").Silence(1000);
    ftp.Passive = true;
    StartServer();
    ASSERT_TRUE(ftp.Login()) << ftp.ErrorMessage();
    ASSERT_TRUE(ftp.TransferType()) << ftp.ErrorMessage();
    ASSERT_TRUE(PumpUntil([&] { return !ftp.Connected(); }, 3000));
    EXPECT_TRUE(probe.Displayed("< 226 surprise"));
    EXPECT_NE(ftp.ErrorMessage().find("no command asked for"), std::string::npos) << ftp.ErrorMessage();
}

TEST_F(SecurityScript, AProtectedDownloadCutWithoutCloseNotifyFails) {
    const std::string whole = RandomBytes(300000, 7);
    struct Case {
        const char* name;
        bool cut;
    };
    for (const Case c : {Case{"close_notify", false}, Case{"cut", true}}) {
        SCOPED_TRACE(c.name);
        ScriptedFtpServer s;
        TFtpClient engine;
        RequireTls(engine);
        TlsGreeting(s)
            .Expect("PASV")
            .PasvReply()
            .Expect("RETR f")
            .DataAccept()
            .Send("150 go\r\n")
            .DataTls()
            .DataSend(c.cut ? whole.substr(0, 100000) : whole);
        if (c.cut)
            s.DataCut();
        else
            s.DataClose();
        s.Send("226 done\r\n").Silence(500);
        ASSERT_TRUE(s.Start()) << s.Failure();
        PointAtScripted(engine, s.Port());
        engine.Passive = true;
        engine.HostFileName = "f";
        engine.LocalFileName = local.File(c.name);
        ASSERT_TRUE(engine.Login()) << engine.ErrorMessage();
        ASSERT_TRUE(engine.TransferType()) << engine.ErrorMessage();
        EXPECT_EQ(engine.Retrieve(), !c.cut) << engine.ErrorMessage();
        EXPECT_EQ(s.Failure(), "");
        if (c.cut)
            EXPECT_EQ(engine.ErrorMessage(), "426 the data connection was cut before its end");
        else
            EXPECT_TRUE(ReadFile(local.File(c.name)) == whole);
        s.Stop();
    }
}

TEST_F(SecurityScript, APlainDownloadShorterThanItsAnnouncedSizeFails) {
    Greeting();
    Retr()
        .Send("150 Opening BINARY mode data connection for f (10 bytes).\r\n")
        .DataSend("12345")
        .DataClose()
        .Send("226 done\r\n");
    LogIn();
    EXPECT_FALSE(ftp.Retrieve());
    EXPECT_EQ(ftp.ErrorMessage(), "426 the data connection ended after 5 of 10 bytes");
}

TEST_F(SecurityScript, SizesThatAreNoNumbersAreRefused) {
    Greeting();
    for (const char* reply : {"213 -5", "213 12abc", "213 ", "213 1.5"}) server.Reply("SIZE f", reply);
    server.Reply("SIZE f", "213 1234 ");
    LogIn();
    for (const char* reply : {"213 -5", "213 12abc", "213 ", "213 1.5"}) {
        ftp.SetErrorMessage("");
        EXPECT_FALSE(ftp.Size()) << reply;
        EXPECT_EQ(ftp.RemoteFileSize(), 0) << reply;
        EXPECT_EQ(ftp.ErrorMessage(), std::string("501 The server's size is no number: ") + reply);
    }
    EXPECT_TRUE(ftp.Size());
    EXPECT_EQ(ftp.RemoteFileSize(), 1234);
}

TEST_F(SecurityScript, AnOverlongLineAndASilentLogInSayWhatHappened) {
    server.Send("220 hi\r\n").Expect("USER bob").Send(std::string(5000, 'x')).Silence(1000);
    StartServer();
    EXPECT_FALSE(ftp.Login());
    EXPECT_EQ(ftp.ErrorMessage(), "500 The server's reply line is longer than 4096 bytes: the connection is closed");

    ScriptedFtpServer silent;
    TFtpClient engine;
    silent.Send("220 hi\r\n").Expect("USER bob").Silence(3000);
    ASSERT_TRUE(silent.Start());
    PointAtScripted(engine, silent.Port());
    engine.Timeout = 1;
    EXPECT_FALSE(engine.Login());
    EXPECT_EQ(engine.ErrorMessage(), "421 timed out waiting for the server's reply");
}

// The listening socket of an active transfer is where the server can reach
// it, on the control connection's own address, not on every interface.
TEST_F(SecurityScript, ActiveModeListensOnTheControlConnectionsAddressOnly) {
    Greeting().Expect("PORT *").Send("200 ok\r\n").Expect("RETR f").Send("550 no\r\n");
    std::string listening;
    ftp.OnCommand = [&](TCustomFtpCli*, std::string& command) {
        if (command.rfind("PORT", 0) != 0) return;
        sockaddr_in address{};
        socklen_t length = sizeof address;
        (void)ftp.DataSocket().LocalSocketAddress(address, length);
        char text[INET_ADDRSTRLEN] = "";
        listening = inet_ntop(AF_INET, &address.sin_addr, text, sizeof text);
    };
    LogIn();
    ftp.Passive = false;
    EXPECT_FALSE(ftp.Retrieve());
    EXPECT_EQ(listening, "127.0.0.1");
}

}  // namespace
