// The local pane in a temporary folder: its folder and file operations,
// their questions and messages, the trash and its fallback, the keys, the
// menus' enabling, and what it accepts as a drop.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAccessible>
#include <QContextMenuEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QSplitter>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QtTest/QTest>
#include <fstream>

#include "dialogs/FrmFileProperties.h"
#include "dialogs/FrmFolder.h"
#include "localpane/LocalPane.h"
#include "tests/support/QtTestSupport.h"
#include "util/ui/UiUtils.h"

namespace {

bool Exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

class LocalPane : public ::testing::Test {
protected:
    void SetUp() override {
        root = folder.path().toStdString();
        for (const char* name : {"a.txt", "b.txt", "c.txt"}) std::ofstream(root + "/" + name) << name;
        ::mkdir((root + "/sub").c_str(), 0755);
        pane.SetLocalFilter(5);  // all files
        pane.SetLocalDir(root);
        pane.Recycle = [this](const std::string& path) {
            recycled.push_back(path);
            return trashWorks && (std::remove(path.c_str()) == 0 || QDir(QString::fromStdString(path)).removeRecursively());
        };
        pane.SessionBusy = [this] { return busy; };
        pane.SessionConnected = [this] { return connected; };
        pane.UploadSelected = [this] { uploads.push_back(pane.SelectedFileNames()); };
    }
    // An answer armed for a dialog that did not come must not answer the
    // next test's.
    void TearDown() override { qttest::CancelPendingAnswers(); }
    void Select(std::initializer_list<const char*> names) {
        pane.lbFiles->clearSelection();
        for (const char* name : names)
            for (QTreeWidgetItem* item :
                 pane.lbFiles->findItems(QString::fromLatin1(name), Qt::MatchExactly | Qt::MatchCaseSensitive))
                item->setSelected(true);
    }
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (int row = 0; row < pane.lbFiles->count(); ++row) names.push_back(pane.lbFiles->item(row)->text(0).toStdString());
        return names;
    }
    // Answers the next folder dialogs in turn: an empty text cancels, any
    // other is typed into the name field (when shown) before OK.
    void AnswerFolderDialogs(std::vector<std::string> answers) {
        if (answers.empty()) return;
        qttest::AnswerNextModal<TfrmFolder>([this, answers](TfrmFolder* dialog) {
            asked.push_back(dialog->windowTitle().toStdString() + "|" + dialog->lblCurDir->text().toStdString());
            std::vector<std::string> rest(answers.begin() + 1, answers.end());
            AnswerFolderDialogs(rest);
            if (answers.front().empty()) {
                dialog->btnCancel->click();
                return;
            }
            if (dialog->ebx97NewDir->isVisibleTo(dialog)) dialog->ebx97NewDir->setText(QString::fromStdString(answers.front()));
            dialog->btnCreate->click();
        });
    }

    QTemporaryDir folder;
    std::string root;
    QWidget window;
    TLocalPane pane{&window};
    std::vector<std::string> recycled;
    std::vector<std::string> asked;
    std::vector<std::vector<std::string>> uploads;
    bool trashWorks = true;
    bool busy = false;
    bool connected = true;
};

TEST_F(LocalPane, FolderPathsCutAtSeparators) {
    EXPECT_EQ(pane.LocalFolderPath(0), root);
    EXPECT_EQ(pane.LocalFolderPath(1), QDir(folder.path() + "/..").absolutePath().toStdString());
    EXPECT_EQ(pane.LocalFolderPath(100), "/");
}

