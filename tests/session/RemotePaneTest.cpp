// The remote pane against a scripted server: link resolution, double-click,
// keys, the folder box, the context menu's enabling, failed folder changes,
// and a session the server closes, kept alive and reconnected.
#include <QAbstractItemView>
#include <QCompleter>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include "dialogs/FrmOptions.h"
#include "session/RemotePane.h"
#include "tests/session/SessionFixture.h"
#include "tests/support/QtTestSupport.h"
#include "tests/support/ScriptedFtpServer.h"
#include "tests/support/TempDir.h"
#include "util/ui/SpinEdit.h"

namespace {

class RemotePane : public SessionFixture {
protected:
    void SetUp() override {
        RecordMessages();
        session.ListingTempFile = work.File("listing.tmp");
        window.resize(600, 400);
        files->setGeometry(0, 60, 600, 340);
        dirs->setGeometry(0, 0, 600, 24);
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        server.Send("220 hi\r\n").Reply("USER bob", "331 pw").Reply("PASS pw", "230 in");
    }

    // A listing of `lines` as the server sends it after TYPE A.
    ScriptedFtpServer& Listing(const std::string& lines) {
        return server.Reply("TYPE A", "200 ok")
            .Expect("PASV")
            .PasvReply()
            .Expect("LIST*")
            .DataAccept()
            .Send("150 here\r\n")
            .DataSend(lines)
            .DataClose()
            .Send("226 done\r\n");
    }

    void Connect() {
        ASSERT_TRUE(server.Start()) << server.Failure();
        ConnectPassive(server.Port(), "bob", "pw");
    }

    void DoubleClick(const std::string& name) {
        QAbstractItemView* view = files->CurrentView();
        const QRect at = view->visualRect(files->Model()->index(RowNamed(name), 0));
        ASSERT_TRUE(at.isValid()) << name;
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at.center());
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at.center());
    }

    // Types as a user does: each key goes where the application sends it,
    // to an open popup or else to the focus widget. The offscreen platform
    // leaves no window active once a dialog or popup has closed, where a
    // desktop gives the activation back: keys then go on to where they went.
    QWidget* KeyReceiver() {
        if (QWidget* popup = QApplication::activePopupWidget()) return popup;
        if (QWidget* focus = QApplication::focusWidget()) lastReceiver_ = focus;
        return lastReceiver_;
    }
    void Type(const QString& text) {
        for (const QChar c : text) QTest::keyClick(KeyReceiver(), c.toLatin1());
    }
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) { QTest::keyClick(KeyReceiver(), key, modifiers); }

    // Lines the client sent after the log-in, once the script has run.
    std::vector<std::string> Sent() {
        EXPECT_TRUE(server.WaitDone(5000)) << server.Failure();
        std::vector<std::string> lines = server.Lines();
        lines.erase(lines.begin(), lines.begin() + std::min<std::size_t>(2, lines.size()));
        return lines;
    }

    QPointer<QWidget> lastReceiver_;
    TempDir work;
    ScriptedFtpServer server;
    TRemotePane pane{session, files, dirs, &window};
};

const char kStart[] = "drwxr-xr-x 2 a b 4096 Jan 5 1998 sub\r\n-rw-r--r-- 1 a b 10 Jan 5 1998 file.txt\r\n";

TEST_F(RemotePane, LinksAreResolvedBySizeBeforeTheNextLine) {
    struct Case {
        std::string reply;
        std::string permission;
        std::string size;
        std::string type;
    };
    const Case cases[] = {
        {"550 not a plain file", "drwxrwxrwx", "11", "Folder"},
        {"213 2048", "-rwxrwxrwx", "2048", "HTM File"},
        {"213 0", "drwxrwxrwx", "11", "Folder"},
    };
    for (const Case& c : cases) {
        ScriptedFtpServer script;
        script.Send("220 hi\r\n")
            .Reply("USER bob", "331 pw")
            .Reply("PASS pw", "230 in")
            .Reply("TYPE A", "200 ok")
            .Expect("PASV")
            .PasvReply()
            .Expect("LIST*")
            .DataAccept()
            .Send("150 here\r\n")
            .DataSend("lrwxrwxrwx 1 web users 11 Jan 5 1998 docs -> public/page.htm\r\n")
            .DataClose()
            .Send("226 done\r\n")
            .Reply("TYPE I", "200 binary")
            .Reply("SIZE docs", c.reply)
            .Reply("PWD", "257 \"/\"")
            .Reply("QUIT", "221 bye");
        ASSERT_TRUE(script.Start()) << script.Failure();
        ConnectPassive(script.Port(), "bob", "pw");
        const int row = RowNamed("docs");
        ASSERT_GE(row, 0) << c.reply;
        EXPECT_EQ(files->ColumnText(row, TRemoteFileModel::colPermission), c.permission) << c.reply;
        EXPECT_EQ(files->ColumnText(row, TRemoteFileModel::colSize), c.size) << c.reply;
        EXPECT_EQ(files->ColumnText(row, TRemoteFileModel::colLink), "Link to public/page.htm") << c.reply;
        EXPECT_EQ(files->ColumnText(row, TRemoteFileModel::colType) == "Folder", c.type == "Folder") << c.reply;
        // A refused SIZE is no message for the user.
        session.DisconnectAction();
        EXPECT_TRUE(script.WaitDone(5000)) << script.Failure();
        EXPECT_TRUE(messages.empty()) << messages.front();
    }
}

