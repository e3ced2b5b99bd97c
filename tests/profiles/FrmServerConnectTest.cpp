// The connecting window: its three progress lines, password masking, and
// following (and cancelling) a real connection attempt of the engine.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QtTest/QTest>

#include "ftp/Ftpcli.h"
#include "profiles/FrmServerConnect.h"
#include "tests/support/PyFtpdServer.h"
#include "tests/support/QtTestSupport.h"
#include "tests/support/ScriptedFtpServer.h"
#include "util/FTPServerObj.h"
#include "util/MiscUtils.h"
#include "util/ui/QtMessagePump.h"

namespace {

using Line = std::pair<QString, QColor>;

std::vector<Line> Lines(const TfrmServerConnect& window) {
    std::vector<Line> lines;
    for (const QLabel* label : window.lblProgress)
        lines.emplace_back(label->text(), label->palette().color(QPalette::WindowText));
    return lines;
}

TEST(ConnectWindowTest, StartsUntitledThenScrollsThreeColouredLinesWithPasswordsMasked) {
    auto* window = new TfrmServerConnect;
    int destroyed = 0, aborts = 0;
    window->OnDestroy = [&](TfrmServerConnect*) { ++destroyed; };
    window->OnAbort = [&](TfrmServerConnect*) { ++aborts; };
    EXPECT_EQ(window->parentWidget(), nullptr) << "not owned by the main window";
    EXPECT_EQ(std::tuple(window->lblServerName->text(), window->lblAddress->text()), std::tuple("Untitled", "Unknown"));
    EXPECT_TRUE(window->AnimationPlaying());

    TFTPServer office;
    std::tie(office.Name, office.Hostname, office.Port) = std::tuple("Office", "ftp.example.net", "2121");
    window->SetServer(office);
    EXPECT_EQ(std::tuple(window->lblServerName->text(), window->lblAddress->text()),
              std::tuple("Office", "ftp.example.net on port 2121"));

    const QColor text = window->palette().color(QPalette::WindowText);
    const QColor state(11, 0, 0);
    const QColor blank = window->lblProgress[0]->palette().color(QPalette::WindowText);
    window->AddStateText("Trying to connect to ftp.example.net ...");
    window->AddDisplayText("< 220 <b>Welcome</b>");
    EXPECT_EQ(
        Lines(*window),
        (std::vector<Line>{{"", blank}, {"Trying to connect to ftp.example.net ...", state}, {"220 <b>Welcome</b>", text}}));
    window->AddStateText("Connected !");
    window->AddDisplayText("> USER bob");
    EXPECT_EQ(Lines(*window), (std::vector<Line>{{"220 <b>Welcome</b>", text}, {"Connected !", state}, {"USER bob", text}}));
    EXPECT_EQ(window->lblProgress[0]->textFormat(), Qt::PlainText) << "server texts are never markup";
    window->AddDisplayText("> PASS s3cret");
    EXPECT_EQ(window->lblProgress[2]->text(), "PASS *****");
    window->AddProgressLine("> PASS s3cret", Qt::black);
    EXPECT_EQ(std::tuple(window->lblProgress[1]->text(), window->lblProgress[2]->text()),
              std::tuple("PASS *****", "> PASS *****"))
        << "masked as shown, and scrolled up as masked";

    delete window;  // what the session does once connected
    EXPECT_EQ(std::pair(destroyed, aborts), std::pair(1, 0)) << "freeing the window is not cancelling it";
}

TEST(ConnectWindowTest, PasswordsAreMaskedAsInTheLog) {
    const std::pair<std::string, std::string> cases[] = {{"PASS s3cret", "PASS *****"},
                                                         {"pass s3cret", "PASS *****"},
                                                         {"> PASS s3cret", "> PASS *****"},
                                                         {"PASS", "PASS *****"},
                                                         {"USER bob", "USER bob"},
                                                         {"331 Password required for bob", "331 Password required for bob"},
                                                         {"", ""}};
    for (const auto& [text, shown] : cases) EXPECT_EQ(MaskPassword(text), shown) << text;
}

// A connection attempt followed by the window the way the main window does
// it: display texts and states are fed while the window exists.
class ConnectAttemptTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = new TfrmServerConnect;
        guard = window;
        window->OnDestroy = [this](TfrmServerConnect*) {
            ++destroyed;
            window = nullptr;
        };
        window->OnAbort = [this](TfrmServerConnect*) {
            ++aborts;
            (void)ftp.AbortSessionWait();
            (void)ftp.Quit();
        };
        ftp.OnDisplay = [this](TCustomFtpCli*, std::string& msg) {
            if (window == nullptr) return;
            window->AddDisplayText(msg);
            shown += window->lblProgress[2]->text() + '\n';
            if (msg.compare(0, 6, "> PASS") == 0 && onPassword) onPassword();
        };
        ftp.OnStateChange = [this](TCustomFtpCli*) {
            if (window == nullptr) return;
            if (ftp.State() == ftpStateReady && ftp.Connected()) {
                delete window;  // connected: freed without its close handling
                return;
            }
            if (ftp.State() == ftpStateConnected) window->AddStateText("Connected !");
        };
        ftp.HostName = "127.0.0.1";
        ftp.Timeout = 30;
        window->show();
    }

    void TearDown() override {
        delete window;
        if (ftp.Connected()) ftp.AbortSession();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QtMessagePump pump;
    TFtpClient ftp;
    TfrmServerConnect* window = nullptr;
    QPointer<TfrmServerConnect> guard;
    int destroyed = 0, aborts = 0;
    QString shown;  // the bottom line after each display text
    std::function<void()> onPassword;
};

