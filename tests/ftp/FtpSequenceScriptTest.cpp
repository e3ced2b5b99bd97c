// Request sequencing against the scripted server: step skipping, accepted
// codes, reply results, guards, and arguments that would smuggle commands.
#include <gtest/gtest.h>

#include "ftp/Ftpcli.h"
#include "tests/ftp/EngineProbe.h"
#include "tests/ftp/ScriptedEngineTest.h"
#include "tests/support/ScriptedFtpServer.h"

namespace {

class SequenceScript : public ScriptedEngineTest {
protected:
    ScriptedFtpServer& Greeted() { return server.Send("220 hi\r\n"); }
    ScriptedFtpServer& LoggedIn() { return Greeted().Reply("USER bob", "331 pw").Reply("PASS pw", "230 in"); }
};

TEST_F(SequenceScript, WrongPasswordFailsLoginButKeepsConnection) {
    Greeted().Reply("USER bob", "331 pw").Reply("PASS pw", "530 Login incorrect.").Silence(300);
    StartServer();
    EXPECT_FALSE(ftp.Login());
    probe.Settle();
    ASSERT_EQ(probe.done.size(), 1u);
    EXPECT_EQ(probe.done[0].request, ftpReqLogin);
    EXPECT_EQ(probe.done[0].error, 530);
    EXPECT_EQ(ftp.ErrorMessage(), "530 Login incorrect.");
    EXPECT_TRUE(ftp.Connected());
}

TEST_F(SequenceScript, FailedUserStepIsNotResumedByTheNextRequest) {
    Greeted().Reply("USER bob", "530 go away").Reply("PWD", "257 \"/\"").Silence(300);
    StartServer();
    EXPECT_FALSE(ftp.Login());
    EXPECT_TRUE(ftp.Pwd());
    server.WaitDone(2000);
    probe.Settle(200);
    EXPECT_EQ(server.Lines(), (std::vector<std::string>{"USER bob", "PWD"}));
}

TEST_F(SequenceScript, PwdWithDoubledQuoteAndCwdWithoutQuotedName) {
    LoggedIn()
        .Reply("PWD", "257 \"/home/say \"\"hi\"\"\" is current directory")
        .Reply("CWD sub", "250 Directory changed")
        .Reply("CDUP", "250 \"/home\" is current");
    StartLoggedIn();
    ASSERT_TRUE(ftp.Pwd());
    EXPECT_EQ(ftp.ReplyDirectory(), "/home/say \"hi\"");
    ftp.HostDirName = "sub";
    ASSERT_TRUE(ftp.Cwd());
    EXPECT_EQ(ftp.ReplyDirectory(), "");
    ASSERT_TRUE(ftp.Cdup());
    EXPECT_EQ(ftp.ReplyDirectory(), "/home");
}

TEST_F(SequenceScript, SecondRequestWhileOneRunsIsRefusedAndFirstCompletes) {
    LoggedIn().Expect("CWD /a").Pause(200).Send("250 ok\r\n").Silence(300);
    StartLoggedIn();
    ftp.HostDirName = "/a";
    ftp.BeginCwd();
    try {
        ftp.BeginPwd();
        FAIL() << "a second request must be refused";
    } catch (const FtpException& error) {
        EXPECT_STREQ(error.what(), "FTP component not ready");
    }
    EXPECT_THROW(ftp.BeginLogin(), FtpException);
    ASSERT_TRUE(probe.WaitDone());
    EXPECT_EQ(probe.done[0].request, ftpReqCwd);
    EXPECT_EQ(probe.done[0].error, 0);
    server.WaitDone(2000);
    probe.Settle(200);
    EXPECT_EQ(server.Lines().back(), "CWD /a");
}

TEST_F(SequenceScript, ParameterGuardsRaiseExactTexts) {
    LoggedIn().Silence(300);
    StartLoggedIn();
    auto message = [](auto&& call) {
        try {
            call();
        } catch (const FtpException& error) {
            return std::string(error.what());
        }
        return std::string("(no exception)");
    };
    ftp.HostDirName.clear();
    EXPECT_EQ(message([&] { ftp.BeginCwd(); }), "HostDirName emtpy");
    ftp.UserName.clear();
    EXPECT_EQ(message([&] { ftp.BeginUser(); }), "UserName emtpy");
    ftp.PassWord.clear();
    EXPECT_EQ(message([&] { ftp.BeginPass(); }), "Password emtpy");
    EXPECT_EQ(message([&] { ftp.BeginOpen(); }), "FTP component already connected");
    ftp.LocalFileName.clear();
    EXPECT_EQ(message([&] { ftp.BeginRetrieve(); }), "LocalFileName empty");
    EXPECT_EQ(ftp.State(), ftpStateReady);
}

TEST_F(SequenceScript, LineBreakInAnyArgumentIsRefusedBeforeSending) {
    LoggedIn().Reply("PWD", "257 \"/\"").Silence(300);
    StartLoggedIn();
    ftp.HostDirName = "a\r\nDELE victim";
    EXPECT_THROW(ftp.BeginCwd(), FtpException);
    ftp.HostDirName = "ok";
    ftp.HostFileName = "x\nDELE victim";
    EXPECT_THROW(ftp.BeginDele(), FtpException);
    EXPECT_THROW(ftp.BeginMkd(), FtpException);
    ftp.LocalFileName = "/tmp/listing";
    EXPECT_THROW(ftp.BeginRetrieve(), FtpException);
    EXPECT_THROW(ftp.BeginRename(), FtpException);
    ftp.HostFileName = "fine";
    ftp.LocalFileName = "new\rname";
    EXPECT_THROW(ftp.BeginRename(), FtpException);
    ftp.LocalFileName = "NOOP\r\nDELE victim";
    EXPECT_THROW(ftp.BeginQuote(), FtpException);
    try {
        ftp.BeginQuote();
    } catch (const FtpException& error) {
        EXPECT_NE(std::string(error.what()).find("LocalFileName"), std::string::npos) << error.what();
    }
    EXPECT_EQ(ftp.State(), ftpStateReady);
    ASSERT_TRUE(ftp.Pwd()) << "the refusals left the engine usable";
    server.WaitDone(2000);
    probe.Settle(200);
    EXPECT_EQ(server.Lines(), (std::vector<std::string>{"USER bob", "PASS *****", "PWD"}));
}

TEST_F(SequenceScript, LineBreakInLoginNameIsRefusedBeforeConnecting) {
    StartServer();
    ftp.UserName = "bob\r\nDELE victim";
    EXPECT_THROW(ftp.BeginLogin(), FtpException);
    EXPECT_EQ(ftp.State(), ftpStateReady);
    EXPECT_FALSE(server.WaitDone(300)) << "no connection was made";
}

TEST_F(SequenceScript, QuoteUsesBelow500RuleAndOnCommandMayReplaceText) {
    LoggedIn().Reply("SITE HELP", "214 help").Reply("XPWD", "257 \"/\"").Reply("BOGUS", "502 not implemented");
    StartLoggedIn();
    ftp.LocalFileName = "SITE HELP";
    EXPECT_TRUE(ftp.Quote());
    ftp.OnCommand = [](TCustomFtpCli*, std::string& cmd) {
        if (cmd == "PWD") cmd = "XPWD";
    };
    EXPECT_TRUE(ftp.Pwd());
    EXPECT_TRUE(probe.Displayed("> XPWD"));
    ftp.OnCommand = nullptr;
    ftp.LocalFileName = "BOGUS";
    EXPECT_FALSE(ftp.Quote());
    probe.Settle();
    ASSERT_EQ(probe.done.size(), 3u);
    EXPECT_EQ(probe.done[2].request, ftpReqQuote);
    EXPECT_EQ(probe.done[2].error, 502);
    EXPECT_EQ(ftp.ErrorMessage(), "502 not implemented");
}

TEST_F(SequenceScript, SelfContainedRequestRestoresReplyBeforeQuit) {
    LoggedIn().Reply("CWD /pub", "250 ok").Reply("SIZE f", "213 3221225472").Reply("QUIT", "221 bye").Silence(300);
    StartServer();
    ftp.HostDirName = "/pub";
    ftp.HostFileName = "f";
    ftp.BeginSessionSize();
    ASSERT_TRUE(probe.WaitDone());
    EXPECT_EQ(probe.done[0].request, ftpReqSize);
    EXPECT_EQ(probe.done[0].error, 0);
    EXPECT_EQ(ftp.RemoteFileSize(), 3221225472LL);
    EXPECT_EQ(ftp.LastResponse(), "213 3221225472");
    EXPECT_EQ(ftp.StatusCode(), 213);
    EXPECT_FALSE(ftp.Connected());
    EXPECT_EQ(probe.order, (std::vector<std::string>{"connected", "closed", "done"}));
}

TEST_F(SequenceScript, RequestDoneIsPostedNotRaisedInsideTheEvent) {
    LoggedIn().Reply("PWD", "257 \"/\"").Reply("PWD", "257 \"/two\"");
    StartLoggedIn();
    // A handler of OnRequestDone may start the next request.
    int calls = 0;
    ftp.OnRequestDone = [&](TCustomFtpCli* sender, TFtpRequest, std::uint16_t) {
        if (++calls == 1) sender->BeginPwd();
    };
    ftp.BeginPwd();
    ASSERT_TRUE(PumpUntil([&] { return calls == 2; }, 3000));
    EXPECT_EQ(ftp.ReplyDirectory(), "/two");
}

TEST_F(SequenceScript, CdupAnswered200Succeeds) {
    LoggedIn().Reply("CDUP", "200 CDUP command successful.").Reply("CDUP", "250 \"/\" is current");
    StartLoggedIn();
    EXPECT_TRUE(ftp.Cdup()) << ftp.ErrorMessage();
    EXPECT_TRUE(ftp.Cdup()) << ftp.ErrorMessage();
    EXPECT_EQ(ftp.ReplyDirectory(), "/");
}

}  // namespace
