// Files moving between the panes of the real window and pyftpdlib: uploads
// from the local list's menu and by double-click, and remote entries
// dropped on the local list.
#include <sys/stat.h>

#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <fstream>

#include "localpane/LocalPane.h"
#include "session/RemoteListView.h"
#include "session/RemotePane.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/support/PyFtpdServer.h"

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
        ASSERT_TRUE(server.Start()) << server.Error();
        std::ofstream(server.Root() + "/remote.bin", std::ios::binary) << Pattern(50000);
        ::mkdir((server.Root() + "/pages").c_str(), 0777);
        std::ofstream(server.Root() + "/pages/page.htm", std::ios::binary) << "<p>";
        SaveProfiles({{"Local test", server.Port(), server.User(), server.Password()}});
        std::ofstream(local.filePath("up.cgi").toStdString(), std::ios::binary) << Pattern(123457);
        std::ofstream(local.filePath("two.cgi").toStdString(), std::ios::binary) << "#!/bin/sh\n";
        window = Start();
        window->SetLocalFilter(5);
        window->SetLocalDir(local.path().toStdString());
        window->itmConnectServerClick(TServerStore::FirstServerTag + 1);
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
            for (QListWidgetItem* item : window->lbFiles->findItems(QString::fromLatin1(name), Qt::MatchExactly))
                item->setSelected(true);
    }
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
    EXPECT_TRUE(OnServer("up.cgi", Pattern(123457)));
    EXPECT_TRUE(notices.empty());
}

TEST_F(MainWindowTransfers, DoubleClickAsksAndUploadsTheSelection) {
    SelectLocal({"up.cgi", "two.cgi"});
    std::string question;
    qttest::AnswerNextModal<QMessageBox>([&](QMessageBox* box) {
        question = box->text().toStdString();
        box->button(QMessageBox::Yes)->click();
    });
    window->pnlLocal->lbFilesDblClick();
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
    EXPECT_EQ(qttest::ReadFile(local.filePath("remote.bin").toStdString()), Pattern(50000));
    EXPECT_FALSE(window->lbFiles->findItems(QStringLiteral("remote.bin"), Qt::MatchExactly).isEmpty())
        << "the local list shows the new file";
    EXPECT_EQ(qttest::ReadFile(local.filePath("pages/page.htm").toStdString()), "<p>");
    EXPECT_FALSE(window->lbDirectory->findItems(QStringLiteral("pages"), Qt::MatchEndsWith).isEmpty())
        << "the folder list shows the new folder";
}

}  // namespace
