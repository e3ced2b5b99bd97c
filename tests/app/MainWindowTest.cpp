// The main window as a whole: first start, the layout a second start brings
// back, shut-down, and connecting through the Servers menu.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMovie>
#include <QProgressBar>
#include <QPushButton>
#include <QSet>
#include <QSplitter>
#include <QStatusTipEvent>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <memory>

#include "app/FrmMain.h"
#include "app/StatusBar.h"
#include "dialogs/FrmOptions.h"
#include "profiles/FrmServerAdd.h"
#include "profiles/FrmServerEdit.h"
#include "profiles/ServerListBox.h"
#include "profiles/ServerStore.h"
#include "session/LogView.h"
#include "session/RemoteListView.h"
#include "session/RemotePane.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/support/PyFtpdServer.h"
#include "tests/support/QtTestSupport.h"
#include "util/ui/ProgramFolders.h"
#include "util/ui/QtMessagePump.h"
#include "util/ui/SettingsKey.h"
#include "util/ui/SpinEdit.h"

namespace {

TEST_F(MainWindow, FirstStartShowsTheDesignLayoutAndCleansUpOnExit) {
    auto window = Start();
    EXPECT_EQ(window->size(), QSize(860, 600));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Quillford Velliant FTP"));
    // The application icon (the one the menu and the about box show), in its sizes.
    const QImage icon48(QString::fromStdString(ProgramResourceFolder() + "velliant-ftp.png"));
    const QImage shown48 = window->windowIcon().pixmap(48).toImage();
    EXPECT_EQ(std::tuple(shown48.pixel(24, 24), shown48.pixel(20, 30)), std::tuple(icon48.pixel(24, 24), icon48.pixel(20, 30)));
    EXPECT_EQ(window->windowIcon().availableSizes().size(), 5);
    EXPECT_TRUE(window->pnlFTPLog->isHidden());
    EXPECT_FALSE(window->itmViewFTPLog->isChecked());
    EXPECT_EQ(window->spltFTP->sizes().value(0), 340);
    ASSERT_EQ(window->cbFilter->count(), 6);
    EXPECT_EQ(window->cbFilter->currentText(), QStringLiteral("Web files"));
    EXPECT_EQ(window->lvServerFiles->ViewStyle(), TRemoteListView::vsList);
    const int widths[] = {150, 75, 50, 50, 50, 50, 100, 50};
    for (int c = 0; c < 8; ++c) EXPECT_EQ(window->lvServerFiles->ColumnWidth(c), widths[c]) << c;
    EXPECT_TRUE(ProfileEntries(*window).isEmpty());
    EXPECT_TRUE(notices.empty());
    EXPECT_FALSE(window->itmDisconnectFromServer->isEnabled());
    EXPECT_TRUE(window->tb97TransferAuto->isChecked());
    EXPECT_FALSE(window->tb97Disconnect->isEnabled());
    EXPECT_TRUE(window->tb97Connect->isEnabled());
    EXPECT_FALSE(window->fsbMain->imgConnectedOn->isVisible());
    EXPECT_TRUE(window->fsbMain->imgDisconnectedOn->isVisible());
    EXPECT_EQ(window->fsbMain->lblConnectionTime->text(), QStringLiteral("Not connected."));
    EXPECT_TRUE(window->fsbMain->lblHint->text().startsWith(QStringLiteral("Visit Our WebSite at ")));
    // Panel 0 takes what the other three leave.
    EXPECT_EQ(window->fsbMain->PanelWidths[0], window->fsbMain->width() - 340);

    window->RemotePane->itmSrvFilesViewDetails->trigger();
    EXPECT_EQ(window->lvServerFiles->ViewStyle(), TRemoteListView::vsReport);
    window->RemotePane->itmSrvFilesViewList->trigger();
    EXPECT_EQ(window->lvServerFiles->ViewStyle(), TRemoteListView::vsList);

    // Hints go to panel 0, and without one it shows the maker's address.
    QStatusTipEvent tip(QStringLiteral("Connect."));
    QApplication::sendEvent(window.get(), &tip);
    EXPECT_EQ(window->fsbMain->lblHint->text(), QStringLiteral("Connect."));
    QStatusTipEvent noTip{QString()};
    QApplication::sendEvent(window.get(), &noTip);
    EXPECT_EQ(window->fsbMain->lblHint->text(), QStringLiteral("Visit Our WebSite at https://orvan-software.example.com/"));

    // A hosting page the desktop cannot open is offered as an address.
    window->OpenUrl = [](const std::string&) { return false; };
    window->tb97HostingClick();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0], std::string("Please go to : \n") + TfrmMain::HostingAddress);
    notices.clear();

    // The busy animation is ours and plays only while a command runs.
    ASSERT_NE(window->movKFTP, nullptr);
    EXPECT_GT(window->movKFTP->frameCount(), 1);
    window->Session.StartActivityAnimation();
    EXPECT_EQ(window->movKFTP->state(), QMovie::Running);
    window->Session.StopActivityAnimation();
    EXPECT_EQ(window->movKFTP->state(), QMovie::NotRunning);
    EXPECT_EQ(window->movKFTP->currentFrameNumber(), 0);

    // Showing the log keeps the status bar the bottom-most area.
    window->itmViewFTPLog->trigger();
    EXPECT_TRUE(qttest::WaitUntil([&] {
        return window->pnlFTPLog->isVisible() && window->fsbMain->geometry().top() >= window->pnlFTPLog->geometry().bottom();
    }));

    const std::string folder = ProgramFolder();
    const std::string listing = window->Session.ListingTempFile;
    EXPECT_TRUE(QFileInfo(QString::fromStdString(folder + "TmpPrivate-Cache")).isDir());
    EXPECT_TRUE(QFileInfo(QString::fromStdString(folder + "TmpPrivate-Archiving")).isDir());
    qttest::WriteFile(listing, "left over");
    window->close();
    window.reset();
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(folder + "TmpPrivate-Cache")));
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(folder + "TmpPrivate-Archiving")));
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(listing)));
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(ServersFile())));
}

