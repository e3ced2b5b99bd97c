// Message boxes answered like a user would, cursors, trash, the program's
// folders.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QtTest/QTest>
#include <filesystem>

#include "tests/support/QtTestSupport.h"
#include "util/ui/ProgramFolders.h"
#include "util/ui/UiUtils.h"
#include "util/ui/WavePlayer.h"

namespace fs = std::filesystem;

namespace {

int Answer(QMessageBox::StandardButton button, const std::function<int()>& ask) {
    qttest::AnswerNextModal<QMessageBox>([button](QMessageBox* box) {
        if (button == QMessageBox::Escape)
            QTest::keyClick(box, Qt::Key_Escape);
        else
            box->button(button)->click();
    });
    return ask();
}

TEST(UiUtilsTest, MessageBoxesReturnTheButtonCodes) {
    auto yesNoCancel = [] { return AskYesNoCancel("Remove", "Remove the server?"); };
    auto yesNo = [] { return AskYesNo("Delete", "Delete it?"); };
    EXPECT_EQ(Answer(QMessageBox::Yes, yesNoCancel), IDYES);
    EXPECT_EQ(Answer(QMessageBox::No, yesNoCancel), IDNO);
    EXPECT_EQ(Answer(QMessageBox::Cancel, yesNoCancel), IDCANCEL);
    EXPECT_EQ(Answer(QMessageBox::Escape, yesNoCancel), IDCANCEL);
    EXPECT_EQ(Answer(QMessageBox::Yes, yesNo), IDYES);
    EXPECT_EQ(Answer(QMessageBox::Escape, yesNo), IDNO);

    bool seen = false;
    qttest::AnswerNextModal<QMessageBox>(
        [](QMessageBox* box) {
            EXPECT_EQ(box->windowTitle(), "Caption");
            EXPECT_EQ(box->text(), "Text");
            EXPECT_EQ(box->buttons().size(), 1);
            box->button(QMessageBox::Ok)->click();
        },
        &seen);
    ShowInfoBox("Caption", "Text");
    EXPECT_TRUE(seen);
}

// A file named "<b>x</b>" comes from any server; the question about it must
// show the name as it is, not as markup.
TEST(UiUtilsTest, MessageBoxesShowNamesAsPlainText) {
    QString shown;
    qttest::AnswerNextModal<QMessageBox>([&shown](QMessageBox* box) {
        const QLabel* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        if (label != nullptr && label->textFormat() == Qt::PlainText) shown = label->text();
        box->button(QMessageBox::No)->click();
    });
    (void)AskYesNo("Caption", "\"<b>x</b>\"\ncannot be moved to the trash.");
    EXPECT_EQ(shown, QStringLiteral("\"<b>x</b>\"\ncannot be moved to the trash."));
}

// Names from servers and disks may hold "%1" themselves: only the pattern's
// own markers are replaced.
TEST(UiUtilsTest, SubstituteFillsOnlyThePatternsMarkers) {
    EXPECT_EQ(Substitute("Unable to rename %1 to %2: %3", {"a%2", "b", "c"}), "Unable to rename a%2 to b: c");
    EXPECT_EQ(Substitute("%2 before %1", {"one", "two"}), "two before one");
    EXPECT_EQ(Substitute("100% of %1, %3 unknown", {"x"}), "100% of x, %3 unknown");
}

TEST(UiUtilsTest, CursorReachesEveryNestedWidget) {
    QWidget top;
    auto* leaf = new QWidget(new QWidget(&top));
    SetCursorDeep(&top, Qt::WaitCursor);
    EXPECT_EQ(leaf->cursor().shape(), Qt::WaitCursor);
}

TEST(UiUtilsTest, RecycledFileLeavesItsFolder) {
    const std::string folder = ProgramFolder() + "recycle-test";
    fs::create_directories(folder);
    const std::string file = folder + "/old.txt";
    qttest::WriteFile(file, "x");
    EXPECT_TRUE(RecycleFile(file));
    EXPECT_FALSE(fs::exists(file));
    EXPECT_FALSE(RecycleFile(file)) << "already gone";
    fs::remove_all(folder);
}

// The trash is made even on a first run, when the user's data folder does
// not exist yet: the file must land there, not below the current folder.
TEST(UiUtilsTest, RecycledFileReachesTheTrashOnAFirstRun) {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    fs::remove_all(data.toStdString());
    const fs::path work = fs::temp_directory_path() / ("recycle-first-run-" + std::to_string(::getpid()));
    fs::create_directories(work);
    const fs::path before = fs::current_path();
    fs::current_path(work);
    const std::string file = (work / "first.txt").string();
    qttest::WriteFile(file, "first");
    EXPECT_TRUE(RecycleFile(file));
    EXPECT_FALSE(fs::exists(file));
    EXPECT_FALSE(fs::exists(work / "files")) << "moved below the current folder";
    EXPECT_EQ(qttest::ReadFile(data.toStdString() + "/Trash/files/first.txt"), "first");
    fs::current_path(before);
    fs::remove_all(work);
}

TEST(UiUtilsTest, ProgramFoldersArePrivateAndHoldTheSound) {
    const std::string written = ProgramFolder();
    ASSERT_FALSE(written.empty());
    EXPECT_EQ(written.back(), '/');
    EXPECT_NE(written.find(".qttest"), std::string::npos) << "tests never use the real folder";
    EXPECT_EQ(fs::status(written).permissions() & fs::perms::all, fs::perms::owner_all);
    const std::string sound = ProgramResourceFolder() + "blip.wav";
    EXPECT_EQ(qttest::ReadFile(sound).substr(0, 4), "RIFF");
    EXPECT_TRUE(PlayWaveFile(sound));
    EXPECT_FALSE(PlayWaveFile(written + "missing.wav"));
}

}  // namespace
