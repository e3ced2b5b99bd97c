// Cases of the newer commands that real servers do not produce: EPSV
// refused (PASV once, then for the rest of the session), and extensions
// that a server without FEAT never gets.
#include <gtest/gtest.h>

#include "tests/ftp/ScriptedEngineTest.h"
#include "tests/support/TempDir.h"

namespace {

class ExtendedScript : public ScriptedEngineTest {
protected:
    ScriptedFtpServer& LoggedIn(const std::string& features) {
        return server.Send("220 hi\r\n")
            .Reply("USER bob", "331 pw")
            .Reply("PASS pw", "230 in")
            .Reply("FEAT", "211-Features:\r\n" + features + "211 End");
    }
    ScriptedFtpServer& ListOver(const char* dataCommand) {
        return server.Expect(dataCommand)
            .PasvReply()
            .Expect("LIST")
            .DataAccept()
            .Send("150 go\r\n")
            .DataClose()
            .Send("226 ok\r\n");
    }
    TempDir local;
};

TEST_F(ExtendedScript, RefusedEpsvFallsBackToPasvForTheRestOfTheSession) {
    LoggedIn(" EPSV\r\n UTF8\r\n").Reply("OPTS UTF8 ON", "200 ok").Reply("EPSV", "500 not understood");
    ListOver("PASV");
    ListOver("PASV");
    ftp.Passive = true;
    ftp.LocalFileName = local.File("listing");
    StartServer();
    ASSERT_TRUE(ftp.Login()) << ftp.ErrorMessage();
    EXPECT_EQ(ftp.LastResponse(), "230 in");
    EXPECT_TRUE(ftp.Utf8Names());
    ASSERT_TRUE(ftp.List()) << ftp.ErrorMessage();
    EXPECT_EQ(ftp.ErrorMessage(), "");
    ASSERT_TRUE(ftp.List()) << ftp.ErrorMessage();
}

TEST_F(ExtendedScript, ExtensionsNotListedAreNeverSent) {
    LoggedIn(" SIZE\r\n").Silence(300);
    ftp.HostFileName = "f";
    StartServer();
    ASSERT_TRUE(ftp.Login()) << ftp.ErrorMessage();
    EXPECT_FALSE(ftp.MachineFile());
    EXPECT_EQ(ftp.ErrorMessage(), "502 The server does not offer MLST");
    ftp.SetErrorMessage("");
    EXPECT_FALSE(ftp.SetFileTime());
    EXPECT_EQ(ftp.ErrorMessage(), "502 The server offers no way to set a file's time (MFMT, SITE UTIME)");
    server.WaitDone(2000);
    probe.Settle(300);
    EXPECT_EQ(server.Lines(), (std::vector<std::string>{"USER bob", "PASS *****", "FEAT"}));
}

// What a keep-alive meets: NOOP answered, then the server's idle close
// (421 and the end of the connection in one go) failing the next NOOP at
// once, not after the time-out.
TEST_F(ExtendedScript, NoopKeepsTheSessionAndAnIdleCloseEndsIt) {
    LoggedIn(" SIZE\r\n").Reply("NOOP", "200 ok").Expect("NOOP").Send("421 Timeout.\r\n").Close();
    StartServer();
    ASSERT_TRUE(ftp.Login()) << ftp.ErrorMessage();
    EXPECT_TRUE(ftp.Noop()) << ftp.ErrorMessage();
    EXPECT_FALSE(ftp.Noop());
    EXPECT_EQ(ftp.ErrorMessage(), "421 Timeout.");
    EXPECT_TRUE(PumpUntil([&] { return !ftp.Connected(); }, 3000));
}

}  // namespace