TEST_F(MainWindow, SecondStartRestoresPositionLayoutAndMaximizedState) {
    {
        auto window = Start();
        window->move(30, 40);
        window->resize(600, 500);
        window->itmViewFTPLog->trigger();
        window->lvServerFiles->SetColumnWidth(2, 77);
        window->SetServerViewStyle(TRemoteListView::vsReport);
        window->SetLocalFilter(5);
        window->close();
    }
    {
        auto window = Start();
        EXPECT_EQ(window->pos(), QPoint(30, 40));
        EXPECT_EQ(window->size(), QSize(600, 500));
        EXPECT_FALSE(window->pnlFTPLog->isHidden());
        EXPECT_TRUE(window->itmViewFTPLog->isChecked());
        EXPECT_EQ(window->lvServerFiles->ColumnWidth(2), 77);
        EXPECT_EQ(window->lvServerFiles->ViewStyle(), TRemoteListView::vsReport);
        EXPECT_EQ(window->cbFilter->currentText(), QStringLiteral("All files"));
        window->showMaximized();
        ASSERT_TRUE(qttest::WaitUntil([&] { return window->isMaximized(); }));
        window->close();
    }
    const TSettingsKey key(WindowPositionKey());
    EXPECT_EQ(key.ReadString("MyWindowState", ""), "True");
    EXPECT_EQ(key.ReadString("Width", ""), "600");
    EXPECT_EQ(key.ReadString("Left", ""), "30");
    {
        auto window = Start();
        EXPECT_TRUE(qttest::WaitUntil([&] { return window->isMaximized(); }));
        window->showNormal();
        EXPECT_TRUE(qttest::WaitUntil([&] { return window->size() == QSize(600, 500); }));
    }
}

