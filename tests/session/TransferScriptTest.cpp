// Folder downloads against a scripted server: hostile names never leave the
// chosen folder, and an abort stops the folder being walked while the
// enclosing walk goes on.
#include <sys/stat.h>

#include <QPushButton>
#include <QTimer>
#include <fstream>

#include "session/FrmDownload.h"
#include "session/RemotePane.h"
#include "tests/session/SessionFixture.h"
#include "tests/support/QtTestSupport.h"
#include "tests/support/ScriptedFtpServer.h"
#include "tests/support/TempDir.h"

namespace {

bool Exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

class TransferScript : public SessionFixture {
protected:
    void SetUp() override {
        RecordMessages();
        session.ListingTempFile = work.File("listing.tmp");
        ::mkdir(local.File("target").c_str(), 0755);
        pane.LocalFolder = [this] { return local.File("target"); };
        server.Send("220 hi\r\n").Reply("USER bob", "331 pw").Reply("PASS pw", "230 in");
        Listing(kRoot).Reply("PWD", "257 \"/\"");
    }

    // TYPE A, a passive LIST that sends `lines`, its replies.
    ScriptedFtpServer& Listing(const std::string& lines) {
        return server.Reply("TYPE A", "200 ok")
            .Expect("PASV")
            .PasvReply()
            .Expect("LIST")
            .DataAccept()
            .Send("150 here\r\n")
            .DataSend(lines)
            .DataClose()
            .Send("226 done\r\n");
    }
    // A passive binary RETR of `name` sending `data`.
    ScriptedFtpServer& Retrieve(const std::string& name, const std::string& data) {
        return server.Reply("TYPE I", "200 ok")
            .Expect("PASV")
            .PasvReply()
            .Expect("RETR " + name)
            .DataAccept()
            .Send("150 go\r\n")
            .DataSend(data)
            .DataClose()
            .Send("226 sent\r\n");
    }
    // Into a folder and, after its work, back to the root.
    ScriptedFtpServer& Enter(const std::string& folder, const std::string& lines) {
        server.Reply("CWD " + folder, "250 ok");
        return Listing(lines).Reply("PWD", "257 \"/" + folder + "\"");
    }
    ScriptedFtpServer& BackToRoot() {
        server.Reply("CWD /", "250 ok");
        return Listing(kRoot).Reply("PWD", "257 \"/\"");
    }
    void Connect() {
        server.Reply("QUIT", "221 bye");
        ASSERT_TRUE(server.Start()) << server.Failure();
        ConnectPassive(server.Port(), "bob", "pw");
    }
    void Finish() {
        session.DisconnectAction();
        EXPECT_TRUE(server.WaitDone(5000)) << server.Failure();
    }

    static constexpr char kRoot[] =
        "drwxr-xr-x 2 a b 4096 Jan 1 2020 evil\r\n"
        "drwxr-xr-x 2 a b 4096 Jan 1 2020 a\r\n"
        "drwxr-xr-x 2 a b 4096 Jan 1 2020 z\r\n";

