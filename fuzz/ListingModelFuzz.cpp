// A finished listing read into the remote list, as the window does it: the
// listing file parsed by the session into the real model, then sorted and
// shown. Qt runs offscreen; no server is connected, so links show as
// folders without a SIZE command.
//
// Input: the listing file as the server sent it. Its length picks the sort
// column and order, so that every column's comparison is exercised.
#include <QApplication>
#include <QStandardPaths>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzFolder.h"
#include "session/RemoteFileModel.h"
#include "session/RemoteListView.h"
#include "session/SessionController.h"

namespace {

// One application and one session for the whole run; each input replaces
// the listing.
struct Window {
    Window() : files(&window) { session.W.lvServerFiles = &files; }
    ~Window() { session.W = TSessionWidgets{}; }

    QWidget window;
    TRemoteListView files;
    TSessionController session;
};

Window* TheWindow = nullptr;

int RowsNamed(const TRemoteFileModel& model, const std::string& name) {
    int count = 0;
    for (int row = 0; row < model.Count(); ++row) count += model.Caption(row) == name ? 1 : 0;
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("HOME", FuzzFolder().c_str(), 1);
    QStandardPaths::setTestModeEnabled(true);
    new QApplication(*argc, *argv);  // lives as long as the process
    TheWindow = new Window;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string name = FuzzFolder() + "/listing.tmp";
    std::ofstream(name, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data), size);
    TRemoteFileModel& model = *TheWindow->files.Model();
    model.sort(static_cast<int>(size % TRemoteFileModel::ColumnCount), size % 2 == 0 ? Qt::AscendingOrder : Qt::DescendingOrder);
    TheWindow->session.ParseListing(name);

    std::size_t lines = 0;
    for (std::size_t i = 0; i < size; ++i) lines += data[i] == '\n' ? 1 : 0;
    FUZZ_CHECK(static_cast<std::size_t>(model.Count()) <= lines + 3);
    FUZZ_CHECK(RowsNamed(model, ".") >= 1 && RowsNamed(model, "..") >= 1);
    FUZZ_CHECK(model.Caption(0) == ".");
    for (int row = 0; row < model.Count(); ++row)
        for (int column = 0; column < TRemoteFileModel::ColumnCount; ++column)
            (void)model.data(model.index(row, column), Qt::DisplayRole);
    (void)model.LongestNameRows(4);
    return 0;
}
