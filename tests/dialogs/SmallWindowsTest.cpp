// The message, folder-name and about windows.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest/QTest>

#include "dialogs/FrmAbout.h"
#include "dialogs/FrmFolder.h"
#include "dialogs/FrmMessage.h"
#include "tests/support/QtTestSupport.h"
#include "util/ui/ProgramFolders.h"

namespace {

TEST(FolderDialogTest, TypedNameCharactersThatAFileCannotHoldAreDiscarded) {
    TfrmFolder form;
    QTest::keyClicks(form.ebx97NewDir, "a/b");
    EXPECT_EQ(form.ebx97NewDir->text(), "ab");
    form.ebx97NewDir->clear();
    QTest::keyClicks(form.ebx97NewDir, "x\\/:*?\"<>|y.txt");
    EXPECT_EQ(form.ebx97NewDir->text(), "xy.txt");
    form.ebx97NewDir->insert("/pasted");  // text that arrives without typing is not filtered
    EXPECT_EQ(form.ebx97NewDir->text(), "xy.txt/pasted");
}

TEST(FolderDialogTest, CreateNeedsANameUnlessOnlyConfirming) {
    TfrmFolder form;
    EXPECT_EQ(form.windowTitle(), "Create a new folder");
    EXPECT_EQ(form.lblCurrentFolder->text(), "Current Folder:");
    EXPECT_EQ(form.lblNewFolder->text(), "New Folder name:");
    EXPECT_EQ(form.size(), QSize(351, 132));
    EXPECT_TRUE(form.btnCreate->isDefault());
    EXPECT_FALSE(form.btnCreate->isEnabled());
    QTest::keyClicks(form.ebx97NewDir, "site");
    EXPECT_TRUE(form.btnCreate->isEnabled());
    form.ebx97NewDir->clear();
    EXPECT_FALSE(form.btnCreate->isEnabled());

    // A deletion: the name field is hidden and empty, the button still works.
    form.btnCreate->setText("Delete");
    form.lblNewFolder->hide();
    form.ebx97NewDir->hide();
    form.SetConfirmOnly(true);
    EXPECT_TRUE(form.btnCreate->isEnabled());
    form.SetConfirmOnly(false);
    EXPECT_FALSE(form.btnCreate->isEnabled());
}

TEST(FolderDialogTest, OpensWithTheFocusInTheNameFieldAndEndsWithTheButtons) {
    TfrmFolder form;
    bool seen = false;
    qttest::AnswerNextModal<TfrmFolder>(
        [](TfrmFolder* shown) {
            EXPECT_EQ(shown->focusWidget(), shown->ebx97NewDir);
            QTest::keyClicks(shown->ebx97NewDir, "new");
            shown->btnCreate->click();
        },
        &seen);
    EXPECT_EQ(form.exec(), QDialog::Accepted);
    EXPECT_TRUE(seen);
    EXPECT_EQ(form.ebx97NewDir->text(), "new");
    qttest::AnswerNextModal<TfrmFolder>([](TfrmFolder* shown) { shown->btnCancel->click(); });
    EXPECT_EQ(form.exec(), QDialog::Rejected);
}

TEST(MessageWindowTest, EachUseIsCentredOverTheMainWindowWithOnlyTheLatestText) {
    QWidget mainWindow;
    mainWindow.setGeometry(100, 50, 539, 442);
    TfrmMessage message(&mainWindow);
    EXPECT_EQ(message.parentWidget(), nullptr) << "a top-level window of its own";
    EXPECT_EQ(message.windowTitle(), "Quillford Velliant FTP");
    EXPECT_EQ(message.size(), QSize(368, 173));
    EXPECT_EQ(message.pos(), QPoint(100 + 269 - 184, 50 + 221 - 86));

    for (const auto& [where, text] : {std::pair{QPoint(300, 200), "550 first"}, {QPoint(7, 9), "550 second"}}) {
        mainWindow.move(where);
        message.FormCreate();
        EXPECT_TRUE(message.lblDesc->text().isEmpty());
        message.lblDesc->setText(text);
        // Once shown, the window's outer size counts, frame included.
        const QRect frame = message.frameGeometry();
        EXPECT_EQ(message.pos(), where + QPoint(269 - frame.width() / 2, 221 - frame.height() / 2));
        qttest::AnswerNextModal<TfrmMessage>([](TfrmMessage* shown) {
            EXPECT_TRUE(shown->btnOk->isDefault());
            shown->btnOk->click();
        });
        EXPECT_EQ(message.exec(), QDialog::Accepted);
        EXPECT_EQ(message.lblDesc->text(), text);
    }
}

TEST(AboutBoxTest, AddressesOpenByTheirOwnGesture) {
    TfrmAbout about;
    EXPECT_EQ(about.windowTitle(), "About Quillford Velliant FTP");
    EXPECT_EQ(about.btnCool->text(), "&Cool !");
    EXPECT_TRUE(about.btnCool->isDefault());
    EXPECT_FALSE(about.windowFlags() & Qt::WindowCloseButtonHint);
    std::vector<QString> opened;
    about.OpenUrl = [&](const QUrl& url) { opened.push_back(url.toString()); };
    about.show();
    QTest::mouseClick(about.lblMakerWeb, Qt::LeftButton);
    EXPECT_TRUE(opened.empty()) << "the maker's address wants a double click";
    QTest::mouseDClick(about.lblMakerWeb, Qt::LeftButton);
    QTest::mouseClick(about.lblDeveloperWeb, Qt::LeftButton);
    EXPECT_EQ(opened, (std::vector<QString>{TfrmAbout::MakerAddress, TfrmAbout::DeveloperAddress}));
}

// The version comes from the build; the picture is the program's own icon,
// found beside the test program as beside an installed one.
TEST(AboutBoxTest, ShowsTheVersionAndTheProgramIcon) {
    TfrmAbout about;
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^Version \\d+\\.\\d+\\.\\d+$")).match(about.lblVersion->text()).hasMatch())
        << about.lblVersion->text().toStdString();
    const QImage shown = about.imgLogo->pixmap().toImage();
    const QImage icon(QString::fromStdString(ProgramResourceFolder() + "velliant-ftp.png"));
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(shown.size(), icon.size());
    EXPECT_EQ(shown.pixel(24, 24), icon.pixel(24, 24));
    EXPECT_EQ(shown.pixel(20, 30), icon.pixel(20, 30));
}

}  // namespace
