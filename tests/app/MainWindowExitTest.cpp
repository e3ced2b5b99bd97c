// The main window where a user could lose work or get stuck: leaving while a
// connection attempt waits, a data folder that cannot be used, and choosing
// another server while connected.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>
#include <functional>

#include "app/FrmMain.h"
#include "dialogs/FrmOptions.h"
#include "profiles/FrmServerAdd.h"
#include "profiles/FrmServerConnect.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/support/PyFtpdServer.h"
#include "tests/support/ScriptedFtpServer.h"
#include "tests/support/TempDir.h"
#include "util/ui/SpinEdit.h"

namespace {

// Records and closes every modal window that comes up, so that a message the
// user should never see fails the test instead of blocking it.
class ModalWatch {
public:
    ModalWatch() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr) return;
            auto* box = qobject_cast<QMessageBox*>(modal);
            seen.push_back(box != nullptr ? box->text().toStdString() : modal->metaObject()->className());
            modal->close();
        });
        timer_.start(10);
    }
    std::vector<std::string> seen;

private:
    QTimer timer_;
};

std::vector<std::string> VisibleWindows() {
    std::vector<std::string> shown;
    for (const QWidget* top : QApplication::topLevelWidgets())
        if (top->isVisible()) shown.push_back(top->metaObject()->className());
    return shown;
}

TEST_F(MainWindow, ExitWhileTheServerKeepsTheLogInWaitingEndsWithoutAMessageOrAWindowLeft) {
    // Without a greeting the connecting window stays up; after one, the
    // session counts as connected while the log-in waits.
    struct Case {
        const char* silence;
        std::function<void(ScriptedFtpServer&)> script;
        bool connectingWindow;
    };
    const Case cases[] = {
        {"never greets", [](ScriptedFtpServer& s) { s.Silence(20000); }, true},
        {"never answers USER", [](ScriptedFtpServer& s) { s.Send("220 ready\r\n").Silence(20000); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.silence);
        ScriptedFtpServer server;
        c.script(server);
        ASSERT_TRUE(server.Start()) << server.Failure();
        SaveProfiles({{"Silent", server.Port()}});
        auto window = Start();
        window->frmOptions->sedtTimeOut->setValue(60);

        // While the attempt waits, both Disconnect controls agree; then the
        // user leaves through File > Exit.
        bool controlsChecked = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            const bool waiting = c.connectingWindow ? !window->frmServerConnect.isNull() && window->frmServerConnect->isVisible()
                                                    : Has(LogLines(*window), "Command:    USER anonymous");
            if (controlsChecked || !waiting) return;
            controlsChecked = true;
            emit window->mnuServers->aboutToShow();
            EXPECT_EQ(window->itmDisconnectFromServer->isEnabled(), window->tb97Disconnect->isEnabled());
            EXPECT_EQ(window->tb97Disconnect->isEnabled(), !c.connectingWindow);
            QTimer::singleShot(200, window.get(), [&] { window->itmFileExit->trigger(); });
        });
        poll.start(20);
        ModalWatch modals;
        QElapsedTimer clock;
        clock.start();
        window->itmConnectServerClick(101);  // returns once the attempt is over
        EXPECT_TRUE(controlsChecked);
        EXPECT_LT(clock.elapsed(), 10000) << "ended by the exit, not by the time-out";
        // The message used to come up about a second after the exit.
        (void)qttest::WaitUntil([&] { return !modals.seen.empty(); }, std::chrono::milliseconds(1500));
        EXPECT_EQ(modals.seen, std::vector<std::string>{});
        EXPECT_TRUE(notices.empty());
        EXPECT_FALSE(window->Session.FTP.Connected());
        // Qt ends the program with its last visible window.
        EXPECT_EQ(VisibleWindows(), std::vector<std::string>{});
        EXPECT_TRUE(server.WaitDone(5000)) << server.Failure();
    }
}

