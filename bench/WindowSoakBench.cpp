// The fault soak through the window's own transfer code (bench/soak.sh):
// the real main window, offscreen, connected afresh for every run to the
// fault server, downloads or uploads one file as the list's menus do.
//
//   soak_window PORT LOCAL-FOLDER
//
// Reads runs from standard input, one per line ("get NAME" or "put NAME";
// the script sets the server's fault before each) and answers each with one
// line: "ok", or "failed" and the text the window showed. Every message box
// the window opens is read and closed at once, as a user would. After every
// 100 runs it prints "sample RUNS RESIDENT-KIB OPEN-FILES" on standard error.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <utility>

#include "app/FrmMain.h"
#include "bench/BenchWindow.h"
#include "dialogs/FrmMessage.h"
#include "dialogs/FrmOptions.h"
#include "localpane/LocalPane.h"
#include "profiles/ServerStore.h"
#include "session/FrmDownload.h"
#include "session/RemoteListView.h"
#include "session/RemotePane.h"
#include "util/ui/ProgramFolders.h"
#include "util/ui/QtMessagePump.h"
#include "util/ui/SpinEdit.h"

namespace {

// Closes every question and message the window opens, keeping the text of
// the last one: a failure shows itself that way.
class BoxCloser : public QObject {
public:
    BoxCloser() {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this] { CloseOpenBoxes(); });
        timer_.start();
    }
    std::string Take() { return std::exchange(shown_, std::string()); }

private:
    void CloseOpenBoxes() {
        QWidget* modal = QApplication::activeModalWidget();
        auto* box = qobject_cast<QDialog*>(modal);
        if (box == nullptr || dynamic_cast<TfrmDownload*>(box) != nullptr) return;
        std::string text;
        for (const QLabel* label : box->findChildren<QLabel*>())
            if (!label->text().isEmpty()) text += label->text().toStdString() + " ";
        for (char& c : text)
            if (c == '\n' || c == '\r') c = ' ';
        shown_ = text.empty() ? "(a window with no text)" : text;
        box->reject();
    }

    QTimer timer_;
    std::string shown_;
};

int OpenFiles() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
    return count;
}

long ResidentKib() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

bool SelectRemote(TfrmMain& window, const std::string& name) {
    bool found = false;
    for (int row = 0; row < window.lvServerFiles->Count(); ++row)
        if (window.lvServerFiles->Caption(row) == name) {
            window.lvServerFiles->SelectRow(row);
            found = true;
        }
    return found;
}

bool SelectLocal(TfrmMain& window, const std::string& name) {
    window.pnlLocal->RefreshLocalFiles();
    bool found = false;
    for (int row = 0; row < window.lbFiles->count(); ++row) {
        const bool match = window.lbFiles->item(row)->text(0).toStdString() == name;
        window.lbFiles->item(row)->setSelected(match);
        found = found || match;
    }
    return found;
}

// One run: connect, move the file, disconnect. The answer is what a user
// would conclude: a message means the transfer failed.
std::string RunOnce(TfrmMain& window, BoxCloser& boxes, const std::string& direction, const std::string& name) {
    (void)boxes.Take();
    window.itmConnectServerClick(TServerStore::FirstServerTag + 1);
    if (!window.Session.FTP.Connected()) return "failed could not connect: " + boxes.Take();
    std::string shown;
    if (direction == "get" ? !SelectRemote(window, name) : !SelectLocal(window, name)) {
        shown = "no file " + name + " to select";
    } else if (direction == "get") {
        window.RemotePane->itmSrvFilesDownloadClick();
    } else {
        window.pnlLocal->itmUploadLocaFileClick();
    }
    // The transfer runs on the window's queue; its end shows any failure.
    while (window.RemotePane->QueueRunning()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    if (shown.empty()) shown = boxes.Take();
    window.Session.DisconnectAction();
    (void)boxes.Take();
    return shown.empty() ? "ok" : "failed " + shown;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s PORT LOCAL-FOLDER\n", argv[0]);
        return 2;
    }
    TBenchWindow bench(argc, argv, "Soak", std::atoi(argv[1]), "soak", "soak");
    TfrmMain& window = bench.window;
    window.SetLocalFilter(5);
    window.SetLocalDir(argv[2]);
    // The script's time-out, no sounds, and a server file replaced without
    // a question: the script decides what each run must give.
    window.frmOptions->sedtTimeOut->setValue(1);
    window.frmOptions->cbPlaySoundDownload->setChecked(false);
    window.frmOptions->cbPlaySoundUpload->setChecked(false);
    window.frmOptions->cbKeepFileTimes->setChecked(false);
    window.frmOptions->cbxFileExists->setCurrentIndex(1);
    BoxCloser boxes;
    std::string direction;
    std::string name;
    int runs = 0;
    while (std::cin >> direction >> name) {
        std::cout << RunOnce(window, boxes, direction, name) << std::endl;
        if (++runs % 100 == 0) std::fprintf(stderr, "sample %d %ld %d\n", runs, ResidentKib(), OpenFiles());
    }
    return 0;
}
