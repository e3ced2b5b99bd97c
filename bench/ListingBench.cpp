// How fast a large remote folder is read and shown, and what it costs in
// memory: a Unix listing (FILE, or a generated one of ROWS entries) is read
// into the real remote list, offscreen, phase by phase.
//
//   bench/listing [FILE | --rows N]
//
// Prints one line per phase with milliseconds, then the peak memory above
// the baseline (the window built, nothing listed) in total and per row.
#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QTreeView>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <string>

#include "session/RemoteListView.h"
#include "session/SessionController.h"

namespace {

long StatusKiB(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::strlen(field)));
    return 0;
}

// A folder as hosting accounts hold them: mostly files of a few dozen
// types, some folders, a few links (to files and to folders).
void WriteListing(const std::string& path, int rows) {
    static const char* const kExtensions[] = {".htm", ".html", ".php", ".css", ".js",  ".jpg", ".png",  ".gif",
                                              ".txt", ".pdf",  ".zip", ".xml", ".svg", ".ico", ".json", ""};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::mt19937 random(42);
    std::ofstream out(path, std::ios::binary);
    out << "total " << rows * 4 << "\r\n";
    for (int i = 0; i < rows; ++i) {
        const unsigned kind = random() % 100;
        const std::string month = kMonths[random() % 12];
        const std::string day = std::to_string(1 + random() % 28);
        const std::string when = random() % 2 ? "2019" : std::to_string(random() % 24) + ":" + std::to_string(10 + random() % 50);
        const std::string stem = "entry_" + std::to_string(random() % 1000000) + "_" + std::to_string(i);
        if (kind < 8) {
            out << "drwxr-xr-x    5 webuser  www-data     4096 " << month << " " << day << " " << when << " " << stem << "\r\n";
        } else if (kind < 10) {
            out << "lrwxrwxrwx    1 webuser  www-data       12 " << month << " " << day << " " << when << " " << stem
                << " -> ../shared/" << stem << kExtensions[random() % 16] << "\r\n";
        } else {
            out << "-rw-r--r--    1 webuser  www-data " << (random() % 5000000) << " " << month << " " << day << " " << when
                << " " << stem << kExtensions[random() % 16] << "\r\n";
        }
    }
}

double Ms(const QElapsedTimer& timer) { return static_cast<double>(timer.nsecsElapsed()) / 1e6; }

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int rows = 100000;
    std::string file;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--rows") == 0 && i + 1 < argc)
            rows = std::atoi(argv[++i]);
        else
            file = argv[i];
    }
    const std::string work = "/tmp/vftp-bench-listing-" + std::to_string(::getpid());
    const bool generated = file.empty();
    if (generated) {
        file = work + ".src";
        WriteListing(file, rows);
    }

    QWidget window;
    window.resize(900, 700);
    auto* view = new TRemoteListView(&window);
    view->setGeometry(0, 0, 900, 700);
    TSessionController session;
    session.W.lvServerFiles = view;
    window.show();
    QApplication::processEvents();
    // The listing file is consumed, as in the program: read a copy.
    const std::string listing = work + ".listing";
    {
        std::ifstream in(file, std::ios::binary);
        std::ofstream(listing, std::ios::binary) << in.rdbuf();
    }
    const long baselineKiB = StatusKiB("VmRSS:");

    QElapsedTimer phase;
    // The list is emptied first, then reset once more when the whole
    // listing has been read: that second reset starts the model fill.
    double parseMs = 0;
    int resets = 0;
    QObject::connect(view->Model(), &QAbstractItemModel::modelAboutToBeReset, [&] {
        if (++resets == 2) parseMs = Ms(phase);
    });
    QElapsedTimer total;
    total.start();
    phase.start();
    session.ParseListing(listing);
    const double readMs = Ms(phase);
    const double fillMs = readMs - parseMs;
    phase.restart();
    view->CurrentView()->viewport()->repaint();
    const double paintMs = Ms(phase);
    const double shownMs = Ms(total);
    const long shownPeakKiB = StatusKiB("VmHWM:");
    phase.restart();
    view->Model()->sort(TRemoteFileModel::colSize, Qt::DescendingOrder);
    view->CurrentView()->viewport()->repaint();
    const double sortMs = Ms(phase);
    view->SetViewStyle(TRemoteListView::vsReport);
    phase.restart();
    view->Model()->sort(TRemoteFileModel::colType, Qt::AscendingOrder);
    view->DetailView()->viewport()->repaint();
    const double sortTypeMs = Ms(phase);

    const long peakKiB = StatusKiB("VmHWM:");
    const long afterKiB = StatusKiB("VmRSS:");
    const int shown = view->Count();
    std::printf("listing: %d rows%s\n", shown, generated ? " (generated)" : "");
    std::printf("parse          %8.1f ms\n", parseMs);
    std::printf("model fill     %8.1f ms  (sort by name once, reset)\n", fillMs);
    std::printf("first paint    %8.1f ms\n", paintMs);
    std::printf("shown in total %8.1f ms\n", shownMs);
    std::printf("sort by size   %8.1f ms  (list style, repainted)\n", sortMs);
    std::printf("sort by type   %8.1f ms  (details style, repainted)\n", sortTypeMs);
    std::printf("memory         %8ld KiB peak above baseline, %ld KiB held; %.0f / %.0f bytes a row\n", peakKiB - baselineKiB,
                afterKiB - baselineKiB, 1024.0 * static_cast<double>(peakKiB - baselineKiB) / shown,
                1024.0 * static_cast<double>(afterKiB - baselineKiB) / shown);
    std::printf("memory shown   %8ld KiB peak above baseline once shown; %.0f bytes a row\n", shownPeakKiB - baselineKiB,
                1024.0 * static_cast<double>(shownPeakKiB - baselineKiB) / shown);
    std::remove(listing.c_str());
    if (generated) std::remove(file.c_str());
    return 0;
}
