// Data-connection edge cases a real server does not produce, against the
// scripted server in passive mode.
#include <gtest/gtest.h>

#include "ftp/Ftpcli.h"
#include "tests/ftp/EngineProbe.h"
#include "tests/ftp/TransferScriptTest.h"
#include "tests/support/ScriptedFtpServer.h"
#include "tests/support/TempDir.h"

namespace {

TEST_F(TransferScript, FinalReplyBeforeDataCloseWaitsForTheRest) {
    Retr().Send("150 go\r\n").DataSend("hello").Send("226 done\r\n").Pause(200).DataSend(" world").DataClose();
    LogIn();
    ASSERT_TRUE(ftp.Retrieve()) << ftp.ErrorMessage();
    EXPECT_EQ(ReadFile(local.File("f")), "hello world");
}

TEST_F(TransferScript, DataCloseBeforeFinalReplyWaitsForTheReply) {
    Retr().Send("150 go\r\n").DataSend("abc").DataClose().Pause(200).Send("226 done\r\n");
    LogIn();
    ASSERT_TRUE(ftp.Retrieve()) << ftp.ErrorMessage();
    EXPECT_EQ(ReadFile(local.File("f")), "abc");
    EXPECT_EQ(ftp.LastResponse(), "226 done");
    probe.Settle();
    ASSERT_EQ(probe.done.size(), 1u);
    EXPECT_EQ(probe.done[0].request, ftpReqRetrieve);
}

TEST_F(TransferScript, DroppedDataConnectionWith426Fails) {
    Retr().Send("150 go\r\n").DataSend("partial").DataReset().Send("426 Connection closed; transfer aborted.\r\n");
    LogIn();
    EXPECT_FALSE(ftp.Retrieve());
    EXPECT_NE(ftp.ResultCode(), 0);
    probe.Settle();
    ASSERT_EQ(probe.done.size(), 1u);
    EXPECT_NE(probe.done[0].error, 0);
}

TEST_F(TransferScript, ImmediateCloseAfter150IsAnEmptyFile) {
    Retr().Send("150 go\r\n").DataClose().Send("226 nothing\r\n");
    LogIn();
    ASSERT_TRUE(WriteFile(local.File("f"), "stale"));
    ASSERT_TRUE(ftp.Retrieve()) << ftp.ErrorMessage();
    EXPECT_EQ(ReadFile(local.File("f")), "");
}

TEST_F(TransferScript, ControlCloseAfter150IsAFailure) {
    Retr().Send("150 go\r\n").DataSend("half").DataClose().Close();
    LogIn();
    EXPECT_FALSE(ftp.Retrieve());
    probe.Settle();
    ASSERT_EQ(probe.done.size(), 1u);
    EXPECT_NE(probe.done[0].error, 0);
    EXPECT_FALSE(ftp.Connected());
}

TEST_F(TransferScript, BadPassiveRepliesFailCleanlyAndControlStaysUsable) {
    server.Expect("PASV")
        .Send("227 Entering Passive Mode\r\n")
        .Expect("PASV")
        .Send("227 Entering Passive Mode (127,0,0,1,999999999999999999999,7)\r\n")
        .Expect("PASV")
        .Send("227 (\r\n")
        .Reply("PWD", "257 \"/\"");
    LogIn();
    for (int attempt = 0; attempt < 3; ++attempt) {
        SCOPED_TRACE(attempt);
        ftp.SetErrorMessage("");
        EXPECT_FALSE(ftp.Retrieve());
        EXPECT_EQ(ftp.ResultCode(), 550);
        EXPECT_EQ(ftp.ErrorMessage().compare(0, 36, "Unable to establish data connection,"), 0) << ftp.ErrorMessage();
        EXPECT_EQ(ftp.State(), ftpStateReady);
    }
    ASSERT_TRUE(ftp.Pwd()) << ftp.ErrorMessage();
    probe.Settle();
    ASSERT_EQ(probe.done.size(), 4u);
    EXPECT_EQ(probe.done[0].request, ftpReqRetrieve);
    EXPECT_EQ(probe.done[0].error, 550);
}

TEST_F(TransferScript, RestAnswered200RewritesFromTheStart) {
    server.Expect("PASV")
        .PasvReply()
        .Reply("REST 9", "200 REST ignored")
        .Expect("RETR f")
        .DataAccept()
        .Send("150 go\r\n")
        .DataSend("new")
        .DataClose()
        .Send("226 ok\r\n");
    LogIn();
    ASSERT_TRUE(WriteFile(local.File("f"), "old bytes"));
    ASSERT_TRUE(ftp.RestartRetrieve()) << ftp.ErrorMessage();
    EXPECT_EQ(ReadFile(local.File("f")), "new");
}

TEST_F(TransferScript, DisplayModeCutsBlocksIntoLines) {
    Retr().Send("150 go\r\n").DataSend("x").Pause(100).DataSend("\r\nline two\r\n\r\nlast").DataClose().Send("226 ok\r\n");
    LogIn();
    ftp.DisplayFileFlag = true;
    ftp.LocalFileName.clear();
    ASSERT_TRUE(ftp.Retrieve()) << ftp.ErrorMessage();
    EXPECT_EQ(probe.fileLines, (std::vector<std::string>{"x", "", "line two", "last"}));
}

TEST_F(TransferScript, CancelledUploadSendsNothingAndReports426) {
    server.Expect("PASV").PasvReply().Silence(300);
    LogIn();
    ASSERT_TRUE(WriteFile(local.File("f"), "payload"));
    ftp.OnReadyToTransmit = [](TCustomFtpCli*, bool& cancel) { cancel = true; };
    EXPECT_FALSE(ftp.Store());
    EXPECT_EQ(ftp.ErrorMessage(), "426 Transmit cancelled by application");
    probe.Settle();
    ASSERT_EQ(probe.done.size(), 1u);
    EXPECT_EQ(probe.done[0].request, ftpReqStore);
    EXPECT_EQ(probe.done[0].error, 426);
    server.WaitDone(1000);
    EXPECT_EQ(server.Lines().back(), "PASV");
}

TEST_F(TransferScript, PassiveUploadConnectsFirstAndClosesAtEndOfFile) {
    const std::string payload = RandomBytes(5000, 5);
    server.Expect("PASV").PasvReply().DataAccept().Expect("STOR f").Send("150 go\r\n").DataReceiveAll().Send("226 stored\r\n");
    LogIn();
    ASSERT_TRUE(WriteFile(local.File("f"), payload));
    ASSERT_TRUE(ftp.Store()) << ftp.ErrorMessage();
    EXPECT_TRUE(server.DataReceived() == payload);
    EXPECT_EQ(ftp.ByteCount(), 5000);
    const std::string stats = "! 5000 bytes received/sent in 0 seconds";
    bool statsShown = false;
    for (const std::string& line : probe.display) statsShown = statsShown || line.compare(0, stats.size(), stats) == 0;
    EXPECT_TRUE(statsShown) << ::testing::PrintToString(probe.display);
}

TEST(TransferPort, ActiveModeOnLoopbackSendsTheLoopbackForm) {
    ScriptedFtpServer server;
    server.Send("220 hi\r\n").Reply("USER bob", "230 in").Reply("PORT 127,0,0,1,*", "200 ok").Reply("LIST", "550 nothing here");
    ASSERT_TRUE(server.Start());
    TempDir local;
    TFtpClient ftp;
    PointAtScripted(ftp, server.Port());
    ftp.LocalFileName = local.File("listing");
    ASSERT_TRUE(ftp.Login());
    EXPECT_FALSE(ftp.List());
    EXPECT_EQ(ftp.ResultCode(), 550);
    EXPECT_EQ(ReadFile(local.File("listing")), "");
    EXPECT_EQ(server.Failure(), "");
    const std::string port = server.Lines().at(1);
    const int high = std::stoi(port.substr(port.find(',', 14) + 1));
    const int low = std::stoi(port.substr(port.rfind(',') + 1));
    EXPECT_GT(high * 256 + low, 0);
}

}  // namespace