TEST_F(LocalPane, NewAndRenamedFolders) {
    AnswerFolderDialogs({"fresh"});
    pane.itmNewLocalDirClick();
    EXPECT_TRUE(Exists(root + "/fresh"));
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], "Create a new folder|" + root);

    // A typed name with trailing separators renames to the bare name.
    pane.SetLocalDir(root + "/sub");
    AnswerFolderDialogs({"renamed///"});
    pane.itmRenameLocalDirClick();
    EXPECT_TRUE(Exists(root + "/renamed"));
    EXPECT_FALSE(Exists(root + "/sub"));
    EXPECT_EQ(pane.LocalDir(), root + "/renamed");
    EXPECT_EQ(asked[1], "Rename a folder|" + root + "/sub");

    // Onto an existing folder: refused with the reason, nothing replaced.
    bool shown = false;
    std::string text;
    qttest::AnswerNextModal<QMessageBox>(
        [&](QMessageBox* box) {
            text = box->text().toStdString();
            box->accept();
        },
        &shown);
    AnswerFolderDialogs({"fresh"});
    pane.itmRenameLocalDirClick();
    EXPECT_TRUE(qttest::WaitUntil([&] { return shown; }));
    EXPECT_NE(text.find("File exists"), std::string::npos) << text;
    EXPECT_TRUE(Exists(root + "/renamed") && Exists(root + "/fresh"));
}

TEST_F(LocalPane, DeleteFolderGoesToTheTrashAndNeverTouchesAVolumeRoot) {
    pane.SetLocalDir(root + "/sub");
    AnswerFolderDialogs({"confirm"});
    pane.itmDeleteLocalDirClick();
    EXPECT_EQ(asked, (std::vector<std::string>{"Delete a folder|" + root + "/sub"}));
    EXPECT_EQ(recycled, (std::vector<std::string>{root + "/sub"}));
    EXPECT_EQ(pane.LocalDir(), root);

    const std::string volume = QStorageInfo(folder.path()).rootPath().toStdString();
    for (const std::string& top : {std::string("/"), volume}) {
        pane.SetLocalDir(top);
        bool seen = false;
        qttest::AnswerNextModal<QDialog>([](QDialog* dialog) { dialog->reject(); }, &seen);
        pane.itmDeleteLocalDirClick();
        QTest::qWait(50);
        EXPECT_FALSE(seen) << top;
        qttest::CancelPendingAnswers();
        EXPECT_EQ(recycled.size(), 1u) << top;
    }
}

// Open folder P, click its child C, right-click C: every item of the menu
// acts on C, never on P.
TEST_F(LocalPane, FolderMenuActsOnTheClickedFolderNotTheOpenOne) {
    ::mkdir((root + "/sub/child").c_str(), 0755);
    ::mkdir((root + "/sub/other").c_str(), 0755);
    window.resize(300, 400);
    pane.resize(300, 400);
    window.show();
    QListWidget* list = pane.lbDirectory;
    const auto line = [list](const char* name) {
        const QList<QListWidgetItem*> found = list->findItems(QString::fromLatin1(name), Qt::MatchEndsWith);
        return found.isEmpty() ? QRect() : list->visualItemRect(found.front());
    };
    const auto chooseFor = [&](const char* name, Qt::Key mnemonic) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, line(name).center());
        QContextMenuEvent right(QContextMenuEvent::Mouse, line(name).center(),
                                list->viewport()->mapToGlobal(line(name).center()));
        QApplication::sendEvent(list->viewport(), &right);
        ASSERT_TRUE(qttest::WaitUntil([&] { return pane.popLocalDir->isVisible(); }));
        QTest::keyClick(pane.popLocalDir, mnemonic);
    };
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, line("sub").center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, line("sub").center());
    ASSERT_EQ(pane.LocalDir(), root + "/sub");

    AnswerFolderDialogs({"inner"});
    chooseFor("child", Qt::Key_N);
    EXPECT_TRUE(Exists(root + "/sub/child/inner"));
    AnswerFolderDialogs({"renamed"});
    chooseFor("child", Qt::Key_R);
    EXPECT_TRUE(Exists(root + "/sub/renamed/inner"));
    AnswerFolderDialogs({"yes"});
    chooseFor("renamed", Qt::Key_D);
    EXPECT_EQ(asked,
              (std::vector<std::string>{"Create a new folder|" + root + "/sub/child", "Rename a folder|" + root + "/sub/child",
                                        "Delete a folder|" + root + "/sub/renamed"}));
    EXPECT_EQ(recycled, (std::vector<std::string>{root + "/sub/renamed"}));
    EXPECT_TRUE(Exists(root + "/sub/other"));
    EXPECT_EQ(pane.LocalDir(), root + "/sub");

    // Screen readers hear the name without the blanks that indent it.
    QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(list);
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(reader->child(reader->childCount() - 1)->text(QAccessible::Name), QStringLiteral("other"));
}