TEST_F(MainWindow, AnUnusableDataFolderIsReportedAndProfilesStayInMemoryNeverInTheCurrentFolder) {
    const QString folder = QDir::cleanPath(QString::fromStdString(ProgramFolderLocation()));
    ASSERT_TRUE(QDir(folder).removeRecursively());
    qttest::WriteFile(folder.toStdString(), "a file where the folder belongs");
    TempDir startedFrom;
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(startedFrom.Path())));

    std::string startNotice;
    qttest::AnswerNextModal<QMessageBox>([&](QMessageBox* box) {
        startNotice = box->text().toStdString();
        box->accept();
    });
    auto window = Start();
    EXPECT_NE(startNotice.find(folder.toStdString()), std::string::npos) << startNotice;
    EXPECT_NE(startNotice.find("A file stands where the folder " + folder.toStdString() + " should be."), std::string::npos)
        << startNotice;

    qttest::AnswerNextModal<TfrmServerAdd>([](TfrmServerAdd* form) {
        form->ebxName->setText(QStringLiteral("Office"));
        form->btnOk->click();
    });
    window->tb97AddServer->trigger();
    EXPECT_EQ(ProfileEntries(*window), QStringList{"1. Office"}) << "kept for the session";
    window->close();
    window.reset();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_NE(notices[0].find("could not be saved"), std::string::npos) << notices[0];
    EXPECT_NE(notices[0].find("A file stands where the folder"), std::string::npos) << notices[0];
    EXPECT_EQ(QDir(QString::fromStdString(startedFrom.Path())).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{});
    EXPECT_EQ(qttest::ReadFile(folder.toStdString()), "a file where the folder belongs");

    QDir::setCurrent(previous);
    QFile::remove(folder);
}

TEST_F(MainWindow, ChoosingAnotherServerWhileConnectedClosesTheSessionAndConnectsToIt) {
    PyFtpdServer first, second;
    ASSERT_TRUE(first.Start()) << first.Error();
    ASSERT_TRUE(second.Start()) << second.Error();
    SaveProfiles(
        {{"First", first.Port(), first.User(), first.Password()}, {"Second", second.Port(), second.User(), second.Password()}});
    auto window = Start();
    ModalWatch modals;
    window->itmConnectServerClick(101);
    ASSERT_TRUE(window->Session.ConnectedState());
    const int before = window->mmoFTPLog->LineCount();

    window->itmConnectServerClick(102);
    const auto lines = LogLines(*window);
    const auto quit = std::find(lines.begin() + before, lines.end(), "Command:    QUIT");
    ASSERT_NE(quit, lines.end());
    EXPECT_NE(std::find(quit, lines.end(), "Command:    PWD"), lines.end()) << "logged in after the QUIT";
    EXPECT_TRUE(window->Session.ConnectedState());
    EXPECT_TRUE(window->Session.FTP.Connected());
    EXPECT_EQ(window->Session.FTP.Port, std::to_string(second.Port()));
    EXPECT_EQ(window->Session.CurrentServer, window->Servers->ServerWithTag(102));
    EXPECT_TRUE(modals.seen.empty());
    EXPECT_TRUE(notices.empty());
    window->tb97DisconnectClick();
}

// Hiding the hosting button takes its separator along; the toolbar does
// not end in a lone separator.
TEST_F(MainWindow, HidingTheHostingButtonLeavesNoSeparatorAtTheToolbarsEnd) {
    auto window = Start();
    auto lastShown = [&] {
        QAction* last = nullptr;
        for (QAction* action : window->tbServer->actions())
            if (action->isVisible()) last = action;
        return last;
    };
    EXPECT_EQ(lastShown(), window->tb97Hosting);
    for (const bool show : {false, true}) {
        window->frmOptions->cbShowWebHosting->setChecked(show);
        window->frmOptions->btnOk->click();
        EXPECT_EQ(window->tb97Hosting->isVisible(), show);
        ASSERT_NE(lastShown(), nullptr);
        EXPECT_FALSE(lastShown()->isSeparator());
    }
}

}  // namespace
