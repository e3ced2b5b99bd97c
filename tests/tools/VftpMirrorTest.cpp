// vftp mirror, multi-file get and put, and rm -r against real servers on
// loopback, judged by what reached the server's disk and the local one.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "ftp/FtpLocalTimes.h"
#include "tests/tools/VftpServerTest.h"

namespace {

namespace fs = std::filesystem;

// Every entry below `root` by relative path: a file's bytes, "<dir>" for a folder.
std::map<std::string, std::string> Snapshot(const std::string& root) {
    std::map<std::string, std::string> entries;
    if (!fs::exists(root)) return entries;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::string relative = fs::relative(entry.path(), root).string();
        entries[relative] = entry.is_directory() ? "<dir>" : ReadFile(entry.path().string());
    }
    return entries;
}

class VftpMirror : public VftpServerTest {
protected:
    void MakeSite() {
        fs::create_directories(local_.File("site/css/print"));
        fs::create_directories(local_.File("site/empty"));
        ASSERT_TRUE(WriteFile(local_.File("site/index.html"), "<html>home</html>"));
        ASSERT_TRUE(WriteFile(local_.File("site/.htaccess"), "deny from none"));
        ASSERT_TRUE(WriteFile(local_.File("site/logo.bin"), RandomBytes(200000, 5)));
        ASSERT_TRUE(WriteFile(local_.File("site/css/a.css"), "a{}"));
        ASSERT_TRUE(WriteFile(local_.File("site/css/print/p.css"), "p{}"));
        ASSERT_TRUE(WriteFile(local_.File("site/notes.tmp"), "left out"));
    }
};

// A server whose FEAT offers MLST and MFMT: listings with exact times and
// names, and uploads that get the local file's time.
using VftpMirrorExact = VftpServerTest;

constexpr std::int64_t kYear2001 = 1000000000;

}  // namespace

