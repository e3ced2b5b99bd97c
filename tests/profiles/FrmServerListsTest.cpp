// The edit, remove and connect-to dialogs over a small profile list, every
// dialog and question answered by the test.
#include <gtest/gtest.h>

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
#include "tests/profiles/QtTestSupport.h"

namespace {

using Names = std::vector<QString>;

void Type(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    edit->del();
    QTest::keyClicks(edit, text);
}

Names Rows(const TServerListBox* list) {
    Names rows;
    for (int i = 0; i < list->count(); ++i) rows.push_back(list->item(i)->text());
    return rows;
}

QPoint RowCentre(TServerListBox* list, int row) { return list->visualItemRect(list->item(row)).center(); }

void ClickRow(TServerListBox* list, int row, Qt::KeyboardModifiers modifiers = {}) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, RowCentre(list, row));
}

void DoubleClickRow(TServerListBox* list, int row) {
    ClickRow(list, row);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, RowCentre(list, row));
}

// The four information fields, or nothing while they are hidden.
std::vector<QString> Info(const TServerInfoPanel* panel) {
    if (!panel->FieldsShown()) return {};
    return {panel->ebxHostPort->text(), panel->ebxUsername->text(), panel->ebxLocalDir->text(), panel->ebxRemoteDir->text()};
}

// Answers the next question box with `answer` and keeps its text.
void AnswerQuestion(QMessageBox::StandardButton answer, QString* text, bool* seen) {
    qttest::AnswerNextModal<QMessageBox>(
        [answer, text](QMessageBox* box) {
            EXPECT_EQ(box->windowTitle(), "Quillford Velliant FTP");
            *text = box->text();
            box->button(answer)->click();
        },
        seen);
}

class ServerDialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        owner.setGeometry(60, 40, 539, 442);
        alpha = AddProfile("alpha", "anonymous", "me@example.org");
        beta = AddProfile("Beta", "bob", "pw1");
        gamma = AddProfile("gamma", "carol", "pw2");
        delta = AddProfile("Delta", "dave", "pw3");
    }

    TFTPServer* AddProfile(const std::string& name, const std::string& user, const std::string& password) {
        auto server = std::make_unique<TFTPServer>();
        server->Name = name;
        server->Hostname = name + ".example.net";
        server->Username = user;
        server->Password = password;
        server->LocalStartDir = "/local/" + name;
        server->StartDir = "/remote/" + name;
        TFTPServer* raw = server.get();
        servers.Add(name, std::move(server));
        return raw;
    }

    std::function<void()> Refill() {
        return [this] { ++menuRefills; };
    }

    QWidget owner;
    TServerList servers;
    TFTPServer *alpha, *beta, *gamma, *delta;
    int menuRefills = 0;
};

TEST_F(ServerDialogsTest, EditingAnAnonymousProfileIntoAUserProfileKeepsItsPlace) {
    bool formSeen = false;
    qttest::AnswerNextModal<TfrmServerEdit>([&](TfrmServerEdit* edit) {
        EXPECT_EQ(edit->windowTitle(), " Edit a FTP Server");
        EXPECT_EQ(Rows(edit->lbServers), (Names{"alpha", "Beta", "Delta", "gamma"}));
        EXPECT_TRUE(Info(edit->pnlInfo).empty());
        ClickRow(edit->lbServers, 0);
        EXPECT_EQ(Info(edit->pnlInfo),
                  (std::vector<QString>{"alpha.example.net on port 21", "anonymous", "/local/alpha", "/remote/alpha"}));

        qttest::AnswerNextModal<TfrmServerAdd>(
            [&](TfrmServerAdd* form) {
                EXPECT_EQ(form->windowTitle(), "Edit a FTP Server");
                EXPECT_TRUE(form->rbAnonymous->isChecked());
                EXPECT_EQ(form->ebxEMail->text(), "me@example.org");
                EXPECT_TRUE(form->ebxUsername->text().isEmpty());
                EXPECT_TRUE(form->ebxPassword->text().isEmpty());
                form->rbUserPass->click();
                Type(form->ebxUsername, "erin");
                Type(form->ebxPassword, "typed");
                form->btnOk->click();
            },
            &formSeen, edit);
        DoubleClickRow(edit->lbServers, 0);
        EXPECT_TRUE(formSeen);
        EXPECT_TRUE(edit->lbServers->SelectedServers().empty()) << "the list is refilled without a selection";
        EXPECT_TRUE(Info(edit->pnlInfo).empty());
        edit->btnFinish->click();
    });
    TfrmServerEdit::Execute(&owner, servers, Refill());
    ASSERT_EQ(servers.Count(), 4);
    EXPECT_EQ(servers.At(0), alpha);
    EXPECT_EQ(alpha->Username, "erin");
    EXPECT_EQ(alpha->Password, "typed");
    EXPECT_EQ(alpha->PASV, TPasvMode::No);
    EXPECT_EQ(menuRefills, 1);
}

