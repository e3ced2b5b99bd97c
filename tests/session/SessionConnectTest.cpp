// Connecting a profile against a real server: the log, the lamps and
// buttons, the queued start-up commands, and the failures users meet.
#include <sys/stat.h>
#include <utime.h>

#include <fstream>

#include "tests/session/SessionFixture.h"
#include "tests/support/FtpServerProcess.h"
#include "tests/support/PyFtpdServer.h"
#include "tests/support/QtTestSupport.h"
#include "tests/support/VsftpdServer.h"
#include "tests/support/net/SocksProxyProcess.h"

namespace {

// Runs against pyftpdlib and against vsftpd.
class SessionConnect : public SessionFixture, public ::testing::WithParamInterface<std::string> {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.Start()) << server.Error();
        ::mkdir((server.Root() + "/site").c_str(), 0755);
        std::ofstream(server.Root() + "/site/index.htm") << "<html></html>";
        session.ListingTempFile = listing.File("listing.tmp");
        RecordMessages();
    }

    static std::unique_ptr<FtpServerProcess> MakeServer(const std::string& name) {
        if (name == "vsftpd") return std::make_unique<VsftpdServer>();
        return std::make_unique<PyFtpdServer>();
    }

    std::unique_ptr<FtpServerProcess> serverProcess = MakeServer(GetParam());
    FtpServerProcess& server = *serverProcess;
    TempDir listing;
};

std::vector<std::string> Names(const TRemoteListView* files) {
    std::vector<std::string> names;
    for (int row = 0; row < files->Count(); ++row) names.push_back(files->Caption(row));
    return names;
}

bool Visible(const QLabel* lamp) { return !lamp->isHidden(); }

// Control and data connections both through the profile's proxy, which
// wants a user; the profile's active mode turns passive there.
TEST_P(SessionConnect, AProfilesSocksProxyCarriesTheSession) {
    MicrosocksProxy proxy("proxyuser", "proxypass");
    ASSERT_TRUE(proxy.Start()) << proxy.Error();
    TFTPServer profile = Profile(server.Port(), server.User(), server.Password());
    profile.StartDir = "site";
    profile.PASV = TPasvMode::No;
    profile.SocksHost = "127.0.0.1";
    profile.SocksPort = std::to_string(proxy.Port());
    profile.SocksUser = "proxyuser";
    profile.SocksPassword = "proxypass";
    session.ConnectToServer(&profile);
    EXPECT_TRUE(messages.empty()) << messages.front();
    EXPECT_TRUE(session.SessionUp);
    EXPECT_EQ(Names(files), (std::vector<std::string>{".", "..", "index.htm"}));
    EXPECT_TRUE(LogHas("Command:    EPSV")) << "passive although the profile asks for active mode";
}

