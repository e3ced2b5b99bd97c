// The add, edit, remove and connect-to dialogs over a small profile list,
// every dialog and question answered by the test.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest/QTest>

#include "profiles/FrmServerAdd.h"
#include "profiles/FrmServerConnectTo.h"
#include "profiles/FrmServerEdit.h"
#include "profiles/FrmServerRemove.h"
#include "profiles/ServerInfoPanel.h"
#include "profiles/ServerList.h"
#include "profiles/ServerListBox.h"
#include "tests/support/QtTestSupport.h"

namespace {

using Texts = std::vector<QString>;
using Servers = std::vector<TFTPServer*>;

void Type(QLineEdit* edit, const QString& text) {
    edit->clear();
    QTest::keyClicks(edit, text);
}

using Field = std::pair<QLineEdit * TfrmServerAdd::*, QString>;

// Answers the next profile form (a modal other than `except`): `look` sees
// it as shown, then the fields are typed and OK is pressed.
void AnswerForm(const std::vector<Field>& fields, bool* seen = nullptr, QWidget* except = nullptr,
                const std::function<void(TfrmServerAdd*)>& look = {}) {
    qttest::AnswerNextModal<TfrmServerAdd>(
        [=](TfrmServerAdd* form) {
            if (look) look(form);
            for (const auto& [field, text] : fields) Type(form->*field, text);
            form->btnOk->click();
        },
        seen, except);
}

Texts Rows(const TServerListBox* list) {
    Texts rows;
    for (int i = 0; i < list->count(); ++i) rows.push_back(list->item(i)->text());
    return rows;
}

void ClickRow(TServerListBox* list, int row, Qt::KeyboardModifiers modifiers = {}, bool twice = false) {
    const QPoint centre = list->visualItemRect(list->item(row)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, centre);
    if (twice) QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);
}

// The four information fields, or nothing while they are hidden.
Texts Info(const TServerInfoPanel* panel) {
    if (!panel->FieldsShown()) return {};
    return {panel->ebxHostPort->text(), panel->ebxUsername->text(), panel->ebxLocalDir->text(), panel->ebxRemoteDir->text()};
}

// Answers the next message box (a modal other than `except`) with `answer`
// and keeps its text.
void AnswerBox(QMessageBox::StandardButton answer, QString* text, bool* seen, QWidget* except = nullptr) {
    qttest::AnswerNextModal<QMessageBox>(
        [answer, text](QMessageBox* box) {
            EXPECT_EQ(box->windowTitle(), "Quillford Velliant FTP");
            *text = box->text();
            box->button(answer)->click();
        },
        seen, except);
}

class ServerDialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        owner.setGeometry(60, 40, 539, 442);
        const std::tuple<std::string, std::string, std::string> profiles[] = {{"alpha", "anonymous", "me@example.org"},
                                                                              {"Beta", "bob", "pw1"},
                                                                              {"gamma", "carol", "pw2"},
                                                                              {"Delta", "dave", "pw3"}};
        for (const auto& [name, user, password] : profiles) {
            auto server = std::make_unique<TFTPServer>();
            std::tie(server->Name, server->Hostname, server->Username, server->Password, server->LocalStartDir,
                     server->StartDir) =
                std::tuple(name, name + ".example.net", user, password, "/local/" + name, "/remote/" + name);
            servers.Add(name, std::move(server));
        }
        alpha = servers.At(0), beta = servers.At(1), delta = servers.At(2), gamma = servers.At(3);
    }

    // Runs the add dialog, centred over the owner, with `fill` as the user.
    TFTPServer* Add(const std::function<void(TfrmServerAdd*)>& fill) {
        qttest::AnswerNextModal<TfrmServerAdd>([this, fill](TfrmServerAdd* shown) {
            const QRect o = owner.frameGeometry(), f = shown->frameGeometry();
            EXPECT_EQ(f.topLeft(), QPoint(o.left() + o.width() / 2 - f.width() / 2, o.top() + o.height() / 2 - f.height() / 2))
                << "centred over the main window";
            fill(shown);
        });
        return TfrmServerAdd::AddServer(&owner, servers, refill);
    }

    QWidget owner;
    TServerList servers;
    TFTPServer *alpha, *beta, *gamma, *delta;
    int menuRefills = 0;
    Servers forgotten;
    const std::function<void()> refill = [this] { ++menuRefills; };
    const std::function<void(TFTPServer*)> forget = [this](TFTPServer* server) {
        forgotten.push_back(server);
        EXPECT_GE(servers.IndexOfServer(server), 0) << "told before the profile is freed";
    };
};