TEST_F(MainWindow, StoredVolumeThatIsGoneStillAppliesTheRemoteLayout) {
    {
        TSettingsKey key(TfrmMain::InterfaceKey);
        key.WriteString("LocalDrive", "/no/such/volume");
        key.WriteInteger("ServerViewStyle", 0);
        key.WriteInteger("SrvCol0", 201);
    }
    auto window = Start();
    EXPECT_EQ(window->LocalDir(), QDir::currentPath().toStdString());
    EXPECT_EQ(window->lvServerFiles->ViewStyle(), TRemoteListView::vsIcon);
    EXPECT_EQ(window->lvServerFiles->ColumnWidth(0), 201);
}

TEST_F(MainWindow, ProfilesThatCannotBeSavedAreReportedBeforeExit) {
    auto window = Start();
    // A folder where the profile file belongs makes the final save fail.
    QFile::remove(QString::fromStdString(ServersFile()));
    ASSERT_TRUE(QDir().mkdir(QString::fromStdString(ServersFile())));
    window->close();
    window.reset();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_NE(notices[0].find(ServersFile()), std::string::npos) << notices[0];
    EXPECT_NE(notices[0].find("A folder of that name is in the way."), std::string::npos) << notices[0];
    QDir().rmdir(QString::fromStdString(ServersFile()));
}

TEST_F(MainWindow, ConnectsThroughTheServersMenuAndRefusesWhileBusy) {
    PyFtpdServer server;
    ASSERT_TRUE(server.Start()) << server.Error();
    SaveProfiles({{"Local test", server.Port(), server.User(), server.Password()}});
    auto window = Start();
    ASSERT_EQ(ProfileEntries(*window).size(), 1);

    // While busy, neither the button nor the menu entry starts anything.
    window->Session.Busy = true;
    // A dialog opened now would run this from its own loop.
    bool dialogSeen = false;
    QTimer::singleShot(0, window.get(), [&] {
        if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            dialogSeen = true;
            modal->reject();
        }
    });
    window->tb97ConnectClick();
    window->itmConnectServerClick(101);
    EXPECT_FALSE(dialogSeen);
    EXPECT_EQ(window->mmoFTPLog->LineCount(), 0);
    window->Session.Busy = false;

    window->frmOptions->sedtTimeOut->setValue(7);
    window->itmConnectServerClick(101);
    EXPECT_EQ(window->Session.FTP.Timeout, 7) << "each command takes the time-out of the options";
    const auto lines = LogLines(*window);
    EXPECT_TRUE(Has(lines, "Status:     Looking up hostname \"127.0.0.1\" ..."));
    EXPECT_TRUE(Has(lines, "Command:    USER tester"));
    EXPECT_TRUE(Has(lines, "Command:    PASS *****"));
    EXPECT_TRUE(Has(lines, "Status:     Connected !"));
    EXPECT_TRUE(Has(lines, "Command:    EPSV")) << "the server lists EPSV in FEAT";
    EXPECT_TRUE(Has(lines, "Command:    PWD"));
    EXPECT_TRUE(window->frmServerConnect.isNull()) << "the connecting window goes once connected";
    EXPECT_TRUE(window->fsbMain->imgConnectedOn->isVisible());
    EXPECT_TRUE(window->fsbMain->pbTransferStatus->isVisible());
    EXPECT_TRUE(window->tb97Refresh->isEnabled());
    EXPECT_EQ(window->cbServerDir->currentText(), QStringLiteral("/"));
    EXPECT_EQ(window->lblServerName->text(), QStringLiteral("Local test"));
    // Every row tells a screen reader its name.
    ASSERT_GE(window->lvServerFiles->Count(), 2);
    const QModelIndex first = window->lvServerFiles->Model()->index(0, 0);
    EXPECT_EQ(first.data(Qt::AccessibleTextRole).toString(), QStringLiteral("."));
    window->itmServersClick();
    EXPECT_TRUE(window->itmDisconnectFromServer->isEnabled());

    const int before = window->mmoFTPLog->LineCount();
    window->tb97Refresh->trigger();
    const auto refreshed = LogLines(*window);
    EXPECT_TRUE(std::find(refreshed.begin() + before, refreshed.end(), "Command:    MLSD") != refreshed.end());

    window->tb97FolderUp->trigger();
    EXPECT_TRUE(Has(LogLines(*window), "Command:    CDUP"));

    window->tb97Disconnect->trigger();
    EXPECT_TRUE(Has(LogLines(*window), "Command:    QUIT"));
    EXPECT_TRUE(window->fsbMain->imgDisconnectedOn->isVisible());
    EXPECT_FALSE(window->lvServerFiles->isEnabled());
    EXPECT_TRUE(window->lblServerName->text().isEmpty());
    window->itmServersClick();
    EXPECT_FALSE(window->itmDisconnectFromServer->isEnabled());
    EXPECT_TRUE(notices.empty());
}

