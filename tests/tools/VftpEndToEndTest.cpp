// vftp as a user runs it: the real executable against real servers on
// loopback, judged by its output, its files and its exit status.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>

#include "tests/tools/VftpServerTest.h"

namespace {

class VftpAgainstServer : public VftpServerTest {};

}  // namespace

TEST_P(VftpAgainstServer, EveryCommandOnce) {
    const std::string content = RandomBytes(100000, 7);
    ASSERT_TRUE(WriteFile(local_.File("site.bin"), content));

    Outcome r = Vftp({"-q", "put", "site.bin", Url("")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFile(Remote("site.bin")), content);

    r = Vftp({"append", "site.bin", Url("site.bin")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFile(Remote("site.bin")), content + content);

    r = Vftp({"size", Url("site.bin")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "200000\n");

    r = Vftp({"-a", "get", Url("site.bin"), "copy.bin"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFile(local_.File("copy.bin")), content + content);

    r = Vftp({"get", Url("site.bin"), "-"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, content + content);

    r = Vftp({"mkdir", Url("docs")});
    ASSERT_EQ(r.status, 0) << r.err;
    r = Vftp({"mv", Url("site.bin"), "docs/moved.bin"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(FileExists(Remote("docs/moved.bin")));

    r = Vftp({"ls", Url("docs/")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("moved.bin"), std::string::npos) << r.out;
    r = Vftp({"nls", Url("docs/")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("moved.bin"), std::string::npos) << r.out;

    r = Vftp({"pwd", Url("docs")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out.size() >= 6 && r.out.compare(r.out.size() - 6, 6, "/docs\n") == 0) << r.out;

    r = Vftp({"quote", Url(""), "NOOP"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, 3), "200");

    r = Vftp({"chmod", "600", Url("docs/moved.bin")});
    if (GetParam() == "pyftpdlib") {
        ASSERT_EQ(r.status, 0) << r.err;
        struct stat info {};
        ASSERT_EQ(stat(Remote("docs/moved.bin").c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0600u);
    } else {
        // Anonymous users may not change modes here: the refusal is reported, not hidden.
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err.rfind("vftp: 5", 0), 0u) << r.err;
    }

    r = Vftp({"rm", Url("docs/moved.bin")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_FALSE(FileExists(Remote("docs/moved.bin")));
    r = Vftp({"rmdir", Url("docs")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_FALSE(FileExists(Remote("docs")));
}

TEST_P(VftpAgainstServer, FailuresExitWithOneAndTheServersWords) {
    Outcome r = Vftp({"get", Url("missing.txt"), "missing.txt"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind("vftp: 550", 0), 0u) << r.err;

    r = Vftp({"put", "no-such-local-file", Url("")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Unable to open local file"), std::string::npos) << r.err;

    const std::string wrong =
        "ftp://" + server_->User() + ":" + server_->WrongPassword() + "@127.0.0.1:" + std::to_string(server_->Port()) + "/";
    r = Vftp({"-v", "ls", wrong});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("vftp: 530"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("> PASS *****"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find(server_->WrongPassword()), std::string::npos) << "password printed: " << r.err;

    // A second command smuggled in a name is refused before anything is sent.
    ASSERT_TRUE(WriteFile(Remote("b"), "keep me"));
    r = Vftp({"rm", Url("a%0D%0ADELE%20b")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("line break"), std::string::npos) << r.err;
    EXPECT_TRUE(FileExists(Remote("b")));
}

TEST_P(VftpAgainstServer, ResumesAPartialDownload) {
    const std::string content = RandomBytes(300000, 11);
    ASSERT_TRUE(WriteFile(Remote("big.bin"), content));
    ASSERT_TRUE(WriteFile(local_.File("big.bin"), content.substr(0, 123456)));
    const Outcome r = Vftp({"-c", "-v", "get", Url("big.bin")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("> REST 123456"), std::string::npos) << r.err;
    EXPECT_EQ(ReadFile(local_.File("big.bin")), content);
}

// Text mode converts line ends as Unix clients do, and a listing is plain
// LF text that line tools count right. A text download does not resume.
TEST_P(VftpAgainstServer, TextModeAndListingsGiveLfLineEnds) {
    const std::string script = "#!/bin/sh\necho \"hello\"\n\nexit 0\n";
    ASSERT_TRUE(WriteFile(local_.File("hello.cgi"), script));
    Outcome r = Vftp({"-q", "--ascii", "put", "hello.cgi", Url("")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFile(Remote("hello.cgi")), script) << "the server stores its own (LF) line ends";
    r = Vftp({"-q", "--ascii", "get", Url("hello.cgi"), "back.cgi"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFile(local_.File("back.cgi")), script);

    ASSERT_TRUE(WriteFile(Remote("dos.txt"), "one\r\ntwo\r\n"));
    r = Vftp({"--ascii", "get", Url("dos.txt"), "-"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "one\ntwo\n");
    r = Vftp({"get", Url("dos.txt"), "-"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "one\r\ntwo\r\n") << "binary, the default, keeps every byte";

    r = Vftp({"ls", Url("")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.find('\r'), std::string::npos) << r.out;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 2) << r.out;

    ASSERT_TRUE(WriteFile(local_.File("dos.txt"), "one\n"));
    r = Vftp({"-c", "--ascii", "get", Url("dos.txt")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Resume is not possible in text mode"), std::string::npos) << r.err;
    EXPECT_EQ(ReadFile(local_.File("dos.txt")), "one\n");
}

TEST_P(VftpAgainstServer, EmptyListingAndEmptyFileAreSuccess) {
    ASSERT_EQ(mkdir(Remote("empty").c_str(), 0755), 0);
    ASSERT_TRUE(WriteFile(Remote("zero.bin"), ""));
    Outcome r = Vftp({"ls", Url("empty/")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    r = Vftp({"nls", Url("empty/")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    r = Vftp({"get", Url("zero.bin"), "-"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    r = Vftp({"get", Url("zero.bin")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(FileExists(local_.File("zero.bin")));
    EXPECT_EQ(ReadFile(local_.File("zero.bin")), "");
}

INSTANTIATE_TEST_SUITE_P(RealServers, VftpAgainstServer, ::testing::Values("pyftpdlib", "vsftpd"));

TEST(Vftp, UsageErrorsAndUnreachableServers) {
    TempDir here;
    Outcome r = RunVftp({"frobnicate", "ftp://127.0.0.1/"}, here.Path(), here.Path());
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("usage: vftp"), std::string::npos);
    r = RunVftp({"ls", "http://127.0.0.1/"}, here.Path(), here.Path());
    EXPECT_EQ(r.status, 2);
    r = RunVftp({"--help"}, here.Path(), here.Path());
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("chmod MODE URL"), std::string::npos);

    const int closedPort = FindFreePort();
    r = RunVftp({"-t", "10", "ls", "ftp://127.0.0.1:" + std::to_string(closedPort) + "/"}, here.Path(), here.Path());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "vftp: 500 Connection refused (Winsock error #10061)\n");
}