TEST_F(ServerDialogsTest, AddFormEnablesFieldsByRadioButtonRefusesAnEmptyNameAndEscapeAddsNothing) {
    bool refused = false;
    QString warning;
    TFTPServer* added = Add([&](TfrmServerAdd* form) {
        auto enabled = [form] {
            return std::tuple(form->ebxEMail->isEnabled(), form->ebxUsername->isEnabled(), form->ebxPassword->isEnabled());
        };
        EXPECT_EQ(form->windowTitle(), " Add a new FTP Server");
        EXPECT_EQ(form->ebxEMail->text(), TfrmServerAdd::PlaceholderEMail);
        EXPECT_EQ(enabled(), std::tuple(true, false, false));
        form->rbUserPass->click();
        EXPECT_EQ(enabled(), std::tuple(false, true, true));
        form->rbAnonymous->click();
        EXPECT_EQ(enabled(), std::tuple(true, false, false));

        Type(form->ebxHostname, "ftp.example.net");
        AnswerBox(QMessageBox::Ok, &warning, &refused, form);
        form->btnOk->click();
        EXPECT_TRUE(form->isVisible());
        EXPECT_EQ(form->ebxHostname->text(), "ftp.example.net");
        QTest::keyClick(form->ebxHostname, Qt::Key_Escape);
    });
    EXPECT_EQ(added, nullptr);
    EXPECT_TRUE(refused);
    EXPECT_EQ(warning, "You must enter a name for this FTP Server");
    EXPECT_EQ(std::tuple(servers.Count(), menuRefills), std::tuple(4, 0));
}

TEST_F(ServerDialogsTest, AddingRefusesANameHeldIgnoringCaseKeepsTheFormFilledThenFilesTheProfileByName) {
    bool refused = false;
    QString warning;
    TFTPServer* added = Add([&](TfrmServerAdd* form) {
        for (const auto& [edit, text] : {std::pair(form->ebxName, "ALPHA"),
                                         {form->ebxHostname, "new.example.net"},
                                         {form->ebxPort, ""},
                                         {form->ebxEMail, "me@example.com"},
                                         {form->ebxRemoteStartingDirectory, "/www"}})
            Type(edit, text);
        AnswerBox(QMessageBox::Ok, &warning, &refused, form);
        QTest::keyClick(form->ebxRemoteStartingDirectory, Qt::Key_Return);  // the default button
        EXPECT_TRUE(refused);
        ASSERT_TRUE(form->isVisible()) << "the form stays open";
        EXPECT_EQ(std::tuple(form->ebxName->text(), form->ebxHostname->text(), form->ebxEMail->text()),
                  std::tuple("ALPHA", "new.example.net", "me@example.com"));
        Type(form->ebxName, "Alpha two");
        form->btnOk->click();
    });
    EXPECT_EQ(warning, "Another FTP Server is already named alpha");
    ASSERT_NE(added, nullptr);
    ASSERT_EQ(servers.Count(), 5);
    EXPECT_EQ(std::tuple(servers.At(0), alpha->Hostname, alpha->Password),
              std::tuple(alpha, "alpha.example.net", "me@example.org"))
        << "the existing profile is untouched";
    EXPECT_EQ(servers.At(1), added);
    EXPECT_EQ(std::tuple(added->Name, added->Port, added->Username, added->Password, added->PASV, added->StartDir),
              std::tuple("Alpha two", "21", "anonymous", "me@example.com", TPasvMode::No, "/www"));
    EXPECT_EQ(menuRefills, 1);

    AnswerForm({{&TfrmServerAdd::ebxName, "Home"}, {&TfrmServerAdd::ebxUsername, "bob"}, {&TfrmServerAdd::ebxPassword, "s3cret"}},
               nullptr, nullptr, [](TfrmServerAdd* form) {
                   form->rbUserPass->click();
                   form->cbPASV->click();
               });
    added = TfrmServerAdd::AddServer(&owner, servers, refill);
    ASSERT_EQ(servers.Count(), 6);
    EXPECT_EQ(servers.At(5), added);
    EXPECT_EQ(std::tuple(added->Port, added->Username, added->Password, added->PASV),
              std::tuple("21", "bob", "s3cret", TPasvMode::Yes));
    EXPECT_EQ(menuRefills, 2);
}