TEST_F(ConnectAttemptTest, ALoginShowsThePasswordCommandMaskedAndFreesTheWindowOnceConnected) {
    PyFtpdServer server;
    ASSERT_TRUE(server.Start()) << server.Error();
    std::tie(ftp.Port, ftp.UserName, ftp.PassWord) = std::tuple(std::to_string(server.Port()), server.User(), server.Password());
    ASSERT_TRUE(ftp.Login()) << ftp.ErrorMessage();
    EXPECT_TRUE(shown.contains("PASS *****"));
    EXPECT_FALSE(shown.contains(QString::fromStdString(server.Password())));
    EXPECT_TRUE(guard.isNull()) << "freed at once";
    EXPECT_EQ(std::tuple(window, destroyed, aborts), std::tuple(nullptr, 1, 0));
    EXPECT_TRUE(ftp.Connected()) << "neither abort nor QUIT";
    EXPECT_TRUE(ftp.Quit());
}

TEST_F(ConnectAttemptTest, EscapeAbortsAnAttemptThatWaitsForTheServer) {
    ScriptedFtpServer server;
    server.Send("220 ready\r\n").Expect("USER bob").Send("331 password please\r\n").Expect("PASS *").Silence(10000);
    ASSERT_TRUE(server.Start()) << server.Failure();
    std::tie(ftp.Port, ftp.UserName, ftp.PassWord) = std::tuple(std::to_string(server.Port()), "bob", "hunter2");
    // A main window that tidies up when the session closes, as it may while
    // the abort runs.
    ftp.OnSessionClosed = [this](TCustomFtpCli*, std::uint16_t) { delete window; };
    // The user gives up once the password went out and nothing comes back.
    onPassword = [this] {
        QTimer::singleShot(200, guard.data(), [this] {
            QWidget* focused = guard->focusWidget();
            QTest::keyClick(focused != nullptr ? focused : guard.data(), Qt::Key_Escape);
        });
    };
    QElapsedTimer clock;
    clock.start();
    // What the blocking log-in returns after an abort is the engine's
    // business; here it matters that the attempt ends at once.
    (void)ftp.Login();
    EXPECT_LT(clock.elapsed(), 5000) << "ended by the abort, not by the time-out";
    EXPECT_EQ(std::tuple(window, destroyed, aborts), std::tuple(nullptr, 1, 1));
    EXPECT_FALSE(ftp.Connected());
    EXPECT_FALSE(shown.contains("hunter2"));
    ASSERT_FALSE(guard.isNull()) << "the window frees itself after its close handling";
    EXPECT_FALSE(guard->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(guard.isNull());
    EXPECT_TRUE(server.WaitDone(5000)) << server.Failure();
}

}  // namespace
