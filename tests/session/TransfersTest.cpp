// Transfers from the remote pane against real servers: single files,
// selections, "Download as", folder trees, uploads by drop, the overwrite
// question, the end-of-transfer reactions; and the progress window's figures
// and the transfer type choice on their own.
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>
#include <utime.h>

#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QDragMoveEvent>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <fstream>

#include "dialogs/FrmChMod.h"
#include "dialogs/FrmFileProperties.h"
#include "dialogs/FrmFolder.h"
#include "dialogs/FrmOptions.h"
#include "session/FrmDownload.h"
#include "session/FrmOverResume.h"
#include "session/RemotePane.h"
#include "tests/session/SessionFixture.h"
#include "tests/support/PyFtpdServer.h"
#include "tests/support/QtTestSupport.h"
#include "tests/support/TempDir.h"
#include "tests/support/VsftpdServer.h"

namespace {

std::string Bytes(std::size_t size, unsigned seed) {
    std::string data(size, '\0');
    for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<char>((i * 131 + seed * 17 + i / 7) & 0xFF);
    return data;
}

void Write(const std::string& path, const std::string& data) { std::ofstream(path, std::ios::binary) << data; }

// Compares a file with the bytes it must hold, reporting sizes and the first
// difference rather than the contents.
::testing::AssertionResult Holds(const std::string& path, const std::string& expected) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return ::testing::AssertionFailure() << path << " does not exist";
    const std::string actual((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (actual == expected) return ::testing::AssertionSuccess();
    std::size_t at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
    return ::testing::AssertionFailure() << path << ": " << actual.size() << " bytes, expected " << expected.size()
                                         << ", first difference at " << at;
}

bool IsFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

TEST(ProgressWindow, FiguresOfTheFirstSecondAndBeyond) {
    TfrmDownload window(false);
    double now = 1000.0;
    window.Now = [&] { return now; };
    window.Update("/site/page.htm", 1000, 0);
    EXPECT_EQ(window.lblFilename->text(), QStringLiteral("page.htm"));
    EXPECT_EQ(window.lblProgress->text(), QStringLiteral("0%"));
    EXPECT_EQ(window.lblDownloading->text(), QStringLiteral("Quillford Velliant FTP is now downloading the file ..."));
    // Within the first second the rate and times already count, from the
    // fraction of a second that passed.
    now += 0.5;
    window.Update("page.htm", -1, 300);
    EXPECT_EQ(window.lblTransferRate->text(), QStringLiteral("600 bytes/sec"));
    EXPECT_EQ(window.lblRemainTime->text(), QStringLiteral("00:00:01"));
    EXPECT_EQ(window.lblEstTime->text(), QStringLiteral("00:00:01"));
    EXPECT_EQ(window.lblProgress->text(), QStringLiteral("30%"));
    EXPECT_EQ(window.pbDownload->value(), 30);
    // Two seconds in: 250 bytes a second, two more seconds to go.
    now += 1.5;
    window.Update("page.htm", -1, 500);
    EXPECT_EQ(window.lblTransferRate->text(), QStringLiteral("250 bytes/sec"));
    EXPECT_EQ(window.lblElapsedTime->text(), QStringLiteral("00:00:02"));
    EXPECT_EQ(window.lblRemainTime->text(), QStringLiteral("00:00:02"));
    EXPECT_EQ(window.lblEstTime->text(), QStringLiteral("00:00:04"));
    // More than listed: capped at 100 %, no negative time.
    now += 1.0;
    window.Update("page.htm", -1, 1500);
    EXPECT_EQ(window.lblProgress->text(), QStringLiteral("100%"));
    EXPECT_EQ(window.pbDownload->value(), 100);
    EXPECT_EQ(window.lblRemainTime->text(), QStringLiteral("00:00:00"));
    // An unknown size shows 0 %; a day and more keeps counting.
    TfrmDownload unknown(true);
    unknown.Now = [&] { return now; };
    unknown.Update("x", 0, 0);
    now += 90000;
    unknown.Update("x", -1, 10);
    EXPECT_EQ(unknown.lblProgress->text(), QStringLiteral("0%"));
    EXPECT_EQ(unknown.lblElapsedTime->text(), QStringLiteral("25:00:00"));
    EXPECT_EQ(unknown.windowTitle(), QStringLiteral("Uploading ..."));
    EXPECT_FALSE(unknown.lblDownloading->isVisibleTo(&unknown));
}

// A resumed download: the bytes that were there count in the progress,
// never in the rate.
TEST(ProgressWindow, ResumedBytesAreNoPartOfTheRate) {
    constexpr std::int64_t kMiB = 1024 * 1024;
    TfrmDownload window(false);
    double now = 10.0;
    window.Now = [&] { return now; };
    window.StartCount = 40 * kMiB;
    window.Update("big.iso", 100 * kMiB, 0);
    window.Update("big.iso", -1, 40 * kMiB);
    now += 1.0;
    window.Update("big.iso", -1, 48 * kMiB);
    EXPECT_EQ(window.lblTransferRate->text(), QStringLiteral("8 MB/sec"));
    EXPECT_EQ(window.lblProgress->text(), QStringLiteral("48%"));
    EXPECT_EQ(window.lblRemainTime->text(), QStringLiteral("00:00:06"));
}

TEST(ProgressWindow, FilesBeyondFourGibibytes) {
    constexpr std::int64_t kGiB = 1024LL * 1024 * 1024;
    TfrmDownload window(false);
    double now = 50.0;
    window.Now = [&] { return now; };
    window.Update("huge.iso", 5 * kGiB, 0);
    now += 10;
    window.Update("huge.iso", -1, 4 * kGiB);
    EXPECT_EQ(window.lblProgress->text(), QStringLiteral("80%"));
    EXPECT_EQ(window.pbDownload->value(), 80);
    EXPECT_EQ(window.lblTotalSize->text(), QStringLiteral("5 GB"));
    EXPECT_EQ(window.lblRemainTime->text(), QStringLiteral("00:00:02"));
    // The status bar's share of the same.
    EXPECT_EQ(TSessionController::ScaledProgress(4 * kGiB, 5 * kGiB), 800);
    EXPECT_EQ(TSessionController::ScaledProgress(3 * kGiB, 3 * kGiB + 1), 999);
    EXPECT_EQ(TSessionController::ScaledProgress(6 * kGiB, 5 * kGiB), TSessionController::ProgressScale);
    EXPECT_EQ(TSessionController::ScaledProgress(5, 0), 0);
}

class TransferChoice : public SessionFixture {
protected:
    QAction bin, asc, autoMode;
    TfrmOptions options;
};

TEST_F(TransferChoice, ButtonsAndExtensionsChooseTheType) {
    for (QAction* a : {&bin, &asc, &autoMode}) a->setCheckable(true);
    session.W.tb97TransferBin = &bin;
    session.W.tb97TransferAsc = &asc;
    session.W.tb97TransferAuto = &autoMode;
    session.W.frmOptions = &options;
    options.lbFTPTextExt->clear();
    options.lbFTPTextExt->addItems({QStringLiteral(".htm"), QStringLiteral(".txt"), QStringLiteral(".jpg")});
    autoMode.setChecked(true);
    EXPECT_FALSE(session.ChooseBinaryMode("INDEX.HTM"));
    EXPECT_FALSE(session.ChooseBinaryMode("a.b.txt"));
    EXPECT_TRUE(session.ChooseBinaryMode("photo.jpg")) << "always binary, whatever the list says";
    EXPECT_TRUE(session.ChooseBinaryMode("README"));
    EXPECT_TRUE(session.ChooseBinaryMode("style.css"));
    asc.setChecked(true);
    autoMode.setChecked(false);
    EXPECT_FALSE(session.ChooseBinaryMode("photo.jpg"));
    asc.setChecked(false);
    bin.setChecked(true);
    EXPECT_TRUE(session.ChooseBinaryMode("index.htm"));
}

// Every text of the transfer, permission, properties and folder windows
// can be read in full with the default font.
TEST(WindowTexts, NothingIsCutOff) {
    TfrmDownload progress(false);
    progress.Update("/site/a folder with a long name/and a file name that is long as well.html", 5'000'000'000, 1);
    TfrmOverResume question;
    question.lblDesc->setText(QStringLiteral("\"/home/someone/Sites/example/htdocs/index.html\"\nalready exists. Overwrite ?"));
    TfrmChMod permissions;
    LoadPermissions(permissions, "index.html", "-rw-r--r--");
    TfrmFileProperties properties;
    properties.lblFilename->setText(QStringLiteral("index.html"));
    properties.lblSize->setText(QStringLiteral("1.5 KB (1,536 bytes)"));
    TfrmFolder folder;
    folder.setWindowTitle(QStringLiteral("Make New Folder"));
    folder.lblCurrentFolder->setText(QStringLiteral("Current working directory:"));
    folder.lblNewFolder->setText(QStringLiteral("Create new folder with name:"));
    for (QWidget* window : std::initializer_list<QWidget*>{&progress, &question, &permissions, &properties, &folder}) {
        window->show();
        EXPECT_TRUE(qttest::WaitUntil([window] { return window->isVisible(); }));
        EXPECT_EQ(qttest::CutOffTexts(window), std::vector<std::string>{}) << window->windowTitle().toStdString();
        window->close();
    }
}

TEST(HostileNames, OnlyPlainNamesBecomeLocalFiles) {
    for (const char* bad : {"", ".", "..", "../../x", "a/b", "/etc/x", "a\\b", "..\\x"})
        EXPECT_FALSE(IsSafeLocalName(bad)) << bad;
    EXPECT_FALSE(IsSafeLocalName(std::string("a\0b", 3)));
    for (const char* good : {"a", "..a", "a..", "my page.htm", ".htaccess", "caf\xe9"})
        EXPECT_TRUE(IsSafeLocalName(good)) << good;
}

class Transfers : public SessionFixture, public ::testing::WithParamInterface<std::string> {
protected:
    void SetUp() override {
        ASSERT_TRUE(server->Start()) << server->Error();
        site = server->Root() + "/site";
        ::mkdir(site.c_str(), 0777);
        ::mkdir((site + "/tree").c_str(), 0777);
        ::mkdir((site + "/tree/empty").c_str(), 0777);
        ::mkdir((site + "/tree/deep").c_str(), 0777);
        ::mkdir((site + "/tree/deep/er").c_str(), 0777);
        Write(site + "/a.bin", Bytes(100000, 1));
        Write(site + "/b.bin", Bytes(3, 2));
        Write(site + "/tree/zero.bin", "");
        Write(site + "/tree/one.bin", Bytes(70001, 3));
        Write(site + "/tree/deep/er/two.bin", Bytes(12345, 4));
        ::chmod(site.c_str(), 0777);
        session.ListingTempFile = work.File("listing.tmp");
        session.PlaySound = [this](const std::string& file) {
            sounds.push_back(file);
            return true;
        };
        session.RefreshLocalFiles = [this] { ++localRefreshes; };
        pane.LocalFolder = [this] { return local.File("in"); };
        ::mkdir(local.File("in").c_str(), 0755);
        RecordMessages();
        ShowFileList();
        ConnectPassive(server->Port(), server->User(), server->Password(), "site");
        ASSERT_TRUE(session.FTP.Connected());
    }
    void TearDown() override {
        // Some tests lend the session actions and options that live only in
        // their body; the disconnect below repaints the toolbar.
        session.W.tb97TransferAuto = nullptr;
        session.W.frmOptions = nullptr;
        session.DisconnectAction();
    }

    void Select(std::initializer_list<const char*> names) {
        files->CurrentView()->clearSelection();
        SessionFixture::Select(names);
    }
    std::string In(const std::string& name) const { return local.File("in/" + name); }
    // Drags the local selection over the list to `at` and drops it there;
    // gives the row lit while the drag was over it.
    int DropAt(QPoint at) {
        // A drag made of events alone has no source widget to check.
        pane.IsLocalFileList = [](const QObject*) { return true; };
        QWidget* viewport = files->CurrentView()->viewport();
        QMimeData data;
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &enter);
        QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
        const int lit = files->Model()->DropTarget();
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &drop);
        AwaitQueue(pane);
        EXPECT_EQ(files->Model()->DropTarget(), -1) << "no row stays lit";
        return lit;
    }
    QPoint RowCentre(const std::string& name) const {
        return files->CurrentView()->visualRect(files->Model()->index(RowNamed(name), 0)).center();
    }
    QPoint EmptySpace() const {
        const QPoint corner = files->CurrentView()->viewport()->rect().bottomRight() - QPoint(2, 2);
        EXPECT_FALSE(files->CurrentView()->indexAt(corner).isValid());
        return corner;
    }

    std::unique_ptr<FtpServerProcess> server = GetParam() == "vsftpd" ? std::unique_ptr<FtpServerProcess>(new VsftpdServer)
                                                                      : std::unique_ptr<FtpServerProcess>(new PyFtpdServer);
    std::string site;
    TempDir work;
    TempDir local;
    std::vector<std::string> sounds;
    int localRefreshes = 0;
    TRemotePane pane{session, files, dirs, &window};
};

TEST_P(Transfers, DownloadsSelectedFilesAndFolderTrees) {
    Select({"b.bin", "tree", "a.bin"});
    pane.itmSrvFilesDownloadClick();
    AwaitQueue(pane);
    EXPECT_TRUE(messages.empty()) << messages.front();
    EXPECT_TRUE(Holds(In("a.bin"), Bytes(100000, 1)));
    EXPECT_TRUE(Holds(In("b.bin"), Bytes(3, 2)));
    EXPECT_TRUE(Holds(In("tree/one.bin"), Bytes(70001, 3)));
    EXPECT_TRUE(Holds(In("tree/deep/er/two.bin"), Bytes(12345, 4)));
    EXPECT_TRUE(Holds(In("tree/zero.bin"), ""));
    EXPECT_TRUE(IsFolder(In("tree/empty")));
    // Back in the folder the walk started from, with no window left over.
    EXPECT_TRUE(session.CurrentRemoteDir.ends_with("/site")) << session.CurrentRemoteDir;
    EXPECT_GE(RowNamed("tree"), 0);
    EXPECT_TRUE(session.TransferWindow.isNull());
    EXPECT_EQ(localRefreshes, 1) << "once, when the queue's run ends";
    EXPECT_TRUE(sounds.empty()) << "no sound unless asked for";
}

TEST_P(Transfers, OverwriteResumeOrSkipAnExistingFile) {
    const std::string whole = Bytes(100000, 1);
    struct Case {
        const char* button;
        std::string before;
        std::string after;
    };
    const Case cases[] = {
        {"Overwrite", "old contents that are longer than nothing", whole},
        // What was there stays: only the rest is fetched.
        {"Resume", std::string(40000, 'L'), std::string(40000, 'L') + whole.substr(40000)},
        {"Cancel", "keep me", "keep me"},
    };
    for (const Case& c : cases) {
        Write(In("a.bin"), c.before);
        std::string asked;
        qttest::AnswerNextModal<TfrmOverResume>([&](TfrmOverResume* dialog) {
            asked = dialog->lblDesc->text().toStdString();
            QPushButton* button = std::string(c.button) == "Overwrite" ? dialog->btnOverwrite
                                  : std::string(c.button) == "Resume"  ? dialog->btnResume
                                                                       : dialog->btnCancel;
            button->click();
        });
        Select({"a.bin"});
        pane.itmSrvFilesDownloadClick();
        AwaitQueue(pane);
        EXPECT_EQ(asked, "\"" + In("a.bin") + "\"\nalready exists. Overwrite ?") << c.button;
        EXPECT_TRUE(Holds(In("a.bin"), c.after)) << c.button;
    }
    EXPECT_TRUE(messages.empty()) << messages.front();
}

TEST_P(Transfers, DownloadAsAskForPlacesAndStopOnCancel) {
    ::mkdir(local.File("chosen").c_str(), 0755);
    // In list order: the folder's contents go straight into a chosen folder,
    // a file to a name of the user's choice; the third dialog is cancelled.
    qttest::AnswerNextModal<QFileDialog>([&](QFileDialog* browse) {
        EXPECT_EQ(browse->windowTitle(), QStringLiteral("Choose destination for this directory"));
        browse->setDirectory(QString::fromStdString(local.File("chosen")));
        static_cast<QDialog*>(browse)->accept();
        qttest::AnswerNextModal<QFileDialog>([&](QFileDialog* save) {
            EXPECT_EQ(save->windowTitle(), QStringLiteral("Choose filename to save as..."));
            save->selectFile(QString::fromStdString(local.File("renamed.bin")));
            static_cast<QDialog*>(save)->accept();
            qttest::AnswerNextModal<QFileDialog>([](QFileDialog* third) { static_cast<QDialog*>(third)->reject(); });
        });
    });
    Select({"b.bin", "tree", "a.bin"});
    pane.itmSrvFilesDownloadAsClick();
    AwaitQueue(pane);
    EXPECT_TRUE(Holds(local.File("chosen/one.bin"), Bytes(70001, 3)));
    EXPECT_TRUE(Holds(local.File("chosen/deep/er/two.bin"), Bytes(12345, 4)));
    EXPECT_TRUE(Holds(local.File("renamed.bin"), Bytes(100000, 1)));
    EXPECT_FALSE(std::ifstream(In("b.bin")).good()) << "cancelled";
    EXPECT_TRUE(messages.empty()) << messages.front();
}

TEST_P(Transfers, UploadsDroppedFilesAndRefreshesWhenAsked) {
    TfrmOptions options;
    options.cbDirAutoRefresh->setChecked(true);
    options.cbPlaySoundUpload->setChecked(true);
    options.ebxSoundUpload->setText(QString::fromStdString(local.File("in/up1.bin")));
    options.cbPlaySoundDownload->setChecked(true);
    options.ebxSoundDownload->setText(QStringLiteral("/no/such/sound.wav"));
    session.W.frmOptions = &options;
    Write(In("up1.bin"), Bytes(65536 * 3 + 7, 5));
    Write(In("up2.bin"), "");
    pane.SelectedLocalFiles = [] { return std::vector<std::string>{"up1.bin", "up2.bin"}; };
    const int before = log->LineCount();
    EXPECT_EQ(DropAt(EmptySpace()), -1);
    EXPECT_TRUE(messages.empty()) << messages.front();
    EXPECT_TRUE(Holds(site + "/up1.bin", Bytes(65536 * 3 + 7, 5)));
    EXPECT_TRUE(std::ifstream(site + "/up2.bin").good());
    EXPECT_GE(RowNamed("up1.bin"), 0) << "auto-refresh lists the folder after an upload";
    int listings = 0;
    const std::vector<std::string> lines = Log();
    for (std::size_t i = static_cast<std::size_t>(before); i < lines.size(); ++i)
        listings += lines[i] == "Command:    LIST" || lines[i] == "Command:    MLSD";
    EXPECT_EQ(listings, 1) << "once, when the queue's run ends";
    // Once a run; only when its file exists.
    EXPECT_EQ(sounds, (std::vector<std::string>{In("up1.bin")}));
    Select({"b.bin"});
    pane.itmSrvFilesDownloadClick();
    AwaitQueue(pane);
    EXPECT_EQ(sounds.size(), 1u);
    EXPECT_EQ(localRefreshes, 1);
}

// With "Keep file times" a download takes the server's time, and an upload
// gives the server the local one where it can (MFMT); vsftpd cannot, which
// the log says without failing the upload.
TEST_P(Transfers, KeepFileTimesCarriesModificationTimes) {
    qttest::ClearSettings();
    TfrmOptions options;
    ASSERT_TRUE(options.cbKeepFileTimes->isChecked());
    session.W.frmOptions = &options;
    auto setTime = [](const std::string& path, time_t when) {
        const struct utimbuf times { when, when };
        ASSERT_EQ(::utime(path.c_str(), &times), 0) << path;
    };
    auto timeOf = [](const std::string& path) {
        struct stat info {};
        return ::stat(path.c_str(), &info) == 0 ? info.st_mtime : time_t(-1);
    };
    setTime(site + "/b.bin", 981173106);  // 2001-02-03 04:05:06 UTC
    Select({"b.bin"});
    pane.itmSrvFilesDownloadClick();
    AwaitQueue(pane);
    EXPECT_EQ(timeOf(In("b.bin")), 981173106);

    Write(In("up.bin"), "x");
    setTime(In("up.bin"), 1000000000);
    pane.SelectedLocalFiles = [] { return std::vector<std::string>{"up.bin"}; };
    (void)DropAt(EmptySpace());
    EXPECT_TRUE(Holds(site + "/up.bin", "x"));
    if (GetParam() == "pyftpdlib")
        EXPECT_EQ(timeOf(site + "/up.bin"), 1000000000);
    else
        EXPECT_TRUE(std::ranges::any_of(Log(), [](const std::string& line) {
            return line.starts_with("Status:     The time of ") && line.find("could not be set") != std::string::npos;
        }));
    EXPECT_TRUE(messages.empty()) << messages.front();
}

// Files dropped on a folder's row go into that folder, which is lit while
// the drag is over it; on a file's row, into the current folder.
TEST_P(Transfers, DropOnAFolderRowUploadsIntoThatFolder) {
    Write(In("style.css"), "p {}");
    pane.SelectedLocalFiles = [] { return std::vector<std::string>{"style.css"}; };
    EXPECT_EQ(DropAt(RowCentre("tree")), RowNamed("tree"));
    EXPECT_TRUE(Holds(site + "/tree/style.css", "p {}"));
    EXPECT_FALSE(std::ifstream(site + "/style.css").good());
    EXPECT_TRUE(session.CurrentRemoteDir.ends_with("/site")) << session.CurrentRemoteDir;
    EXPECT_EQ(DropAt(RowCentre("a.bin")), -1);
    EXPECT_TRUE(Holds(site + "/style.css", "p {}"));
    EXPECT_TRUE(messages.empty()) << messages.front();
}

// A CGI script edited here (LF line ends) goes up as text and comes back the
// same; the overwrite question offers no resume for text.
TEST_P(Transfers, TextFilesKeepTheirLocalLineEnds) {
    TfrmOptions options;
    options.lbFTPTextExt->clear();
    options.lbFTPTextExt->addItem(QStringLiteral(".cgi"));
    QAction autoMode;
    autoMode.setCheckable(true);
    autoMode.setChecked(true);
    session.W.frmOptions = &options;
    session.W.tb97TransferAuto = &autoMode;
    const std::string script = "#!/usr/bin/perl\nprint \"ok\\n\";\n\n";
    Write(In("run.cgi"), script);
    pane.SelectedLocalFiles = [] { return std::vector<std::string>{"run.cgi"}; };
    DropAt(EmptySpace());
    EXPECT_TRUE(messages.empty()) << messages.front();
    // Unix servers store their own line ends again.
    EXPECT_TRUE(Holds(site + "/run.cgi", script));
    session.QueueListing();
    bool resumable = true;
    qttest::AnswerNextModal<TfrmOverResume>([&](TfrmOverResume* dialog) {
        resumable = dialog->btnResume->isEnabled();
        dialog->btnOverwrite->click();
    });
    Write(In("run.cgi"), "stale");
    Select({"run.cgi"});
    pane.itmSrvFilesDownloadClick();
    AwaitQueue(pane);
    EXPECT_FALSE(resumable);
    EXPECT_TRUE(Holds(In("run.cgi"), script));
    EXPECT_TRUE(messages.empty()) << messages.front();
}

// Links in a downloaded tree ("again -> .", "up -> ..") are not followed:
// they are listed once at the end, and the rest comes down.
TEST_P(Transfers, LinksInATreeAreNotFollowed) {
    ::mkdir((site + "/loop").c_str(), 0777);
    Write(site + "/loop/kept.txt", "kept");
    ASSERT_EQ(::symlink(".", (site + "/loop/again").c_str()), 0);
    ASSERT_EQ(::symlink("..", (site + "/loop/up").c_str()), 0);
    session.QueueListing();
    Select({"loop"});
    pane.itmSrvFilesDownloadClick();
    AwaitQueue(pane);
    EXPECT_EQ(qttest::ReadFile(In("loop/kept.txt")), "kept");
    EXPECT_FALSE(IsFolder(In("loop/again")));
    EXPECT_FALSE(IsFolder(In("loop/up")));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("2 entries were not downloaded:", 0), 0u) << messages[0];
    EXPECT_NE(messages[0].find("/loop/again: a link, not followed"), std::string::npos) << messages[0];
    EXPECT_TRUE(session.CurrentRemoteDir.ends_with("/site")) << session.CurrentRemoteDir;
}

