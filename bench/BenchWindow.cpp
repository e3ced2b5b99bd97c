#include "bench/BenchWindow.h"

#include <QStandardPaths>

#include "profiles/ServerStore.h"
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

TBenchWindow::TBenchWindow(int& argc, char** argv, const std::string& profile, int port, const std::string& user,
                           const std::string& password)
    : app(argc, argv), pump(SetUpApplication(app)), profileWritten((WriteBenchProfile(profile, port, user, password), true)) {
    window.show();
}
