// The control connection against the scripted server: reply assembly on the
// wire, greetings, time-outs, closes and aborts.
#include <gtest/gtest.h>
#include <time.h>

#include "ftp/Ftpcli.h"
#include "platform/Ticks.h"
#include "tests/ftp/EngineProbe.h"
#include "tests/ftp/ScriptedEngineTest.h"
#include "tests/support/FtpServerProcess.h"
#include "tests/support/ScriptedFtpServer.h"

namespace {

using ControlScript = ScriptedEngineTest;

TEST_F(ControlScript, GreetingSplitOverTwoReceivesIsOneLine) {
    server.Send("22").Pause(100).Send("0 hello\r\n").Silence(500);
    StartServer();
    ftp.BeginOpen();
    ASSERT_TRUE(probe.WaitDone());
    EXPECT_EQ(probe.done[0].request, ftpReqOpen);
    EXPECT_EQ(probe.done[0].error, 0);
    EXPECT_EQ(probe.responses, std::vector<std::string>{"220 hello"});
    EXPECT_EQ(ftp.State(), ftpStateReady);
    EXPECT_EQ(probe.order, (std::vector<std::string>{"connected", "done"}));
}

TEST_F(ControlScript, TwoRepliesInOneReceiveAreHandledInOrder) {
    server.Send("220 hi\r\n").Expect("USER bob").Send("331 need password\r\n230 welcome\r\n").Expect("PASS pw");
    StartServer();
    ASSERT_TRUE(ftp.Login());
    EXPECT_EQ(probe.responses, (std::vector<std::string>{"220 hi", "331 need password", "230 welcome", "500 Unknown command."}));
    EXPECT_TRUE(probe.Displayed("> PASS *****"));
}

TEST_F(ControlScript, LoneLfLinesAndUserAnswered230SkipPass) {
    server.Send("220 plain\n").Expect("USER bob").Send("230 no password needed\n").Silence(300);
    StartServer();
    ftp.BeginLogin();
    ASSERT_TRUE(probe.WaitDone());
    EXPECT_EQ(probe.done[0].request, ftpReqLogin);
    EXPECT_EQ(probe.done[0].error, 0);
    EXPECT_EQ(probe.responses, (std::vector<std::string>{"220 plain", "230 no password needed", "500 Unknown command."}));
    server.WaitDone(2000);
    probe.Settle(300);
    EXPECT_EQ(server.Lines(), std::vector<std::string>{"USER bob"});
}

TEST_F(ControlScript, EarlyLoneLfStaysInsideLineEndedByCrLf) {
    server.Send("220 first\nsecond\r\n").Silence(300);
    StartServer();
    ftp.BeginOpen();
    ASSERT_TRUE(probe.WaitDone());
    EXPECT_EQ(probe.responses, std::vector<std::string>{"220 first\nsecond"});
    EXPECT_EQ(probe.done[0].error, 0);
}

TEST_F(ControlScript, ThreeLineGreetingConnectsOnlyOnItsLastLine) {
    server.Send("220-Welcome\r\n   to the test\r\n220 ready\r\n").Silence(300);
    StartServer();
    ftp.BeginOpen();
    ASSERT_TRUE(probe.WaitDone());
    EXPECT_EQ(probe.display, (std::vector<std::string>{"< 220-Welcome", "<    to the test", "< 220 ready"}));
    EXPECT_EQ(std::count(probe.states.begin(), probe.states.end(), ftpStateConnected), 1);
    EXPECT_EQ(probe.sessionConnected, 1);
}

TEST_F(ControlScript, RefusedGreetingClosesAndReportsItsCode) {
    server.Send("421 too many users\r\n220 never seen\r\n").Silence(300);
    StartServer();
    ftp.BeginOpen();
    ASSERT_TRUE(probe.WaitDone());
    EXPECT_EQ(probe.done[0].error, 421);
    EXPECT_EQ(ftp.ResultCode(), 421);
    EXPECT_EQ(ftp.ErrorMessage(), "421 too many users");
    EXPECT_FALSE(ftp.Connected());
    EXPECT_EQ(probe.sessionClosed, 1);
    EXPECT_EQ(probe.responses.size(), 1u);
}

TEST_F(ControlScript, OverlongLineWithoutLineEndClosesTheConnection) {
    server.Send(std::string(4096, 'x')).Silence(1000);
    StartServer();
    ftp.BeginOpen();
    ASSERT_TRUE(probe.WaitDone());
    EXPECT_NE(probe.done[0].error, 0);
    EXPECT_FALSE(ftp.Connected());
    EXPECT_TRUE(probe.responses.empty());
}

double ProcessCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

TEST_F(ControlScript, SilentServerTimesOutWithoutBurningProcessor) {
    server.Send("220 hi\r\n").Expect("USER bob").Silence(4000);
    StartServer();
    ftp.Timeout = 2;
    const double cpuBefore = ProcessCpuSeconds();
    const std::uint32_t start = platform::GetTickCount();
    EXPECT_FALSE(ftp.Login());
    const std::uint32_t elapsed = platform::GetTickCount() - start;
    const double cpu = ProcessCpuSeconds() - cpuBefore;
    EXPECT_EQ(ftp.ErrorMessage(), "421 timed out waiting for the server's reply");
    EXPECT_EQ(ftp.StatusCode(), 421);
    EXPECT_GE(elapsed, 1900u);
    EXPECT_LT(elapsed, 4000u);
    EXPECT_LT(cpu, 0.4) << "waiting must block, not spin";
    ASSERT_TRUE(probe.WaitDone());
    EXPECT_EQ(probe.done[0].request, ftpReqLogin);
    EXPECT_EQ(probe.done[0].error, 426);
    EXPECT_FALSE(ftp.Connected());
}

TEST_F(ControlScript, ServerClosingIdleConnectionLeavesEngineBetweenSteps) {
    server.Send("220 hi\r\n").Reply("USER bob", "331 pw").Reply("PASS pw", "230 in").Pause(200).Close();
    StartServer();
    ASSERT_TRUE(ftp.Login());
    ASSERT_TRUE(PumpUntil([&] { return probe.sessionClosed == 1; }, 3000));
    probe.Settle();
    EXPECT_EQ(probe.done.size(), 1u);
    EXPECT_EQ(ftp.State(), ftpStateBetweenSteps);
    EXPECT_THROW(ftp.BeginPwd(), FtpException);
}

TEST_F(ControlScript, CloseWhileReplyAwaitedIsAFailureNotSuccess) {
    server.Send("220 hi\r\n").Reply("USER bob", "331 pw").Reply("PASS pw", "230 in").Expect("PWD").Close();
    StartServer();
    ASSERT_TRUE(ftp.Login());
    EXPECT_FALSE(ftp.Pwd());
    probe.Settle();
    ASSERT_EQ(probe.done.size(), 2u);
    EXPECT_EQ(probe.done[1].request, ftpReqPwd);
    EXPECT_EQ(probe.done[1].error, 421);
}

TEST_F(ControlScript, AbortDuringSequenceEndsItWith426) {
    server.Send("220 hi\r\n").Expect("USER bob").Silence(3000);
    StartServer();
    ftp.BeginLogin();
    ASSERT_TRUE(PumpUntil([&] { return ftp.State() == ftpStateWaitingReply && probe.Displayed("> USER bob"); }, 3000));
    ftp.AbortSession();
    EXPECT_EQ(ftp.State(), ftpStateReady);
    ASSERT_TRUE(probe.WaitDone());
    EXPECT_EQ(probe.done[0].request, ftpReqLogin);
    EXPECT_EQ(probe.done[0].error, 426);
    EXPECT_EQ(ftp.ErrorMessage(), "426 Operation aborted.");
    EXPECT_EQ(ftp.ResultCode(), 426);  // a blocking log-in must not report the abort as success
    EXPECT_FALSE(ftp.Connected());
}

TEST_F(ControlScript, AbortDuringSingleCommandEndsItWithResultCode) {
    server.Send("220 hi\r\n").Reply("USER bob", "331 pw").Reply("PASS pw", "230 in").Expect("CWD /x").Silence(3000);
    StartServer();
    ASSERT_TRUE(ftp.Login());
    probe.Settle();
    ftp.HostDirName = "/x";
    ftp.BeginCwd();
    ASSERT_TRUE(PumpUntil([&] { return server.Lines().size() == 3; }, 3000));
    ftp.AbortSession();
    ASSERT_TRUE(probe.WaitDone(2));
    EXPECT_EQ(probe.done[1].request, ftpReqCwd);
    EXPECT_EQ(probe.done[1].error, 0);
}

TEST_F(ControlScript, UnresolvableHostAndRefusedPortReportSocketErrors) {
    ftp.Timeout = 10;
    ftp.HostName = "no-such-host.invalid";
    ftp.UserName = "bob";
    ftp.PassWord = "pw";
    ASSERT_TRUE(ftp.Login()) << "a failed lookup ends the request without a reply code";
    EXPECT_FALSE(ftp.Connected());
    EXPECT_EQ(ftp.LastResponse().compare(0, 4, "500 "), 0) << ftp.LastResponse();
    ASSERT_TRUE(probe.WaitDone());
    // Host not found, or no answer from a resolver in a sandbox.
    EXPECT_TRUE(probe.done[0].error == 11001 || probe.done[0].error == 11002) << probe.done[0].error;

    ftp.HostName = "127.0.0.1";
    ftp.Port = std::to_string(FindFreePort());
    ftp.BeginOpen();
    ASSERT_TRUE(probe.WaitDone(2));
    EXPECT_EQ(probe.done[1].request, ftpReqOpen);
    EXPECT_EQ(probe.done[1].error, 10061);
    EXPECT_EQ(ftp.LastResponse(), "500 Connection refused (Winsock error #10061)");
    EXPECT_EQ(ftp.State(), ftpStateReady);
    EXPECT_FALSE(ftp.Connected());
}

TEST_F(ControlScript, MultiLineReplyEndsOnlyAtItsOwnCode) {
    server.Send("220 hi\r\n")
        .Reply("USER bob", "331 pw")
        .Expect("PASS pw")
        .Send("230-Welcome\r\n200 files are kept for 30 days\r\n230-more\r\n230 in\r\n")
        .Reply("PWD", "257 \"/\"");
    StartServer();
    ASSERT_TRUE(ftp.Login()) << ftp.ErrorMessage();
    EXPECT_EQ(ftp.StatusCode(), 230);
    ASSERT_TRUE(ftp.Pwd()) << "a line of the log-in reply was taken as PWD's reply";
    EXPECT_EQ(ftp.ReplyDirectory(), "/");
}

// Codes outside 100-599 are no FTP reply: never success, whatever 16 bits
// of them would say.
TEST_F(ControlScript, ReplyCodesOutsideTheProtocolRangeFail) {
    const char* replies[] = {"65536 No such file.", "99 hi", "600 ok", "4294967296 ok"};
    server.Send("220 hi\r\n").Reply("USER bob", "331 pw").Reply("PASS pw", "230 in");
    for (const char* reply : replies) server.Reply("SITE X", reply);
    server.Reply("PWD", "257 \"/\"");
    StartLoggedIn();
    for (const char* reply : replies) {
        SCOPED_TRACE(reply);
        ftp.SetErrorMessage("");
        ftp.QuoteLine = "SITE X";
        EXPECT_FALSE(ftp.Quote());
        EXPECT_NE(ftp.ResultCode(), 0);
        EXPECT_EQ(ftp.ErrorMessage(), reply);
    }
    ASSERT_TRUE(ftp.Pwd()) << ftp.ErrorMessage();
    probe.Settle();
    ASSERT_EQ(probe.done.size(), 5u);
    for (std::size_t i = 0; i < 4; ++i) EXPECT_NE(probe.done[i].error, 0) << i;
}

TEST_F(ControlScript, SlowButAliveServerIsNoTimeOut) {
    server.Pause(1300).Send("220 hi\r\n").Expect("USER bob").Pause(1300).Send("331 pw\r\n");
    server.Expect("PASS pw").Pause(1300).Send("230 in\r\n");
    StartServer();
    ftp.Timeout = 2;
    EXPECT_TRUE(ftp.Login()) << ftp.ErrorMessage();
    EXPECT_TRUE(ftp.Connected());
}

TEST_F(ControlScript, AnyTimeoutValueWaits) {
    server.Send("220 hi\r\n").Reply("USER bob", "331 pw").Reply("PASS pw", "230 in");
    for (int i = 0; i < 3; ++i) server.Expect("PWD").Pause(300).Send("257 \"/\"\r\n");
    StartServer();
    ASSERT_TRUE(ftp.Login());
    for (const int timeout : {2147484, 2147483647, 0}) {
        SCOPED_TRACE(timeout);
        ftp.Timeout = timeout;
        EXPECT_TRUE(ftp.Pwd()) << ftp.ErrorMessage();
    }
}

}  // namespace
