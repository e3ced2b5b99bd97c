// Our message loop inside Qt's: messages are dispatched while Qt runs (also
// under a modal dialog), and a wait inside a handler keeps Qt working.
#include <gtest/gtest.h>

#include <QDialog>
#include <QElapsedTimer>
#include <QPainter>
#include <QTimer>
#include <QWidget>
#include <thread>
#include <vector>

#include "platform/MessageLoop.h"
#include "platform/MessageWindow.h"
#include "tests/support/QtTestSupport.h"
#include "util/ui/QtMessagePump.h"

namespace {

constexpr std::uint32_t kFirst = 0x8001;
constexpr std::uint32_t kSecond = 0x8002;

class Recorder : public platform::MessageTarget {
public:
    Recorder() : window(this) {}
    platform::LParam HandleMessage(std::uint32_t message, platform::WParam, platform::LParam) override {
        handled.push_back(message);
        if (onMessage) onMessage(message);
        return 0;
    }
    bool Handled(std::uint32_t message) const { return std::find(handled.begin(), handled.end(), message) != handled.end(); }

    std::vector<std::uint32_t> handled;
    std::function<void(std::uint32_t)> onMessage;
    platform::MessageWindow window;
};

class PaintCounter : public QWidget {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override {
        ++paints;
        QPainter(this).fillRect(rect(), Qt::white);
    }
};

// The way every waiting loop of the program waits: dispatch, then block
// until something happens or the time is up.
void WaitFor(const std::function<bool()>& done, int limitMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < limitMs) {
        platform::ProcessMessages();
        if (done()) break;
        (void)platform::WaitMessage(static_cast<int>(limitMs - clock.elapsed()));
    }
}

class MessagePumpTest : public ::testing::Test {
protected:
    QtMessagePump pump;
    Recorder recorder;
};

TEST_F(MessagePumpTest, PostedMessageIsHandledWhileAModalDialogIsOpen) {
    QDialog dialog;
    QTimer::singleShot(0, &dialog, [&] { recorder.window.Post(kFirst, 0, 0); });
    // Close the dialog once the message arrived, or give up after a while.
    QTimer::singleShot(0, &dialog, [&] {
        if (qttest::WaitUntil([&] { return recorder.Handled(kFirst); }))
            dialog.accept();
        else
            dialog.reject();
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(recorder.handled, (std::vector<std::uint32_t>{kFirst}));
}

TEST_F(MessagePumpTest, AWaitInsideAHandlerKeepsQtPaintingAndTimersRunning) {
    PaintCounter widget;
    widget.resize(50, 50);
    widget.show();
    ASSERT_TRUE(qttest::WaitUntil([&] { return widget.paints > 0; }));
    bool timerFired = false;
    int paintsSeen = 0;
    recorder.onMessage = [&](std::uint32_t message) {
        if (message != kFirst) return;
        const int before = widget.paints;
        widget.update();
        QTimer::singleShot(20, [&] { timerFired = true; });
        WaitFor([&] { return timerFired && widget.paints > before; }, 10000);
        paintsSeen = widget.paints - before;
    };
    recorder.window.Post(kFirst, 0, 0);
    ASSERT_TRUE(qttest::WaitUntil([&] { return recorder.Handled(kFirst); }, std::chrono::seconds(15)));
    EXPECT_TRUE(timerFired);
    EXPECT_GT(paintsSeen, 0);
}

TEST_F(MessagePumpTest, AMessagePostedFromAnotherThreadEndsAWaitInsideAHandler) {
    // Posted the way a finished host lookup answers: no Qt event is involved,
    // so only the descriptor watch can end the wait before the fail-safe.
    bool gaveUp = false;
    std::thread poster;
    recorder.onMessage = [&](std::uint32_t message) {
        if (message != kFirst) return;
        poster = std::thread([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            (void)platform::PostMessage(recorder.window.Handle(), kSecond, 0, 0);
        });
        QTimer::singleShot(8000, [&] { gaveUp = true; });
        WaitFor([&] { return recorder.Handled(kSecond) || gaveUp; }, 60000);
    };
    recorder.window.Post(kFirst, 0, 0);
    ASSERT_TRUE(qttest::WaitUntil([&] { return recorder.Handled(kSecond) || gaveUp; }, std::chrono::seconds(15)));
    poster.join();
    EXPECT_FALSE(gaveUp);
    EXPECT_EQ(recorder.handled, (std::vector<std::uint32_t>{kFirst, kSecond}));
}

TEST_F(MessagePumpTest, QtEventsProcessedByAHandlerDoNotDispatchOurMessagesInsideIt) {
    bool secondSeenInsideFirst = false;
    bool insideFirst = false;
    recorder.onMessage = [&](std::uint32_t message) {
        if (message == kSecond && insideFirst) secondSeenInsideFirst = true;
        if (message != kFirst) return;
        insideFirst = true;
        recorder.window.Post(kSecond, 0, 0);
        for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();
        insideFirst = false;
    };
    recorder.window.Post(kFirst, 0, 0);
    ASSERT_TRUE(qttest::WaitUntil([&] { return recorder.Handled(kSecond); }));
    EXPECT_FALSE(secondSeenInsideFirst);
}

TEST_F(MessagePumpTest, AModalDialogOpenedDuringAWaitStillGetsMessages) {
    bool dialogSawMessage = false;
    recorder.onMessage = [&](std::uint32_t message) {
        if (message != kFirst) return;
        bool dialogDone = false;
        QTimer::singleShot(10, [&] {
            QDialog dialog;
            QTimer::singleShot(0, &dialog, [&] {
                recorder.window.Post(kSecond, 0, 0);
                dialogSawMessage = qttest::WaitUntil([&] { return recorder.Handled(kSecond); });
                dialog.accept();
            });
            dialog.exec();
            dialogDone = true;
        });
        WaitFor([&] { return dialogDone; }, 15000);
    };
    recorder.window.Post(kFirst, 0, 0);
    ASSERT_TRUE(qttest::WaitUntil([&] { return recorder.Handled(kSecond); }, std::chrono::seconds(20)));
    EXPECT_TRUE(dialogSawMessage);
}

}  // namespace