// A folder download asks before it replaces a local file, as a single file's
// download does; a skipped file stays as it was, and the rest goes on.
TEST_P(Transfers, AFolderDownloadAsksBeforeReplacingALocalFile) {
    ::mkdir(In("tree").c_str(), 0755);
    Write(In("tree/one.bin"), "mine");
    Write(In("tree/zero.bin"), "also mine");
    std::vector<std::string> asked;
    const auto answer = [&](bool overwrite) {
        return [&asked, overwrite](TfrmOverResume* dialog) {
            asked.push_back(dialog->lblDesc->text().toStdString());
            (overwrite ? dialog->btnOverwrite : dialog->btnCancel)->click();
        };
    };
    // The walk lists a folder's entries in the server's order; the answers
    // go by the name in the question.
    const auto byName = [&](TfrmOverResume* dialog) {
        const bool one = dialog->lblDesc->text().contains(QStringLiteral("one.bin"));
        answer(!one)(dialog);
    };
    qttest::AnswerNextModal<TfrmOverResume>([&](TfrmOverResume* dialog) {
        qttest::AnswerNextModal<TfrmOverResume>(byName);
        byName(dialog);
    });
    Select({"tree"});
    pane.itmSrvFilesDownloadClick();
    AwaitQueue(pane);
    EXPECT_EQ(asked.size(), 2u);
    EXPECT_EQ(qttest::ReadFile(In("tree/one.bin")), "mine") << "skipped";
    EXPECT_TRUE(Holds(In("tree/zero.bin"), "")) << "replaced";
    EXPECT_TRUE(Holds(In("tree/deep/er/two.bin"), Bytes(12345, 4)));
    EXPECT_TRUE(messages.empty()) << messages.front();
}

