// Editing a server file from the remote list's context menu against
// pyftpdlib, with an "editor" that appends a line and exits: the save is
// offered for upload, and a server file that changed meanwhile is replaced
// only when the user says so.
#include <sys/stat.h>

#include <QAbstractItemView>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>

#include "dialogs/FrmMessage.h"
#include "dialogs/FrmOptions.h"
#include "session/RemoteFileEditor.h"
#include "session/RemoteListView.h"
#include "session/RemotePane.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/support/PyFtpdServer.h"

namespace {

constexpr char kPage[] = "<p>old</p>\n";
constexpr char kAdded[] = "added by the editor\n";

class MainWindowEdit : public MainWindow {
protected:
    void SetUp() override {
        MainWindow::SetUp();
        ASSERT_TRUE(server.Start()) << server.Error();
        std::ofstream(server.Root() + "/page.html", std::ios::binary) << kPage;
        const std::string editor = tools.filePath(QStringLiteral("editor.sh")).toStdString();
        std::ofstream(editor) << "#!/bin/sh\nprintf '"
                              << "added by the editor\\n"
                              << "' >> \"$1\"\n";
        ::chmod(editor.c_str(), 0755);
        SaveProfiles({{"Local test", server.Port(), server.User(), server.Password()}});
        window = Start();
        window->frmOptions->ebxEditor->setText(QString::fromStdString(editor));
        window->itmConnectServerClick(TServerStore::FirstServerTag + 1);
        ASSERT_TRUE(window->Session.FTP.Connected());
    }
    void TearDown() override {
        qttest::CancelPendingAnswers();
        window.reset();
        MainWindow::TearDown();
    }

    // Right-click on the file's row, then a click on "Edit" in the menu.
    void EditFromContextMenu(const QString& name) {
        TRemoteListView* list = window->lvServerFiles;
        QAbstractItemView* view = list->CurrentView();
        int row = 0;
        while (row < list->Count() && QString::fromStdString(list->Caption(row)) != name) ++row;
        ASSERT_LT(row, list->Count());
        const QPoint at = view->visualRect(view->model()->index(row, 0)).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, at, view->viewport()->mapToGlobal(at));
        QApplication::sendEvent(view->viewport(), &menuEvent);
        QMenu* menu = window->RemotePane->popServerFiles;
        ASSERT_TRUE(qttest::WaitUntil([&] { return menu->isVisible(); }));
        QAction* edit = window->RemotePane->itmSrvFilesEdit;
        ASSERT_TRUE(edit->isEnabled());
        QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(edit).center());
    }

    std::string OnServer() const { return qttest::ReadFile(server.Root() + "/page.html"); }

    PyFtpdServer server;
    QTemporaryDir tools;
    std::unique_ptr<TfrmMain> window;
};

// Yes uploads the saved copy; "always" then sends the next save unasked,
// and nothing is left to offer at exit.
TEST_F(MainWindowEdit, SavedCopyIsUploadedOnYes) {
    std::string asked;
    qttest::AnswerNextModal<QMessageBox>([&](QMessageBox* box) {
        asked = box->text().toStdString();
        box->checkBox()->click();
        box->button(QMessageBox::Yes)->click();
    });
    EditFromContextMenu(QStringLiteral("page.html"));
    EXPECT_TRUE(qttest::WaitUntil([&] { return OnServer() == std::string(kPage) + kAdded; }, std::chrono::seconds(10)));
    EXPECT_EQ(asked, "\"/page.html\" has been saved. Upload it to the server?");

    // A second "Edit" opens the same copy again: the editor appends once
    // more, and the save goes up without a question.
    EditFromContextMenu(QStringLiteral("page.html"));
    EXPECT_TRUE(qttest::WaitUntil([&] { return OnServer() == std::string(kPage) + kAdded + kAdded; }, std::chrono::seconds(10)));
    EXPECT_TRUE(window->RemotePane->Editor->UnsentEdits().empty());
}

// The server's file changed after the download: the question says so, and
// Cancel leaves the server's file and the edited copy as they are. The
// edit is then offered at exit.
TEST_F(MainWindowEdit, ServerFileChangedMeanwhileIsKeptOnCancel) {
    // The change on the server comes as the save question is asked, i.e.
    // after the download and before the upload's check.
    std::string warned;
    qttest::AnswerNextModal<QMessageBox>([&](QMessageBox* box) {
        std::ofstream(server.Root() + "/page.html", std::ios::binary | std::ios::app) << "<p>theirs</p>\n";
        box->button(QMessageBox::Yes)->click();
        qttest::AnswerNextModal<QMessageBox>([&](QMessageBox* warning) {
            warned = warning->text().toStdString();
            warning->button(QMessageBox::Cancel)->click();
        });
    });
    EditFromContextMenu(QStringLiteral("page.html"));
    ASSERT_TRUE(qttest::WaitUntil([&] { return !warned.empty(); }, std::chrono::seconds(10)));
    EXPECT_EQ(warned,
              "\"/page.html\" has changed on the server since it was last transferred. Replace it with your edited copy?");
    EXPECT_EQ(OnServer(), std::string(kPage) + "<p>theirs</p>\n");
    const std::vector<std::string> unsent = window->RemotePane->Editor->UnsentEdits();
    ASSERT_EQ(unsent, std::vector<std::string>{"/page.html"});

    std::string offered;
    qttest::AnswerNextModal<QMessageBox>([&](QMessageBox* box) {
        offered = box->text().toStdString();
        box->button(QMessageBox::Cancel)->click();
    });
    window->close();
    EXPECT_EQ(offered, "These edited files were saved but not uploaded:\n\n/page.html\n\nUpload them now?");
    EXPECT_TRUE(window->isVisible()) << "Cancel keeps the window open";
    EXPECT_EQ(OnServer(), std::string(kPage) + "<p>theirs</p>\n");
}

// A name from the server is one entry of the copy's folder or nothing.
TEST_F(MainWindowEdit, NameThatWouldLeaveTheCopysFolderIsRefused) {
    std::string shown;
    qttest::AnswerNextModal<TfrmMessage>([&](TfrmMessage* message) {
        shown = message->lblDesc->text().toStdString();
        message->close();
    });
    window->RemotePane->Editor->Edit("/", "../page.html");
    EXPECT_EQ(shown, "\"../page.html\" cannot be edited: the name is not usable for a local file.");
}

}  // namespace