// Backspace and Alt+Up go to the parent folder; Shift+F10 opens the menu.
TEST_F(LocalPane, KeysForTheParentFolderAndTheMenu) {
    window.show();
    pane.SetLocalDir(root + "/sub");
    QTest::keyClick(pane.lbFiles, Qt::Key_Backspace);
    EXPECT_EQ(pane.LocalDir(), root);
    pane.SetLocalDir(root + "/sub");
    QTest::keyClick(pane.lbDirectory, Qt::Key_Up, Qt::AltModifier);
    EXPECT_EQ(pane.LocalDir(), root);
    for (auto [list, menu] :
         {std::pair<QAbstractItemView*, QMenu*>{pane.lbFiles, pane.popLocalFiles}, {pane.lbDirectory, pane.popLocalDir}}) {
        QTest::keyClick(list, Qt::Key_F10, Qt::ShiftModifier);
        EXPECT_TRUE(qttest::WaitUntil([menu] { return menu->isVisible(); }));
        // Screen readers get the menu as a popup menu with its items.
        QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(menu);
        EXPECT_EQ(reader->role(), QAccessible::PopupMenu);
        EXPECT_EQ(reader->childCount(), menu->actions().size());
        menu->close();
    }
}

TEST_F(LocalPane, RenameFilesStopsAtAnExistingName) {
    // a.txt becomes A.TXT; b.txt onto the existing c.txt stops the run, so
    // c.txt (selected too) is not offered.
    Select({"a.txt", "b.txt", "c.txt"});
    AnswerFolderDialogs({"A.TXT", "../elsewhere/c.txt"});
    std::string message;
    qttest::AnswerNextModal<QMessageBox>([&](QMessageBox* box) {
        message = box->text().toStdString();
        box->accept();
    });
    pane.itmRenameLocalFileClick();
    EXPECT_EQ(asked.size(), 2u);
    EXPECT_EQ(message, "File: \"c.txt\"\nalready exists. Rename aborted.");
    EXPECT_TRUE(Exists(root + "/A.TXT"));
    EXPECT_FALSE(Exists(root + "/a.txt"));
    EXPECT_EQ(qttest::ReadFile(root + "/b.txt"), "b.txt");
    EXPECT_EQ(qttest::ReadFile(root + "/c.txt"), "c.txt");
    EXPECT_EQ(Files(), (std::vector<std::string>{"A.TXT", "b.txt", "c.txt"}));
}

TEST_F(LocalPane, DeleteFilesAsksForEachAndFallsBackOnlyWhenAgreed) {
    Select({"a.txt", "b.txt", "c.txt"});
    AnswerFolderDialogs({"yes", "", "yes"});
    pane.itmDeleteLocalFileClick();
    EXPECT_EQ(asked.size(), 3u);
    EXPECT_EQ(recycled, (std::vector<std::string>{root + "/a.txt", root + "/c.txt"}));
    EXPECT_EQ(Files(), (std::vector<std::string>{"b.txt"}));

    // No trash: deleted for good only after a second yes.
    trashWorks = false;
    for (bool agree : {false, true}) {
        Select({"b.txt"});
        AnswerFolderDialogs({"yes"});
        std::string question;
        qttest::AnswerNextModal<QMessageBox>([&](QMessageBox* box) {
            question = box->text().toStdString();
            box->button(agree ? QMessageBox::Yes : QMessageBox::No)->click();
        });
        pane.itmDeleteLocalFileClick();
        EXPECT_NE(question.find("cannot be moved to the trash"), std::string::npos) << question;
        EXPECT_EQ(Exists(root + "/b.txt"), !agree);
    }
}