TEST_F(RemotePane, DoubleClickOnDotDotChangesToTheParent) {
    Listing(kStart).Reply("PWD", "257 \"/x\"");
    server.Reply("CWD ..", "250 ok").Reply("PWD", "257 \"/\"");
    Listing(kStart);
    Connect();
    DoubleClick("..");
    EXPECT_EQ(Sent(), (std::vector<std::string>{"TYPE A", "PASV", "LIST", "PWD", "CWD ..", "PWD", "TYPE A", "PASV", "LIST"}));
    EXPECT_EQ(dirs->itemText(0), QStringLiteral("/"));
    EXPECT_EQ(dirs->itemText(1), QStringLiteral("/x"));
}

// Enter acts as a double-click: a file asks to be downloaded, a folder
// opens; Backspace and Alt+Up open the parent; Shift+F10 opens the menu.
TEST_F(RemotePane, KeysOfTheListAsADoubleClickAndForTheParent) {
    Listing(kStart).Reply("PWD", "257 \"/\"");
    server.Reply("CWD sub", "250 ok").Reply("PWD", "257 \"/sub\"");
    Listing("");
    for (int up = 0; up < 2; ++up) {
        server.Reply("CDUP", "250 ok");
        Listing(kStart).Reply("PWD", "257 \"/\"");
    }
    Connect();
    QAbstractItemView* view = files->CurrentView();
    view->setFocus();
    files->SelectRow(RowNamed("file.txt"));
    std::string question;
    qttest::AnswerNextModal<QMessageBox>([&](QMessageBox* box) {
        question = box->text().toStdString();
        box->button(QMessageBox::No)->click();
    });
    Press(Qt::Key_Return);
    EXPECT_EQ(question, "Are you sure you want to download this file ?");
    // A folder's deletion walks it on a second connection first, which this
    // server does not take: a file shows the key's work.
    qttest::AnswerNextModal<QMessageBox>([&](QMessageBox* box) {
        question = box->text().toStdString();
        box->button(QMessageBox::No)->click();
    });
    Press(Qt::Key_Delete);
    EXPECT_EQ(question, "Are you sure you want to delete this file ?");
    files->CurrentView()->clearSelection();
    files->SelectRow(RowNamed("sub"));
    Press(Qt::Key_Return);
    EXPECT_EQ(files->Count(), 2);  // "." and ".." of the empty folder
    Press(Qt::Key_Backspace);
    Press(Qt::Key_Up, Qt::AltModifier);
    EXPECT_EQ(Sent(),
              (std::vector<std::string>{"TYPE A", "PASV", "LIST", "PWD", "CWD sub", "PWD", "TYPE A", "PASV", "LIST", "CDUP",
                                        "TYPE A", "PASV", "LIST", "PWD", "CDUP", "TYPE A", "PASV", "LIST", "PWD"}));
    Press(Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_TRUE(qttest::WaitUntil([&] { return pane.popServerFiles->isVisible(); }));
    pane.popServerFiles->close();
}

// F2 on a folder, a new name, Enter: the folder is renamed, never entered.
// A rename the server refuses leaves the old name in the list.
TEST_F(RemotePane, EnterThatEndsARenameDoesNotOpenTheFolder) {
    Listing(kStart).Reply("PWD", "257 \"/\"");
    server.Reply("RNFR sub", "350 go on").Reply("RNTO blog", "250 renamed");
    Listing("drwxr-xr-x 2 a b 4096 Jan 5 1998 blog\r\n-rw-r--r-- 1 a b 10 Jan 5 1998 file.txt\r\n");
    server.Reply("RNFR file.txt", "350 go on").Reply("RNTO x/y.txt", "553 No such folder");
    Listing("drwxr-xr-x 2 a b 4096 Jan 5 1998 blog\r\n-rw-r--r-- 1 a b 10 Jan 5 1998 file.txt\r\n");
    Connect();
    const auto rename = [&](const char* from, const QString& to) {
        files->CurrentView()->setFocus();
        files->SelectRow(RowNamed(from));
        Press(Qt::Key_F2);
        ASSERT_TRUE(files->IsEditing());
        Press(Qt::Key_A, Qt::ControlModifier);
        Type(to);
        Press(Qt::Key_Return);
        EXPECT_TRUE(qttest::WaitUntil([&] { return !files->IsEditing() && !session.Busy; }));
    };
    rename("sub", QStringLiteral("blog"));
    EXPECT_GE(RowNamed("blog"), 0);
    EXPECT_EQ(session.CurrentRemoteDir, "/");
    rename("file.txt", QStringLiteral("x/y.txt"));
    EXPECT_TRUE(qttest::WaitUntil([&] { return RowNamed("file.txt") >= 0; }));
    EXPECT_LT(RowNamed("x/y.txt"), 0);
    EXPECT_EQ(Sent(), (std::vector<std::string>{"TYPE A", "PASV", "LIST", "PWD", "RNFR sub", "RNTO blog", "TYPE A", "PASV",
                                                "LIST", "RNFR file.txt", "RNTO x/y.txt", "TYPE A", "PASV", "LIST"}));
}

TEST_F(RemotePane, TypedFolderIsSentAsTyped) {
    Listing(kStart).Reply("PWD", "257 \"/abc\"");
    server.Reply("CWD /a", "250 ok").Reply("PWD", "257 \"/a\"");
    Listing("");
    server.Reply("CWD ../my dir/", "250 ok").Reply("PWD", "257 \"/my dir\"");
    Listing("");
    Connect();
    // Clicked into and typed as a user does. The history holds "/abc":
    // completion offers it in its open list, but Enter sends "/a".
    QLineEdit* edit = dirs->lineEdit();
    QTest::mouseClick(edit, Qt::LeftButton);
    Press(Qt::Key_A, Qt::ControlModifier);
    Type(QStringLiteral("/a"));
    QAbstractItemView* popup = dirs->completer()->popup();
    EXPECT_TRUE(qttest::WaitUntil([&] { return popup->isVisible(); }));
    Press(Qt::Key_Return);
    EXPECT_TRUE(qttest::WaitUntil([&] { return session.CurrentRemoteDir == "/a"; }));
    // No history at all: a relative name.
    dirs->clear();
    QTest::mouseClick(edit, Qt::LeftButton);
    Type(QStringLiteral("../my dir/"));
    Press(Qt::Key_Return);
    const std::vector<std::string> sent = Sent();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "CWD /a"), 1);
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "CWD ../my dir/"), 1);
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "CWD /abc"), 0);
}

