#pragma once
// Fixture of the scripted transfer cases: the server's script begins with a
// log-in as bob and a switch to binary (the bytes of these cases are not
// text), and LogIn() prepares a passive transfer of the remote file "f" to
// or from the local file "f" of a private folder.

#include "tests/ftp/ScriptedEngineTest.h"
#include "tests/support/TempDir.h"

class TransferScript : public ScriptedEngineTest {
protected:
    void SetUp() override { Greeting(); }
    ScriptedFtpServer& Greeting() {
        return server.Send("220 hi\r\n").Reply("USER bob", "331 pw").Reply("PASS pw", "230 in").Reply("TYPE I", "200 binary");
    }
    // Logs in for a passive transfer of "f"; the case's script follows.
    void LogIn() {
        ftp.Passive = true;
        ftp.HostFileName = "f";
        ftp.LocalFileName = local.File("f");
        StartServer();
        ASSERT_NO_FATAL_FAILURE(LogInAgain());
    }
    // The log-in and the switch to binary of a later session.
    void LogInAgain() {
        ASSERT_TRUE(ftp.Login()) << ftp.ErrorMessage();
        ASSERT_TRUE(ftp.TransferType()) << ftp.ErrorMessage();
        probe.Settle(20);
        probe.done.clear();
    }
    // Passive set-up of a download of "f".
    ScriptedFtpServer& Retr() { return server.Expect("PASV").PasvReply().Expect("RETR f").DataAccept(); }

    TempDir local;
};
