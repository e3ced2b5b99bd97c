// Remote file operations from the remote pane against real servers: delete,
// rename in place, new folder, permissions and properties; and the
// permissions dialog's reading of permission texts.
#include <sys/stat.h>

#include <QAbstractItemView>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <fstream>

#include "dialogs/FrmChMod.h"
#include "dialogs/FrmFileProperties.h"
#include "dialogs/FrmFolder.h"
#include "session/RemotePane.h"
#include "tests/session/SessionFixture.h"
#include "tests/support/PyFtpdServer.h"
#include "tests/support/QtTestSupport.h"
#include "tests/support/TempDir.h"
#include "tests/support/VsftpdServer.h"

namespace {

TEST(Permissions, TextsAndBoxesGiveTheMode) {
    struct Case {
        std::string text;
        std::string checked;  // the nine boxes, user read first
        std::string mode;
    };
    const Case cases[] = {
        {"-rw-r--r--", "110100100", "644"},
        {"drwxr-xr-x", "111101101", "755"},
        {"----r--r--", "000100100", "44"},
        {"-rwSr-Sr-T", "110100100", "644"},
        {"-RWXRWXRWX", "111111111", "777"},
        {"-rw", "000000000", "0"},
        {"", "000000000", "0"},
        {"-rwxr-x", "111101000", "750"},
        {"-rwxrwxr-x+", "111111101", "775"},
    };
    for (const Case& c : cases) {
        TfrmChMod dialog;
        LoadPermissions(dialog, "C:\\site\\x.txt", c.text);
        bool flags[9];
        dialog.Flags(flags);
        std::string checked;
        for (bool f : flags) checked += f ? '1' : '0';
        EXPECT_EQ(checked, c.checked) << c.text;
        EXPECT_EQ(ChmodMode(flags), c.mode) << c.text;
        EXPECT_EQ(dialog.lblFilename->text(), QStringLiteral("x.txt"));
    }
}

TEST(Properties, SizeTexts) {
    EXPECT_EQ(PropertiesSizeText(std::int64_t{0}), "0 byte");
    EXPECT_EQ(PropertiesSizeText(std::int64_t{2}), "2 bytes");
    EXPECT_EQ(PropertiesSizeText(std::int64_t{1024}), "1,024 bytes");
    EXPECT_EQ(PropertiesSizeText(std::int64_t{1025}), "1 KB (1,025 bytes)");
    EXPECT_EQ(PropertiesSizeText(std::string("1536")), "1.5 KB (1,536 bytes)");
    EXPECT_EQ(PropertiesSizeText(std::string("")), " bytes");
    EXPECT_EQ(PropertiesSizeText(std::string("4k")), "4k bytes");
}

class RemoteOperations : public SessionFixture, public ::testing::WithParamInterface<std::string> {
protected:
    void SetUp() override {
        ASSERT_TRUE(server->Start()) << server->Error();
        site = server->Root() + "/site";
        ::mkdir(site.c_str(), 0777);
        ::mkdir((site + "/d1").c_str(), 0777);
        ::mkdir((site + "/d2").c_str(), 0777);
        ::mkdir((site + "/full").c_str(), 0777);
        std::ofstream(site + "/full/keep.txt") << "x";
        std::ofstream(site + "/f.txt") << "data";
        for (const auto& [name, size] : {std::pair{"zero.bin", 0}, {"two.bin", 2}, {"k.bin", 1024}, {"k1.bin", 1025}})
            std::ofstream(site + "/" + name) << std::string(static_cast<std::size_t>(size), 'z');
        ::chmod((site + "/f.txt").c_str(), 0666);
        session.ListingTempFile = work.File("listing.tmp");
        RecordMessages();
        ShowFileList();
        ConnectPassive(server->Port(), server->User(), server->Password(), "site");
        ASSERT_TRUE(session.FTP.Connected());
    }
    void TearDown() override { session.DisconnectAction(); }

    void Select(std::initializer_list<const char*> names) {
        files->CurrentView()->clearSelection();
        SessionFixture::Select(names);
    }
    // The commands sent from now on, as the log shows them.
    std::vector<std::string> CommandsSince(int line) const {
        std::vector<std::string> commands;
        const std::vector<std::string> lines = Log();
        for (std::size_t i = static_cast<std::size_t>(line); i < lines.size(); ++i)
            if (lines[i].rfind("Command:    ", 0) == 0) commands.push_back(lines[i].substr(12));
        return commands;
    }
    static void AnswerYes(std::string* question) {
        qttest::AnswerNextModal<QMessageBox>([question](QMessageBox* box) {
            *question = box->text().toStdString();
            box->button(QMessageBox::Yes)->click();
        });
    }

