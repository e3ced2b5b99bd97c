#include "bench/BenchWindow.h"

#include <QStandardPaths>
#include <cstdio>

#include "profiles/ServerStore.h"
#include "session/RemoteListView.h"
#include "session/RemotePane.h"
#include "util/ui/ProgramFolders.h"

void WriteBenchProfile(const std::string& name, int port, const std::string& user, const std::string& password) {
    TServerStore store(ProgramFolder() + "FTPServers.ini");
    auto profile = std::make_unique<TFTPServer>();
    profile->Name = name;
    profile->Hostname = "127.0.0.1";
    profile->Port = std::to_string(port);
    profile->Username = user;
    profile->Password = password;
    profile->PASV = TPasvMode::Yes;
    store.ServerList.Add(name, std::move(profile));
    store.SaveServers();
}

// Before the application exists: the platform, and the settings' folders.
TBenchWindow::Offscreen::Offscreen() {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
}

bool TBenchWindow::Connect() {
    window.itmConnectServerClick(TServerStore::FirstServerTag + 1);
    if (window.Session.FTP.Connected()) return true;
    std::fprintf(stderr, "could not connect\n");
    return false;
}

void TBenchWindow::SelectServerEntry(const std::string& name) {
    for (int row = 0; row < window.lvServerFiles->Count(); ++row)
        if (window.lvServerFiles->Caption(row) == name) window.lvServerFiles->SelectRow(row);
}

void TBenchWindow::AwaitQueue() {
    while (window.RemotePane->QueueRunning()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
}

TBenchWindow::TBenchWindow(int& argc, char** argv, const std::string& profile, int port, const std::string& user,
                           const std::string& password)
    : app(argc, argv), pump(SetUpApplication(app)), profileWritten((WriteBenchProfile(profile, port, user, password), true)) {
    window.show();
}
