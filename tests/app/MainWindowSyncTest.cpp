// The two folders side by side against pyftpdlib: the comparison's colours
// in both lists, and a synchronisation chosen, reviewed with ticks and run
// through the transfer queue.
#include <sys/stat.h>
#include <utime.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>
#include <ctime>
#include <fstream>

#include "app/FolderCompare.h"
#include "app/StatusBar.h"
#include "session/FrmSyncPlan.h"
#include "session/FrmSynchronise.h"
#include "session/RemoteListView.h"
#include "session/RemotePane.h"
#include "session/TransferListView.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/support/PyFtpdServer.h"

namespace {

// A day old: recent enough for a long listing to show the minute.
const std::time_t kThen = std::time(nullptr) - 24 * 60 * 60;

void Put(const std::string& path, const std::string& content, std::time_t modified = kThen) {
    std::ofstream(path, std::ios::binary) << content;
    const utimbuf times{modified, modified};
    ASSERT_EQ(::utime(path.c_str(), &times), 0) << path;
}

class MainWindowSync : public MainWindow {
protected:
    void SetUp() override {
        MainWindow::SetUp();
        ASSERT_TRUE(server.Start()) << server.Error();
        SaveProfiles({{"Local test", server.Port(), server.User(), server.Password()}});
    }
    // The plan runs on the window's queue, beside the window.
    void AwaitQueue() { AwaitQueueOf(*window); }
    void Connect() {
        window = StartConnected(local.path().toStdString());
        ASSERT_TRUE(window->Session.FTP.Connected());
    }
    void TearDown() override {
        qttest::CancelPendingAnswers();
        window.reset();
        MainWindow::TearDown();
    }
    std::string Here(const char* name) const { return local.filePath(QString::fromLatin1(name)).toStdString(); }
    std::string There(const char* name) const { return server.Root() + "/" + name; }

    // Colours by name: "#000000" for none, "missing" for no such line.
    std::string LocalColour(const char* name) const {
        const auto found = window->lbFiles->findItems(QString::fromLatin1(name), Qt::MatchExactly);
        return found.isEmpty() ? "missing" : found.front()->background(0).color().name().toStdString();
    }
    std::string RemoteColour(const char* name) const {
        const TRemoteListView* list = window->lvServerFiles;
        for (int row = 0; row < list->Count(); ++row)
            if (list->Caption(row) == name)
                return list->Model()
                    ->data(list->Model()->index(row, 0), Qt::BackgroundRole)
                    .value<QBrush>()
                    .color()
                    .name()
                    .toStdString();
        return "missing";
    }