TEST_P(VftpMirrorExact, TimesKeptBothWaysNamesExactAndLinkLoopsWalkedOnce) {
    fs::create_directories(local_.File("site/sub"));
    ASSERT_TRUE(WriteFile(local_.File("site/  lead and  inner.txt"), "blanks"));
    ASSERT_TRUE(WriteFile(local_.File("site/sub/old.txt"), "old"));
    ASSERT_TRUE(SetLocalFileTime(local_.File("site/sub/old.txt"), kYear2001));
    Outcome r = Vftp({"mirror", "-R", "site", Url("www")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Snapshot(Remote("www")), Snapshot(local_.File("site")));
    EXPECT_EQ(LocalFileTime(Remote("www/sub/old.txt")), kYear2001);
    r = Vftp({"mirror", "-R", "site", Url("www")});
    EXPECT_NE(r.out.find("mirror: 0 files transferred (0 B), 2 skipped"), std::string::npos) << r.out << r.err;

    // Both sides exact and kept: an older source is a change as well.
    ASSERT_TRUE(SetLocalFileTime(local_.File("site/sub/old.txt"), kYear2001 - 3600));
    r = Vftp({"mirror", "-R", "--dry-run", "site", Url("www")});
    EXPECT_NE(r.out.find("upload    sub/old.txt  (3 bytes; time differs)"), std::string::npos) << r.out;

    // The server follows links in its machine listing: two loops in one
    // folder would be walked without end.
    fs::create_directory_symlink(".", Remote("www/sub/loop"));
    fs::create_directory_symlink(".", Remote("www/sub/loop2"));
    r = Vftp({"mirror", Url("www"), "copy"});
    ASSERT_EQ(r.status, 0) << r.err;
    auto expected = Snapshot(local_.File("site"));
    EXPECT_EQ(Snapshot(local_.File("copy")), expected);
    EXPECT_EQ(LocalFileTime(local_.File("copy/sub/old.txt")), kYear2001);
    r = Vftp({"mirror", Url("www"), "copy"});
    EXPECT_NE(r.out.find("mirror: 0 files transferred (0 B), 2 skipped"), std::string::npos) << r.out << r.err;
}

TEST_P(VftpMirror, UpAndDownAgainLeavesBothSidesAlike) {
    ASSERT_NO_FATAL_FAILURE(MakeSite());
    Outcome r = Vftp({"mirror", "-R", "--parallel", "3", "-x", "*.tmp", "site", Url("www")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("mirror: 5 files transferred"), std::string::npos) << r.out;
    auto expected = Snapshot(local_.File("site"));
    expected.erase("notes.tmp");
    EXPECT_EQ(Snapshot(Remote("www")), expected);

    r = Vftp({"mirror", "-R", "-x", "*.tmp", "site", Url("www")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("mirror: 0 files transferred (0 B), 5 skipped, 0 failed"), std::string::npos) << r.out;

    // The server's copy changes; downloading brings the change and the rest.
    ASSERT_TRUE(WriteFile(Remote("www/css/a.css"), "a{color:red}"));
    r = Vftp({"mirror", "--parallel", "2", Url("www"), "copy"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Snapshot(local_.File("copy")), Snapshot(Remote("www")));
    r = Vftp({"mirror", Url("www"), "copy"});
    EXPECT_NE(r.out.find("mirror: 0 files transferred"), std::string::npos) << r.out << r.err;

    // What the source no longer has goes only with --delete.
    fs::remove_all(local_.File("site/css"));
    r = Vftp({"mirror", "-R", "-x", "*.tmp", "site", Url("www")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(FileExists(Remote("www/css/print/p.css")));
    r = Vftp({"mirror", "-R", "--delete", "-x", "*.tmp", "site", Url("www")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_FALSE(FileExists(Remote("www/css")));
    EXPECT_EQ(Snapshot(Remote("www")).size(), 4u);
}

TEST_P(VftpMirror, DryRunPrintsThePlanAndChangesNothing) {
    ASSERT_NO_FATAL_FAILURE(MakeSite());
    fs::create_directories(Remote("www/old"));
    ASSERT_TRUE(WriteFile(Remote("www/old/gone.html"), "old"));
    ASSERT_TRUE(WriteFile(Remote("www/index.html"), "<html>older home</html>"));
    const auto remoteBefore = Snapshot(Remote("www"));
    const auto localBefore = Snapshot(local_.Path());

    Outcome r = Vftp({"mirror", "-R", "--delete", "--dry-run", "site", Url("www")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("delete    old/gone.html"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("upload    index.html"), std::string::npos) << r.out;
    r = Vftp({"mirror", "--delete", "--dry-run", Url("www"), "site"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("delete    logo.bin"), std::string::npos) << r.out;
    EXPECT_EQ(Snapshot(Remote("www")), remoteBefore);
    EXPECT_EQ(Snapshot(local_.Path()), localBefore);
}

TEST_P(VftpMirror, SeveralFilesOverOneConnectionAndATreeRemoved) {
    ASSERT_TRUE(WriteFile(local_.File("a.txt"), "alpha"));
    ASSERT_TRUE(WriteFile(local_.File("b.bin"), RandomBytes(70000, 9)));
    ASSERT_EQ(Vftp({"mkdir", Url("up")}).status, 0);
    Outcome r = Vftp({"put", "a.txt", "b.bin", Url("up/")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFile(Remote("up/b.bin")), ReadFile(local_.File("b.bin")));

    fs::create_directories(local_.File("down"));
    r = Vftp({"get", Url("up/a.txt"), Url("up/b.bin"), Url("up/missing"), "down/"});
    EXPECT_EQ(r.status, 1) << "one of three failed";
    EXPECT_NE(r.err.find("missing"), std::string::npos) << r.err;
    EXPECT_EQ(Snapshot(local_.File("down")), Snapshot(Remote("up")));

    fs::create_directories(Remote("up/deep/er"));
    ASSERT_TRUE(WriteFile(Remote("up/deep/er/x"), "x"));
    r = Vftp({"rm", "-r", Url("up")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_FALSE(FileExists(Remote("up")));
}

INSTANTIATE_TEST_SUITE_P(Servers, VftpMirror, ::testing::Values("pyftpdlib", "vsftpd"));
INSTANTIATE_TEST_SUITE_P(Servers, VftpMirrorExact, ::testing::Values("pyftpdlib"));