TEST_F(ServerDialogsTest, ARenamedProfileIsListedUnderItsNewName) {
    TfrmServerEdit edit(servers);
    edit.show();
    ClickRow(edit.lbServers, 3);
    qttest::AnswerNextModal<TfrmServerAdd>([](TfrmServerAdd* form) {
        EXPECT_EQ(form->ebxName->text(), "gamma");
        EXPECT_TRUE(form->rbUserPass->isChecked());
        EXPECT_EQ(form->ebxUsername->text(), "carol");
        EXPECT_EQ(form->ebxPassword->text(), "pw2");
        Type(form->ebxName, "Aardvark");
        form->btnOk->click();
    });
    EXPECT_TRUE(edit.btnEditClick());
    EXPECT_EQ(Rows(edit.lbServers), (Names{"Aardvark", "alpha", "Beta", "Delta"}));
    EXPECT_EQ(edit.lbServers->ServerAt(0), gamma);
    EXPECT_EQ(servers.IndexOfServer(gamma), 3) << "the profile keeps its place in the list";

    // The list still knows the profile by its new name, so a new profile
    // with that name replaces it instead of standing beside it.
    EXPECT_EQ(servers.IndexOf("aardvark"), 3);

    edit.lbServers->clearSelection();
    EXPECT_FALSE(edit.btnEditClick()) << "nothing selected: nothing happens";
}

TEST_F(ServerDialogsTest, RenamingOntoAnotherProfilesNameIsRefusedSoNeitherIsLostAtTheNextStart) {
    TfrmServerEdit edit(servers);
    edit.show();
    ClickRow(edit.lbServers, 3);  // gamma
    bool warned = false;
    QString warning;
    qttest::AnswerNextModal<TfrmServerAdd>([&](TfrmServerAdd* form) {
        Type(form->ebxName, "BETA");
        qttest::AnswerNextModal<QMessageBox>(
            [&](QMessageBox* box) {
                warning = box->text();
                box->button(QMessageBox::Ok)->click();
                qttest::AnswerNextModal<TfrmServerAdd>([](TfrmServerAdd* again) { again->btnCancel->click(); });
            },
            &warned, form);
        form->btnOk->click();
    });
    EXPECT_FALSE(edit.btnEditClick());
    EXPECT_TRUE(warned);
    EXPECT_EQ(warning, "Another FTP Server is already named BETA");
    EXPECT_EQ(gamma->Name, "gamma");
    EXPECT_EQ(servers.IndexOf("gamma"), servers.IndexOfServer(gamma));
    EXPECT_EQ(servers.At(servers.IndexOf("beta")), beta);
}