TEST_F(LocalPane, TheTrashReallyReceivesTheFile) {
    pane.Recycle = RecycleFile;
    Select({"a.txt"});
    AnswerFolderDialogs({"yes"});
    pane.itmDeleteLocalFileClick();
    EXPECT_FALSE(Exists(root + "/a.txt"));
    // The trash of the user's data folder, or the volume's own.
    const std::string home = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString() + "/Trash";
    const std::string volume = QStorageInfo(folder.path()).rootPath().toStdString() + "/.Trash-" + std::to_string(::getuid());
    bool found = false;
    for (const std::string& trash : {home, volume})
        for (const QString& name : QDir(QString::fromStdString(trash + "/files")).entryList(QDir::Files))
            found |= name.startsWith(QStringLiteral("a")) && qttest::ReadFile(trash + "/files/" + name.toStdString()) == "a.txt";
    EXPECT_TRUE(found);
}

TEST_F(LocalPane, UploadsNeedASessionThatIsFreeAndAsk) {
    Select({"a.txt", "b.txt"});
    connected = false;
    bool seen = false;
    qttest::AnswerNextModal<QMessageBox>([](QMessageBox* box) { box->reject(); }, &seen);
    pane.lbFilesDblClick();
    QTest::qWait(50);
    EXPECT_FALSE(seen) << "no question while disconnected";
    qttest::CancelPendingAnswers();
    connected = true;
    busy = true;
    pane.itmUploadLocaFileClick();
    busy = false;
    EXPECT_TRUE(uploads.empty());

    std::string question;
    qttest::AnswerNextModal<QMessageBox>([&](QMessageBox* box) {
        question = box->text().toStdString();
        box->button(QMessageBox::Yes)->click();
    });
    pane.lbFilesDblClick();
    EXPECT_EQ(question, "Are you sure you want to upload these files ?");
    ASSERT_EQ(uploads.size(), 1u);
    EXPECT_EQ(uploads[0], (std::vector<std::string>{"a.txt", "b.txt"}));
}

TEST_F(LocalPane, MenusFollowSelectionAndSession) {
    const auto files = [this] {
        pane.popLocalFilesPopup();
        std::string state;
        for (QAction* item :
             {pane.itmRenameLocalFile, pane.itmDeleteLocalFile, pane.itmUploadLocaFile, pane.itmLocFileProperties})
            state += item->isEnabled() ? '1' : '0';
        return state;
    };
    pane.lbFiles->clearSelection();
    EXPECT_EQ(files(), "0000");
    Select({"a.txt"});
    EXPECT_EQ(files(), "1111");
    busy = true;
    EXPECT_EQ(files(), "1101");
    busy = false;
    connected = false;
    EXPECT_EQ(files(), "1101");

    pane.lbDirectory->setCurrentRow(0);
    pane.popLocalDirPopup();
    EXPECT_FALSE(pane.itmRenameLocalDir->isEnabled());
    EXPECT_FALSE(pane.itmDeleteLocalDir->isEnabled());
    EXPECT_TRUE(pane.itmNewLocalDir->isEnabled());
    pane.lbDirectory->setCurrentRow(pane.lbDirectory->count() - 1);
    pane.popLocalDirPopup();
    EXPECT_TRUE(pane.itmDeleteLocalDir->isEnabled());
}

TEST_F(LocalPane, KeysActOnRelease) {
    std::ofstream(root + "/d.txt") << "d";
    QTest::keyClick(pane.lbFiles, Qt::Key_F5);
    EXPECT_EQ(Files().size(), 4u);
    Select({"d.txt"});
    AnswerFolderDialogs({"yes"});
    QTest::keyClick(pane.lbFiles, Qt::Key_Delete);
    EXPECT_EQ(recycled, (std::vector<std::string>{root + "/d.txt"}));
    Select({"c.txt"});
    AnswerFolderDialogs({"e.txt"});
    QTest::keyClick(pane.lbFiles, Qt::Key_F2);
    EXPECT_TRUE(Exists(root + "/e.txt"));
    ::mkdir((root + "/later").c_str(), 0755);
    QTest::keyClick(pane.lbDirectory, Qt::Key_F5);
    EXPECT_FALSE(pane.lbDirectory->findItems(QStringLiteral("later"), Qt::MatchEndsWith).isEmpty());
}

