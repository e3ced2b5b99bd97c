// The profile form: enabling rules, the refused empty name, and adding a
// profile to the list through it.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest/QTest>

#include "profiles/FrmServerAdd.h"
#include "profiles/ServerList.h"
#include "tests/profiles/QtTestSupport.h"

namespace {

void Type(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    edit->del();
    QTest::keyClicks(edit, text);
}

TEST(ServerAddFormTest, TheRadioButtonsEnableTheirFieldsAndAnEmptyNameIsRefused) {
    TfrmServerAdd form;
    auto enabled = [&form] {
        return std::tuple(form.ebxEMail->isEnabled(), form.ebxUsername->isEnabled(), form.ebxPassword->isEnabled());
    };
    EXPECT_EQ(form.windowTitle(), " Add a new FTP Server");
    EXPECT_EQ(form.ebxEMail->text(), TfrmServerAdd::PlaceholderEMail);
    EXPECT_EQ(enabled(), std::tuple(true, false, false));
    bool boxSeen = false;
    qttest::AnswerNextModal<TfrmServerAdd>([&](TfrmServerAdd* shown) {
        shown->rbUserPass->click();
        EXPECT_EQ(enabled(), std::tuple(false, true, true));
        shown->rbAnonymous->click();
        EXPECT_EQ(enabled(), std::tuple(true, false, false));

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
        QTest::keyClick(shown->ebxHostname, Qt::Key_Escape);
    });
    EXPECT_EQ(form.exec(), QDialog::Rejected);
    EXPECT_TRUE(boxSeen);
}

class AddServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        owner.setGeometry(120, 80, 539, 442);
        auto office = std::make_unique<TFTPServer>();
        office->Name = "Office";
        old = office.get();
        servers.Add("Office", std::move(office));
    }

    TFTPServer* Add(const std::function<void(TfrmServerAdd*)>& fill) {
        qttest::AnswerNextModal<TfrmServerAdd>([this, fill](TfrmServerAdd* shown) {
            const QRect o = owner.frameGeometry(), f = shown->frameGeometry();
            EXPECT_EQ(f.topLeft(), QPoint(o.left() + o.width() / 2 - f.width() / 2, o.top() + o.height() / 2 - f.height() / 2))
                << "centred over the main window";
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
};

TEST_F(AddServerTest, AnEmptyPortBecomes21AndOfficeIsReplacedByOffice) {
    TFTPServer* added = Add([](TfrmServerAdd* shown) {
        Type(shown->ebxName, "office");
        Type(shown->ebxHostname, "new.example.net");
        Type(shown->ebxPort, "");
        Type(shown->ebxEMail, "me@example.org");
        Type(shown->ebxRemoteStartingDirectory, "/www");
        QTest::keyClick(shown->ebxRemoteStartingDirectory, Qt::Key_Return);  // the default button
    });
    ASSERT_NE(added, nullptr);
    ASSERT_EQ(servers.Count(), 1);
    EXPECT_EQ(servers.NameAt(0), "Office") << "the entry keeps its name text";
    EXPECT_EQ(servers.At(0), added);
    EXPECT_EQ(forgotten, std::vector<TFTPServer*>{old});
    EXPECT_EQ(added->Name, "office");
    EXPECT_EQ(added->Port, "21");
    EXPECT_EQ(added->Username, "anonymous");
    EXPECT_EQ(added->Password, "me@example.org");
    EXPECT_EQ(added->PASV, TPasvMode::No);
    EXPECT_EQ(added->StartDir, "/www");
    EXPECT_EQ(menuRefills, 1);

    EXPECT_EQ(Add([](TfrmServerAdd* shown) { shown->btnCancel->click(); }), nullptr);
    EXPECT_EQ(servers.Count(), 1);
    EXPECT_EQ(menuRefills, 1);
}

TEST_F(AddServerTest, AUserProfileWithPassiveModeTakesItsPlaceByName) {
    TFTPServer* added = Add([](TfrmServerAdd* shown) {
        Type(shown->ebxName, "Home");
        shown->rbUserPass->click();
        Type(shown->ebxUsername, "bob");
        Type(shown->ebxPassword, "s3cret");
        shown->cbPASV->click();
        shown->btnOk->click();
    });
    ASSERT_EQ(servers.Count(), 2);
    EXPECT_EQ(servers.At(0), added);
    EXPECT_EQ(added->Port, "21");
    EXPECT_EQ(std::tuple(added->Username, added->Password, added->PASV), std::tuple("bob", "s3cret", TPasvMode::Yes));
    EXPECT_TRUE(forgotten.empty());
}

}  // namespace