    TempDir work;
    TempDir local;
    ScriptedFtpServer server;
    TRemotePane pane{session, files, dirs, &window};
};

TEST_F(TransferScript, HostileNamesAreSkippedAndLogged) {
    Enter("evil",
          "drwxr-xr-x 2 a b 4096 Jan 1 2020 .\r\n"
          "drwxr-xr-x 2 a b 4096 Jan 1 2020 ..\r\n"
          "-rw-r--r-- 1 a b 4 Jan 1 2020 ../../x\r\n"
          "-rw-r--r-- 1 a b 4 Jan 1 2020 a/b\r\n"
          "-rw-r--r-- 1 a b 4 Jan 1 2020 /etc/x\r\n"
          "-rw-r--r-- 1 a b 4 Jan 1 2020 back\\slash\r\n"
          "drwxr-xr-x 2 a b 4096 Jan 1 2020 ../up\r\n"
          "-rw-r--r-- 1 a b 4 Jan 1 2020 good.txt\r\n");
    Retrieve("good.txt", "good");
    BackToRoot();
    Connect();
    Select({"evil"});
    pane.itmSrvFilesDownloadClick();
    Finish();
    EXPECT_EQ(qttest::ReadFile(local.File("target/evil/good.txt")), "good");
    for (const char* outside : {"x", "target/x", "target/evil/a", "up", "target/up", "target/evil/back\\slash"})
        EXPECT_FALSE(Exists(local.File(outside))) << outside;
    int skipped = 0;
    for (const std::string& line : Log()) skipped += line.find("the name would leave the folder") != std::string::npos;
    EXPECT_EQ(skipped, 5);
    EXPECT_TRUE(messages.empty()) << messages.front();
}

TEST_F(TransferScript, AbortStopsTheFolderAndTheWalkGoesOn) {
    Enter("a",
          "-rw-r--r-- 1 a b 100000 Jan 1 2020 big.bin\r\n"
          "-rw-r--r-- 1 a b 3 Jan 1 2020 c.txt\r\n");
    // The server sends a first part and waits; the user aborts meanwhile.
    server.Reply("TYPE I", "200 ok")
        .Expect("PASV")
        .PasvReply()
        .Expect("RETR big.bin")
        .DataAccept()
        .Send("150 go\r\n")
        .DataSend(std::string(8192, 'b'))
        .Pause(500)
        .DataClose()
        .Send("226 sent\r\n");
    BackToRoot();
    Enter("z", "");
    BackToRoot();
    Connect();
    QTimer abort;
    QObject::connect(&abort, &QTimer::timeout, [&] {
        if (session.TransferWindow != nullptr && session.TransferWindow->lblReceived->text() != QStringLiteral("0 bytes"))
            session.TransferWindow->btnAbort->click();
    });
    abort.start(5);
    Select({"a", "z"});
    pane.itmSrvFilesDownloadClick();
    Finish();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "426 Operation aborted.");
    EXPECT_EQ(qttest::ReadFile(local.File("target/a/big.bin")), std::string(8192, 'b')) << "the partial file stays";
    EXPECT_FALSE(Exists(local.File("target/a/c.txt")));
    EXPECT_TRUE(Exists(local.File("target/z")));
    EXPECT_TRUE(session.TransferWindow.isNull());
}

// Text goes on the wire with CR LF whatever the local file holds.
TEST_F(TransferScript, TextUploadsSendCrLf) {
    server.Reply("TYPE A", "200 ok")
        .Expect("PASV")
        .PasvReply()
        .Expect("STOR notes.txt")
        .DataAccept()
        .Send("150 go\r\n")
        .DataReceiveAll()
        .Send("226 stored\r\n");
    Connect();
    const std::string path = local.File("target/notes.txt");
    std::ofstream(path, std::ios::binary) << "one\ntwo\r\nthree\rfour\n";
    session.QueueUpload(path, "/", 20, false, "notes.txt");
    Finish();
    EXPECT_EQ(server.DataReceived(), "one\r\ntwo\r\nthree\rfour\r\n");
    EXPECT_TRUE(messages.empty()) << messages.front();
}

// Refused after PASV: ends at once in the server's words, and a local file
// of that name is left as it was.
TEST_F(TransferScript, RefusedDownloadEndsAtOnceWithTheServersText) {
    server.Reply("TYPE I", "200 ok").Expect("PASV").PasvReply().Reply("RETR gone.bin", "550 gone.bin: No such file");
    Connect();
    session.FTP.Timeout = 30;
    std::ofstream(local.File("target/gone.bin")) << "mine";
    session.QueueDownload(local.File("target/gone.bin"), 0, 10, true, "gone.bin", "/");
    Finish();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "550 gone.bin: No such file");
    EXPECT_EQ(qttest::ReadFile(local.File("target/gone.bin")), "mine");
}

}  // namespace
