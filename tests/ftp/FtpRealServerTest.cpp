// The engine against real servers on loopback: log-in, directory and file
// commands, reply results and the order of events.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/ftp/RealServerFixture.h"

namespace {

TEST_P(RealServer, LoginGoesThroughTheExpectedStates) {
    ASSERT_TRUE(ftp.Login()) << ftp.ErrorMessage();
    probe.Settle();
    EXPECT_TRUE(ftp.Connected());
    ASSERT_EQ(probe.done.size(), 1u);
    EXPECT_EQ(probe.done[0].request, ftpReqLogin);
    EXPECT_EQ(probe.done[0].error, 0);
    const std::vector<TFtpState> expected = {ftpStateResolving,    ftpStateConnecting,   ftpStateConnected,
                                             ftpStateBetweenSteps, ftpStateWaitingReply, ftpStateBetweenSteps,
                                             ftpStateWaitingReply, ftpStateBetweenSteps, ftpStateWaitingReply,
                                             ftpStateBetweenSteps, ftpStateReady};
    EXPECT_EQ(probe.states, expected);
    EXPECT_EQ(probe.order, (std::vector<std::string>{"connected", "done"}));
    EXPECT_TRUE(probe.Displayed("> PASS *****"));
}

TEST_P(RealServer, WrongPasswordIsRefusedWith530) {
    ftp.PassWord = server->WrongPassword();
    EXPECT_FALSE(ftp.Login());
    probe.Settle();
    ASSERT_EQ(probe.done.size(), 1u);
    EXPECT_EQ(probe.done[0].error, 530);
    EXPECT_EQ(ftp.ErrorMessage().compare(0, 4, "530 "), 0) << ftp.ErrorMessage();
}

TEST_P(RealServer, DirectoryCommandsReportTheDirectory) {
    ASSERT_TRUE(ftp.Login()) << ftp.ErrorMessage();
    ASSERT_TRUE(ftp.Pwd());
    const std::string home = ftp.ReplyDirectory();
    const std::string made = (home == "/" ? "" : home) + "/made";
    ftp.HostFileName = "made";
    ASSERT_TRUE(ftp.Mkd()) << ftp.ErrorMessage();
    EXPECT_EQ(ftp.ReplyDirectory(), made);
    ftp.HostDirName = "made";
    ASSERT_TRUE(ftp.Cwd()) << ftp.ErrorMessage();
    ASSERT_TRUE(ftp.Pwd()) << ftp.ErrorMessage();
    EXPECT_EQ(ftp.ReplyDirectory(), made);
    ASSERT_TRUE(ftp.Cdup()) << ftp.ErrorMessage();
    ASSERT_TRUE(ftp.Pwd());
    EXPECT_EQ(ftp.ReplyDirectory(), home);
    ftp.HostFileName = "made";
    ASSERT_TRUE(ftp.Rmd()) << ftp.ErrorMessage();
    EXPECT_FALSE(FileExists(ServerFile("made")));
    ftp.HostDirName = "made";
    EXPECT_FALSE(ftp.Cwd());
    EXPECT_EQ(ftp.ResultCode(), 550);
}

TEST_P(RealServer, FileCommandsSizeRenameDelete) {
    ASSERT_TRUE(WriteFile(ServerFile("data.bin"), std::string(12345, 'z')));
    ASSERT_TRUE(ftp.Login()) << ftp.ErrorMessage();
    ASSERT_TRUE(ftp.TransferType());
    ftp.HostFileName = "data.bin";
    ASSERT_TRUE(ftp.Size()) << ftp.ErrorMessage();
    EXPECT_EQ(ftp.RemoteFileSize(), 12345);
    ftp.RenameTo = "renamed.bin";
    ASSERT_TRUE(ftp.Rename()) << ftp.ErrorMessage();
    EXPECT_TRUE(FileExists(ServerFile("renamed.bin")));
    EXPECT_FALSE(FileExists(ServerFile("data.bin")));
    ftp.HostFileName = "renamed.bin";
    ASSERT_TRUE(ftp.Dele()) << ftp.ErrorMessage();
    EXPECT_FALSE(FileExists(ServerFile("renamed.bin")));
    EXPECT_FALSE(ftp.Dele());
    EXPECT_EQ(ftp.ResultCode(), 550);
    EXPECT_FALSE(ftp.Size());
    EXPECT_EQ(ftp.RemoteFileSize(), 0);
}

TEST_P(RealServer, SystRawQuoteAnswered5xxAndQuit) {
    ASSERT_TRUE(ftp.Login()) << ftp.ErrorMessage();
    ASSERT_TRUE(ftp.RunAndWait([&] { ftp.BeginSyst(); }));
    EXPECT_EQ(ftp.LastResponse().compare(0, 4, "215 "), 0) << ftp.LastResponse();
    ftp.QuoteLine = "FROBNICATE now";
    EXPECT_FALSE(ftp.Quote());
    EXPECT_GE(ftp.ResultCode(), 500);
    EXPECT_LT(ftp.ResultCode(), 600);
    EXPECT_TRUE(ftp.Connected());
    ASSERT_TRUE(ftp.Quit());
    EXPECT_EQ(ftp.StatusCode(), 221);
    EXPECT_FALSE(ftp.Connected());
}

INSTANTIATE_TEST_SUITE_P(Servers, RealServer, ::testing::Values("pyftpdlib", "vsftpd"), ServerName);

}  // namespace
