// The executor against a scripted server: time-outs, re-entry, the starting
// mode and disconnecting while a command runs.
#include <QTextDocument>
#include <QTimer>

#include "platform/Ticks.h"
#include "session/FrmDownload.h"
#include "tests/session/SessionFixture.h"
#include "tests/support/QtTestSupport.h"
#include "tests/support/ScriptedFtpServer.h"
#include "tests/support/TempDir.h"

namespace {

class SessionQueue : public SessionFixture {
protected:
    void SetUp() override { RecordMessages(); }

    // Starts the script after a greeting and log-in, and logs in directly.
    void LogIn() {
        ASSERT_TRUE(server.Start()) << server.Failure();
        session.FTP.HostName = "127.0.0.1";
        session.FTP.Port = std::to_string(server.Port());
        session.FTP.UserName = "bob";
        session.FTP.PassWord = "pw";
        ASSERT_TRUE(session.FTP.Login()) << session.FTP.ErrorMessage();
    }
    ScriptedFtpServer& Greeted() { return server.Send("220 hi\r\n").Reply("USER bob", "331 pw").Reply("PASS pw", "230 in"); }

    // Runs `action` once, when the log first shows `line`.
    void OnLogLine(const std::string& line, std::function<void()> action) {
        auto fired = std::make_shared<bool>(false);
        QObject::connect(log->document(), &QTextDocument::contentsChanged, log, [=, this] {
            if (*fired || log->LineCount() == 0 || log->LineText(log->LineCount() - 1) != line) return;
            *fired = true;
            action();
        });
    }

    ScriptedFtpServer server;
};

TEST_F(SessionQueue, CommandPastTheTimeOutIsReportedAndEmptiesTheQueue) {
    server.Send("220 hi\r\n").Reply("USER bob", "331 pw").Reply("PASS pw", "230 in").Expect("CWD slow").Silence(4000);
    ASSERT_TRUE(server.Start()) << server.Failure();
    session.FTP.Timeout = 1;
    TFTPServer profile = Profile(server.Port(), "bob", "pw");
    profile.StartDir = "slow";
    session.ConnectToServer(&profile);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "426 Timeout");
    EXPECT_TRUE(session.CommandQueue.empty());
    EXPECT_FALSE(session.ConnectedState());
    EXPECT_FALSE(files->isEnabled());
    EXPECT_FALSE(LogHas("Command:    TYPE A"));
    EXPECT_TRUE(LogHas("Debug:      - Command Failure : 426 Timeout"));
}

TEST_F(SessionQueue, CommandQueuedWhileOneIsPreparedRunsAfterIt) {
    Greeted().Reply("PWD", "257 \"/\" is current").Reply("CWD x", "250 ok");
    LogIn();
    // The executor logs this line with the engine still idle, just before it
    // starts the command: the moment a nested run would slip in.
    OnLogLine("Debug:      - Executing Requested Command", [this] { session.QueueChangeDir("x"); });
    session.QueuePrintDir();
    EXPECT_TRUE(server.WaitDone(3000)) << server.Failure();
    const std::vector<std::string> lines = server.Lines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[2], "PWD");
    EXPECT_EQ(lines[3], "CWD x");
    EXPECT_TRUE(session.CommandQueue.empty());
    EXPECT_EQ(dirs->itemText(0), QStringLiteral("/"));
    EXPECT_TRUE(messages.empty());
}

TEST_F(SessionQueue, StartingModeCountsACommandDoneOnceStarted) {
    Greeted().Expect("PWD").Pause(300).Send("257 \"/\" is current\r\n").Reply("CWD x", "250 ok");
    LogIn();
    session.WaitMode = false;
    session.QueuePrintDir();
    EXPECT_TRUE(LogHas("Debug:      - Command Success"));
    session.QueueChangeDir("x");
    EXPECT_EQ(QueueKeys(), std::vector<std::string>{"7"}) << "the engine is still busy with PWD";
    ASSERT_TRUE(qttest::WaitUntil([&] { return session.FTP.State() == ftpStateReady; }));
    EXPECT_EQ(session.CurrentRemoteDir, "/");
    session.ExecuteNextCommand();
    EXPECT_TRUE(session.CommandQueue.empty());
    EXPECT_TRUE(server.WaitDone(3000)) << server.Failure();
}

TEST_F(SessionQueue, DisconnectWhileBusyAbortsAndQueuesQuit) {
    Greeted().Expect("CWD slow").Silence(8000);
    LogIn();
    session.SetConnectedState(true);
    std::vector<std::string> keysAfterDisconnect;
    bool busyAtDisconnect = false;
    OnLogLine("Command:    CWD slow", [&] {
        QTimer::singleShot(20, log, [&] {
            busyAtDisconnect = session.Busy;
            session.DisconnectAction();
            keysAfterDisconnect = QueueKeys();
        });
    });
    const std::uint32_t start = platform::GetTickCount();
    session.QueueChangeDir("slow");
    EXPECT_LT(platform::GetTickCount() - start, 5000u) << "the abort must end the wait";
    EXPECT_TRUE(busyAtDisconnect);
    EXPECT_EQ(keysAfterDisconnect, std::vector<std::string>{"2"});
    EXPECT_TRUE(session.CommandQueue.empty());
    EXPECT_FALSE(session.FTP.Connected());
    EXPECT_FALSE(session.ConnectedState());
    EXPECT_FALSE(session.Busy);
    EXPECT_LE(messages.size(), 1u);
}

