// Event handlers that pump messages or destroy the engine, as the window's
// handlers do: a nested reply never replaces the one being judged, and an
// engine destroyed by a handler is never touched again (the sanitizer build
// turns any such touch into a failure).
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "ftp/Ftpcli.h"
#include "tests/ftp/EngineProbe.h"
#include "tests/support/ScriptedFtpServer.h"
#include "tests/support/TempDir.h"

namespace {

ScriptedFtpServer& LoggedIn(ScriptedFtpServer& server) {
    return server.Send("220 hi\r\n").Reply("USER bob", "331 pw").Reply("PASS pw", "230 in");
}

// The log-in's first reply comes in two segments; a handler pumps messages
// while its first line is handled, so the second arrives inside it and the
// log-in goes on to PASS, whose reply is still on its way.
TEST(Reentry, HandlersThatPumpMessagesDoNotDisturbTheReplyBeingJudged) {
    const auto pump = [] { (void)PumpUntil([] { return false; }, 250); };
    for (const char* hook : {"OnDisplay", "OnResponse", "OnStateChange"}) {
        SCOPED_TRACE(hook);
        ScriptedFtpServer server;
        server.Send("220 hi\r\n").Expect("USER bob").Send("331-Password\r\n").Pause(100).Send("331 needed\r\n");
        server.Expect("PASS pw").Pause(600).Send("230 in\r\n").Reply("PWD", "257 \"/\"");
        ASSERT_TRUE(server.Start());
        TFtpClient ftp;
        PointAtScripted(ftp, server.Port());
        const std::string name = hook;
        ftp.OnDisplay = [&](TCustomFtpCli*, std::string& msg) {
            if (name == "OnDisplay" && msg == "< 331-Password") pump();
        };
        ftp.OnResponse = [&](TCustomFtpCli* sender) {
            if (name == "OnResponse" && sender->LastResponse() == "331-Password") pump();
        };
        bool pumped = false;
        ftp.OnStateChange = [&](TCustomFtpCli* sender) {
            if (name == "OnStateChange" && sender->State() == ftpStateWaitingReply && !pumped) {
                pumped = true;
                (void)PumpUntil([] { return false; }, 600);
            }
        };
        EXPECT_TRUE(ftp.Login()) << ftp.ErrorMessage();
        EXPECT_TRUE(ftp.Pwd()) << ftp.ErrorMessage();
        EXPECT_EQ(ftp.ReplyDirectory(), "/");
        EXPECT_EQ(server.Failure(), "");
    }
}

// The end of a request is reported (OnStateChange to ready) from inside the
// handling of its reply; a handler there may run the next request with a
// blocking form, which must see that request's replies.
TEST(Reentry, ABlockingRequestFromAHandlerSeesItsOwnReplies) {
    ScriptedFtpServer server;
    LoggedIn(server).Reply("PWD", "257 \"/one\"").Reply("PWD", "257 \"/two\"").Reply("CDUP", "200 ok");
    ASSERT_TRUE(server.Start());
    TFtpClient ftp;
    PointAtScripted(ftp, server.Port());
    ASSERT_TRUE(ftp.Login());
    bool started = false;
    bool nested = false;
    std::string nestedDirectory;
    ftp.OnStateChange = [&](TCustomFtpCli* sender) {
        if (sender->State() != ftpStateReady || started) return;
        started = true;
        nested = ftp.Pwd();
        nestedDirectory = ftp.ReplyDirectory();
    };
    EXPECT_TRUE(ftp.Pwd()) << ftp.ErrorMessage();
    EXPECT_TRUE(nested) << ftp.ErrorMessage();
    EXPECT_EQ(nestedDirectory, "/two");
    EXPECT_TRUE(ftp.Cdup()) << "replies in step afterwards: " << ftp.ErrorMessage();
    EXPECT_EQ(server.Failure(), "");
}

struct Destroyer {
    const char* event;
    // Binds a handler that calls `destroy` at the event.
    std::function<void(TFtpClient&, const std::function<void()>&)> bind;
    // The script after the log-in (or the whole script when it opens).
    std::function<void(ScriptedFtpServer&)> script;
    // Runs the request with a blocking form.
    std::function<bool(TFtpClient&)> run;
    bool loggedInFirst;
};

ScriptedFtpServer& Download(ScriptedFtpServer& s) {
    return s.Expect("PASV").PasvReply().Expect("RETR f").DataAccept().Send("150 go\r\n").DataSend(std::string(50000, 'x'));
}

std::vector<Destroyer> Destroyers() {
    const auto retrieve = [](TFtpClient& ftp) { return ftp.Retrieve(); };
    const auto onState = [](TFtpState wanted) {
        return [wanted](TFtpClient& ftp, const std::function<void()>& destroy) {
            ftp.OnStateChange = [wanted, destroy](TCustomFtpCli* sender) {
                if (sender->State() == wanted) destroy();
            };
        };
    };
    return {
        {"OnProgress",
         [](TFtpClient& ftp, const std::function<void()>& destroy) {
             ftp.OnProgress = [destroy](TCustomFtpCli*, std::int64_t, bool&) { destroy(); };
         },
         [](ScriptedFtpServer& s) { Download(s).Pause(300).DataClose().Send("226 ok\r\n"); }, retrieve, true},
        {"OnReadyToTransmit",
         [](TFtpClient& ftp, const std::function<void()>& destroy) {
             ftp.OnReadyToTransmit = [destroy](TCustomFtpCli*, bool&) { destroy(); };
         },
         [](ScriptedFtpServer& s) { s.Expect("PASV").PasvReply().Silence(300); }, [](TFtpClient& ftp) { return ftp.Store(); },
         true},
        {"OnStateChange to waiting for a reply", onState(ftpStateWaitingReply), [](ScriptedFtpServer& s) { s.Silence(300); },
         retrieve, true},
        {"OnStateChange to ready", onState(ftpStateReady),
         [](ScriptedFtpServer& s) { Download(s).DataClose().Send("226 ok\r\n"); }, retrieve, true},
        {"OnStateChange to between steps", onState(ftpStateBetweenSteps),
         [](ScriptedFtpServer& s) { s.Expect("PASV").PasvReply().Silence(300); }, retrieve, true},
        {"OnSessionConnected",
         [](TFtpClient& ftp, const std::function<void()>& destroy) {
             ftp.OnSessionConnected = [destroy](TCustomFtpCli*, std::uint16_t) { destroy(); };
         },
         [](ScriptedFtpServer& s) { s.Send("220 hi\r\n").Silence(300); }, [](TFtpClient& ftp) { return ftp.Login(); }, false},
        {"OnSessionClosed",
         [](TFtpClient& ftp, const std::function<void()>& destroy) {
             ftp.OnSessionClosed = [destroy](TCustomFtpCli*, std::uint16_t) { destroy(); };
         },
         [](ScriptedFtpServer& s) { Download(s).Close(); }, retrieve, true},
        {"OnResponse",
         [](TFtpClient& ftp, const std::function<void()>& destroy) {
             ftp.OnResponse = [destroy](TCustomFtpCli* sender) {
                 if (sender->LastResponse() == "150 go") destroy();
             };
         },
         [](ScriptedFtpServer& s) { Download(s).Send("226 ok\r\n").DataClose(); }, retrieve, true},
    };
}

TEST(Reentry, AHandlerMayDestroyTheEngine) {
    for (const Destroyer& d : Destroyers()) {
        SCOPED_TRACE(d.event);
        ScriptedFtpServer server;
        if (d.loggedInFirst) LoggedIn(server);
        d.script(server);
        ASSERT_TRUE(server.Start());
        TempDir local;
        auto engine = std::make_unique<TFtpClient>();
        TFtpClient& ftp = *engine;
        PointAtScripted(ftp, server.Port());
        ftp.Passive = true;
        ftp.HostFileName = "f";
        ftp.LocalFileName = local.File("f");
        ASSERT_TRUE(WriteFile(local.File("f"), "local"));
        if (d.loggedInFirst) {
            ASSERT_TRUE(ftp.Login());
        }
        d.bind(ftp, [&engine] { engine.reset(); });
        EXPECT_FALSE(d.run(ftp));
        EXPECT_EQ(engine, nullptr);
        (void)PumpUntil([] { return false; }, 200);
    }
}

}  // namespace
