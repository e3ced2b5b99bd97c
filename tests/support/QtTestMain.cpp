// Entry point of the widget test programs: one QApplication for all cases.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAbstractButton>
#include <QFontMetrics>
#include <QLabel>
#include <QRegularExpression>
#include <QStandardPaths>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/QtTestSupport.h"
#include "util/ui/SettingsKey.h"
#include "util/ui/WavePlayer.h"

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

namespace {

// A caption as drawn: "&&" shows one ampersand, a single '&' marks the
// mnemonic and is not drawn.
QString Drawn(QString text) {
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    return text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
}

bool LabelCutOff(const QLabel* label) {
    const QString text = label->buddy() != nullptr ? Drawn(label->text()) : label->text();
    if (text.isEmpty() || label->textFormat() == Qt::RichText) return false;
    const QFontMetrics metrics(label->font());
    const QRect room = label->contentsRect();
    if (!label->wordWrap()) {
        const QSize needed = metrics.size(0, text);
        return needed.width() > room.width() || needed.height() > room.height();
    }
    // Wrapped: every word fits on a line, and every line fits below the other.
    for (const QString& word : text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
        if (metrics.horizontalAdvance(word) > room.width()) return true;
    return metrics.boundingRect(room, Qt::TextWordWrap, text).height() > room.height();
}

// The indicator and its spacing come from the button's own size hint, which
// the style computes from the same font.
bool ButtonCutOff(const QAbstractButton* button) {
    const QSize needed = button->sizeHint();
    return needed.width() > button->width() || needed.height() > button->height();
}

}  // namespace

std::vector<std::string> CutOffTexts(const QWidget* root) {
    std::vector<std::string> cut;
    for (const QWidget* control : root->findChildren<QWidget*>()) {
        if (!control->isVisibleTo(root)) continue;
        if (const auto* label = qobject_cast<const QLabel*>(control); label != nullptr && LabelCutOff(label))
            cut.push_back("QLabel " + label->text().toStdString());
        const auto* box = qobject_cast<const QAbstractButton*>(control);
        if (box != nullptr && (box->inherits("QCheckBox") || box->inherits("QRadioButton")) && ButtonCutOff(box))
            cut.push_back(std::string(box->metaObject()->className()) + " " + box->text().toStdString());
    }
    return cut;
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
