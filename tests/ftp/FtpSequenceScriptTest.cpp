// Request sequencing against the scripted server: step skipping, accepted
// codes, reply results, guards, and arguments that would smuggle commands.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include "ftp/Ftpcli.h"
#include "tests/ftp/EngineProbe.h"
#include "tests/ftp/ScriptedEngineTest.h"
#include "tests/support/ScriptedFtpServer.h"
#include "tests/support/TempDir.h"

namespace {

// While alive, no new file descriptor can be made: the soft limit is lowered
// to the lowest free descriptor.
class ScopedDescriptorLimit {
public:
    ScopedDescriptorLimit() {
        (void)getrlimit(RLIMIT_NOFILE, &saved_);
        const int lowestFree = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
        ::close(lowestFree);
        rlimit lowered = saved_;
        lowered.rlim_cur = static_cast<rlim_t>(lowestFree);
        (void)setrlimit(RLIMIT_NOFILE, &lowered);
    }
    ~ScopedDescriptorLimit() { (void)setrlimit(RLIMIT_NOFILE, &saved_); }
    ScopedDescriptorLimit(const ScopedDescriptorLimit&) = delete;
    ScopedDescriptorLimit& operator=(const ScopedDescriptorLimit&) = delete;

private:
    rlimit saved_{};
};

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
    EXPECT_EQ(message([&] { ftp.BeginCwd(); }), "HostDirName empty");
    ftp.UserName.clear();
    EXPECT_EQ(message([&] { ftp.BeginUser(); }), "UserName empty");
    ftp.PassWord.clear();
    EXPECT_EQ(message([&] { ftp.BeginPass(); }), "Password empty");
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
    ftp.RenameTo = "new\rname";
    EXPECT_THROW(ftp.BeginRename(), FtpException);
    ftp.QuoteLine = "NOOP\r\nDELE victim";
    EXPECT_THROW(ftp.BeginQuote(), FtpException);
    try {
        ftp.BeginQuote();
    } catch (const FtpException& error) {
        EXPECT_NE(std::string(error.what()).find("QuoteLine"), std::string::npos) << error.what();
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
    ftp.QuoteLine = "SITE HELP";
    EXPECT_TRUE(ftp.Quote());
    ftp.OnCommand = [](TCustomFtpCli*, std::string& cmd) {
        if (cmd == "PWD") cmd = "XPWD";
    };
    EXPECT_TRUE(ftp.Pwd());
    EXPECT_TRUE(probe.Displayed("> XPWD"));
    ftp.OnCommand = nullptr;
    ftp.QuoteLine = "BOGUS";
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

// A server may answer QUIT by closing without a 221: the session's work was
// done, so the request succeeds. Each request opens its own session.
TEST_F(SequenceScript, ServerClosingInAnswerToQuitEndsSelfContainedRequestsWell) {
    TempDir local;
    ASSERT_TRUE(WriteFile(local.File("up"), "upload"));
    LoggedIn()
        .Reply("TYPE I", "200 ok")
        .Expect("PASV")
        .PasvReply()
        .Expect("RETR f")
        .DataAccept()
        .Send("150 go\r\n")
        .DataSend("page")
        .DataClose();
    server.Send("226 ok\r\n").Expect("QUIT").Close().AcceptAgain();
    LoggedIn().Expect("PASV").PasvReply().Expect("LIST").DataAccept().Send("150 go\r\n").DataSend("a\r\n").DataClose();
    server.Send("226 ok\r\n").Expect("QUIT").Close().AcceptAgain();
    LoggedIn().Reply("TYPE I", "200 ok").Expect("PASV").PasvReply().DataAccept().Expect("STOR up").Send("150 go\r\n");
    server.DataReceiveAll().Send("226 ok\r\n").Expect("QUIT").Close().AcceptAgain();
    LoggedIn().Reply("MKD new", "257 \"/new\" created").Expect("QUIT").Close();
    StartServer();
    ftp.Passive = true;
    const struct {
        void (TCustomFtpCli::*start)();
        const char* name;
        const char* local;
        TFtpRequest reported;
    } requests[] = {
        {&TCustomFtpCli::BeginSessionRetrieve, "f", "f", ftpReqSessionRetrieve},
        {&TCustomFtpCli::BeginSessionList, "", "listing", ftpReqSessionList},
        {&TCustomFtpCli::BeginSessionStore, "up", "up", ftpReqStore},
        {&TCustomFtpCli::BeginSessionMkd, "new", "", ftpReqSessionMkd},
    };
    std::size_t count = 0;
    for (const auto& request : requests) {
        SCOPED_TRACE(request.reported);
        ftp.HostFileName = request.name;
        ftp.LocalFileName = *request.local ? local.File(request.local) : "";
        (ftp.*request.start)();
        ASSERT_TRUE(probe.WaitDone(++count));
        EXPECT_EQ(probe.done.back().request, request.reported);
        EXPECT_EQ(probe.done.back().error, 0) << ftp.ErrorMessage();
        EXPECT_EQ(ftp.ResultCode(), 0);
        EXPECT_FALSE(ftp.Connected());
    }
    EXPECT_EQ(ReadFile(local.File("f")), "page");
    EXPECT_EQ(ReadFile(local.File("listing")), "a\n") << "a listing comes in text mode";
    EXPECT_EQ(server.DataReceived(), "upload");
    EXPECT_EQ(ftp.ReplyDirectory(), "/new");
}

// The first step raising (an empty host name, a data port that cannot
// listen) still ends the request, and nothing of it runs later.
TEST_F(SequenceScript, FirstStepThatRaisesEndsTheRequest) {
    Greeted().Silence(300);
    StartServer();
    ftp.HostName.clear();
    EXPECT_FALSE(ftp.Login());
    EXPECT_EQ(ftp.State(), ftpStateReady);
    ASSERT_TRUE(probe.WaitDone());
    EXPECT_EQ(probe.done[0].request, ftpReqLogin);
    EXPECT_NE(probe.done[0].error, 0);
    ftp.HostName = "127.0.0.1";
    ftp.BeginOpen();
    ASSERT_TRUE(probe.WaitDone(2));
    EXPECT_EQ(probe.done[1].request, ftpReqOpen);
    EXPECT_EQ(probe.done[1].error, 0);
    server.WaitDone(2000);
    probe.Settle(200);
    EXPECT_TRUE(server.Lines().empty()) << "the abandoned log-in went on: " << ::testing::PrintToString(server.Lines());
}

TEST_F(SequenceScript, DataPortThatCannotListenEndsTheRequest) {
#if defined(__SANITIZE_ADDRESS__)
    // The sanitizer's checks need descriptors of their own.
    GTEST_SKIP() << "needs a process without free descriptors";
#endif
    LoggedIn().Reply("PWD", "257 \"/\"").Silence(300);
    StartLoggedIn();
    TempDir local;
    ftp.HostFileName = "f";
    ftp.LocalFileName = local.File("f");
    bool retrieved = true;
    {
        const ScopedDescriptorLimit noMoreSockets;
        retrieved = ftp.Retrieve();
    }
    EXPECT_FALSE(retrieved);
    EXPECT_NE(ftp.ResultCode(), 0);
    probe.Settle();
    ASSERT_TRUE(ftp.Pwd()) << ftp.ErrorMessage();
    EXPECT_EQ(ftp.ReplyDirectory(), "/");
    probe.Settle();
    ASSERT_EQ(probe.done.size(), 2u);
    EXPECT_EQ(probe.done[0].request, ftpReqRetrieve);
    EXPECT_NE(probe.done[0].error, 0);
    EXPECT_EQ(probe.done[1].request, ftpReqPwd);
    EXPECT_EQ(probe.done[1].error, 0);
    server.WaitDone(2000);
    probe.Settle(200);
    EXPECT_EQ(server.Lines().back(), "PWD") << "the abandoned download went on";
}

}  // namespace