TEST_F(ServerDialogsTest, EditingAnAnonymousProfileIntoAUserProfileKeepsItsPlace) {
    bool formSeen = false;
    qttest::AnswerNextModal<TfrmServerEdit>([&](TfrmServerEdit* edit) {
        EXPECT_EQ(edit->windowTitle(), " Edit a FTP Server");
        EXPECT_EQ(Rows(edit->lbServers), (Texts{"alpha", "Beta", "Delta", "gamma"}));
        EXPECT_TRUE(Info(edit->pnlInfo).empty());
        ClickRow(edit->lbServers, 0);
        EXPECT_EQ(Info(edit->pnlInfo), (Texts{"alpha.example.net on port 21", "anonymous", "/local/alpha", "/remote/alpha"}));

        AnswerForm({{&TfrmServerAdd::ebxUsername, "erin"}, {&TfrmServerAdd::ebxPassword, "typed"}}, &formSeen, edit,
                   [](TfrmServerAdd* form) {
                       EXPECT_EQ(form->windowTitle(), "Edit a FTP Server");
                       EXPECT_TRUE(form->rbAnonymous->isChecked());
                       EXPECT_EQ(std::tuple(form->ebxEMail->text(), form->ebxUsername->text(), form->ebxPassword->text()),
                                 std::tuple("me@example.org", "", ""));
                       form->rbUserPass->click();
                   });
        ClickRow(edit->lbServers, 0, {}, true);
        EXPECT_TRUE(formSeen);
        EXPECT_TRUE(edit->lbServers->SelectedServers().empty()) << "the list is refilled without a selection";
        EXPECT_TRUE(Info(edit->pnlInfo).empty());
        edit->btnFinish->click();
    });
    TfrmServerEdit::Execute(&owner, servers, refill);
    ASSERT_EQ(servers.Count(), 4);
    EXPECT_EQ(servers.At(0), alpha);
    EXPECT_EQ(std::tuple(alpha->Username, alpha->Password, alpha->PASV), std::tuple("erin", "typed", TPasvMode::No));
    EXPECT_EQ(menuRefills, 1);
}

TEST_F(ServerDialogsTest, RenamingRefusesAnotherProfilesNameAndFilesTheProfileInItsSortedPlace) {
    TfrmServerEdit edit(servers);
    edit.show();
    ClickRow(edit.lbServers, 3);  // gamma
    // Two profiles of one name would lose one at the next start.
    bool warned = false;
    QString warning;
    qttest::AnswerNextModal<TfrmServerAdd>([&](TfrmServerAdd* form) {
        Type(form->ebxName, "BETA");
        AnswerBox(QMessageBox::Ok, &warning, &warned, form);
        form->btnOk->click();
        EXPECT_TRUE(form->isVisible()) << "the form stays open with the typed name";
        EXPECT_EQ(form->ebxName->text(), "BETA");
        form->btnCancel->click();
    });
    EXPECT_FALSE(edit.btnEditClick());
    EXPECT_TRUE(warned);
    EXPECT_EQ(warning, "Another FTP Server is already named Beta");
    EXPECT_EQ(gamma->Name, "gamma");
    EXPECT_EQ(servers.IndexOf("gamma"), servers.IndexOfServer(gamma));
    EXPECT_EQ(servers.At(servers.IndexOf("beta")), beta);

    // Its own name in other letters is no clash.
    ClickRow(edit.lbServers, 3);
    AnswerForm({{&TfrmServerAdd::ebxName, "GAMMA"}});
    EXPECT_TRUE(edit.btnEditClick());
    EXPECT_EQ(gamma->Name, "GAMMA");

    ClickRow(edit.lbServers, 3);
    AnswerForm({{&TfrmServerAdd::ebxName, "Aardvark"}}, nullptr, nullptr, [](TfrmServerAdd* form) {
        EXPECT_EQ(std::tuple(form->rbUserPass->isChecked(), form->ebxName->text(), form->ebxUsername->text(),
                             form->ebxPassword->text()),
                  std::tuple(true, "GAMMA", "carol", "pw2"));
    });
    EXPECT_TRUE(edit.btnEditClick());
    EXPECT_EQ(Rows(edit.lbServers), (Texts{"Aardvark", "alpha", "Beta", "Delta"}));
    EXPECT_EQ(edit.lbServers->ServerAt(0), gamma);
    // The Servers menu is numbered by list position.
    EXPECT_EQ(servers.IndexOfServer(gamma), 0) << "the profile moves to the place its new name sorts to";
    EXPECT_EQ(servers.IndexOf("aardvark"), 0);
    EXPECT_EQ(servers.At(3), delta);

    edit.lbServers->clearSelection();
    EXPECT_FALSE(edit.btnEditClick()) << "nothing selected: nothing happens";
}

