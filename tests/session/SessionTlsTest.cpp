// An encrypted profile in the window: the certificate question and its
// answers, the remembered trust, the lock in the status bar, and the
// certificate window itself.
#include <sys/stat.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <fstream>

#include "session/FrmCertificate.h"
#include "session/RemotePane.h"
#include "tests/session/SessionFixture.h"
#include "tests/support/QtTestSupport.h"
#include "tests/support/TestCertificates.h"
#include "tests/support/VsftpdServer.h"
#include "util/CertificateTrust.h"

namespace {

class SessionTls : public SessionFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(TestCertificates::Shared().Ok()) << TestCertificates::Shared().Error();
        server.UseTls(TestCertificates::Shared().Cert("selfsigned"), TestCertificates::Shared().Key("selfsigned"));
        ASSERT_TRUE(server.Start()) << server.Error();
        std::ofstream(server.Root() + "/index.htm") << "<html></html>";
        session.ListingTempFile = work.File("listing.tmp");
        session.CertificateTrustFile = work.File("TrustedCertificates.txt");
        session.W.imgEncrypted = &lock;
        session.AskCertificate = [this](const std::string& name, const TSslCertificateInfo& certificate, bool changed) {
            asked.push_back(name + (changed ? " changed" : "") + " " + certificate.Reason);
            return answer;
        };
        RecordMessages();
        profile = Profile(server.Port(), server.User(), server.Password());
        profile.Encryption = TEncryptionMode::ExplicitRequired;
        profile.PASV = TPasvMode::Yes;
    }
    bool Listed() const {
        for (int row = 0; row < files->Count(); ++row)
            if (files->Caption(row) == "index.htm") return true;
        return false;
    }
    void Disconnect() {
        session.DisconnectAction();
        ASSERT_TRUE(qttest::WaitUntil([&] { return !session.SessionUp && !session.FTP.Connected(); }));
    }

    VsftpdServer server;
    TempDir work;
    QLabel lock;
    TFTPServer profile;
    std::vector<std::string> asked;
    TFtpCertificateDecision answer = ftpCertTrustAlways;
};

}  // namespace

TEST_F(SessionTls, TrustAlwaysIsRememberedAndAChangedCertificateIsAskedAgain) {
    const std::string name = "127.0.0.1:" + std::to_string(server.Port());
    session.ConnectToServer(&profile);
    ASSERT_TRUE(qttest::WaitUntil([&] { return Listed(); })) << (messages.empty() ? "" : messages.front());
    EXPECT_EQ(asked, std::vector<std::string>{name + " self-signed certificate"});
    EXPECT_FALSE(lock.isHidden()) << "the lock shows while encrypted";
    EXPECT_TRUE(LogHas("Command:    PROT P"));
    struct stat info {};
    ASSERT_EQ(::stat(session.CertificateTrustFile.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    Disconnect();
    EXPECT_TRUE(lock.isHidden());

    session.ConnectToServer(&profile);
    ASSERT_TRUE(qttest::WaitUntil([&] { return Listed(); }));
    EXPECT_EQ(asked.size(), 1u) << "a certificate trusted always is not asked about again";
    Disconnect();

    // Another certificate for the same server: asked again, with the warning;
    // refused, the log-in never goes out.
    ASSERT_TRUE(TCertificateTrust(session.CertificateTrustFile).Remember("127.0.0.1", std::to_string(server.Port()), "00:11"));
    answer = ftpCertRefuse;
    const int usersBefore = LogCount("Command:    USER " + server.User());
    session.ConnectToServer(&profile);
    ASSERT_TRUE(qttest::WaitUntil([&] { return asked.size() == 2 && !session.FTP.Connected() && !session.Busy; }));
    EXPECT_EQ(asked.back(), name + " changed self-signed certificate");
    EXPECT_EQ(LogCount("Command:    USER " + server.User()), usersBefore);
    EXPECT_FALSE(session.ConnectedState());
}

// A certificate let pass once is not asked about again for the connections
// of the same session's transfers.
TEST_F(SessionTls, TrustOnceHoldsForTheSessionsTransfers) {
    answer = ftpCertTrustOnce;
    TRemotePane pane{session, files, dirs, &window};
    pane.LocalFolder = [this] { return work.Path(); };
    ShowFileList();
    session.ConnectToServer(&profile);
    ASSERT_TRUE(qttest::WaitUntil([&] { return Listed(); })) << (messages.empty() ? "" : messages.front());
    Select({"index.htm"});
    pane.itmSrvFilesDownloadClick();
    AwaitQueue(pane);
    EXPECT_EQ(qttest::ReadFile(work.File("index.htm")), "<html></html>");
    EXPECT_EQ(asked.size(), 1u);
    Disconnect();
}

TEST(FrmCertificate, ShowsTheCertificateAndTakesEachAnswer) {
    TSslCertificateInfo certificate;
    certificate.Subject = "CN=ftp.example.com";
    certificate.Issuer = "CN=ftp.example.com";
    certificate.NotBefore = "Jan  1 00:00:00 2026 GMT";
    certificate.NotAfter = "Jan  1 00:00:00 2027 GMT";
    // As long as a real one, which was cut off at the window's width.
    certificate.Sha256 = "F6:23:B3:C8:97:D7:E4:42:50:87:29:FD:8D:09:F7:73:D7:87:DF:EE:7C:AC:3B:45:8F:1E:C1:2D:A6:90:9E:56";
    certificate.Reason = "self-signed certificate";
    struct Case {
        const char* press;
        TFtpCertificateDecision expected;
    };
    for (const Case& c : {Case{"always", ftpCertTrustAlways}, Case{"once", ftpCertTrustOnce}, Case{"refuse", ftpCertRefuse},
                          Case{"escape", ftpCertRefuse}}) {
        SCOPED_TRACE(c.press);
        TfrmCertificate dialog;
        dialog.Show("ftp.example.com:21", certificate, std::string(c.press) == "refuse");
        dialog.show();
        const QString details = dialog.lblDetails->text();
        for (const char* part : {"CN=ftp.example.com", "self-signed certificate", "F6:23:B3", "9E:56", "2027"})
            EXPECT_TRUE(details.contains(QString::fromLatin1(part))) << part;
        ASSERT_TRUE(qttest::WaitUntil([&] { return dialog.isVisible(); }));
        EXPECT_EQ(qttest::CutOffTexts(&dialog), std::vector<std::string>{});
        EXPECT_TRUE(dialog.btnRefuse->isDefault()) << "Enter refuses";
        EXPECT_EQ(dialog.lblWarning->text().contains(QStringLiteral("CHANGED")), std::string(c.press) == "refuse");
        const std::string press = c.press;
        if (press == "always") dialog.btnTrustAlways->click();
        if (press == "once") dialog.btnTrustOnce->click();
        if (press == "refuse") dialog.btnRefuse->click();
        if (press == "escape") QTest::keyClick(&dialog, Qt::Key_Escape);
        EXPECT_EQ(dialog.Result(), c.expected);
        EXPECT_FALSE(dialog.isVisible());
    }
}
