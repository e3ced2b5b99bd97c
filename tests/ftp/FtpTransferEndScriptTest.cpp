// How a transfer ends, whatever the way, and what the next request on the
// same engine finds: no stale offset, no open local file, no reply out of
// step, no result changed after the end, no user file emptied by a refusal.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include "ftp/Ftpcli.h"
#include "tests/ftp/EngineProbe.h"
#include "tests/ftp/TransferScriptTest.h"
#include "tests/support/FtpServerProcess.h"
#include "tests/support/ScriptedFtpServer.h"
#include "tests/support/TempDir.h"

namespace {

using TransferEnd = TransferScript;

// A 227 reply that points at a port nobody listens on.
std::string PasvToClosedPort() {
    const int port = FindFreePort();
    return "227 Entering Passive Mode (127,0,0,1," + std::to_string(port / 256) + "," + std::to_string(port % 256) + ").\r\n";
}

struct ResumeEnding {
    const char* name;
    // The server's side of a resumed download of "f" from byte 100000 that
    // does not end well; true when the control connection is gone after it.
    std::function<bool(ScriptedFtpServer&)> script;
};

TEST_F(TransferEnd, AFailedResumedDownloadLeavesNoOffsetForTheNextTransfers) {
    const ResumeEnding endings[] = {
        {"failed final reply",
         [](ScriptedFtpServer& s) {
             s.Send("150 go\r\n").DataSend("tail").DataClose().Send("451 local error\r\n");
             return false;
         }},
        {"dropped data connection",
         [](ScriptedFtpServer& s) {
             s.Send("150 go\r\n").DataSend("tail").DataReset().Send("426 aborted\r\n");
             return false;
         }},
        {"time-out",
         [](ScriptedFtpServer& s) {
             s.Send("150 go\r\n").DataSend("tail").Silence(2500);
             return true;
         }},
    };
    const std::string head = RandomBytes(100000, 1);
    const std::string upload = RandomBytes(200000, 2);
    for (const ResumeEnding& ending : endings) {
        SCOPED_TRACE(ending.name);
        ScriptedFtpServer s;
        TFtpClient engine;
        const auto login = [&s] {
            s.Send("220 hi\r\n").Reply("USER bob", "331 pw").Reply("PASS pw", "230 in").Reply("TYPE I", "200 binary");
        };
        login();
        s.Expect("PASV").PasvReply().Reply("REST 100000", "350 Restarting").Expect("RETR f").DataAccept();
        if (ending.script(s)) {
            s.AcceptAgain();
            login();
        }
        s.Expect("PASV").PasvReply().DataAccept().Expect("STOR up").Send("150 go\r\n").DataReceiveAll().Send("226 stored\r\n");
        s.Expect("PASV")
            .PasvReply()
            .Expect("LIST")
            .DataAccept()
            .Send("150 go\r\n")
            .DataSend("up\r\n")
            .DataClose()
            .Send("226 ok\r\n");
        ASSERT_TRUE(s.Start());
        PointAtScripted(engine, s.Port());
        engine.Timeout = 1;
        engine.Passive = true;
        ASSERT_TRUE(WriteFile(local.File("f"), head));
        ASSERT_TRUE(WriteFile(local.File("up"), upload));
        ASSERT_TRUE(engine.Login());
        ASSERT_TRUE(engine.TransferType());
        engine.HostFileName = "f";
        engine.LocalFileName = local.File("f");
        EXPECT_FALSE(engine.RestartRetrieve());
        EXPECT_EQ(engine.ResumeAt, 0);
        engine.Timeout = 5;
        if (!engine.Connected()) {
            ASSERT_TRUE(engine.Login()) << engine.ErrorMessage();
            ASSERT_TRUE(engine.TransferType()) << engine.ErrorMessage();
        }
        engine.HostFileName = "up";
        engine.LocalFileName = local.File("up");
        ASSERT_TRUE(engine.Store()) << engine.ErrorMessage();
        EXPECT_EQ(engine.ByteCount(), 200000);
        EXPECT_TRUE(s.DataReceived() == upload) << "stored " << s.DataReceived().size() << " bytes";
        // A refresh of the folder lists into a file that does not exist yet.
        engine.HostFileName.clear();
        engine.LocalFileName = local.File("listing");
        (void)std::remove(local.File("listing").c_str());
        ASSERT_TRUE(engine.List()) << engine.ErrorMessage();
        EXPECT_EQ(ReadFile(local.File("listing")), "up\r\n");
        EXPECT_EQ(s.Failure(), "");
    }
}

TEST_F(TransferEnd, AControlCloseBeforeTheDataCloseStaysAFailure) {
    const std::string whole = RandomBytes(30000, 3);
    Retr().Send("150 go\r\n").DataSend(whole.substr(0, 1000)).Send("226 done\r\n").Pause(100).Close();
    server.AcceptAgain();
    Greeting();
    Retr().Send("150 go\r\n").DataSend(whole).DataClose().Send("226 done\r\n");
    LogIn();
    EXPECT_FALSE(ftp.Retrieve()) << "half a file is no download";
    EXPECT_EQ(ftp.ResultCode(), 421);
    probe.Settle(300);
    EXPECT_EQ(ftp.ResultCode(), 421) << "no later event may change the result";
    ASSERT_EQ(probe.done.size(), 1u);
    EXPECT_EQ(probe.done[0].error, 421);

    LogInAgain();
    ASSERT_TRUE(ftp.Retrieve()) << ftp.ErrorMessage();
    EXPECT_TRUE(ReadFile(local.File("f")) == whole);
}

// The server ended the data connection, said 226 and closed while most of
// the file was still on its way: the announced size tells when it is whole,
// and a short end stays a failure.
TEST_F(TransferEnd, AControlCloseAfterTheReplyEndsTheDownloadByItsAnnouncedSize) {
    const std::string whole = RandomBytes(4 << 20, 4);
    const std::string announce =
        "150 Opening BINARY mode data connection for f (" + std::to_string(whole.size()) + " bytes).\r\n";
    Retr().Send(announce).DataSend(whole).DataClose().Send("226 done\r\n").Close();
    server.AcceptAgain();
    Greeting();
    Retr().Send(announce).DataSend(whole.substr(0, 3 << 20)).DataClose().Send("226 done\r\n").Close();
    LogIn();
    ASSERT_TRUE(ftp.Retrieve()) << ftp.ErrorMessage();
    EXPECT_TRUE(ReadFile(local.File("f")) == whole);
    EXPECT_FALSE(ftp.Connected());

    LogInAgain();
    EXPECT_FALSE(ftp.Retrieve());
    EXPECT_EQ(ftp.ResultCode(), 426) << ftp.ErrorMessage();
}

// A caller that prepares its next request while a download runs (here from
// the moment the 227 arrives) changes nothing of the running one: not the
// file it asks for, not where it goes, not its offset.
TEST_F(TransferEnd, ParametersSetDuringADownloadWaitForTheNextRequest) {
    const std::string whole = RandomBytes(600000, 5);
    Retr().Send("150 go\r\n").DataSend(whole).DataClose().Send("226 done\r\n");
    LogIn();
    ftp.OnResponse = [this](TCustomFtpCli*) {
        ftp.HostFileName = "next";
        ftp.LocalFileName = local.File("next");
        ftp.ResumeAt = 5;
    };
    ASSERT_TRUE(ftp.Retrieve()) << ftp.ErrorMessage();
    EXPECT_TRUE(ReadFile(local.File("f")) == whole);
    EXPECT_FALSE(FileExists(local.File("next")));
    EXPECT_EQ(ftp.ResumedAt(), 0);
}

TEST_F(TransferEnd, AFailedDataConnectionWaitsForTheTransferReply) {
    server.Expect("PASV").Send(PasvToClosedPort()).Expect("RETR f").Pause(300).Send("425 Can't open data connection.\r\n");
    server.Expect("PASV").Send(PasvToClosedPort()).Expect("LIST").Pause(300).Send("425 Can't open data connection.\r\n");
    server.Reply("PWD", "257 \"/web\"");
    LogIn();
    ASSERT_TRUE(WriteFile(local.File("f"), "keep"));
    EXPECT_FALSE(ftp.Retrieve());
    EXPECT_EQ(ftp.ResultCode(), 550);
    EXPECT_EQ(ftp.ErrorMessage().compare(0, 36, "Unable to establish data connection,"), 0) << ftp.ErrorMessage();
    ftp.HostFileName.clear();
    EXPECT_FALSE(ftp.List());
    ASSERT_TRUE(ftp.Pwd()) << "PWD got an earlier command's reply: " << ftp.ErrorMessage();
    EXPECT_EQ(ftp.ReplyDirectory(), "/web");
    EXPECT_EQ(ReadFile(local.File("f")), "keep");
}

TEST_F(TransferEnd, ARefusedDownloadLeavesTheLocalSideAsItWas) {
    server.Expect("PASV").PasvReply().Reply("RETR f", "550 No such file.");
    server.Expect("PASV").PasvReply().Expect("RETR f").DataAccept().Send("550 No such file.\r\n");
    server.Expect("PASV").PasvReply().Reply("RETR f", "550 No such file.");
    // A server whose data overtakes its 150: nothing written may be lost.
    Retr().DataSend("new").Pause(100).Send("150 go\r\n").DataClose().Send("226 ok\r\n");
    LogIn();
    ASSERT_TRUE(WriteFile(local.File("f"), "the user's page"));
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_FALSE(ftp.Retrieve());
        EXPECT_EQ(ftp.ResultCode(), 550);
        EXPECT_EQ(ReadFile(local.File("f")), "the user's page");
    }
    ftp.LocalFileName = local.File("absent");
    EXPECT_FALSE(ftp.Retrieve());
    EXPECT_FALSE(FileExists(local.File("absent")));
    ftp.LocalFileName = local.File("f");
    ASSERT_TRUE(ftp.Retrieve()) << ftp.ErrorMessage();
    EXPECT_EQ(ReadFile(local.File("f")), "new");
}

TEST_F(TransferEnd, AControlCloseBeforeTheDataConnectionFreesTheLocalFile) {
    server.Reply("PORT 127,0,0,1,*", "200 ok").Expect("RETR f").Close();
    server.AcceptAgain();
    Greeting();
    Retr().Send("150 go\r\n").DataSend("page").DataClose().Send("226 ok\r\n");
    LogIn();
    ftp.Passive = false;
    EXPECT_FALSE(ftp.Retrieve());
    EXPECT_FALSE(ftp.Connected());
    ftp.Passive = true;
    LogInAgain();
    ASSERT_TRUE(ftp.Retrieve()) << "the first try still holds the file: " << ftp.ErrorMessage();
    EXPECT_EQ(ReadFile(local.File("f")), "page");
}

}  // namespace
