// Files moving between the panes of the real window and pyftpdlib: uploads
// from the local list's menu and by double-click, and remote entries
// dropped on the local list.
#include <sys/stat.h>
#include <unistd.h>

#include <QAbstractItemView>
#include <QContextMenuEvent>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <fstream>

#include "app/StatusBar.h"
#include "dialogs/FrmMessage.h"
#include "dialogs/FrmOptions.h"
#include "localpane/LocalPane.h"
#include "session/FrmOverResume.h"
#include "session/RemoteListView.h"
#include "session/RemotePane.h"
#include "session/TransferListView.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/support/PyFtpdServer.h"
#include "util/ui/SpinEdit.h"
#include "util/ui/UiUtils.h"

namespace {

std::string Pattern(std::size_t size) {
    std::string data(size, '\0');
    for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    return data;
}

class MainWindowTransfers : public MainWindow {
protected:
    void SetUp() override {
        MainWindow::SetUp();
        BeforeStart();
        ASSERT_TRUE(server.Start()) << server.Error();
        std::ofstream(server.Root() + "/remote.bin", std::ios::binary) << Pattern(50000);
        ::mkdir((server.Root() + "/pages").c_str(), 0777);
        std::ofstream(server.Root() + "/pages/page.htm", std::ios::binary) << "<p>";
        SaveProfiles({{"Local test", server.Port(), server.User(), server.Password()}});
        std::ofstream(local.filePath("up.cgi").toStdString(), std::ios::binary) << Pattern(123457);
        std::ofstream(local.filePath("two.cgi").toStdString(), std::ios::binary) << "#!/bin/sh\n";
        window = StartConnected(local.path().toStdString());
        ASSERT_TRUE(window->Session.FTP.Connected());
    }
    void TearDown() override {
        qttest::CancelPendingAnswers();
        window.reset();
        MainWindow::TearDown();
    }
    void SelectLocal(std::initializer_list<const char*> names) {
        window->lbFiles->clearSelection();
        for (const char* name : names)
            for (QTreeWidgetItem* item : window->lbFiles->findItems(QString::fromLatin1(name), Qt::MatchExactly))
                item->setSelected(true);
    }
    virtual void BeforeStart() {}
    void AwaitQueue() { AwaitQueueOf(*window); }
    bool OnServer(const std::string& name, const std::string& data) const {
        return qttest::ReadFile(server.Root() + "/" + name) == data;
    }

