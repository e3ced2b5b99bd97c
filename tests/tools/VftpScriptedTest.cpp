// vftp against the scripted server, for server behaviour the real servers on
// loopback do not show: a close in answer to QUIT, a reply code that is no
// FTP code. Each run of vftp is one session of the script.
#include <gtest/gtest.h>

#include "tests/support/ScriptedFtpServer.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestCertificates.h"
#include "tests/tools/VftpProcess.h"

namespace {

ScriptedFtpServer& LoggedIn(ScriptedFtpServer& server) {
    return server.Send("220 hi\r\n").Reply("USER bob", "331 pw").Reply("PASS pw", "230 in");
}

ScriptedFtpServer& Download(ScriptedFtpServer& server, const std::string& command, const std::string& bytes) {
    return server.Expect("PASV")
        .PasvReply()
        .Expect(command)
        .DataAccept()
        .Send("150 go\r\n")
        .DataSend(bytes)
        .DataClose()
        .Send("226 ok\r\n");
}

TEST(VftpScripted, ServerClosingInAnswerToQuitIsANormalEnd) {
    TempDir here;
    ASSERT_TRUE(WriteFile(here.File("up.txt"), "uploaded"));
    ScriptedFtpServer server;
    Download(LoggedIn(server).Reply("TYPE I", "200 ok"), "RETR f.txt", "page").Expect("QUIT").Close().AcceptAgain();
    Download(LoggedIn(server), "LIST", "-rw-r--r-- 1 u g 4 Jan 1 00:00 f.txt\r\n").Expect("QUIT").Close().AcceptAgain();
    LoggedIn(server).Reply("TYPE I", "200 ok").Expect("PASV").PasvReply().DataAccept().Expect("STOR up.txt");
    server.Send("150 go\r\n").DataReceiveAll().Send("226 ok\r\n").Expect("QUIT").Close().AcceptAgain();
    LoggedIn(server).Reply("MKD new", "257 \"/new\" created").Expect("QUIT").Close();
    ASSERT_TRUE(server.Start());
    const std::string url = "ftp://bob:pw@127.0.0.1:" + std::to_string(server.Port()) + "/";

    Outcome r = RunVftp({"get", url + "f.txt"}, here.Path(), here.Path(), 20);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFile(here.File("f.txt")), "page");
    r = RunVftp({"ls", url}, here.Path(), here.Path(), 20);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "-rw-r--r-- 1 u g 4 Jan 1 00:00 f.txt\n") << "a listing is text: LF line ends";
    r = RunVftp({"put", "up.txt", url}, here.Path(), here.Path(), 20);
    EXPECT_EQ(r.status, 0) << r.err;
    r = RunVftp({"mkdir", url + "new"}, here.Path(), here.Path(), 20);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(server.DataReceived(), "uploaded");
    EXPECT_EQ(server.Failure(), "");
}

TEST(VftpScripted, ReplyCodeOutsideTheProtocolRangeIsAFailure) {
    TempDir here;
    ASSERT_TRUE(WriteFile(here.File("f.txt"), "the user's copy"));
    ScriptedFtpServer server;
    LoggedIn(server).Reply("TYPE I", "200 ok").Expect("PASV").PasvReply().Reply("RETR f.txt", "65536 No such file.");
    ASSERT_TRUE(server.Start());
    const Outcome r =
        RunVftp({"get", "ftp://bob:pw@127.0.0.1:" + std::to_string(server.Port()) + "/f.txt"}, here.Path(), here.Path(), 20);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "vftp: 65536 No such file.\n");
    EXPECT_EQ(ReadFile(here.File("f.txt")), "the user's copy");
    EXPECT_EQ(server.Failure(), "");
}

// "If available" may go on in clear, but never without saying so: after a
// refused AUTH TLS, and after a refused PROT P (the files then go in clear).
TEST(VftpScripted, TryingTlsSaysEachTimeItGoesOnInClear) {
    TempDir here;
    ScriptedFtpServer server;
    const auto listing = [&server] {
        Download(server.Reply("USER bob", "331 pw").Reply("PASS pw", "230 in"), "LIST", "x\r\n").Expect("QUIT").Close();
    };
    server.Send("220 hi\r\n").Reply("AUTH TLS", "500 what");
    listing();
    server.AcceptAgain();
    server.Send("220 hi\r\n").Reply("AUTH TLS", "234 go").StartTls().Reply("PBSZ 0", "200 ok").Reply("PROT P", "536 no");
    listing();
    ASSERT_TRUE(server.Start());
    const std::string url = "ftp://bob:pw@127.0.0.1:" + std::to_string(server.Port()) + "/";
    const std::vector<std::string> tryTls{"-p", "--tls-try", "--cacert", TestCertificates::Shared().CaFile(), "ls", url};
    for (int session = 0; session < 2; ++session) {
        const Outcome r = RunVftp(tryTls, here.Path(), here.Path(), 20);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, "x\n");
        EXPECT_EQ(r.err, "vftp: the server refused TLS: continuing without encryption\n") << session;
    }
    EXPECT_EQ(server.Failure(), "");
}

}  // namespace