TEST_F(LocalPane, OnlyDragsFromTheRemoteListAreTaken) {
    QWidget remote;
    QWidget other;
    int downloads = 0;
    pane.IsRemoteList = [&](const QObject* source) { return source == &remote; };
    pane.DownloadRemoteSelection = [&] { ++downloads; };
    window.show();
    QMimeData data;
    data.setText(QStringLiteral("x"));
    for (QWidget* source : {static_cast<QWidget*>(&other), static_cast<QWidget*>(nullptr), static_cast<QWidget*>(&remote)}) {
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        // The event's source is the drag's; a synthetic one has none, so it
        // is given through the test hook below.
        pane.IsRemoteList = [&](const QObject*) { return source == &remote; };
        QApplication::sendEvent(pane.lbFiles->viewport(), &enter);
        EXPECT_EQ(enter.isAccepted(), source == &remote);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(pane.lbFiles->viewport(), &drop);
    }
    EXPECT_EQ(downloads, 1);
}

// The list's own columns and the properties window tell the same size.
TEST_F(LocalPane, PropertiesOfLocalFiles) {
    std::ofstream(root + "/.hidden") << std::string(1025, 'h');
    ::chmod((root + "/.hidden").c_str(), 0444);
    pane.RefreshLocalFiles();
    const QTreeWidgetItem* line = pane.lbFiles->findItems(QStringLiteral(".hidden"), Qt::MatchExactly).value(0);
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->text(TLocalFileList::colSize), QStringLiteral("1025"));
    EXPECT_EQ(line->text(TLocalFileList::colModified),
              QLocale().toString(QFileInfo(QString::fromStdString(root + "/.hidden")).lastModified(), QLocale::ShortFormat));
    Select({"a.txt", ".hidden"});
    const auto before = QApplication::topLevelWidgets();
    pane.itmLocFilePropertiesClick();
    std::map<std::string, TfrmFileProperties*> windows;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* w = dynamic_cast<TfrmFileProperties*>(top); w != nullptr && !before.contains(top))
            windows[w->lblFilename->text().toStdString()] = w;
    ASSERT_EQ(windows.size(), 2u);
    TfrmFileProperties* hidden = windows[".hidden"];
    EXPECT_EQ(hidden->lblPermDesc->text(), QStringLiteral("Attributes:"));
    // Read-only means the user may not write it, which the superuser always may.
    EXPECT_EQ(hidden->lblPermissions->text(),
              ::geteuid() == 0 ? QStringLiteral("Hidden ") : QStringLiteral("Read-Only / Hidden "));
    EXPECT_EQ(hidden->lblSize->text(), QStringLiteral("1 KB (1,025 bytes)"));
    EXPECT_EQ(hidden->lblGroup->text(), QStringLiteral("n/a"));
    EXPECT_FALSE(hidden->lblUser->text().isEmpty());
    EXPECT_EQ(hidden->lblLocation->text().toStdString(), root + "/");
    TfrmFileProperties* text = windows["a.txt"];
    EXPECT_EQ(text->lblSize->text(), QStringLiteral("5 bytes"));
    EXPECT_EQ(text->lblPermissions->text(), QString());
    EXPECT_NE(text->lblType->text(), QStringLiteral("TXT File")) << "the desktop's description of .txt";
    for (auto& [name, w] : windows) w->close();
}

// The folder list is no longer fixed at four rows: dragging the splitter's
// handle gives it the room a deep tree needs.
TEST_F(LocalPane, TheSplitterGivesTheFolderListMoreRoom) {
    window.resize(300, 500);
    pane.resize(300, 500);
    window.show();
    ASSERT_TRUE(qttest::WaitUntil([&] { return pane.isVisible(); }));
    const int before = pane.lbDirectory->height();
    QSplitterHandle* handle = pane.splLocal->handle(1);
    const QPoint grip = handle->rect().center();
    QTest::mousePress(handle, Qt::LeftButton, Qt::NoModifier, grip);
    QMouseEvent move(QEvent::MouseMove, QPointF(grip + QPoint(0, 120)), handle->mapToGlobal(QPointF(grip + QPoint(0, 120))),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(handle, &move);
    QTest::mouseRelease(handle, Qt::LeftButton, Qt::NoModifier, grip + QPoint(0, 120));
    EXPECT_GE(pane.lbDirectory->height(), before + 100);
}

}  // namespace
