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
#include "localpane/LocalPane.h"
#include "profiles/ServerStore.h"
#include "session/FrmDownload.h"
#include "session/RemoteListView.h"
#include "session/RemotePane.h"
#include "util/ui/ProgramFolders.h"
#include "util/ui/QtMessagePump.h"

namespace {

// Times the repaints of any progress window: the paint events of its
// widgets that arrive together make one repaint.
class PaintClock : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched->isWidgetType() &&
            dynamic_cast<TfrmDownload*>(static_cast<QWidget*>(watched)->window()) != nullptr)
            Tick();
        return false;
    }
    void Tick() {
        constexpr qint64 kSameRepaint = 2'000'000;  // ns
        const qint64 now = clock_.nsecsElapsed();
        if (last_ >= 0 && now - last_ < kSameRepaint) {
            last_ = now;
            return;
        }
        if (last_ >= 0) longestGap_ = std::max(longestGap_, now - last_);
        last_ = now;
        ++paints_;
    }
    int Paints() const { return paints_; }
    double LongestGapMs() const { return static_cast<double>(longestGap_) / 1e6; }
    void Start() { clock_.start(); }

private:
    QElapsedTimer clock_;
    qint64 last_ = -1;
    qint64 longestGap_ = 0;
    int paints_ = 0;
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
    window.itmConnectServerClick(TServerStore::FirstServerTag + 1);
    if (!window.Session.FTP.Connected()) {
        std::fprintf(stderr, "could not connect\n");
        return 1;
    }
    PaintClock paints;
    bench.app.installEventFilter(&paints);
    QElapsedTimer elapsed;
    paints.Start();
    elapsed.start();
    if (download) {
        for (int row = 0; row < window.lvServerFiles->Count(); ++row)
            if (window.lvServerFiles->Caption(row) == name) window.lvServerFiles->SelectRow(row);
        window.RemotePane->itmSrvFilesDownloadClick();
    } else {
        for (int row = 0; row < window.lbFiles->count(); ++row)
            window.lbFiles->item(row)->setSelected(window.lbFiles->item(row)->text(0).toStdString() == name);
        window.pnlLocal->itmUploadLocaFileClick();
    }
    // The transfer runs on the window's queue, beside the window.
    while (window.RemotePane->QueueRunning()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    const double seconds = static_cast<double>(elapsed.nsecsElapsed()) / 1e9;
    std::printf("%.3f %d %.1f\n", seconds, paints.Paints(), paints.LongestGapMs());
    window.Session.DisconnectAction();
    return 0;
}