    PyFtpdServer server;
    QTemporaryDir local;
    std::unique_ptr<TfrmMain> window;
};

std::string Shown(TEntryDifference difference) {
    const QColor colour = TFolderCompare::Colour(difference);
    return (colour.isValid() ? colour : QColor(Qt::black)).name().toStdString();
}

// Times two seconds apart are the same file; an hour apart, the later one
// is newer, whatever the sizes.
TEST_F(MainWindowSync, CompareColoursBothListsAndFollowsTheLocalFolder) {
    Put(There("same.html"), "same");
    Put(Here("same.html"), "same", kThen + 2);
    Put(There("edited.html"), "old!");
    Put(Here("edited.html"), "new!", kThen + 3600);
    Put(There("grown.css"), "a");
    Put(Here("grown.css"), "abc");
    Put(There("remote.png"), "png");
    Put(Here("local.txt"), "txt");
    Connect();
    QTest::mouseClick(window->tbServer->widgetForAction(window->tb97Compare), Qt::LeftButton);
    ASSERT_TRUE(qttest::WaitUntil([&] { return RemoteColour("remote.png") == Shown(TEntryDifference::OnlyHere); }));
    EXPECT_TRUE(window->itmViewCompare->isChecked());
    EXPECT_EQ(LocalColour("same.html"), Shown(TEntryDifference::Same));
    EXPECT_EQ(RemoteColour("same.html"), Shown(TEntryDifference::Same));
    EXPECT_EQ(LocalColour("edited.html"), Shown(TEntryDifference::NewerHere));
    EXPECT_EQ(RemoteColour("edited.html"), Shown(TEntryDifference::OlderHere)) << "the older copy keeps the plain colours";
    EXPECT_EQ(LocalColour("grown.css"), Shown(TEntryDifference::SizeDiffers));
    EXPECT_EQ(RemoteColour("grown.css"), Shown(TEntryDifference::SizeDiffers));
    EXPECT_EQ(LocalColour("local.txt"), Shown(TEntryDifference::OnlyHere));
    const QString legend = window->fsbMain->lblHint->text();
    for (const char* part : {"newer here", "only here", "size differs", "same"})
        EXPECT_TRUE(legend.contains(QLatin1String(part))) << legend.toStdString();

    // Another local folder: the remote list is coloured again at once.
    QTemporaryDir empty;
    window->SetLocalDir(empty.path().toStdString());
    ASSERT_TRUE(qttest::WaitUntil([&] { return RemoteColour("same.html") == Shown(TEntryDifference::OnlyHere); }));

    QTest::mouseClick(window->tbServer->widgetForAction(window->tb97Compare), Qt::LeftButton);
    EXPECT_FALSE(window->itmViewCompare->isChecked());
    EXPECT_EQ(RemoteColour("same.html"), Shown(TEntryDifference::OlderHere)) << "no colour once off";
    EXPECT_FALSE(window->fsbMain->lblHint->text().contains(QLatin1String("only here")));
}

// Answers the choices: the direction, the deletion and the patterns left out.
void Choose(bool deleteExtra, const QString& leaveOut) {
    qttest::AnswerNextModal<TfrmSynchronise>([=](TfrmSynchronise* choice) {
        EXPECT_FALSE(choice->cbDeleteExtra->isChecked()) << "deletion is off unless chosen";
        QTest::mouseClick(choice->rbUpload, Qt::LeftButton);
        if (deleteExtra) QTest::mouseClick(choice->cbDeleteExtra, Qt::LeftButton);
        QTest::keyClicks(choice->edtExclude, leaveOut);
        QTest::mouseClick(choice->btnCompare, Qt::LeftButton);
    });
}

std::vector<std::string> PlanLines(const TfrmSyncPlan& plan) {
    std::vector<std::string> lines;
    for (int i = 0; i < plan.tvActions->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* line = plan.tvActions->topLevelItem(i);
        lines.push_back(line->text(TfrmSyncPlan::colAction).toStdString() + " " +
                        line->text(TfrmSyncPlan::colPath).toStdString());
    }
    return lines;
}

// Space on a line flips its tick, as the user does it.
void Untick(TfrmSyncPlan& plan, const std::string& path) {
    for (int i = 0; i < plan.tvActions->topLevelItemCount(); ++i)
        if (plan.tvActions->topLevelItem(i)->text(TfrmSyncPlan::colPath).toStdString() == path) {
            plan.tvActions->setCurrentItem(plan.tvActions->topLevelItem(i));
            QTest::keyClick(plan.tvActions->viewport(), Qt::Key_Space);
        }
}

// A plan shown and partly unticked, run, and the server's tree compared
// on disk: an unticked folder takes its file with it, nothing is deleted
// unless chosen, and the run after the last finds nothing to do.
TEST_F(MainWindowSync, SynchronisePlanTickedRunAndNothingLeft) {
    Put(Here("index.html"), "<h1>new</h1>");
    Put(Here("about.html"), "<p>about</p>");
    Put(Here("notes.bak"), "private");
    ::mkdir(Here("css").c_str(), 0777);
    Put(Here("css/site.css"), "p {}");
    Put(There("index.html"), "<h1>old</h1>!");
    Put(There("gone.html"), "gone");
    Connect();

    std::vector<std::string> shown;
    Choose(false, QStringLiteral("*.bak"));
    qttest::AnswerNextModal<TfrmSyncPlan>([&](TfrmSyncPlan* plan) {
        shown = PlanLines(*plan);
        Untick(*plan, "css/");
        Untick(*plan, "about.html");
        EXPECT_EQ(plan->TickedActions().size(), 1u);
        EXPECT_TRUE(plan->lblTotals->text().startsWith(
            QStringLiteral("To upload: 1, to download: 0, to delete: 0, folders to make: 0; 12 bytes")))
            << plan->lblTotals->text().toStdString();
        QTest::mouseClick(plan->btnRun, Qt::LeftButton);
    });
    window->itmSynchronise->trigger();
    AwaitQueue();
    EXPECT_EQ(shown,
              (std::vector<std::string>{"Make folder css/", "Upload about.html", "Upload css/site.css", "Upload index.html"}));
    EXPECT_EQ(qttest::ReadFile(There("index.html")), "<h1>new</h1>");
    struct stat info {};
    EXPECT_NE(::stat(There("about.html").c_str(), &info), 0);
    EXPECT_NE(::stat(There("css").c_str(), &info), 0);
    EXPECT_EQ(::stat(There("gone.html").c_str(), &info), 0) << "nothing deleted unless chosen";
    EXPECT_EQ(window->lvTransfers->tvItems->topLevelItem(0)->text(TTransferListView::colState).toStdString(), "done");

    // Everything, with deletion this time.
    Choose(true, QStringLiteral("*.bak"));
    qttest::AnswerNextModal<TfrmSyncPlan>([&](TfrmSyncPlan* plan) {
        shown = PlanLines(*plan);
        QTest::mouseClick(plan->btnRun, Qt::LeftButton);
    });
    window->itmSynchronise->trigger();
    AwaitQueue();
    EXPECT_EQ(shown,
              (std::vector<std::string>{"Delete gone.html", "Make folder css/", "Upload about.html", "Upload css/site.css"}));
    EXPECT_TRUE(qttest::WaitUntil([&] { return RemoteColour("css") != "missing"; })) << "the remote list is listed again";
    EXPECT_EQ(qttest::ReadFile(There("about.html")), "<p>about</p>");
    EXPECT_EQ(qttest::ReadFile(There("css/site.css")), "p {}");
    EXPECT_NE(::stat(There("gone.html").c_str(), &info), 0);
    EXPECT_NE(::stat(There("notes.bak").c_str(), &info), 0) << "left out by its pattern";

    bool runnable = true;
    Choose(true, QStringLiteral("*.bak"));
    qttest::AnswerNextModal<TfrmSyncPlan>([&](TfrmSyncPlan* plan) {
        shown = PlanLines(*plan);
        runnable = plan->btnRun->isEnabled();
        EXPECT_TRUE(plan->lblTotals->text().startsWith(QStringLiteral("Nothing to do"))) << plan->lblTotals->text().toStdString();
        QTest::mouseClick(plan->btnCancel, Qt::LeftButton);
    });
    window->itmSynchronise->trigger();
    EXPECT_EQ(shown, std::vector<std::string>{});
    EXPECT_FALSE(runnable);
}

}  // namespace