// Every upload path asks before it replaces a server file: each answer
// does what it says on the server's disk, and nothing is asked about a file
// the server does not have.
TEST_P(Transfers, AnUploadAsksBeforeReplacingAServerFile) {
    const std::string mine = Bytes(100000, 7);
    struct Case {
        const char* button;
        std::string before;  // the server's a.bin
        time_t localAge;     // seconds the local file is older than now
        std::string after;   // the server's a.bin afterwards
        bool renamed;        // "a (1).bin" holds the local file
    };
    const Case cases[] = {
        {"Overwrite", "theirs", 0, mine, false},
        {"Skip", "theirs", 0, "theirs", false},
        {"Resume", mine.substr(0, 40000), 0, mine, false},
        {"Rename", "theirs", 0, "theirs", true},
        {"Size", std::string(mine.size(), 'x'), 0, std::string(mine.size(), 'x'), false},
        {"Size", "theirs", 0, mine, false},
        {"Newer", "theirs", 0, mine, false},
        {"Newer", "theirs", 86400 * 2, "theirs", false},
    };
    Write(In("a.bin"), mine);
    pane.SelectedLocalFiles = [] { return std::vector<std::string>{"a.bin"}; };
    for (const Case& c : cases) {
        Write(site + "/a.bin", c.before);
        ::unlink((site + "/a (1).bin").c_str());
        // The server's copy is a day old.
        for (const auto& [path, age] : {std::pair{In("a.bin"), c.localAge}, std::pair{site + "/a.bin", time_t{86400}}}) {
            const time_t when = ::time(nullptr) - age;
            const struct timeval times[2] = {{when, 0}, {when, 0}};
            ::utimes(path.c_str(), times);
        }
        std::string asked;
        qttest::AnswerNextModal<TfrmOverResume>([&](TfrmOverResume* dialog) {
            asked = dialog->lblDesc->text().toStdString();
            const std::string name = c.button;
            QPushButton* button = name == "Overwrite" ? dialog->btnOverwrite
                                  : name == "Resume"  ? dialog->btnResume
                                  : name == "Rename"  ? dialog->btnRename
                                  : name == "Size"    ? dialog->btnOverwriteSize
                                  : name == "Newer"   ? dialog->btnOverwriteNewer
                                                      : dialog->btnCancel;
            QTest::mouseClick(button, Qt::LeftButton);
        });
        DropAt(EmptySpace());
        EXPECT_EQ(asked, "\"" + session.CurrentRemoteDir + "/a.bin\"\nalready exists. Overwrite ?") << c.button;
        EXPECT_TRUE(Holds(site + "/a.bin", c.after)) << c.button;
        EXPECT_EQ(std::ifstream(site + "/a (1).bin").good(), c.renamed) << c.button;
        EXPECT_TRUE(session.TransferWindow.isNull()) << c.button << ": no progress window left over";
        if (c.renamed) {
            EXPECT_TRUE(Holds(site + "/a (1).bin", mine));
        }
    }
    // A new file goes up unasked; into a folder's row, the folder's file is
    // the one asked about.
    ::unlink((site + "/a.bin").c_str());
    DropAt(EmptySpace());
    EXPECT_TRUE(Holds(site + "/a.bin", mine));
    Write(site + "/tree/a.bin", "theirs");
    std::string asked;
    qttest::AnswerNextModal<TfrmOverResume>([&](TfrmOverResume* dialog) {
        asked = dialog->lblDesc->text().toStdString();
        QTest::mouseClick(dialog->btnCancel, Qt::LeftButton);
    });
    DropAt(RowCentre("tree"));
    EXPECT_EQ(asked, "\"" + session.CurrentRemoteDir + "/tree/a.bin\"\nalready exists. Overwrite ?");
    EXPECT_TRUE(Holds(site + "/tree/a.bin", "theirs"));
    EXPECT_TRUE(messages.empty()) << messages.front();
}