    std::unique_ptr<FtpServerProcess> server = GetParam() == "vsftpd" ? std::unique_ptr<FtpServerProcess>(new VsftpdServer)
                                                                      : std::unique_ptr<FtpServerProcess>(new PyFtpdServer);
    std::string site;
    TempDir work;
    TRemotePane pane{session, files, dirs, &window};
};

bool Exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

// pyftpdlib offers MLSD, which the view then reads; vsftpd lists.
std::string Listing() { return ::testing::WithParamInterface<std::string>::GetParam() == "pyftpdlib" ? "MLSD" : "LIST"; }

TEST_P(RemoteOperations, DeleteRemovesFilesInListOrder) {
    Select({"f.txt", "two.bin"});
    const int before = log->LineCount();
    std::string question;
    AnswerYes(&question);
    pane.itmSrvFilesDeleteClick();
    EXPECT_EQ(question, "Are you sure you want to delete these 2 files ?");
    const std::vector<std::string> sent = CommandsSince(before);
    const std::vector<std::string> expected = {"DELE f.txt", "DELE two.bin", "TYPE A", "EPSV", Listing(), "PWD"};
    EXPECT_EQ(sent, expected);
    EXPECT_FALSE(Exists(site + "/two.bin") || Exists(site + "/f.txt"));
    EXPECT_EQ(RowNamed("f.txt"), -1);
    EXPECT_TRUE(messages.empty()) << messages.front();
}

// Folders go with all they hold (a link is removed, not followed); the
// question counts what will go. A file put into a folder after the question
// keeps that folder: its failure is listed once at the end, and everything
// else is deleted.
TEST_P(RemoteOperations, DeleteRemovesFoldersWithEverythingInThem) {
    ::mkdir((site + "/full/sub").c_str(), 0777);
    std::ofstream(site + "/full/sub/deep.txt") << "deep";
    ASSERT_EQ(::symlink((site + "/d2").c_str(), (site + "/d1/link").c_str()), 0);
    session.QueueListing();
    Select({"f.txt", "d1", "full"});
    std::string question;
    qttest::AnswerNextModal<QMessageBox>([&](QMessageBox* box) {
        question = box->text().toStdString();
        std::ofstream(site + "/full/late.txt") << "late";
        QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
    });
    pane.itmSrvFilesDeleteClick();
    AwaitQueue(pane);
    EXPECT_EQ(question, "Are you sure you want to delete these 3 entries ?\n\n4 files and 3 folders will be deleted.");
    EXPECT_FALSE(Exists(site + "/f.txt") || Exists(site + "/d1") || Exists(site + "/full/sub") ||
                 Exists(site + "/full/keep.txt"));
    EXPECT_TRUE(Exists(site + "/d2")) << "a link's target stays";
    EXPECT_TRUE(Exists(site + "/full/late.txt"));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("1 entry was not deleted:\n" + session.CurrentRemoteDir + "/full: 550", 0), 0u) << messages[0];
    EXPECT_TRUE(LogHas("Status:     Deleted " + session.CurrentRemoteDir + "/full/sub/deep.txt")) << "each deletion is logged";
    EXPECT_EQ(RowNamed("d1"), -1);
    EXPECT_GE(RowNamed("full"), 0);
}

TEST_P(RemoteOperations, RenameInPlaceAndARefusedRename) {
    Select({"f.txt"});
    pane.itmSrvFilesRenameClick();
    auto* editor = files->CurrentView()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->setText(QStringLiteral("g.txt"));
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_TRUE(qttest::WaitUntil([&] { return Exists(site + "/g.txt"); }));
    EXPECT_FALSE(Exists(site + "/f.txt"));
    EXPECT_GE(RowNamed("g.txt"), 0);
    EXPECT_TRUE(messages.empty()) << messages.front();

    // Refused: the listing after it shows the old name again.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // the first editor
    ASSERT_EQ(files->CurrentView()->findChild<QLineEdit*>(), nullptr);
    Select({"g.txt"});
    pane.itmSrvFilesRenameClick();
    editor = files->CurrentView()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->setText(QStringLiteral("no-such-dir/h.txt"));
    QTest::keyClick(editor, Qt::Key_Return);
    ASSERT_TRUE(qttest::WaitUntil([&] { return !messages.empty(); }));
    EXPECT_EQ(messages[0].rfind("550", 0), 0u) << messages[0];
    EXPECT_TRUE(qttest::WaitUntil([&] { return RowNamed("g.txt") >= 0; }));
    EXPECT_LT(RowNamed("no-such-dir/h.txt"), 0);
    EXPECT_TRUE(Exists(site + "/g.txt"));
}