TEST_F(MainWindow, ToolbarButtonsAreNamedByTheirHints) {
    auto window = Start();
    int named = 0;
    for (QAction* action : window->tbServer->actions()) {
        if (action->isSeparator() || !action->isVisible()) continue;
        QWidget* button = window->tbServer->widgetForAction(action);
        ASSERT_NE(button, nullptr);
        EXPECT_FALSE(button->accessibleName().isEmpty()) << action->toolTip().toStdString();
        EXPECT_EQ(button->accessibleName(), action->toolTip());
        ++named;
    }
    EXPECT_GE(named, 11);
}

TEST_F(MainWindow, StartUpErrorIsShownAndTheWindowStillOpens) {
    ASSERT_TRUE(QDir().mkdir(QString::fromStdString(ServersFile())));
    std::string shown;
    bool seen = false;
    qttest::AnswerNextModal<QMessageBox>(
        [&](QMessageBox* box) {
            shown = box->text().toStdString();
            box->accept();
        },
        &seen);
    auto window = Start();
    EXPECT_TRUE(seen);
    EXPECT_EQ(shown, "Unable to write to " + ServersFile());
    EXPECT_TRUE(window->isVisible());
    EXPECT_NE(window->frmMessage, nullptr);
    EXPECT_TRUE(window->fsbMain->imgDisconnectedOn->isVisible());
    window.reset();
    EXPECT_TRUE(notices.empty()) << "a store that could not load does not save over the file";
    QDir().rmdir(QString::fromStdString(ServersFile()));
}

TEST_F(MainWindow, LocalPaneKeepsFolderFilterAndFilesInStep) {
    TempDir folder;
    for (const char* name : {"a.htm", "b.txt", "c.zip", "README"}) qttest::WriteFile(folder.File(name), "x");
    ASSERT_TRUE(QDir().mkdir(QString::fromStdString(folder.File("sub"))));
    qttest::WriteFile(folder.File("sub/d.css"), "x");
    auto window = Start();
    auto names = [&] {
        std::vector<std::string> shown;
        for (int i = 0; i < window->lbFiles->count(); ++i) shown.push_back(window->lbFiles->item(i)->text(0).toStdString());
        return shown;
    };
    window->SetLocalDir(folder.Path());
    EXPECT_EQ(names(), (std::vector<std::string>{"a.htm", "b.txt"}));
    window->SetLocalFilter(5);
    EXPECT_EQ(names(), (std::vector<std::string>{"a.htm", "b.txt", "c.zip", "README"}));
    window->SetLocalFilter(1);
    EXPECT_EQ(names(), (std::vector<std::string>{"a.htm"}));

    // Opening the subfolder from the folder list refills the file list.
    QListWidgetItem* sub = window->lbDirectory->findItems(QStringLiteral("sub"), Qt::MatchEndsWith).value(0);
    ASSERT_NE(sub, nullptr);
    emit window->lbDirectory->itemActivated(sub);
    EXPECT_EQ(window->LocalDir(), folder.File("sub"));
    EXPECT_EQ(names(), (std::vector<std::string>{"d.css"}));
    EXPECT_THROW(window->SetLocalDir(folder.File("missing")), std::runtime_error);
    EXPECT_EQ(window->LocalDir(), folder.File("sub"));
}