TEST_F(RemotePane, FailedFolderChangeStillListsAndPrintsTheFolder) {
    Listing(kStart).Reply("PWD", "257 \"/\"");
    server.Reply("CWD sub", "550 No such directory").Reply("PWD", "257 \"/\"");
    Listing(kStart);
    Connect();
    DoubleClick("sub");
    EXPECT_EQ(Sent(), (std::vector<std::string>{"TYPE A", "PASV", "LIST", "PWD", "CWD sub", "PWD", "TYPE A", "PASV", "LIST"}));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "550 No such directory");
    EXPECT_GE(RowNamed("file.txt"), 0);
}

TEST_F(RemotePane, MenuFollowsSelectionConnectionAndBusy) {
    Listing(kStart).Reply("PWD", "257 \"/\"");
    Connect();
    const auto enabled = [this] {
        pane.popServerFilesPopup();
        std::string state;
        for (QAction* item :
             {pane.itmSrvFilesDownload, pane.itmSrvFilesDownloadAs, pane.itmSrvFilesDelete, pane.itmSrvFilesRename,
              pane.itmSrvFilesChMod, pane.itmSrvFilesProperties, pane.itmSrvFilesNewFolder})
            state += item->isEnabled() ? '1' : '0';
        state += pane.mnuSrvFilesView->isEnabled() ? '1' : '0';
        return state;
    };
    files->CurrentView()->clearSelection();
    EXPECT_EQ(enabled(), "00000011");
    files->SelectRow(RowNamed("file.txt"));
    EXPECT_EQ(enabled(), "11111111");
    session.Busy = true;
    EXPECT_EQ(enabled(), "00111111");
    session.Busy = false;
    // A session the server ended is kept for the next command to reconnect;
    // the user's disconnect ends it.
    server.Stop();
    EXPECT_TRUE(qttest::WaitUntil([&] { return !session.FTP.Connected(); }));
    files->SelectRow(RowNamed("file.txt"));
    EXPECT_EQ(enabled().substr(0, 2), "11");
    session.DisconnectAction();
    files->SelectRow(RowNamed("file.txt"));
    EXPECT_EQ(enabled().substr(0, 2), "00");
}

