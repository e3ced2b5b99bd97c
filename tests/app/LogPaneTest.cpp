// The log pane: its height is the user's to drag and is kept between runs,
// and its text stays bounded over a long session.
#include <gtest/gtest.h>

#include <QSplitter>
#include <QtTest/QTest>

#include "app/FrmMain.h"
#include "app/StatusBar.h"
#include "session/LogView.h"
#include "tests/app/MainWindowFixture.h"
#include "util/ui/SettingsKey.h"

namespace {

// Drags the handle between the areas and the log pane by `dy` pixels.
void DragLogEdge(QSplitter* splitter, int dy) {
    QSplitterHandle* handle = splitter->handle(1);
    const QPoint from = handle->rect().center();
    QTest::mousePress(handle, Qt::LeftButton, {}, from);
    QTest::mouseMove(handle, from + QPoint(0, dy));
    QTest::mouseRelease(handle, Qt::LeftButton, {}, from + QPoint(0, dy));
}

TEST_F(MainWindow, LogPaneOpensAtItsStoredHeightCanBeDraggedTallerAndKeepsItsHeight) {
    {
        TSettingsKey key(TfrmMain::InterfaceKey);
        key.WriteInteger("LogHeight", 120);
        key.WriteBool("LogVisible", true);
        // Room for it: at the first-start size the panes' own minimum leaves
        // the log little more than its 65 pixels.
        TSettingsKey(WindowPositionKey()).WriteString("Height", "600");
    }
    auto window = Start();
    const auto logHeight = [&] { return window->pnlFTPLog->height(); };
    EXPECT_TRUE(qttest::WaitUntil([&] { return logHeight() == 120; })) << logHeight();

    window->resize(539, 700);
    EXPECT_TRUE(qttest::WaitUntil([&] { return window->height() == 700; }));
    EXPECT_EQ(logHeight(), 120) << "a taller window gives the panes the room";

    DragLogEdge(window->spltLog, -80);
    EXPECT_TRUE(qttest::WaitUntil([&] { return logHeight() == 200; })) << logHeight();
    EXPECT_GE(window->fsbMain->geometry().top(), window->spltLog->geometry().bottom()) << "the status bar stays last";

    window->itmViewFTPLog->trigger();
    EXPECT_TRUE(window->pnlFTPLog->isHidden());
    window->itmViewFTPLog->trigger();
    EXPECT_TRUE(qttest::WaitUntil([&] { return logHeight() == 200; })) << "shown again at its height: " << logHeight();
    window->close();
    window.reset();
    EXPECT_EQ(TSettingsKey(TfrmMain::InterfaceKey).ReadInteger("LogHeight", 0), 200);
}

TEST(LogViewTest, KeepsTheLastTenThousandLinesDroppingTheOldestInOneBlock) {
    TLogView log;
    const QColor colours[] = {Qt::red, Qt::blue};
    const int full = TLogView::MaxLines + TLogView::TrimBlock;
    for (int i = 0; i < full - 1; ++i) log.AppendLine("line " + std::to_string(i), colours[i % 2]);
    ASSERT_EQ(log.LineCount(), full - 1) << "nothing dropped below the block";
    EXPECT_EQ(log.LineText(0), "line 0");

    log.AppendLine("line " + std::to_string(full - 1), colours[(full - 1) % 2]);
    ASSERT_EQ(log.LineCount(), TLogView::MaxLines);
    EXPECT_EQ(log.LineText(0), "line " + std::to_string(TLogView::TrimBlock));
    EXPECT_EQ(log.LineColour(0), colours[TLogView::TrimBlock % 2]);
    EXPECT_EQ(log.LineColour(1), colours[(TLogView::TrimBlock + 1) % 2]);
    EXPECT_EQ(log.LineText(TLogView::MaxLines - 1), "line " + std::to_string(full - 1));

    log.AppendLine("one more", Qt::black);
    EXPECT_EQ(log.LineCount(), TLogView::MaxLines + 1);
    EXPECT_EQ(log.LineText(TLogView::MaxLines), "one more");
}

}  // namespace