TEST_F(SessionQueue, EachQueueingOperationSendsItsCommand) {
    Greeted()
        .Reply("DELE a", "250 ok")
        .Reply("RMD d", "250 ok")
        .Reply("MKD n", "257 \"/n\" created")
        .Reply("RNFR o", "350 ok")
        .Reply("RNTO p", "250 ok")
        .Reply("SITE CHMOD 751 f", "200 ok")
        .Reply("SIZE f", "213 42")
        .Reply("SIZE g", "550 no such file")
        .Reply("CDUP", "250 ok")
        .Reply("TYPE I", "200 ok");
    LogIn();
    session.QueueDeleteFile("a");
    session.QueueRemoveDir("d");
    session.QueueMakeDir("n");
    session.QueueRename("o", "p");
    const bool mode751[9] = {true, true, true, true, false, true, false, false, true};
    session.QueueSiteChmod("f", mode751);
    session.QueueFileSize("f");
    session.QueueFileSize("g");
    session.QueueParentDir();
    session.QueueSetType(true);
    EXPECT_TRUE(server.WaitDone(3000)) << server.Failure();
    EXPECT_EQ(dirs->itemText(0), QStringLiteral("/n")) << "a created folder joins the history";
    EXPECT_TRUE(LogHas("Debug:      - File size is 42 bytes"));
    EXPECT_TRUE(messages.empty()) << "a failed SIZE is silent";
    EXPECT_TRUE(session.FTP.ErrorMessage().empty());
    EXPECT_TRUE(session.FTP.Binary());
}

// Each transfer switches the type first and hands the engine its own names,
// size and resume offset.
TEST_F(SessionQueue, TransfersCarryTheirFieldsToTheEngine) {
    // The upload goes as text, the download resumes in binary (the engine
    // refuses to resume a text download: the local size is no offset there).
    Greeted()
        .Reply("TYPE A", "200 ok")
        .Expect("PASV")
        .PasvReply()
        .DataAccept()
        .Expect("STOR up")
        .Send("150 go\r\n")
        .DataReceiveAll()
        .Pause(30)
        .Send("226 stored\r\n")
        .Reply("TYPE I", "200 ok")
        .Expect("PASV")
        .PasvReply()
        .Reply("REST 3", "350 ok")
        .Expect("RETR down")
        .DataAccept()
        .Send("150 go\r\n")
        .Pause(30)
        .DataSend("lo")
        .DataClose()
        .Send("226 sent\r\n");
    LogIn();
    TempDir local;
    ASSERT_TRUE(WriteFile(local.File("up.bin"), "payload"));
    ASSERT_TRUE(WriteFile(local.File("down.txt"), "hel"));
    session.FTP.Passive = true;
    // Each transfer has its window while it runs: caption, name and size.
    std::vector<std::string> seen;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        TfrmDownload* window = session.TransferWindow;
        if (window == nullptr) return;
        const std::string line = window->windowTitle().toStdString() + " " + window->lblFilename->text().toStdString() + " " +
                                 window->lblTotalSize->text().toStdString();
        if (seen.empty() || seen.back() != line) seen.push_back(line);
    });
    watch.start(1);

    session.QueueUpload(local.File("up.bin"), "/in", 7, false, "up");
    session.QueueDownload(local.File("down.txt"), 3, 90, true, "down", "/out");
    EXPECT_TRUE(server.WaitDone(3000)) << server.Failure();
    EXPECT_EQ(server.DataReceived(), "payload");
    EXPECT_EQ(seen, (std::vector<std::string>{"Uploading ... up 7 bytes", "Downloading ... down 90 bytes"}));
    EXPECT_EQ(ReadFile(local.File("down.txt")), "hello") << "the download resumed after its first bytes";
    EXPECT_TRUE(session.TransferWindow.isNull()) << "finished transfers close their windows";
    EXPECT_EQ(progress->value(), 0);
    EXPECT_TRUE(messages.empty());
}

TEST_F(SessionQueue, EmptyQueueAndDotNamesQueueNothing) {
    session.ExecuteNextCommand();
    EXPECT_EQ(log->LineCount(), 0);
    session.QueueDownload("/tmp/x", 0, 10, true, "..", "/");
    session.QueueDownload("/tmp/x", 0, 10, true, ".", "/");
    EXPECT_EQ(log->LineCount(), 0);
}

}  // namespace
