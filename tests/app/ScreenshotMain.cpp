// Draws the main window connected to a local pyftpdlib into a PNG:
//   mainwin_screenshot <output.png>
// Run it under a display (for example xvfb-run -s "-screen 0 1280x800x24");
// it is not part of the suite. docs/screenshot.png is its picture.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPixmap>
#include <QStandardPaths>
#include <QTimer>
#include <cstdio>
#include <fstream>

#include "app/AppSetup.h"
#include "app/FrmMain.h"
#include "profiles/ServerStore.h"
#include "tests/support/PyFtpdServer.h"
#include "util/ui/ProgramFolders.h"
#include "util/ui/QtMessagePump.h"

namespace {

void WaitFor(int milliseconds) {
    QTimer done;
    done.setSingleShot(true);
    done.start(milliseconds);
    while (done.isActive()) QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

void WriteProfile(const PyFtpdServer& server, const std::string& localSite) {
    TServerStore store(ProgramFolder() + "FTPServers.ini");
    auto profile = std::make_unique<TFTPServer>();
    profile->Name = "Local test site";
    profile->Hostname = "127.0.0.1";
    profile->Port = std::to_string(server.Port());
    profile->Username = server.User();
    profile->Password = server.Password();
    profile->PASV = TPasvMode::Yes;
    profile->StartDir = "www";
    profile->LocalStartDir = localSite;
    const std::string name = profile->Name;
    store.ServerList.Add(name, std::move(profile));
    store.SaveServers();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output.png>\n", argv[0]);
        return 2;
    }
    QStandardPaths::setTestModeEnabled(true);  // never the user's own settings
    QApplication app(argc, argv);
    const auto pump = SetUpApplication(app);
    PyFtpdServer server;
    if (!server.Start()) {
        std::fprintf(stderr, "%s\n", server.Error().c_str());
        return 1;
    }
    QDir().mkpath(QString::fromStdString(server.Root() + "/www/images"));
    for (const char* name : {"index.htm", "about.htm", "style.css", "logo.png"})
        std::ofstream(server.Root() + "/www/" + name) << "sample " << name;
    // The local pane shows a small site of its own, not whatever folder the
    // program was started in.
    const std::string localSite = server.Root() + "/local/site";
    QDir().mkpath(QString::fromStdString(localSite + "/images"));
    for (const char* name : {"index.htm", "photo.jpg", "site.css"}) std::ofstream(localSite + "/" + name) << "sample " << name;
    WriteProfile(server, localSite);

    int result = 0;
    {
        TfrmMain window;
        window.show();
        if (!window.itmViewFTPLog->isChecked()) window.itmViewFTPLog->trigger();
        window.resize(TfrmMain::DesignWidth, TfrmMain::DesignHeight);
        WaitFor(300);
        window.itmConnectServerClick(101);
        WaitFor(500);
        if (!window.grab().save(QString::fromLocal8Bit(argv[1]), "PNG")) result = 1;
        window.tb97DisconnectClick();
        window.close();
    }
    QFile::remove(QString::fromStdString(ProgramFolder() + "FTPServers.ini"));
    return result;
}
