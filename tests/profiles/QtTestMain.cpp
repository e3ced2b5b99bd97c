// Entry point of the widget test programs: one QApplication for all cases.
#include <gtest/gtest.h>

#include <QStandardPaths>

#include <fstream>
#include <sstream>

#include "tests/profiles/QtTestSupport.h"
#include "util/SettingsKey.h"

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

int main(int argc, char** argv) {
    // Test discovery runs the program without the test environment; widget
    // tests never need a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
