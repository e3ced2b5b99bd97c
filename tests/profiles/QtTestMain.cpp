// Entry point of the widget test programs: one QApplication for all cases.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QStandardPaths>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/profiles/QtTestSupport.h"
#include "util/SettingsKey.h"
#include "util/WavePlayer.h"

namespace qttest {

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end) return condition();
        // A short timer bounds each blocking step, so nothing spins.
        QTimer tick;
        tick.setSingleShot(true);
        tick.start(10);
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

void ClearSettings() {
    QSettings settings(QStringLiteral("Orvan Software"), QStringLiteral("Velliant FTP"));
    settings.clear();
    settings.sync();
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

}  // namespace qttest

namespace {

// CTest runs test cases as parallel processes, and the standard paths' test
// mode still lives under $HOME: give each process a home of its own so that
// settings written by one case are never read by another.
std::string MakePrivateHome() {
    char pattern[] = "/tmp/vftp-qttest-XXXXXX";
    const char* home = mkdtemp(pattern);
    if (home == nullptr) return {};
    const std::string runtime = std::string(home) + "/runtime";
    ::mkdir(runtime.c_str(), 0700);
    setenv("HOME", home, 1);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    for (const char* variable : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"}) unsetenv(variable);
    return home;
}

}  // namespace

int main(int argc, char** argv) {
    // Test discovery runs the program without the test environment; widget
    // tests never need a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::string home = MakePrivateHome();
    QStandardPaths::setTestModeEnabled(true);
    int result = 0;
    {
        QApplication app(argc, argv);
        ::testing::InitGoogleTest(&argc, argv);
        result = RUN_ALL_TESTS();
        CloseWavePlayer();  // the tests never leave through the event loop
    }
    std::error_code ignored;
    if (!home.empty()) std::filesystem::remove_all(home, ignored);
    return result;
}
