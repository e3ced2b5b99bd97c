// The profile form: defaults, enabling rules, the refused empty name, and
// adding a profile to the list through it.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest/QTest>

#include "profiles/FrmServerAdd.h"
#include "profiles/ServerList.h"
#include "tests/profiles/QtTestSupport.h"

namespace {

// Fills the form as a user would, by typing.
void Type(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    edit->del();
    QTest::keyClicks(edit, text);
}

TEST(ServerAddFormTest, OpensWithTheAddDefaultsAndTheRadioButtonsEnableTheirFields) {
    TfrmServerAdd form;
    EXPECT_EQ(form.windowTitle(), " Add a new FTP Server");
    EXPECT_EQ(form.size(), QSize(345, 367));
    EXPECT_EQ(form.lblPort->text(), "Port: (default is 21)");
    EXPECT_EQ(form.cbPASV->text(), "Use Firewall Friendly operation (Passive Mode)");
    EXPECT_EQ(form.btnOk->text(), "&Cool");
    EXPECT_EQ(form.btnCancel->text(), "&No Way !");
    EXPECT_TRUE(form.btnOk->isDefault());
    EXPECT_EQ(form.ebxPort->text(), "21");
    EXPECT_EQ(form.ebxEMail->text(), TfrmServerAdd::PlaceholderEMail);
    EXPECT_TRUE(form.ebxName->text().isEmpty());
    EXPECT_FALSE(form.cbPASV->isChecked());
    EXPECT_EQ(form.ebxPassword->echoMode(), QLineEdit::Password);

    auto enabled = [&form] {
        return std::tuple(form.ebxEMail->isEnabled(), form.ebxUsername->isEnabled(), form.ebxPassword->isEnabled());
    };
    EXPECT_TRUE(form.rbAnonymous->isChecked());
    EXPECT_EQ(enabled(), std::tuple(true, false, false));
    form.show();
    QTest::mouseClick(form.rbUserPass, Qt::LeftButton);
    EXPECT_EQ(enabled(), std::tuple(false, true, true));
    form.rbAnonymous->setFocus();
    QTest::keyClick(form.rbAnonymous, Qt::Key_Space);
    EXPECT_TRUE(form.rbAnonymous->isChecked());
    EXPECT_EQ(enabled(), std::tuple(true, false, false));
}

TEST(ServerAddFormTest, TabOrderPutsThePassiveBoxBeforeTheRemoteFolder) {
    TfrmServerAdd form;
    form.rbUserPass->setChecked(true);  // every field enabled
    const std::vector<QWidget*> expected = {form.ebxName,
                                            form.ebxHostname,
                                            form.ebxPort,
                                            form.rbAnonymous,
                                            form.ebxEMail,
                                            form.rbUserPass,
                                            form.ebxUsername,
                                            form.ebxPassword,
                                            form.ebxLocalStartingDirectory,
                                            form.cbPASV,
                                            form.ebxRemoteStartingDirectory};
    QWidget* at = form.ebxName;
    for (std::size_t i = 1; i < expected.size(); ++i) {
        do at = at->nextInFocusChain();
        while (!(at->focusPolicy() & Qt::TabFocus));
        EXPECT_EQ(at, expected[i]) << "position " << i;
    }
}

TEST(ServerAddFormTest, AnEmptyNameIsRefusedAndTheFormKeepsItsContent) {
    TfrmServerAdd form;
    bool boxSeen = false;
    qttest::AnswerNextModal<TfrmServerAdd>([&](TfrmServerAdd* shown) {
        Type(shown->ebxHostname, "ftp.example.net");
        Type(shown->ebxPort, "");
        qttest::AnswerNextModal<QMessageBox>(
            [](QMessageBox* box) {
                EXPECT_EQ(box->windowTitle(), "Quillford Velliant FTP");
                EXPECT_EQ(box->text(), "You must enter a name for this FTP Server");
                box->button(QMessageBox::Ok)->click();
            },
            &boxSeen);
        shown->btnOk->click();
        EXPECT_TRUE(shown->isVisible());
        EXPECT_EQ(shown->ebxHostname->text(), "ftp.example.net");
        EXPECT_TRUE(shown->ebxPort->text().isEmpty()) << "the port is only filled in on success";
        Type(shown->ebxName, "Site");
        shown->btnOk->click();
    });
    EXPECT_EQ(form.exec(), QDialog::Accepted);
    EXPECT_TRUE(boxSeen);
    EXPECT_EQ(form.ebxPort->text(), "21");
}

class AddServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        owner.setGeometry(120, 80, 539, 442);
        auto office = std::make_unique<TFTPServer>();
        office->Name = "Office";
        office->Hostname = "old.example.net";
        old = office.get();
        servers.Add("Office", std::move(office));
    }

    TFTPServer* Add(const std::function<void(TfrmServerAdd*)>& fill) {
        qttest::AnswerNextModal<TfrmServerAdd>([this, fill](TfrmServerAdd* shown) {
            const QRect o = owner.frameGeometry();
            formPos = shown->pos();
            expectedPos = QPoint(o.left() + o.width() / 2 - shown->frameGeometry().width() / 2,
                                 o.top() + o.height() / 2 - shown->frameGeometry().height() / 2);
            fill(shown);
        });
        return TfrmServerAdd::AddServer(
            &owner, servers, [this] { ++menuRefills; },
            [this](TFTPServer* replaced) {
                forgotten.push_back(replaced);
                EXPECT_GE(servers.IndexOfServer(replaced), 0) << "told before the profile is freed";
            });
    }

    QWidget owner;
    TServerList servers;
    TFTPServer* old = nullptr;
    int menuRefills = 0;
    std::vector<TFTPServer*> forgotten;
    QPoint formPos, expectedPos;
};

