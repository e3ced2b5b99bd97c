// Transfers of the browsing connection against a scripted server: what goes
// on the wire in text mode, and a refused download.
#include <sys/stat.h>

#include <fstream>

#include "session/RemotePane.h"
#include "tests/session/SessionFixture.h"
#include "tests/support/QtTestSupport.h"
#include "tests/support/ScriptedFtpServer.h"
#include "tests/support/TempDir.h"

namespace {

class TransferScript : public SessionFixture {
protected:
    void SetUp() override {
        RecordMessages();
        session.ListingTempFile = work.File("listing.tmp");
        ::mkdir(local.File("target").c_str(), 0755);
        pane.LocalFolder = [this] { return local.File("target"); };
        server.Send("220 hi\r\n").Reply("USER bob", "331 pw").Reply("PASS pw", "230 in");
        Listing("drwxr-xr-x 2 a b 4096 Jan 1 2020 a\r\n").Reply("PWD", "257 \"/\"");
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
    void Connect() {
        server.Reply("QUIT", "221 bye");
        ASSERT_TRUE(server.Start()) << server.Failure();
        ConnectPassive(server.Port(), "bob", "pw");
    }
    void Finish() {
        session.DisconnectAction();
        EXPECT_TRUE(server.WaitDone(5000)) << server.Failure();
    }

    TempDir work;
    TempDir local;
    ScriptedFtpServer server;
    TRemotePane pane{session, files, dirs, &window};
};

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