TEST_F(RemotePane, KeysActOnReleaseAndNotWhileRefused) {
    Listing(kStart).Reply("PWD", "257 \"/\"");
    Listing(kStart).Reply("PWD", "257 \"/\"");
    Connect();
    QAbstractItemView* view = files->CurrentView();
    view->setFocus();
    // Busy: F5 is refused.
    session.Busy = true;
    QTest::keyClick(view, Qt::Key_F5);
    session.Busy = false;
    // With a modifier nothing happens either.
    QTest::keyClick(view, Qt::Key_F5, Qt::ShiftModifier);
    QTest::keyClick(view, Qt::Key_F5);
    EXPECT_EQ(Sent(), (std::vector<std::string>{"TYPE A", "PASV", "LIST", "PWD", "TYPE A", "PASV", "LIST", "PWD"}));
    // F2 edits the name in place.
    files->SelectRow(RowNamed("file.txt"));
    QTest::keyClick(view, Qt::Key_F2);
    EXPECT_TRUE(files->IsEditing());
}

// The server ends an idle session with 421: the window goes on showing it,
// and F5 logs in again, returns to the folder and lists it.
TEST_F(RemotePane, AnIdleSessionClosedByTheServerReconnectsOnTheNextCommand) {
    server.Reply("CWD site", "250 ok");
    Listing(kStart).Reply("PWD", "257 \"/site\"").Pause(300).Send("421 Idle timeout.\r\n").Close();
    server.AcceptAgain().Send("220 again\r\n").Reply("USER bob", "331 pw").Reply("PASS pw", "230 in");
    server.Reply("CWD /site", "250 ok");
    Listing(kStart).Reply("PWD", "257 \"/site\"").Reply("QUIT", "221 bye");
    ASSERT_TRUE(server.Start()) << server.Failure();
    ConnectPassive(server.Port(), "bob", "pw", "site");
    ASSERT_TRUE(qttest::WaitUntil([&] { return !session.FTP.Connected(); }));
    EXPECT_TRUE(LogHas("Status:     The server closed the connection; the next command reconnects"));
    EXPECT_TRUE(session.ConnectedState());
    EXPECT_GE(RowNamed("file.txt"), 0) << "the view stays";

    QAbstractItemView* view = files->CurrentView();
    view->setFocus();
    QTest::keyClick(view, Qt::Key_F5);
    EXPECT_TRUE(session.FTP.Connected());
    for (const char* line : {"Status:     Reconnecting to 127.0.0.1 ...", "Status:     Returning to the folder \"/site\""})
        EXPECT_TRUE(LogHas(line)) << line;
    EXPECT_GE(RowNamed("file.txt"), 0);
    EXPECT_EQ(session.CurrentRemoteDir, "/site");
    session.DisconnectAction();
    EXPECT_TRUE(server.WaitDone(5000)) << server.Failure();
    EXPECT_TRUE(messages.empty()) << messages.front();
}

// NOOP keeps the idle session; a command that then finds it closed (421 in
// reply) reconnects once and runs again.
TEST_F(RemotePane, KeepAliveSendsNoopAndACommandFindingTheSessionClosedRunsAgain) {
    qttest::ClearSettings();
    TfrmOptions options;
    options.sedtKeepAlive->setValue(1);
    session.W.frmOptions = &options;
    Listing(kStart).Reply("PWD", "257 \"/\"").Reply("NOOP", "200 still here");
    server.Reply("TYPE A", "421 Timeout.").Close();
    server.AcceptAgain().Send("220 again\r\n").Reply("USER bob", "331 pw").Reply("PASS pw", "230 in");
    server.Reply("CWD /", "250 ok");
    Listing(kStart).Reply("PWD", "257 \"/\"").Reply("QUIT", "221 bye");
    Connect();
    ASSERT_TRUE(qttest::WaitUntil([&] { return LogHas("            200 still here"); }));
    options.sedtKeepAlive->setValue(0);

    QAbstractItemView* view = files->CurrentView();
    view->setFocus();
    QTest::keyClick(view, Qt::Key_F5);
    EXPECT_TRUE(session.FTP.Connected());
    EXPECT_TRUE(LogHas("Status:     Running the command again"));
    EXPECT_EQ(LogCount("Command:    TYPE A"), 3);
    EXPECT_GE(RowNamed("file.txt"), 0);
    session.DisconnectAction();
    EXPECT_TRUE(server.WaitDone(5000)) << server.Failure();
    EXPECT_TRUE(messages.empty()) << messages.front();
    session.W.frmOptions = nullptr;
}

}  // namespace