TEST_F(AddServerTest, AnAnonymousProfileWithAnEmptyPortReplacesTheProfileOfTheSameName) {
    TFTPServer* added = Add([](TfrmServerAdd* shown) {
        Type(shown->ebxName, "office");
        Type(shown->ebxHostname, "new.example.net");
        Type(shown->ebxPort, "");
        Type(shown->ebxEMail, "me@example.org");
        Type(shown->ebxLocalStartingDirectory, "/home/me/site");
        Type(shown->ebxRemoteStartingDirectory, "/www");
        QTest::keyClick(shown->ebxRemoteStartingDirectory, Qt::Key_Return);  // the default button
    });
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(formPos, expectedPos) << "centred over the main window";
    ASSERT_EQ(servers.Count(), 1);
    EXPECT_EQ(servers.NameAt(0), "Office") << "the entry keeps its name text";
    EXPECT_EQ(servers.At(0), added);
    EXPECT_EQ(forgotten, std::vector<TFTPServer*>{old});
    EXPECT_EQ(added->Name, "office");
    EXPECT_EQ(added->Hostname, "new.example.net");
    EXPECT_EQ(added->Port, "21");
    EXPECT_EQ(added->Username, "anonymous");
    EXPECT_EQ(added->Password, "me@example.org");
    EXPECT_EQ(added->PASV, TPasvMode::No);
    EXPECT_EQ(added->LocalStartDir, "/home/me/site");
    EXPECT_EQ(added->StartDir, "/www");
    EXPECT_EQ(menuRefills, 1);
}

TEST_F(AddServerTest, AUserAndPasswordProfileWithPassiveModeIsAddedInNameOrder) {
    TFTPServer* added = Add([](TfrmServerAdd* shown) {
        Type(shown->ebxName, "Home");
        Type(shown->ebxPort, "2121");
        QTest::mouseClick(shown->rbUserPass, Qt::LeftButton);
        Type(shown->ebxUsername, "bob");
        Type(shown->ebxPassword, "s3cret");
        QTest::mouseClick(shown->cbPASV, Qt::LeftButton);
        shown->btnOk->click();
    });
    ASSERT_NE(added, nullptr);
    ASSERT_EQ(servers.Count(), 2);
    EXPECT_EQ(servers.At(0), added);
    EXPECT_EQ(servers.At(1), old);
    EXPECT_EQ(added->Port, "2121");
    EXPECT_EQ(added->Username, "bob");
    EXPECT_EQ(added->Password, "s3cret");
    EXPECT_EQ(added->PASV, TPasvMode::Yes);
    EXPECT_FALSE(added->IsAnonymous());
    EXPECT_TRUE(forgotten.empty()) << "nothing replaced";
}

TEST_F(AddServerTest, CancellingByButtonOrEscapeChangesNothing) {
    for (bool escape : {false, true}) {
        TFTPServer* added = Add([escape](TfrmServerAdd* shown) {
            Type(shown->ebxName, "Other");
            if (escape)
                QTest::keyClick(shown->ebxName, Qt::Key_Escape);
            else
                shown->btnCancel->click();
        });
        EXPECT_EQ(added, nullptr);
    }
    ASSERT_EQ(servers.Count(), 1);
    EXPECT_EQ(servers.At(0), old);
    EXPECT_EQ(menuRefills, 0);
}

}  // namespace
