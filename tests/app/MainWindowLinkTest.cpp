// ftp:// links handed to the window on its command line.
#include <QComboBox>
#include <QDir>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include "tests/app/MainWindowFixture.h"
#include "tests/support/PyFtpdServer.h"

namespace {

TEST_F(MainWindow, AnFtpLinkAsksThePasswordConnectsThereAndOffersAProfile) {
    PyFtpdServer server;
    ASSERT_TRUE(server.Start()) << server.Error();
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(server.Root() + "/site")));
    auto window = Start();
    const std::string link = "ftp://" + server.User() + "@127.0.0.1:" + std::to_string(server.Port()) + "/site";

    bool asked = false, offered = false;
    QString question;
    qttest::AnswerNextModal<QInputDialog>(
        [&](QInputDialog* dialog) {
            question = dialog->labelText();
            auto* edit = dialog->findChild<QLineEdit*>();
            EXPECT_EQ(edit->echoMode(), QLineEdit::Password);
            QTest::keyClicks(edit, QString::fromStdString(server.Password()));
            qttest::AnswerNextModal<QMessageBox>(
                [](QMessageBox* box) { QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton); }, &offered);
            QTest::keyClick(edit, Qt::Key_Return);
        },
        &asked);
    window->OpenLink(link);
    EXPECT_TRUE(asked);
    EXPECT_EQ(question.toStdString(), "Password for ftp://tester@127.0.0.1:" + std::to_string(server.Port()) + ":");
    EXPECT_TRUE(Has(LogLines(*window), "Status:     Connected !"));
    EXPECT_EQ(window->cbServerDir->currentText(), QStringLiteral("/site"));
    EXPECT_TRUE(offered);
    ASSERT_EQ(ProfileEntries(*window), QStringList{QStringLiteral("1. 127.0.0.1")});
    EXPECT_EQ(window->Servers->ServerList.At(0)->Password, server.Password());

    // The saved profile now knows the password: the same link asks nothing.
    window->tb97Disconnect->trigger();
    bool dialogShown = false;
    qttest::AnswerNextModal<QDialog>([](QDialog* dialog) { dialog->reject(); }, &dialogShown);
    window->OpenLink(link);
    qttest::CancelPendingAnswers();
    EXPECT_FALSE(dialogShown);
    EXPECT_EQ(window->cbServerDir->currentText(), QStringLiteral("/site"));
    EXPECT_EQ(window->Servers->ServerList.Count(), 1);

    window->OpenLink("http://127.0.0.1/");
    EXPECT_EQ(notices, std::vector<std::string>{"Not an ftp:// or ftps:// link: http://127.0.0.1/"});
}

}  // namespace