TEST_P(RemoteOperations, NewFolderJoinsTheHistory) {
    qttest::AnswerNextModal<TfrmFolder>([](TfrmFolder* dialog) {
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Make New Folder"));
        EXPECT_EQ(dialog->lblCurrentFolder->text(), QStringLiteral("Current working directory:"));
        EXPECT_TRUE(dialog->lblCurDir->text().endsWith(QStringLiteral("/site")));
        EXPECT_EQ(dialog->lblNewFolder->text(), QStringLiteral("Create new folder with name:"));
        dialog->ebx97NewDir->setText(QStringLiteral("fresh"));
        dialog->btnCreate->click();
    });
    pane.itmSrvFilesNewFolderClick();
    EXPECT_TRUE(Exists(site + "/fresh"));
    EXPECT_GE(RowNamed("fresh"), 0);
    // The MKD reply's folder is in the history; the print directory that
    // follows puts the current folder back on top.
    EXPECT_TRUE(dirs->itemText(0).endsWith(QStringLiteral("/site")));
    EXPECT_TRUE(dirs->itemText(1).endsWith(QStringLiteral("/site/fresh"))) << dirs->itemText(1).toStdString();
}

TEST_P(RemoteOperations, PermissionsChangeOnTheServer) {
    Select({".", "f.txt", "zero.bin"});
    int asked = 0;
    // f.txt: the boxes read -rw-rw-rw-; make it 640. The second dialog is
    // cancelled, which ends the series.
    qttest::AnswerNextModal<TfrmChMod>([&](TfrmChMod* dialog) {
        ++asked;
        EXPECT_EQ(dialog->lblFilename->text(), QStringLiteral("f.txt"));
        EXPECT_TRUE(dialog->cbWorldW->isChecked());
        dialog->cbGroupW->setChecked(false);
        dialog->cbWorldR->setChecked(false);
        dialog->cbWorldW->setChecked(false);
        qttest::AnswerNextModal<TfrmChMod>([&](TfrmChMod* second) {
            ++asked;
            second->btnCancel->click();
        });
        dialog->btnOk->click();
    });
    const int before = log->LineCount();
    pane.itmSrvFilesChModClick();
    EXPECT_EQ(asked, 2);
    const std::vector<std::string> sent = CommandsSince(before);
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent[0], "SITE CHMOD 640 f.txt");
    EXPECT_EQ(sent.back(), Listing());
    if (GetParam() == "vsftpd") {
        // Anonymous sessions may not change modes there: the refusal shows.
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].rfind("550", 0), 0u) << messages[0];
        return;
    }
    EXPECT_TRUE(messages.empty()) << messages.front();
    struct stat info {};
    ASSERT_EQ(::stat((site + "/f.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(files->ColumnText(RowNamed("f.txt"), TRemoteFileModel::colPermission), "-rw-r-----");
}

TEST_P(RemoteOperations, PropertiesWindowsDescribeEachEntryButTheFirst) {
    Select({".", "zero.bin", "two.bin", "k.bin", "k1.bin", "d1"});
    const auto before = QApplication::topLevelWidgets();
    pane.itmSrvFilesPropertiesClick();
    std::map<std::string, std::string> sizes;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        auto* properties = dynamic_cast<TfrmFileProperties*>(top);
        if (properties == nullptr || before.contains(top)) continue;
        EXPECT_TRUE(properties->isVisible());
        EXPECT_FALSE(properties->isModal());
        sizes[properties->lblFilename->text().toStdString()] = properties->lblSize->text().toStdString();
        EXPECT_TRUE(properties->lblLocation->text().endsWith(QStringLiteral("/site")));
        EXPECT_EQ(properties->lblPermDesc->text(), QStringLiteral("Permissions:"));
        properties->close();
    }
    EXPECT_EQ(sizes.size(), 5u) << "no window for \".\"";
    EXPECT_EQ(sizes["zero.bin"], "0 byte");
    EXPECT_EQ(sizes["two.bin"], "2 bytes");
    EXPECT_EQ(sizes["k.bin"], "1,024 bytes");
    EXPECT_EQ(sizes["k1.bin"], "1 KB (1,025 bytes)");
    EXPECT_FALSE(sizes["d1"].empty());
    // Closed windows free themselves.
    EXPECT_TRUE(qttest::WaitUntil([&] {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (dynamic_cast<TfrmFileProperties*>(top) != nullptr) return false;
        return true;
    }));
}

TEST_P(RemoteOperations, NameWithALineBreakIsRefusedBeforeAnythingIsSent) {
    const int before = log->LineCount();
    session.QueueDeleteFile("f.txt\r\nDELE zero.bin");
    session.QueueDeleteFile("two.bin");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "HostFileName contains a line break; refused");
    EXPECT_EQ(CommandsSince(before), (std::vector<std::string>{"DELE two.bin"}));
    EXPECT_TRUE(Exists(site + "/f.txt") && Exists(site + "/zero.bin"));
    EXPECT_FALSE(Exists(site + "/two.bin"));
}

INSTANTIATE_TEST_SUITE_P(RealServers, RemoteOperations, ::testing::Values("pyftpdlib", "vsftpd"),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

}  // namespace