TEST_F(ServerDialogsTest, RemovingAsksFirstAndOnlyYesRemovesTheSelectedProfiles) {
    bool seen = false;
    QString question;
    for (bool select : {false, true}) {  // OK without a selection, or No: closed without change
        qttest::AnswerNextModal<TfrmServerRemove>([&](TfrmServerRemove* remove) {
            if (select) {
                ClickRow(remove->lbServers, 2);
                AnswerBox(QMessageBox::No, &question, &seen);
            }
            remove->btnOk->click();
        });
        EXPECT_EQ(TfrmServerRemove::Execute(&owner, servers, refill), 0);
        EXPECT_EQ(seen, select);
        EXPECT_EQ(question, select ? "Is it ok to delete this FTP server" : "");
    }
    EXPECT_EQ(std::tuple(servers.Count(), menuRefills), std::tuple(4, 0));

    qttest::AnswerNextModal<TfrmServerRemove>([&](TfrmServerRemove* remove) {
        EXPECT_EQ(remove->windowTitle(), " Remove a FTP Server");
        ClickRow(remove->lbServers, 0);
        ClickRow(remove->lbServers, 1, Qt::ControlModifier);
        ClickRow(remove->lbServers, 3, Qt::ControlModifier);
        EXPECT_EQ(Info(remove->pnlInfo), Texts(4, TServerInfoPanel::MultipleText));

        AnswerBox(QMessageBox::Cancel, &question, &seen);
        remove->btnOk->click();
        EXPECT_TRUE(seen);
        EXPECT_EQ(question, "Is it ok to delete these 3 FTP servers");
        EXPECT_TRUE(remove->isVisible());
        EXPECT_EQ(remove->lbServers->SelectedServers(), (Servers{alpha, beta, gamma}));

        AnswerBox(QMessageBox::Yes, &question, &seen);
        remove->btnOk->click();
        EXPECT_TRUE(seen);
    });
    EXPECT_EQ(TfrmServerRemove::Execute(&owner, servers, refill, forget), 3);
    EXPECT_EQ(forgotten, (Servers{alpha, beta, gamma}));
    ASSERT_EQ(servers.Count(), 1);
    EXPECT_EQ(servers.At(0), delta);
    EXPECT_EQ(menuRefills, 1);
}

TEST_F(ServerDialogsTest, ConnectToEnablesItsButtonsOnlyForASelectedProfile) {
    bool added = false, edited = false;
    qttest::AnswerNextModal<TfrmServerConnectTo>([&](TfrmServerConnectTo* dialog) {
        auto buttons = [dialog] { return std::pair(dialog->btnOk->isEnabled(), dialog->btnEditServer->isEnabled()); };
        EXPECT_EQ(dialog->windowTitle(), "Connect To a FTP Server");
        EXPECT_EQ(buttons(), std::pair(false, false));
        EXPECT_TRUE(Info(dialog->pnlInfo).empty());
        ClickRow(dialog->lbServers, 1);
        EXPECT_EQ(buttons(), std::pair(true, true));
        EXPECT_EQ(Info(dialog->pnlInfo)[0], "Beta.example.net on port 21");

        AnswerForm({{&TfrmServerAdd::ebxName, "Epsilon"}}, &added, dialog);
        dialog->btnAddServer->click();
        EXPECT_EQ(Rows(dialog->lbServers), (Texts{"alpha", "Beta", "Delta", "Epsilon", "gamma"}));
        EXPECT_EQ(buttons(), std::pair(false, false));
        EXPECT_TRUE(Info(dialog->pnlInfo).empty());

        ClickRow(dialog->lbServers, 2);
        AnswerForm({{&TfrmServerAdd::ebxHostname, "moved.example.net"}}, &edited, dialog, [](TfrmServerAdd* form) {
            EXPECT_EQ(std::tuple(form->windowTitle(), form->ebxName->text()), std::tuple("Edit a FTP Server", "Delta"));
        });
        dialog->btnEditServer->click();
        EXPECT_EQ(buttons(), std::pair(false, false));

        dialog->btnOk->click();  // disabled: nothing happens
        EXPECT_TRUE(dialog->isVisible());
        ClickRow(dialog->lbServers, 2, {}, true);
    });
    EXPECT_EQ(TfrmServerConnectTo::Execute(&owner, servers, refill), delta);
    EXPECT_TRUE(added);
    EXPECT_TRUE(edited);
    EXPECT_EQ(delta->Hostname, "moved.example.net");
    EXPECT_EQ(std::tuple(servers.Count(), menuRefills), std::tuple(5, 2));

    qttest::AnswerNextModal<TfrmServerConnectTo>([](TfrmServerConnectTo* dialog) {
        ClickRow(dialog->lbServers, 0);
        QTest::keyClick(dialog->lbServers, Qt::Key_Escape);
    });
    EXPECT_EQ(TfrmServerConnectTo::Execute(&owner, servers, refill), nullptr);
}

}  // namespace