// Where the server offers MLSD the view reads it: names exactly as they
// are, exact sizes, and the UTC times in the user's zone.
TEST_P(SessionConnect, TheViewReadsMlsdWhereOffered) {
    if (GetParam() != "pyftpdlib") GTEST_SKIP() << "vsftpd offers no MLSD";
    const std::string blanks = server.Root() + "/site/  two leading blanks";
    std::ofstream(blanks, std::ios::binary) << std::string(4099, 'x');
    const struct utimbuf times { 981173106, 981173106 };  // 2001-02-03 04:05:06 UTC
    ASSERT_EQ(::utime(blanks.c_str(), &times), 0);
    const QByteArray zone = qgetenv("TZ");
    qputenv("TZ", "Asia/Kolkata");  // UTC+05:30 all year
    TFTPServer profile = Profile(server.Port(), server.User(), server.Password());
    profile.StartDir = "site";
    profile.PASV = TPasvMode::Yes;
    session.ConnectToServer(&profile);
    if (zone.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", zone);
    EXPECT_TRUE(messages.empty()) << messages.front();
    EXPECT_TRUE(LogHas("Command:    MLSD"));
    const int row = RowNamed("  two leading blanks");
    ASSERT_GE(row, 0);
    EXPECT_EQ(files->ColumnText(row, TRemoteFileModel::colSize), "4099");
    EXPECT_EQ(files->ColumnText(row, TRemoteFileModel::colModified), "Feb 3 2001 09:35");
    EXPECT_EQ(files->ColumnText(row, TRemoteFileModel::colPermission).substr(0, 4), "-rw-") << "UNIX.mode asked for";
    EXPECT_GE(RowNamed("index.htm"), 0);
}

TEST_P(SessionConnect, ConnectLogsTheDialogueAndQueuesTheStartFolder) {
    TFTPServer profile = Profile(server.Port(), server.User(), server.Password());
    profile.StartDir = "site";
    profile.PASV = TPasvMode::Yes;
    session.ConnectToServer(&profile);

    EXPECT_TRUE(messages.empty()) << messages.front();
    EXPECT_TRUE(LogHas("Status:     Looking up hostname \"127.0.0.1\" ..."));
    EXPECT_TRUE(LogHas("Status:     Trying to connect to 127.0.0.1 ..."));
    EXPECT_TRUE(LogHas("Command:    USER " + server.User()));
    EXPECT_EQ(LogCount("Command:    PASS *****"), 1);
    EXPECT_TRUE(LogHas("Status:     Connected !"));
    EXPECT_TRUE(LogHas("Command:    CWD site"));
    EXPECT_TRUE(LogHas("Command:    PWD"));
    for (const std::string& line : Log()) {
        EXPECT_EQ(line.find(server.Password()), std::string::npos) << line;
        EXPECT_NE(line.rfind("            > ", 0), 0u) << "echoed commands appear once: " << line;
    }
    bool replyShown = false;
    for (const std::string& line : Log()) replyShown |= line.rfind("            230", 0) == 0;
    EXPECT_TRUE(replyShown);
    // Commands are green, states blue.
    for (int i = 0; i < log->LineCount(); ++i) {
        if (log->LineText(i).rfind("Command:", 0) == 0) {
            EXPECT_EQ(log->LineColour(i), QColor(0, 128, 0));
        } else if (log->LineText(i).rfind("Status:", 0) == 0) {
            EXPECT_EQ(log->LineColour(i), QColor(0, 0, 255));
        }
    }

    EXPECT_TRUE(session.SessionUp);
    EXPECT_TRUE(Visible(lamps[0]) && !Visible(lamps[1]) && !Visible(lamps[2]) && Visible(lamps[3]));
    EXPECT_FALSE(connectAction->isEnabled());
    EXPECT_TRUE(refreshAction->isEnabled());
    EXPECT_TRUE(files->isEnabled());
    EXPECT_EQ(timePanel->text().left(13), QStringLiteral("Connected. (0"));
    // vsftpd shows the folder with its full path outside a changed root.
    EXPECT_TRUE(dirs->itemText(0).endsWith(QStringLiteral("/site"))) << dirs->itemText(0).toStdString();
    EXPECT_EQ(session.CurrentRemoteDir, dirs->itemText(0).toStdString());
    EXPECT_TRUE(session.CommandQueue.empty());
    EXPECT_EQ(Names(files), (std::vector<std::string>{".", "..", "index.htm"}));

    // Refresh: a listing and the folder again, which stays one history entry.
    std::ofstream(server.Root() + "/site/new.txt") << "x";
    session.QueueListing();
    session.QueuePrintDir();
    EXPECT_EQ(Names(files), (std::vector<std::string>{".", "..", "index.htm", "new.txt"}));
    EXPECT_EQ(dirs->count(), 1);

    session.DisconnectAction();
    EXPECT_TRUE(LogHas("Command:    QUIT"));
    EXPECT_FALSE(session.FTP.Connected());
    EXPECT_TRUE(!Visible(lamps[0]) && Visible(lamps[1]) && Visible(lamps[2]) && !Visible(lamps[3]));
    EXPECT_TRUE(connectAction->isEnabled());
    EXPECT_FALSE(refreshAction->isEnabled());
    EXPECT_FALSE(files->isEnabled());
    EXPECT_TRUE(qttest::WaitUntil([&] { return !session.SessionUp; }));
    EXPECT_EQ(timePanel->text(), QStringLiteral("Not connected."));
    EXPECT_TRUE(messages.empty());
}

TEST_P(SessionConnect, WrongPasswordIsReportedOnceAndLeavesNothingQueued) {
    TFTPServer profile = Profile(server.Port(), server.User(), server.WrongPassword());
    profile.StartDir = "site";
    session.ConnectToServer(&profile);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("530", 0), 0u) << messages[0];
    EXPECT_EQ(statusAtMessages[0], "Not connected.") << "beside the refusal";
    EXPECT_TRUE(session.CommandQueue.empty());
    EXPECT_FALSE(session.ConnectInProgress);
    EXPECT_FALSE(LogHas("Command:    CWD site"));
    EXPECT_FALSE(session.FTP.Connected());
    EXPECT_FALSE(session.ConnectedState());
    EXPECT_TRUE(session.FTP.ErrorMessage().empty());
    EXPECT_EQ(files->Count(), 0);
}

class SessionUnreachable : public SessionFixture {
protected:
    void SetUp() override { RecordMessages(); }
};

TEST_F(SessionUnreachable, ServersAreReportedWithTheHost) {
    struct Target {
        std::string host;
        int port;
    };
    for (const Target& target : {Target{"127.0.0.1", FindFreePort()}, Target{"no-such-host.invalid", 21}}) {
        messages.clear();
        TFTPServer profile = Profile(target.port, "tester", "x");
        profile.Hostname = target.host;
        session.ConnectToServer(&profile);
        ASSERT_EQ(messages.size(), 1u) << target.host;
        EXPECT_EQ(messages[0].rfind("Unable to connect to \"" + target.host + "\" :\r\n\r\n", 0), 0u) << messages[0];
        EXPECT_TRUE(session.CommandQueue.empty());
        EXPECT_FALSE(session.ConnectedState());
        EXPECT_FALSE(session.Busy);
    }
}

INSTANTIATE_TEST_SUITE_P(RealServers, SessionConnect, ::testing::Values("pyftpdlib", "vsftpd"),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

}  // namespace
