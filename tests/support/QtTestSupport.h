#pragma once
// Helpers for widget tests: waits with deadlines, answering modal dialogs,
// temporary folders. The QApplication is created once by QtTestMain.cpp,
// with the standard paths in test mode so no test touches real settings.

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace qttest {

// Processes Qt events (and so, once a pump exists, our messages) until the
// condition holds or the deadline passes; returns the condition's last value.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline = std::chrono::seconds(5));

// Arms a timer that waits for a modal widget of type T other than `except`
// and hands it to `answer`. The answer runs at most once; a dialog that never
// appears is reported by `*seen` staying false.
template <typename T>
void AnswerNextModal(std::function<void(T*)> answer, bool* seen = nullptr, QWidget* except = nullptr) {
    auto* timer = new QTimer(qApp);
    timer->setObjectName(QStringLiteral("qttest-answer"));
    auto started = std::chrono::steady_clock::now();
    if (seen != nullptr) *seen = false;
    QObject::connect(timer, &QTimer::timeout, timer, [=] {
        auto* modal = dynamic_cast<T*>(QApplication::activeModalWidget());
        if (modal != nullptr && modal != except) {
            timer->stop();
            timer->deleteLater();
            if (seen != nullptr) *seen = true;
            answer(modal);
            return;
        }
        if (std::chrono::steady_clock::now() - started > std::chrono::seconds(10)) {
            timer->stop();
            timer->deleteLater();
            // Nothing to answer: close whatever dialog is up so the test
            // fails instead of hanging.
            for (QWidget* top : QApplication::topLevelWidgets())
                if (top->isVisible() && top->inherits("QDialog")) top->close();
        }
    });
    timer->start(10);
}

// The texts of the visible labels, check boxes and radio buttons under
// `root` that cannot be read in full with their font: wider (or, wrapped,
// taller) than the control that shows them. Each entry names the control
// class and its text.
std::vector<std::string> CutOffTexts(const QWidget* root);

// Drops every answer armed by AnswerNextModal that has not run yet.
inline void CancelPendingAnswers() {
    for (QTimer* timer : qApp->findChildren<QTimer*>(QStringLiteral("qttest-answer"), Qt::FindDirectChildrenOnly)) {
        timer->stop();
        timer->deleteLater();
    }
}

// Clears every settings group the program uses (test-mode store only).
void ClearSettings();

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& content);

}  // namespace qttest