    PyFtpdServer server;
    QTemporaryDir local;
    std::unique_ptr<TfrmMain> window;
};

TEST_F(MainWindowTransfers, UploadFromTheLocalListsMenuArrivesWhole) {
    SelectLocal({"up.cgi"});
    window->pnlLocal->popLocalFilesPopup();
    ASSERT_TRUE(window->pnlLocal->itmUploadLocaFile->isEnabled());
    window->pnlLocal->itmUploadLocaFile->trigger();
    AwaitQueue();
    EXPECT_TRUE(OnServer("up.cgi", Pattern(123457)));
    EXPECT_TRUE(notices.empty());
}

// The status bar shows the work while it runs and nothing once it is done,
// however quickly a small file went.
TEST_F(MainWindowTransfers, TheProgressBarEmptiesWhenTheWorkEnds) {
    SelectLocal({"two.cgi"});
    window->pnlLocal->popLocalFilesPopup();
    window->pnlLocal->itmUploadLocaFile->trigger();
    ASSERT_TRUE(qttest::WaitUntil([&] { return OnServer("two.cgi", "#!/bin/sh\n") && !window->RemotePane->QueueRunning(); }));
    const QProgressBar* bar = window->fsbMain->pbTransferStatus;
    EXPECT_TRUE(bar->isHidden() || bar->value() <= bar->minimum()) << bar->value();
    EXPECT_EQ(window->windowTitle().toStdString(), ApplicationTitle);
}

TEST_F(MainWindowTransfers, DoubleClickAsksAndUploadsTheSelection) {
    SelectLocal({"up.cgi", "two.cgi"});
    std::string question;
    qttest::AnswerNextModal<QMessageBox>([&](QMessageBox* box) {
        question = box->text().toStdString();
        box->button(QMessageBox::Yes)->click();
    });
    window->pnlLocal->lbFilesDblClick();
    AwaitQueue();
    EXPECT_EQ(question, "Are you sure you want to upload these files ?");
    EXPECT_TRUE(OnServer("up.cgi", Pattern(123457)));
    EXPECT_TRUE(OnServer("two.cgi", "#!/bin/sh\n"));
}

TEST_F(MainWindowTransfers, RemoteEntriesDroppedOnTheLocalListAreDownloaded) {
    TRemoteListView* remote = window->lvServerFiles;
    for (int row = 0; row < remote->Count(); ++row)
        if (remote->Caption(row) == "remote.bin" || remote->Caption(row) == "pages") remote->SelectRow(row, true);
    ASSERT_TRUE(window->pnlLocal->IsRemoteList(remote->IconView()));
    EXPECT_FALSE(window->pnlLocal->IsRemoteList(window->lbFiles));
    window->pnlLocal->DownloadRemoteSelection();
    AwaitQueue();
    EXPECT_EQ(qttest::ReadFile(local.filePath("remote.bin").toStdString()), Pattern(50000));
    EXPECT_FALSE(window->lbFiles->findItems(QStringLiteral("remote.bin"), Qt::MatchExactly).isEmpty())
        << "the local list shows the new file";
    EXPECT_EQ(qttest::ReadFile(local.filePath("pages/page.htm").toStdString()), "<p>");
    EXPECT_FALSE(window->lbDirectory->findItems(QStringLiteral("pages"), Qt::MatchEndsWith).isEmpty())
        << "the folder list shows the new folder";
}

// Closing the window while a folder upload runs asks first; No keeps the
// window and lets the upload finish.
TEST_F(MainWindowTransfers, ClosingWhileAFolderUploadRunsAsksFirst) {
    const QDir big(local.filePath(QStringLiteral("big")));
    ASSERT_TRUE(big.mkpath(QStringLiteral(".")));
    const std::string content = Pattern(96 << 20);
    std::ofstream(big.filePath(QStringLiteral("a.bin")).toStdString(), std::ios::binary) << content;
    window->RefreshLocalFiles();
    QListWidget* folders = window->lbDirectory;
    const QList<QListWidgetItem*> line = folders->findItems(QStringLiteral("big"), Qt::MatchEndsWith);
    ASSERT_EQ(line.size(), 1);
    const QPoint at = folders->visualItemRect(line.front()).center();
    QTest::mouseClick(folders->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (!window->RemotePane->QueueRunning()) return;
        closer.stop();
        window->close();
    });
    closer.start(5);
    std::string asked;
    qttest::AnswerNextModal<QMessageBox>([&](QMessageBox* box) {
        asked = box->text().toStdString();
        box->button(QMessageBox::No)->click();
    });
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, at, folders->viewport()->mapToGlobal(at));
    QApplication::sendEvent(folders->viewport(), &menuEvent);
    QMenu* menu = window->pnlLocal->popLocalDir;
    ASSERT_TRUE(qttest::WaitUntil([&] { return menu->isVisible(); }));
    QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(window->pnlLocal->itmUploadLocalDir).center());
    AwaitQueue();
    EXPECT_EQ(asked, "Transfers are still waiting or running. Abandon them and close?");
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(OnServer("big/a.bin", content));
}

