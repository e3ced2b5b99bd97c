// A whole site through the real main window's transfer queue, offscreen,
// against an FTP server on 127.0.0.1 (bench/gui-site.sh starts vsftpd and
// runs this beside vftp mirror):
//
//   gui_site put|get PORT FOLDER-NAME LOCAL-FOLDER TRANSFERS
//
// Connects with a profile of its own (anonymous, passive) with TRANSFERS
// simultaneous transfers in binary mode, then uploads LOCAL-FOLDER/FOLDER-NAME into the
// server's first folder, as "Upload folder" does, or downloads the server's
// FOLDER-NAME into LOCAL-FOLDER, as "Download" does, and waits for the
// queue's run to end. Meanwhile a key press is posted to the window every
// 5 ms, as a typing user would. Prints one line: seconds, the key presses
// handled, and the longest gap between two of them in milliseconds.
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/FrmMain.h"
#include "bench/BenchWindow.h"
#include "bench/EventGaps.h"
#include "dialogs/FrmOptions.h"
#include "session/RemotePane.h"
#include "util/ui/QtMessagePump.h"
#include "util/ui/SpinEdit.h"

namespace {

constexpr int kKeyEveryMs = 5;

// Times the handling of the posted key presses.
class InputClock : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F24) gaps.Tick();
        return false;
    }
    TEventGaps gaps;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 6 || (std::strcmp(argv[1], "get") != 0 && std::strcmp(argv[1], "put") != 0)) {
        std::fprintf(stderr, "usage: %s get|put PORT FOLDER-NAME LOCAL-FOLDER TRANSFERS\n", argv[0]);
        return 2;
    }
    const bool download = std::strcmp(argv[1], "get") == 0;
    const std::string name = argv[3];
    TBenchWindow bench(argc, argv, "Bench", std::atoi(argv[2]), "anonymous", "bench@example.com");
    TfrmMain& window = bench.window;
    window.frmOptions->sedtTransfers->setValue(std::atoi(argv[5]));
    window.SetLocalDir(argv[4]);
    if (!bench.Connect()) return 1;
    // Byte for byte, as vftp mirror sends: the site's pages are random bytes.
    window.tb97TransferBin->trigger();
    InputClock input;
    bench.app.installEventFilter(&input);
    QTimer typist;
    QObject::connect(&typist, &QTimer::timeout,
                     [&] { QCoreApplication::postEvent(&window, new QKeyEvent(QEvent::KeyPress, Qt::Key_F24, Qt::NoModifier)); });
    QElapsedTimer elapsed;
    input.gaps.Start();
    typist.start(kKeyEveryMs);
    elapsed.start();
    if (download) {
        bench.SelectServerEntry(name);
        window.RemotePane->itmSrvFilesDownloadClick();
    } else {
        window.RemotePane->UploadFolderTree(std::string(argv[4]) + "/" + name);
    }
    bench.AwaitQueue();
    const double seconds = static_cast<double>(elapsed.nsecsElapsed()) / 1e9;
    typist.stop();
    std::printf("%.3f %d %.1f\n", seconds, input.gaps.Count(), input.gaps.LongestGapMs());
    window.Session.DisconnectAction();
    return 0;
}
