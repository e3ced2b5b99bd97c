// One download or upload through the real main window, offscreen, against
// an FTP server on 127.0.0.1 (bench/gui-transfer.sh starts vsftpd and runs
// this beside vftp):
//
//   gui_transfer get|put PORT REMOTE-NAME LOCAL-FOLDER
//
// Connects with a profile of its own (anonymous, passive), then downloads
// REMOTE-NAME into LOCAL-FOLDER or uploads LOCAL-FOLDER/REMOTE-NAME, as the
// list's menu does. Prints one line: seconds, repaints of the progress
// window, and the longest gap between two of them in milliseconds.
#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/FrmMain.h"
#include "bench/BenchWindow.h"
#include "bench/EventGaps.h"
#include "localpane/LocalPane.h"
#include "session/RemotePane.h"
#include "util/ui/ProgramFolders.h"
#include "util/ui/QtMessagePump.h"

namespace {

// Times the repaints of the main window, whose queue pane and status bar
// show the transfer's progress: the paint events of its widgets that arrive
// together make one repaint.
class PaintClock : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched->isWidgetType() &&
            dynamic_cast<TfrmMain*>(static_cast<QWidget*>(watched)->window()) != nullptr)
            gaps.Tick();
        return false;
    }
    TEventGaps gaps{2'000'000};  // ns
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5 || (std::strcmp(argv[1], "get") != 0 && std::strcmp(argv[1], "put") != 0)) {
        std::fprintf(stderr, "usage: %s get|put PORT REMOTE-NAME LOCAL-FOLDER\n", argv[0]);
        return 2;
    }
    const bool download = std::strcmp(argv[1], "get") == 0;
    const std::string name = argv[3];
    TBenchWindow bench(argc, argv, "Bench", std::atoi(argv[2]), "anonymous", "bench@example.com");
    TfrmMain& window = bench.window;
    window.SetLocalFilter(5);
    window.SetLocalDir(argv[4]);
    if (!bench.Connect()) return 1;
    PaintClock paints;
    bench.app.installEventFilter(&paints);
    QElapsedTimer elapsed;
    paints.gaps.Start();
    elapsed.start();
    if (download) {
        bench.SelectServerEntry(name);
        window.RemotePane->itmSrvFilesDownloadClick();
    } else {
        for (int row = 0; row < window.lbFiles->count(); ++row)
            window.lbFiles->item(row)->setSelected(window.lbFiles->item(row)->text(0).toStdString() == name);
        window.pnlLocal->itmUploadLocaFileClick();
    }
    // The transfer runs on the window's queue, beside the window.
    bench.AwaitQueue();
    const double seconds = static_cast<double>(elapsed.nsecsElapsed()) / 1e9;
    std::printf("%.3f %d %.1f\n", seconds, paints.gaps.Count(), paints.gaps.LongestGapMs());
    window.Session.DisconnectAction();
    return 0;
}