// A site folder goes up from the folder list's context menu with its empty
// folder; a link out of it and a broken link are reported at the end, a
// server file it would replace is asked about, and the rest goes on. The
// queue pane shows each item's state, a failure with the server's reply,
// and runs the failed item again. A folder dragged onto a server folder's
// row goes into that folder.
TEST_F(MainWindowTransfers, FolderUploadFromTheFolderListsMenuAndByDrop) {
    const QDir site(local.filePath(QStringLiteral("site")));
    ASSERT_TRUE(site.mkpath(QStringLiteral("css")) && site.mkpath(QStringLiteral("empty")));
    std::ofstream(site.filePath(QStringLiteral("index.html")).toStdString()) << "<h1>new</h1>";
    std::ofstream(site.filePath(QStringLiteral("css/site.css")).toStdString()) << "p {}";
    std::ofstream(local.filePath(QStringLiteral("secret.txt")).toStdString()) << "secret";
    ASSERT_EQ(::symlink(local.filePath(QStringLiteral("secret.txt")).toUtf8().constData(),
                        site.filePath(QStringLiteral("secret.txt")).toUtf8().constData()),
              0);
    ASSERT_EQ(::symlink("nowhere", site.filePath(QStringLiteral("broken")).toUtf8().constData()), 0);
    ::mkdir((server.Root() + "/site").c_str(), 0777);
    std::ofstream(server.Root() + "/site/index.html") << "old";
    window->RefreshLocalFiles();
    QListWidget* folders = window->lbDirectory;
    const QList<QListWidgetItem*> line = folders->findItems(QStringLiteral("site"), Qt::MatchEndsWith);
    ASSERT_EQ(line.size(), 1);
    const QPoint at = folders->visualItemRect(line.front()).center();
    QTest::mouseClick(folders->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    std::string asked;
    qttest::AnswerNextModal<TfrmOverResume>([&](TfrmOverResume* question) {
        asked = question->lblDesc->text().toStdString();
        // Someone puts a file where the empty folder is to be made.
        std::ofstream(server.Root() + "/site/empty") << "in the way";
        QTest::mouseClick(question->btnOverwrite, Qt::LeftButton);
    });
    std::string summary;
    qttest::AnswerNextModal<TfrmMessage>([&](TfrmMessage* message) {
        summary = message->lblDesc->text().toStdString();
        message->btnOkClick();
    });
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, at, folders->viewport()->mapToGlobal(at));
    QApplication::sendEvent(folders->viewport(), &menuEvent);
    QMenu* menu = window->pnlLocal->popLocalDir;
    ASSERT_TRUE(qttest::WaitUntil([&] { return menu->isVisible(); }));
    ASSERT_TRUE(window->pnlLocal->itmUploadLocalDir->isEnabled());
    QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(window->pnlLocal->itmUploadLocalDir).center());
    ASSERT_TRUE(qttest::WaitUntil([&] { return !summary.empty(); }));
    AwaitQueue();
    EXPECT_EQ(asked, "\"/site/index.html\"\nalready exists. Overwrite ?");
    EXPECT_TRUE(OnServer("site/index.html", "<h1>new</h1>"));
    EXPECT_TRUE(OnServer("site/css/site.css", "p {}"));
    struct stat info {};
    EXPECT_NE(::lstat((server.Root() + "/site/secret.txt").c_str(), &info), 0) << "a link out of the folder stays home";
    EXPECT_EQ(summary.rfind("3 entries were not uploaded:", 0), 0u) << summary;
    EXPECT_NE(summary.find("secret.txt: a link that leads out of the folder"), std::string::npos) << summary;
    EXPECT_NE(summary.find("broken"), std::string::npos) << summary;
    EXPECT_NE(summary.find("/site/empty: 550"), std::string::npos) << summary;

    QTreeWidget* queue = window->lvTransfers->tvItems;
    const auto stateOf = [&](const std::string& remote) {
        for (int row = 0; row < queue->topLevelItemCount(); ++row)
            if (queue->topLevelItem(row)->text(TTransferListView::colRemote).toStdString() == remote)
                return queue->topLevelItem(row)->text(TTransferListView::colState).toStdString();
        return std::string("(none)");
    };
    EXPECT_EQ(stateOf("/site/css/site.css"), "done");
    EXPECT_EQ(stateOf("/site/empty").rfind("failed: 550", 0), 0u) << stateOf("/site/empty");
    ::unlink((server.Root() + "/site/empty").c_str());
    QTest::mouseClick(window->lvTransfers->btnRetry, Qt::LeftButton);
    AwaitQueue();
    EXPECT_EQ(stateOf("/site/empty"), "done");
    EXPECT_TRUE(::stat((server.Root() + "/site/empty").c_str(), &info) == 0 && S_ISDIR(info.st_mode));
    QTest::mouseClick(window->lvTransfers->btnClear, Qt::LeftButton);
    EXPECT_EQ(queue->topLevelItemCount(), 0);

    // The same folder dropped on the server's "pages" row.
    window->RemotePane->IsLocalFolderList = [](const QObject*) { return true; };
    QAbstractItemView* view = window->lvServerFiles->CurrentView();
    int row = 0;
    while (row < window->lvServerFiles->Count() && window->lvServerFiles->Caption(row) != "pages") ++row;
    ASSERT_LT(row, window->lvServerFiles->Count());
    const QPoint onPages = view->visualRect(window->lvServerFiles->Model()->index(row, 0)).center();
    qttest::AnswerNextModal<TfrmMessage>([](TfrmMessage* message) { message->btnOkClick(); });
    QMimeData data;
    QDragEnterEvent enter(onPages, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &enter);
    QDropEvent drop(QPointF(onPages), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &drop);
    AwaitQueue();
    EXPECT_TRUE(OnServer("pages/site/css/site.css", "p {}"));
    EXPECT_TRUE(OnServer("pages/page.htm", "<p>"));
}