// "Do this for the rest of this transfer" answers the files that follow in
// the same drop, and only those; the options' default answers unasked.
TEST_P(Transfers, OneAnswerForTheRestOfATransfer) {
    for (const char* name : {"a.bin", "b.bin"}) Write(In(name), "mine");
    pane.SelectedLocalFiles = [] { return std::vector<std::string>{"a.bin", "b.bin"}; };
    int questions = 0;
    const auto skipTheRest = [&](TfrmOverResume* dialog) {
        ++questions;
        QTest::mouseClick(dialog->cbForRest, Qt::LeftButton);
        QTest::mouseClick(dialog->btnCancel, Qt::LeftButton);
    };
    qttest::AnswerNextModal<TfrmOverResume>(skipTheRest);
    DropAt(EmptySpace());
    EXPECT_EQ(questions, 1);
    EXPECT_TRUE(Holds(site + "/b.bin", Bytes(3, 2)));
    qttest::AnswerNextModal<TfrmOverResume>(skipTheRest);
    DropAt(EmptySpace());
    EXPECT_EQ(questions, 2) << "a new transfer asks again";
    TfrmOptions options;
    options.cbxFileExists->setCurrentIndex(static_cast<int>(TFileExistsAnswer::Overwrite));
    session.W.frmOptions = &options;
    DropAt(EmptySpace());
    EXPECT_EQ(questions, 2);
    EXPECT_TRUE(Holds(site + "/a.bin", "mine"));
    EXPECT_TRUE(Holds(site + "/b.bin", "mine"));
    // A download's Rename keeps the local file and takes a free name.
    options.cbxFileExists->setCurrentIndex(static_cast<int>(TFileExistsAnswer::Ask));
    Write(In("a.bin"), "keep");
    Write(In("a (1).bin"), "keep too");
    qttest::AnswerNextModal<TfrmOverResume>([](TfrmOverResume* dialog) { QTest::mouseClick(dialog->btnRename, Qt::LeftButton); });
    session.QueueListing();
    Select({"a.bin"});
    pane.itmSrvFilesDownloadClick();
    AwaitQueue(pane);
    EXPECT_TRUE(Holds(In("a.bin"), "keep"));
    EXPECT_TRUE(Holds(In("a (1).bin"), "keep too"));
    EXPECT_TRUE(Holds(In("a (2).bin"), "mine"));
    EXPECT_TRUE(messages.empty()) << messages.front();
}

INSTANTIATE_TEST_SUITE_P(RealServers, Transfers, ::testing::Values("pyftpdlib", "vsftpd"),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

}  // namespace
