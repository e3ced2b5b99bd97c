// Text (TYPE A) transfers convert line ends as Unix FTP clients do (binary
// ones stay byte for byte: see the block-edge cases). Real servers show what a user gets; the scripted
// server shows the bytes on the wire, which real servers convert on their
// side (with the fixtures' settings both store LF and send CR LF).
#include <gtest/gtest.h>

#include <algorithm>

#include "ftp/FtpLocalFile.h"
#include "tests/ftp/RealServerFixture.h"
#include "tests/ftp/ScriptedEngineTest.h"
#include "tests/support/TempDir.h"

namespace {

using TextMode = RealServer;

// A CGI script as a site keeps it, a lone CR in a line, and a last line
// without a line end; long enough to cross several receive blocks.
std::string Script(std::size_t minimum) {
    std::string text = "#!/usr/bin/perl\nprint \"Content-Type: text/html\\n\\n\";\n\nlone\rcr\n";
    while (text.size() < minimum) text += "print \"" + std::to_string(text.size()) + "\";\n";
    return text + "last line";
}

std::int64_t WireSize(const std::string& local) {
    return static_cast<std::int64_t>(local.size() + static_cast<std::size_t>(std::count(local.begin(), local.end(), '\n')));
}

TEST_P(TextMode, AnLfFileMakesTheRoundTripAndProgressCountsTheWire) {
    ASSERT_TRUE(ftp.Login()) << ftp.ErrorMessage();
    ASSERT_TRUE(ftp.RunAndWait([&] { ftp.BeginTypeAscii(); }));
    for (const std::size_t size : {std::size_t{100}, 3 * static_cast<std::size_t>(TCustomFtpCli::kReceiveBlock) + 7}) {
        SCOPED_TRACE(size);
        const std::string script = Script(size);
        ASSERT_TRUE(WriteFile(local.File("page.cgi"), script));
        std::int64_t lastCount = -1;
        ftp.OnProgress = [&](TCustomFtpCli*, std::int64_t count, bool&) { lastCount = count; };
        ftp.HostFileName = "page.cgi";
        ftp.LocalFileName = local.File("page.cgi");
        ASSERT_TRUE(ftp.Store()) << ftp.ErrorMessage();
        EXPECT_TRUE(ReadFile(ServerFile("page.cgi")) == script) << "the server keeps LF files in LF";
        EXPECT_EQ(ftp.ByteCount(), WireSize(script));
        EXPECT_EQ(lastCount, WireSize(script));

        ftp.LocalFileName = local.File("back.cgi");
        ASSERT_TRUE(ftp.Retrieve()) << ftp.ErrorMessage();
        EXPECT_TRUE(ReadFile(local.File("back.cgi")) == script) << "LF again after the round trip";
        EXPECT_EQ(ftp.ByteCount(), WireSize(script));
        EXPECT_EQ(lastCount, WireSize(script));
        const std::string stats = "! " + std::to_string(WireSize(script)) + " bytes received/sent";
        EXPECT_TRUE(std::any_of(probe.display.begin(), probe.display.end(),
                                [&](const std::string& line) { return line.rfind(stats, 0) == 0; }));
    }
}

TEST_P(TextMode, ServerFilesArriveWithLfWhateverTheyHold) {
    struct Row {
        const char* name;
        std::string stored;
        std::string local;
    };
    const Row rows[] = {
        {"unix.txt", "one\ntwo\n", "one\ntwo\n"},
        {"dos.txt", "one\r\ntwo\r\n", "one\ntwo\n"},
        {"cr.txt", "lone\rcr\n", "lone\rcr\n"},
    };
    ASSERT_TRUE(ftp.Login()) << ftp.ErrorMessage();
    ASSERT_TRUE(ftp.RunAndWait([&] { ftp.BeginTypeAscii(); }));
    for (const Row& row : rows) {
        ASSERT_TRUE(WriteFile(ServerFile(row.name), row.stored));
        ftp.HostFileName = row.name;
        ftp.LocalFileName = local.File(row.name);
        ASSERT_TRUE(ftp.Retrieve()) << ftp.ErrorMessage();
        EXPECT_EQ(ReadFile(local.File(row.name)), row.local) << row.name;
    }

    // A listing, which a session asks for in text mode, comes with LF only.
    ftp.HostFileName.clear();
    ftp.LocalFileName = local.File("listing");
    ASSERT_TRUE(ftp.List()) << ftp.ErrorMessage();
    const std::string listing = ReadFile(local.File("listing"));
    EXPECT_NE(listing.find("dos.txt"), std::string::npos);
    EXPECT_EQ(listing.find('\r'), std::string::npos) << listing;
}

// The local size of a text download is no offset in the server's bytes:
// resuming from it would duplicate or lose text. The engine refuses before
// anything is sent or written; binary mode resumes as before.
TEST_P(TextMode, ResumeIsRefusedInTextModeAndTheLocalFileStays) {
    ASSERT_TRUE(WriteFile(ServerFile("notes.txt"), "first\nsecond\nthird\n"));
    ASSERT_TRUE(WriteFile(local.File("notes.txt"), "first\nsec"));
    ASSERT_TRUE(ftp.Login()) << ftp.ErrorMessage();
    ASSERT_TRUE(ftp.RunAndWait([&] { ftp.BeginTypeAscii(); }));
    ftp.HostFileName = "notes.txt";
    ftp.LocalFileName = local.File("notes.txt");
    EXPECT_FALSE(ftp.RestartRetrieve());
    EXPECT_EQ(ftp.ResultCode(), 501);
    EXPECT_EQ(ftp.ErrorMessage().rfind("501 Resume is not possible in text mode", 0), 0u) << ftp.ErrorMessage();
    EXPECT_FALSE(std::any_of(probe.display.begin(), probe.display.end(), [](const std::string& line) {
        return line.rfind("> REST", 0) == 0 || line.rfind("> RETR", 0) == 0;
    }));
    EXPECT_EQ(ReadFile(local.File("notes.txt")), "first\nsec");
    EXPECT_EQ(ftp.ResumeAt, 0);
    ASSERT_TRUE(ftp.Pwd()) << "the session goes on: " << ftp.ErrorMessage();

    ASSERT_TRUE(ftp.RunAndWait([&] { ftp.BeginTypeBinary(); }));
    ASSERT_TRUE(ftp.RestartRetrieve()) << ftp.ErrorMessage();
    EXPECT_EQ(ReadFile(local.File("notes.txt")), "first\nsecond\nthird\n");
}

INSTANTIATE_TEST_SUITE_P(Modes, TextMode,
                         ::testing::Values("pyftpdlib_passive", "pyftpdlib_active", "vsftpd_passive", "vsftpd_active"),
                         ServerName);

// The wire, as a scripted server records it. A session starts in text mode,
// so nothing needs a TYPE here; "TYPE I" sent as a raw command ends it.
class TextScript : public ScriptedEngineTest {
protected:
    void SetUp() override { server.Send("220 hi\r\n").Reply("USER bob", "331 pw").Reply("PASS pw", "230 in"); }
    TempDir local;
};

TEST_F(TextScript, UploadsPutCrLfOnTheWireAndASplitCrLfBecomesOneLf) {
    server.Expect("PASV").PasvReply().DataAccept().Expect("STOR page.cgi").Send("150 go\r\n").DataReceiveAll().Send("226 ok\r\n");
    server.Expect("PASV")
        .PasvReply()
        .Expect("RETR page.cgi")
        .DataAccept()
        .Send("150 go\r\n")
        .DataSend("abc\r")
        .Pause(100)
        .DataSend("\ndef\r")
        .Pause(100)
        .DataSend("x\r")
        .DataClose()
        .Send("226 ok\r\n");
    server.Reply("TYPE I", "200 binary");
    server.Expect("PASV")
        .PasvReply()
        .Expect("RETR page.cgi")
        .DataAccept()
        .Send("150 go\r\n")
        .DataSend("a\r\nb")
        .DataClose()
        .Send("226 ok\r\n");
    ftp.Passive = true;
    StartLoggedIn();
    ASSERT_TRUE(WriteFile(local.File("page.cgi"), "#!/bin/sh\necho hi\r\n\nlone\rcr"));
    ftp.HostFileName = "page.cgi";
    ftp.LocalFileName = local.File("page.cgi");
    ASSERT_TRUE(ftp.Store()) << ftp.ErrorMessage();
    EXPECT_EQ(server.DataReceived(), "#!/bin/sh\r\necho hi\r\n\r\nlone\rcr");

    ftp.LocalFileName = local.File("got.cgi");
    ASSERT_TRUE(ftp.Retrieve()) << ftp.ErrorMessage();
    EXPECT_EQ(ReadFile(local.File("got.cgi")), "abc\ndef\rx\r");
    EXPECT_EQ(ftp.ByteCount(), 11) << "the bytes on the wire";

    ftp.QuoteLine = "TYPE I";
    ASSERT_TRUE(ftp.Quote()) << ftp.ErrorMessage();
    ftp.LocalFileName = local.File("raw.bin");
    ASSERT_TRUE(ftp.Retrieve()) << ftp.ErrorMessage();
    EXPECT_EQ(ReadFile(local.File("raw.bin")), "a\r\nb");
}

}  // namespace