// Adds a profile through the toolbar, typing only its name.
void AddProfile(TfrmMain& window, const QString& name) {
    qttest::AnswerNextModal<TfrmServerAdd>([=](TfrmServerAdd* form) {
        form->ebxName->setText(name);
        form->btnOk->click();
    });
    window.tb97AddServer->trigger();
}

TEST_F(MainWindow, ServersMenuFollowsAdditionsAndRenames) {
    auto window = Start();
    AddProfile(*window, QStringLiteral("Office"));
    // On disk at once: a program killed now keeps the new profile.
    EXPECT_NE(qttest::ReadFile(ServersFile()).find("Name=\"Office\""), std::string::npos);
    AddProfile(*window, QStringLiteral("Zeta"));
    EXPECT_EQ(ProfileEntries(*window), (QStringList{"1. Office", "2. Zeta"}));
    EXPECT_EQ(window->mnuServers->actions().last()->data().toInt(), 102);

    // A renamed profile takes its new place in the menu at once.
    bool edited = false;
    qttest::AnswerNextModal<TfrmServerEdit>([&](TfrmServerEdit* edit) {
        edit->lbServers->setCurrentRow(1);
        qttest::AnswerNextModal<TfrmServerAdd>(
            [](TfrmServerAdd* form) {
                form->ebxName->setText(QStringLiteral("Annex"));
                form->btnOk->click();
            },
            &edited, edit);
        edit->lbServersDblClick();
        edit->btnFinish->click();
    });
    window->itmEditServerClick();
    EXPECT_TRUE(edited);
    EXPECT_EQ(ProfileEntries(*window), (QStringList{"1. Annex", "2. Office"}));
    EXPECT_EQ(window->Servers->ServerWithTag(101)->Name, "Annex");
    EXPECT_NE(qttest::ReadFile(ServersFile()).find("[Server1]\nName=\"Annex\""), std::string::npos);
    window->close();
    window.reset();
    EXPECT_NE(qttest::ReadFile(ServersFile()).find("[Server1]\nName=\"Annex\""), std::string::npos);
}

// Each menu has a letter of its own; the toolbar's main buttons have menu
// items with shortcuts that work exactly when their buttons do.
TEST_F(MainWindow, MenusHaveTheirOwnLettersAndShortcuts) {
    auto window = Start();
    QSet<QChar> letters;
    for (QAction* menu : window->menuBar()->actions()) {
        const QString title = menu->text();
        letters.insert(title.at(title.indexOf(QLatin1Char('&')) + 1).toLower());
    }
    EXPECT_EQ(letters.size(), window->menuBar()->actions().size());
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_S, Qt::AltModifier);
    EXPECT_TRUE(qttest::WaitUntil([&] { return window->mnuServers->isVisible(); }));
    window->mnuServers->close();

    EXPECT_FALSE(window->itmRefresh->isEnabled()) << "not connected";
    for (QAction* item : {window->itmConnectToServer, window->itmDisconnectFromServer, window->itmRefresh, window->itmUpload,
                          window->itmDownload})
        EXPECT_FALSE(item->shortcut().isEmpty()) << item->text().toStdString();
    bool asked = false;
    qttest::AnswerNextModal<QDialog>([](QDialog* dialog) { dialog->reject(); }, &asked);
    QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_TRUE(asked) << "Ctrl+O opens the connect window";
}

}  // namespace
