// Browsing a real server's folders through the remote pane: the rows must be
// the server's entries, with their sizes and kinds, links resolved.
#include <sys/stat.h>
#include <unistd.h>

#include <QAbstractItemView>
#include <QTest>
#include <fstream>
#include <map>

#include "session/RemotePane.h"
#include "tests/session/SessionFixture.h"
#include "tests/support/FtpServerProcess.h"
#include "tests/support/PyFtpdServer.h"
#include "tests/support/TempDir.h"
#include "tests/support/VsftpdServer.h"

namespace {

struct Entry {
    std::string size;
    bool folder;
    bool operator==(const Entry&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Entry& e) { return out << (e.folder ? "folder " : "file ") << e.size; }

class RemoteBrowse : public SessionFixture, public ::testing::WithParamInterface<std::string> {
protected:
    void SetUp() override {
        ASSERT_TRUE(server->Start()) << server->Error();
        const std::string site = server->Root() + "/site";
        ::mkdir(site.c_str(), 0755);
        ::mkdir((site + "/sub").c_str(), 0755);
        std::ofstream(site + "/index.htm") << "<html></html>";
        std::ofstream(site + "/empty.txt");
        std::ofstream(site + "/big.bin") << std::string(70000, 'b');
        std::ofstream(site + "/sub/inner.txt") << "inner";
        ASSERT_EQ(::symlink("index.htm", (site + "/home.htm").c_str()), 0);
        ASSERT_EQ(::symlink("sub", (site + "/pics").c_str()), 0);
        session.ListingTempFile = work.File("listing.tmp");
        RecordMessages();
        ShowFileList();
    }

    std::map<std::string, Entry> Rows() const {
        std::map<std::string, Entry> rows;
        for (int row = 0; row < files->Count(); ++row)
            rows[files->Caption(row)] = {files->ColumnText(row, TRemoteFileModel::colSize), files->Model()->IsFolder(row)};
        return rows;
    }

    void DoubleClick(const std::string& name) {
        int row = 0;
        while (row < files->Count() && files->Caption(row) != name) ++row;
        QAbstractItemView* view = files->CurrentView();
        const QPoint at = view->visualRect(files->Model()->index(row, 0)).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
    }

    std::unique_ptr<FtpServerProcess> server = GetParam() == "vsftpd" ? std::unique_ptr<FtpServerProcess>(new VsftpdServer)
                                                                      : std::unique_ptr<FtpServerProcess>(new PyFtpdServer);
    TempDir work;
    TRemotePane pane{session, files, dirs, &window};
};

TEST_P(RemoteBrowse, RowsAreTheServersEntries) {
    ConnectPassive(server->Port(), server->User(), server->Password(), "site");
    ASSERT_TRUE(messages.empty()) << messages.front();
    std::map<std::string, Entry> rows = Rows();
    rows.erase(".");
    rows.erase("..");
    const std::map<std::string, Entry> site = {
        {"index.htm", {"13", false}},
        {"empty.txt", {"0", false}},
        {"big.bin", {"70000", false}},
        // A link to a file takes the file's size; a link to a folder is one.
        {"home.htm", {"13", false}},
        {"sub", {rows["sub"].size, true}},
        {"pics", {rows["pics"].size, true}},
    };
    EXPECT_EQ(rows, site);
    EXPECT_EQ(files->Caption(0), ".");
    EXPECT_EQ(files->Caption(1), "..");

    DoubleClick("sub");
    rows = Rows();
    EXPECT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows["inner.txt"], (Entry{"5", false}));
    EXPECT_TRUE(session.CurrentRemoteDir.ends_with("/site/sub")) << session.CurrentRemoteDir;

    DoubleClick("..");
    EXPECT_EQ(Rows().count("big.bin"), 1u);
    EXPECT_TRUE(session.CurrentRemoteDir.ends_with("/site")) << session.CurrentRemoteDir;
    EXPECT_TRUE(messages.empty()) << messages.front();
    session.DisconnectAction();
}

INSTANTIATE_TEST_SUITE_P(RealServers, RemoteBrowse, ::testing::Values("pyftpdlib", "vsftpd"),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

}  // namespace