// With three transfers at a time, the server sees three data connections
// at once, never more, and every file arrives.
class ParallelTransfers : public MainWindowTransfers {
protected:
    void BeforeStart() override { server.CountDataConnections(); }
    // Puts `names` on the server and starts downloading them all.
    void DownloadNew(const std::vector<std::string>& names, std::size_t size) {
        for (const std::string& name : names) std::ofstream(server.Root() + "/" + name, std::ios::binary) << Pattern(size);
        window->Session.QueueListing();
        TRemoteListView* remote = window->lvServerFiles;
        bool first = true;
        for (int row = 0; row < remote->Count(); ++row)
            if (std::find(names.begin(), names.end(), remote->Caption(row)) != names.end()) {
                remote->SelectRow(row, !first);
                first = false;
            }
        window->RemotePane->itmSrvFilesDownloadClick();
    }
};

TEST_F(ParallelTransfers, ThreeAtATimeMeansThreeDataConnections) {
    window->frmOptions->sedtTransfers->setValue(3);
    const std::vector<std::string> names = {"p1.bin", "p2.bin", "p3.bin", "p4.bin"};
    DownloadNew(names, 20000);
    AwaitQueue();
    for (const std::string& name : names)
        EXPECT_TRUE(qttest::ReadFile(local.filePath(QString::fromStdString(name)).toStdString()) == Pattern(20000)) << name;
    EXPECT_EQ(server.PeakDataConnections(), 3);
}

// Stop in the queue pane ends what runs and what waits at once, with no
// summary of failures: the user asked for it.
TEST_F(ParallelTransfers, StopEndsTheRunningAndTheWaiting) {
    window->frmOptions->sedtTransfers->setValue(1);
    DownloadNew({"s1.bin", "s2.bin", "s3.bin"}, 40000);
    QTreeWidget* lines = window->lvTransfers->tvItems;
    const auto state = [&](int row) { return lines->topLevelItem(row)->text(TTransferListView::colState).toStdString(); };
    ASSERT_TRUE(qttest::WaitUntil([&] { return lines->topLevelItemCount() == 3 && state(0) == "running"; }));
    QTest::mouseClick(window->lvTransfers->btnStop, Qt::LeftButton);
    ASSERT_TRUE(qttest::WaitUntil([&] { return !window->RemotePane->QueueRunning(); }, std::chrono::seconds(3)));
    for (int row = 0; row < 3; ++row) EXPECT_EQ(state(row), "failed: stopped by the user") << row;
    EXPECT_TRUE(notices.empty()) << notices.front();
    EXPECT_NE(qttest::ReadFile(local.filePath("s3.bin").toStdString()), Pattern(40000));
}

}  // namespace
