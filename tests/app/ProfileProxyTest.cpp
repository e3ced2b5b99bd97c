// A SOCKS 5 proxy typed into the profile form carries the window's session:
// the form as the user fills it, the profile file, and a connection through
// microsocks (with a user) to pyftpdlib.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest/QTest>
#include <algorithm>
#include <fstream>

#include "profiles/FrmServerAdd.h"
#include "session/RemoteListView.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/support/PyFtpdServer.h"
#include "tests/support/net/SocksProxyProcess.h"

namespace {

void Type(QLineEdit* edit, const QString& text) {
    QTest::mouseClick(edit, Qt::LeftButton);
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

TEST_F(MainWindow, AProxyTypedIntoTheProfileFormCarriesTheSession) {
    PyFtpdServer server;
    ASSERT_TRUE(server.Start()) << server.Error();
    std::ofstream(server.Root() + "/index.htm") << "<html></html>";
    MicrosocksProxy proxy("proxyuser", "proxy pass");
    ASSERT_TRUE(proxy.Start()) << proxy.Error();
    auto window = Start();

    bool formSeen = false;
    qttest::AnswerNextModal<TfrmServerAdd>(
        [&](TfrmServerAdd* form) {
            EXPECT_EQ(form->ebxSocksPort->text(), "1080");
            EXPECT_EQ(form->ebxSocksPassword->echoMode(), QLineEdit::Password);
            Type(form->ebxName, "Behind a proxy");
            Type(form->ebxHostname, "127.0.0.1");
            Type(form->ebxPort, QString::number(server.Port()));
            QTest::mouseClick(form->rbUserPass, Qt::LeftButton, {}, QPoint(8, 10));
            Type(form->ebxUsername, QString::fromStdString(server.User()));
            Type(form->ebxPassword, QString::fromStdString(server.Password()));
            QTest::mouseClick(form->cbPASV, Qt::LeftButton, {}, QPoint(8, 10));
            Type(form->ebxSocksHost, " 127.0.0.1 ");
            Type(form->ebxSocksPort, QString::number(proxy.Port()));
            Type(form->ebxSocksUser, "proxyuser");
            Type(form->ebxSocksPassword, "proxy pass");
            QTest::keyClick(form->ebxSocksPassword, Qt::Key_Return);
        },
        &formSeen);
    window->tb97AddServer->trigger();
    ASSERT_TRUE(formSeen);
    const std::string file = qttest::ReadFile(ServersFile());
    EXPECT_NE(file.find("SocksHost=\"127.0.0.1\""), std::string::npos) << file;
    EXPECT_NE(file.find("SocksUser=\"proxyuser\""), std::string::npos) << file;
    EXPECT_NE(file.find("SocksPassword="), std::string::npos) << file;
    EXPECT_EQ(file.find("proxy pass"), std::string::npos) << "stored as the FTP password is";

    window->itmConnectServerClick(TServerStore::FirstServerTag + 1);
    ASSERT_TRUE(window->Session.FTP.Connected()) << (notices.empty() ? "" : notices.front());
    EXPECT_TRUE(notices.empty()) << notices.front();
    const TRemoteListView* files = window->lvServerFiles;
    std::vector<std::string> names;
    for (int row = 0; row < files->Count(); ++row) names.push_back(files->Caption(row));
    EXPECT_NE(std::find(names.begin(), names.end(), "index.htm"), names.end());
    // The profile asks for active mode, which only a proxied session turns
    // passive.
    EXPECT_NE(file.find("PASV=No"), std::string::npos) << file;
    EXPECT_TRUE(Has(LogLines(*window), "Command:    EPSV"));
    window->close();
}

}  // namespace
