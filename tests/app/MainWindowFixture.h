#pragma once
// The fixture of the main-window tests: a window built and shown as the
// program builds it, with notices recorded instead of shown, over a settings
// store and profile file of the test's own.

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/FrmMain.h"
#include "platform/MessageLoop.h"
#include "profiles/ServerStore.h"
#include "session/LogView.h"
#include "session/RemotePane.h"
#include "tests/support/QtTestSupport.h"
#include "util/ui/ProgramFolders.h"
#include "util/ui/QtMessagePump.h"
#include "util/ui/SettingsKey.h"

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        qttest::ClearSettings();
        QFile::remove(QString::fromStdString(ServersFile()));
        platform::SetApplicationTerminated(false);
    }
    // Closing a main window marks the program as ending.
    void TearDown() override { platform::SetApplicationTerminated(false); }

    static std::string ServersFile() { return ProgramFolder() + "FTPServers.ini"; }
    // Where the window keeps its position: named after the program file.
    static std::string WindowPositionKey() {
        return std::string(ApplicationSettingsRoot) +
               QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName().toStdString() + ".INI\\frmMain\\";
    }

    // A window built and shown as the program does; message boxes are
    // recorded instead of shown.
    std::unique_ptr<TfrmMain> Start() {
        platform::SetApplicationTerminated(false);
        auto window = std::make_unique<TfrmMain>();
        window->ShowInfo = [this](const std::string&, const std::string& text) { notices.push_back(text); };
        window->show();
        EXPECT_TRUE(qttest::WaitUntil([&] { return window->isVisible(); }));
        return window;
    }

    // Transfers run on the window's queue, beside the window: until its run
    // has ended.
    static void AwaitQueueOf(TfrmMain& window) {
        EXPECT_TRUE(qttest::WaitUntil([&] { return !window.RemotePane->QueueRunning(); }, std::chrono::seconds(30)));
    }
    // A window on `localDir`, every file shown, connected through the
    // first stored profile (check Session.FTP.Connected()).
    std::unique_ptr<TfrmMain> StartConnected(const std::string& localDir) {
        auto window = Start();
        window->SetLocalFilter(5);
        window->SetLocalDir(localDir);
        window->itmConnectServerClick(TServerStore::FirstServerTag + 1);
        return window;
    }

    // Stores profiles for the next start: name, port on 127.0.0.1, user and
    // password, with passive data connections.
    struct Profile {
        std::string name;
        int port;
        std::string user = "anonymous";
        std::string password = "me@example.com";
    };
    static void SaveProfiles(const std::vector<Profile>& profiles) {
        TServerStore store(ServersFile());
        for (const Profile& p : profiles) {
            auto profile = std::make_unique<TFTPServer>();
            std::tie(profile->Name, profile->Hostname, profile->Port, profile->Username, profile->Password, profile->PASV) =
                std::tuple(p.name, "127.0.0.1", std::to_string(p.port), p.user, p.password, TPasvMode::Yes);
            store.ServerList.Add(p.name, std::move(profile));
        }
        store.SaveServers();
    }

    static QStringList ProfileEntries(const TfrmMain& window) {
        QStringList entries;
        for (const QAction* action : window.mnuServers->actions())
            if (action->data().toInt() >= TServerStore::FirstServerTag) entries.push_back(action->text());
        return entries;
    }

    static std::vector<std::string> LogLines(const TfrmMain& window) {
        std::vector<std::string> lines;
        for (int i = 0; i < window.mmoFTPLog->LineCount(); ++i) lines.push_back(window.mmoFTPLog->LineText(i));
        return lines;
    }

    static bool Has(const std::vector<std::string>& lines, const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    QtMessagePump pump;
    std::vector<std::string> notices;
};