TEST_F(ServerDialogsTest, RemovingAsksFirstAndCancelKeepsTheDialogWithItsSelection) {
    bool seen = false;
    QString question;
    std::vector<TFTPServer*> forgotten;
    qttest::AnswerNextModal<TfrmServerRemove>([&](TfrmServerRemove* remove) {
        EXPECT_EQ(remove->windowTitle(), " Remove a FTP Server");
        ClickRow(remove->lbServers, 0);
        ClickRow(remove->lbServers, 1, Qt::ControlModifier);
        ClickRow(remove->lbServers, 3, Qt::ControlModifier);
        EXPECT_EQ(Info(remove->pnlInfo), std::vector<QString>(4, TServerInfoPanel::MultipleText));

        AnswerQuestion(QMessageBox::Cancel, &question, &seen);
        remove->btnOk->click();
        EXPECT_TRUE(seen);
        EXPECT_EQ(question, "Is it ok to delete these 3 FTP servers");
        EXPECT_TRUE(remove->isVisible());
        EXPECT_EQ(remove->lbServers->SelectedServers(), (std::vector<TFTPServer*>{alpha, beta, gamma}));

        AnswerQuestion(QMessageBox::Yes, &question, &seen);
        remove->btnOk->click();
        EXPECT_TRUE(seen);
    });
    const int removed = TfrmServerRemove::Execute(&owner, servers, Refill(), [&](TFTPServer* server) {
        forgotten.push_back(server);
        EXPECT_GE(servers.IndexOfServer(server), 0) << "told before the profile is freed";
    });
    EXPECT_EQ(removed, 3);
    EXPECT_EQ(forgotten, (std::vector<TFTPServer*>{alpha, beta, gamma}));
    ASSERT_EQ(servers.Count(), 1);
    EXPECT_EQ(servers.At(0), delta);
    EXPECT_EQ(menuRefills, 1);
}

TEST_F(ServerDialogsTest, RemovingWithNoOrWithoutSelectionClosesWithoutChange) {
    for (bool select : {false, true}) {
        bool seen = false;
        QString question;
        qttest::AnswerNextModal<TfrmServerRemove>([&](TfrmServerRemove* remove) {
            if (select) {
                ClickRow(remove->lbServers, 2);
                EXPECT_EQ(Info(remove->pnlInfo),
                          (std::vector<QString>{"Delta.example.net on port 21", "dave", "/local/Delta", "/remote/Delta"}));
                AnswerQuestion(QMessageBox::No, &question, &seen);
            }
            remove->btnOk->click();
        });
        EXPECT_EQ(TfrmServerRemove::Execute(&owner, servers, Refill()), 0);
        EXPECT_EQ(seen, select);
        if (select) {
            EXPECT_EQ(question, "Is it ok to delete this FTP server");
        }
    }
    EXPECT_EQ(servers.Count(), 4);
    EXPECT_EQ(menuRefills, 0);
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

        qttest::AnswerNextModal<TfrmServerAdd>(
            [](TfrmServerAdd* form) {
                Type(form->ebxName, "Epsilon");
                form->btnOk->click();
            },
            &added, dialog);
        dialog->btnAddServer->click();
        EXPECT_EQ(Rows(dialog->lbServers), (Names{"alpha", "Beta", "Delta", "Epsilon", "gamma"}));
        EXPECT_EQ(buttons(), std::pair(false, false));
        EXPECT_TRUE(Info(dialog->pnlInfo).empty());

        ClickRow(dialog->lbServers, 2);
        qttest::AnswerNextModal<TfrmServerAdd>(
            [](TfrmServerAdd* form) {
                EXPECT_EQ(form->windowTitle(), "Edit a FTP Server");
                EXPECT_EQ(form->ebxName->text(), "Delta");
                Type(form->ebxHostname, "moved.example.net");
                form->btnOk->click();
            },
            &edited, dialog);
        dialog->btnEditServer->click();
        EXPECT_EQ(buttons(), std::pair(false, false));

        dialog->btnOk->click();  // disabled: nothing happens
        EXPECT_TRUE(dialog->isVisible());
        DoubleClickRow(dialog->lbServers, 2);
    });
    TFTPServer* chosen = TfrmServerConnectTo::Execute(&owner, servers, Refill());
    EXPECT_TRUE(added);
    EXPECT_TRUE(edited);
    EXPECT_EQ(chosen, delta);
    EXPECT_EQ(delta->Hostname, "moved.example.net");
    EXPECT_EQ(servers.Count(), 5);
    EXPECT_EQ(menuRefills, 2);

    qttest::AnswerNextModal<TfrmServerConnectTo>([](TfrmServerConnectTo* dialog) {
        ClickRow(dialog->lbServers, 0);
        QTest::keyClick(dialog->lbServers, Qt::Key_Escape);
    });
    EXPECT_EQ(TfrmServerConnectTo::Execute(&owner, servers, Refill()), nullptr);
}

}  // namespace
