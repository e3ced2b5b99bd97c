// Listings and transfers against real servers, in passive and active mode.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "ftp/FtpLocalFile.h"
#include "tests/ftp/RealServerFixture.h"

namespace {

using Transfer = RealServer;

// A file of `size` bytes that holds no data except `tail` at its end.
bool WriteSparse(const std::string& path, std::int64_t size, const std::string& tail) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return false;
    bool ok = ::ftruncate(fd, static_cast<off_t>(size)) == 0;
    const auto at = static_cast<off_t>(size - static_cast<std::int64_t>(tail.size()));
    ok = ok && ::pwrite(fd, tail.data(), tail.size(), at) == static_cast<ssize_t>(tail.size());
    return ::close(fd) == 0 && ok;
}

std::string ReadTail(const std::string& path, std::int64_t from) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    std::string bytes(1 << 20, '\0');
    const ssize_t got = fd < 0 ? -1 : ::pread(fd, bytes.data(), bytes.size(), static_cast<off_t>(from));
    if (fd >= 0) ::close(fd);
    bytes.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return bytes;
}

TEST_P(Transfer, DownloadsAndUploadsAreByteExact) {
    ASSERT_TRUE(ftp.Login()) << ftp.ErrorMessage();
    ASSERT_TRUE(ftp.TransferType());
    for (const std::size_t size : {0u, 1u, 1514u, 1515u, 20u << 20}) {
        SCOPED_TRACE(size);
        const std::string name = "f" + std::to_string(size);
        const std::string content = RandomBytes(size, static_cast<unsigned>(size) + 7);
        ASSERT_TRUE(WriteFile(ServerFile(name), content));
        ftp.HostFileName = name;
        ftp.LocalFileName = local.File(name);
        ASSERT_TRUE(ftp.Retrieve()) << ftp.ErrorMessage();
        EXPECT_TRUE(ReadFile(local.File(name)) == content) << "download differs";
        EXPECT_EQ(ftp.ByteCount(), static_cast<std::int64_t>(size));

        ftp.HostFileName = "up" + name;
        ASSERT_TRUE(ftp.Store()) << ftp.ErrorMessage();
        EXPECT_TRUE(ReadFile(ServerFile("up" + name)) == content) << "upload differs";
    }
    probe.Settle();
    EXPECT_TRUE(probe.Displayed("! 0 bytes received/sent in 0 seconds") ||
                probe.Displayed("! 0 bytes received/sent in 0 seconds (0 Bytes/sec)"));
    EXPECT_TRUE(ftp.Connected());
}

TEST_P(Transfer, ListAndNameListToFileAndToDisplay) {
    ASSERT_TRUE(WriteFile(ServerFile("alpha.txt"), "a"));
    ASSERT_TRUE(WriteFile(ServerFile("beta.txt"), "bb"));
    ASSERT_TRUE(ftp.Login()) << ftp.ErrorMessage();
    ftp.LocalFileName = local.File("listing");
    ASSERT_TRUE(ftp.List()) << ftp.ErrorMessage();
    const std::string listing = ReadFile(local.File("listing"));
    EXPECT_NE(listing.find("alpha.txt"), std::string::npos) << listing;
    EXPECT_NE(listing.find("beta.txt"), std::string::npos) << listing;

    ftp.BeginNameList();
    ASSERT_TRUE(probe.WaitDone(3));
    EXPECT_EQ(probe.done[2].request, ftpReqNameList);
    EXPECT_EQ(probe.done[2].error, 0);
    const std::string names = ReadFile(local.File("listing"));
    EXPECT_NE(names.find("alpha.txt"), std::string::npos) << names;
    EXPECT_EQ(names.find("-r"), std::string::npos) << "a name list holds only names";

    ftp.DisplayFileFlag = true;
    ftp.LocalFileName.clear();
    ASSERT_TRUE(ftp.List()) << ftp.ErrorMessage();
    ASSERT_EQ(probe.fileLines.size(), 2u) << ::testing::PrintToString(probe.fileLines);
    EXPECT_NE(probe.fileLines[0].find("alpha.txt"), std::string::npos);
    EXPECT_NE(probe.fileLines[1].find("beta.txt"), std::string::npos);
}

TEST_P(Transfer, AsciiModeConvertsLineEnds) {
    ASSERT_TRUE(WriteFile(ServerFile("unix.txt"), "one\ntwo\n"));
    ASSERT_TRUE(WriteFile(local.File("dos.txt"), "three\r\nfour\r\n"));
    ASSERT_TRUE(ftp.Login()) << ftp.ErrorMessage();
    ASSERT_TRUE(ftp.RunAndWait([&] { ftp.BeginTypeAscii(); }));
    EXPECT_EQ(ftp.TypeChar(), 'A');
    ftp.HostFileName = "unix.txt";
    ftp.LocalFileName = local.File("got.txt");
    ASSERT_TRUE(ftp.Retrieve()) << ftp.ErrorMessage();
    EXPECT_EQ(ReadFile(local.File("got.txt")), "one\ntwo\n");
    ftp.HostFileName = "stored.txt";
    ftp.LocalFileName = local.File("dos.txt");
    ASSERT_TRUE(ftp.Store()) << ftp.ErrorMessage();
    EXPECT_EQ(ReadFile(ServerFile("stored.txt")), "three\nfour\n");
}

TEST_P(Transfer, AppendAddsToTheRemoteFile) {
    ASSERT_TRUE(WriteFile(ServerFile("log.txt"), "first-"));
    ASSERT_TRUE(WriteFile(local.File("more.txt"), "second"));
    ASSERT_TRUE(ftp.Login()) << ftp.ErrorMessage();
    ftp.HostFileName = "log.txt";
    ftp.LocalFileName = local.File("more.txt");
    ASSERT_TRUE(ftp.RunAndWait([&] { ftp.BeginAppend(); })) << ftp.ErrorMessage();
    EXPECT_TRUE(ftp.AppendMode());
    EXPECT_EQ(ReadFile(ServerFile("log.txt")), "first-second");
    probe.Settle();
    EXPECT_EQ(probe.done.back().request, ftpReqAppend);
}

TEST_P(Transfer, ResumeContinuesAPartialDownload) {
    const std::string content = RandomBytes(300000, 42);
    ASSERT_TRUE(WriteFile(ServerFile("big.bin"), content));
    ASSERT_TRUE(WriteFile(local.File("big.bin"), content.substr(0, 123456)));
    std::int64_t firstCount = -1;
    ftp.OnProgress = [&](TCustomFtpCli*, std::int64_t count, bool&) {
        if (firstCount < 0) firstCount = count;
    };
    ASSERT_TRUE(ftp.Login()) << ftp.ErrorMessage();
    ASSERT_TRUE(ftp.TransferType());
    ftp.HostFileName = "big.bin";
    ftp.LocalFileName = local.File("big.bin");
    ASSERT_TRUE(ftp.RestartRetrieve()) << ftp.ErrorMessage();
    EXPECT_TRUE(ReadFile(local.File("big.bin")) == content);
    EXPECT_EQ(firstCount, 123456);
    EXPECT_EQ(ftp.ByteCount(), 300000 - 123456);
    EXPECT_EQ(ftp.ResumeAt, 0) << "no offset is left for the next transfer";
    EXPECT_EQ(ftp.ResumedAt(), 123456);

    // Without a local file no REST is sent and the whole file comes.
    ftp.LocalFileName = local.File("fresh.bin");
    ASSERT_TRUE(ftp.RestartRetrieve()) << ftp.ErrorMessage();
    EXPECT_EQ(ftp.ResumedAt(), 0);
    EXPECT_TRUE(ReadFile(local.File("fresh.bin")) == content);
    EXPECT_EQ(std::count(probe.display.begin(), probe.display.end(), "> REST 123456"), 1);
}

TEST_P(Transfer, AbortFromProgressFailsAndKeepsControlConnection) {
    ASSERT_TRUE(WriteFile(ServerFile("huge.bin"), RandomBytes(8u << 20, 3)));
    ASSERT_TRUE(WriteFile(local.File("huge-up.bin"), RandomBytes(8u << 20, 4)));
    ftp.OnProgress = [](TCustomFtpCli*, std::int64_t count, bool& abort) { abort = count > 200000; };
    ASSERT_TRUE(ftp.Login()) << ftp.ErrorMessage();
    ftp.HostFileName = "huge.bin";
    ftp.LocalFileName = local.File("huge.bin");
    EXPECT_FALSE(ftp.Retrieve());
    EXPECT_TRUE(probe.Displayed("! Abort requested"));
    EXPECT_LT(GetLocalFileSize(local.File("huge.bin")), 8 << 20);
    ASSERT_TRUE(ftp.Pwd()) << "control connection still in step: " << ftp.ErrorMessage();

    ftp.HostFileName = "huge-up.bin";
    ftp.LocalFileName = local.File("huge-up.bin");
    EXPECT_FALSE(ftp.Store()) << "an aborted upload is not a success";
    ftp.OnProgress = nullptr;
    ASSERT_TRUE(ftp.Pwd()) << ftp.ErrorMessage();
}

TEST_P(Transfer, MissingRemoteFileLeavesTheLocalFileAlone) {
    ASSERT_TRUE(WriteFile(local.File("stale.bin"), "old bytes"));
    ASSERT_TRUE(ftp.Login()) << ftp.ErrorMessage();
    ftp.HostFileName = "no-such-file";
    ftp.LocalFileName = local.File("stale.bin");
    EXPECT_FALSE(ftp.Retrieve());
    EXPECT_EQ(ftp.ResultCode(), 550);
    EXPECT_EQ(ReadFile(local.File("stale.bin")), "old bytes");
    probe.Settle();
    EXPECT_EQ(probe.done.back().request, ftpReqRetrieve);
    EXPECT_EQ(probe.done.back().error, 550);
}

TEST_P(Transfer, UnusableLocalFilesFailClearly) {
    ASSERT_TRUE(WriteFile(ServerFile("some.bin"), RandomBytes(200000, 9)));
    ASSERT_TRUE(ftp.Login()) << ftp.ErrorMessage();
    ftp.HostFileName = "some.bin";
    ftp.LocalFileName = local.File("missing-dir/x.bin");
    EXPECT_FALSE(ftp.Retrieve());
    EXPECT_EQ(ftp.ResultCode(), 550);
    EXPECT_EQ(ftp.ErrorMessage(), "Unable to open local file " + local.File("missing-dir/x.bin"));

    ftp.SetErrorMessage("");
    ftp.HostFileName = "never.bin";
    ftp.LocalFileName = local.File("absent.bin");
    EXPECT_FALSE(ftp.Store());
    EXPECT_EQ(ftp.ErrorMessage(), "426 Unable to open local file " + local.File("absent.bin"));
    EXPECT_TRUE(probe.Displayed("! 426 Unable to open local file " + local.File("absent.bin")));

    // A full disk: every write fails; the download must not look complete.
    ASSERT_EQ(::symlink("/dev/full", local.File("full.bin").c_str()), 0);
    ftp.SetErrorMessage("");
    ftp.HostFileName = "some.bin";
    ftp.LocalFileName = local.File("full.bin");
    // /dev/full is one file for every test process: do not lock it.
    ftp.SetShareMode(ftpShareDenyNone);
    EXPECT_FALSE(ftp.Retrieve());
    EXPECT_TRUE(probe.Displayed("! Error writing local file")) << ::testing::PrintToString(probe.display);
    EXPECT_NE(ftp.ResultCode(), 0);

    // A file that cannot be read (a folder opens but does not read).
    ftp.SetErrorMessage("");
    ftp.HostFileName = "folder.bin";
    ftp.LocalFileName = local.Path();
    EXPECT_FALSE(ftp.Store());
    EXPECT_TRUE(probe.Displayed("! Error reading file"));
    ASSERT_TRUE(ftp.Pwd()) << ftp.ErrorMessage();
}

TEST_P(Transfer, ThreeGigabyteFileResumesAndAppendsAboveTwoGigabytes) {
    constexpr std::int64_t kSize = 3LL << 30;
    const std::string tail = RandomBytes(1 << 20, 11);
    ASSERT_TRUE(WriteSparse(ServerFile("sparse.bin"), kSize, tail));
    ASSERT_TRUE(WriteSparse(local.File("sparse.bin"), kSize - static_cast<std::int64_t>(tail.size()), ""));
    std::int64_t lastCount = 0;
    ftp.OnProgress = [&](TCustomFtpCli*, std::int64_t count, bool&) { lastCount = count; };
    ASSERT_TRUE(ftp.Login()) << ftp.ErrorMessage();
    ASSERT_TRUE(ftp.TransferType());
    ftp.HostFileName = "sparse.bin";
    ASSERT_TRUE(ftp.Size()) << ftp.ErrorMessage();
    EXPECT_EQ(ftp.RemoteFileSize(), kSize);
    ftp.LocalFileName = local.File("listing");
    ASSERT_TRUE(ftp.List()) << ftp.ErrorMessage();
    EXPECT_NE(ReadFile(local.File("listing")).find("3221225472"), std::string::npos);

    ftp.LocalFileName = local.File("sparse.bin");
    ASSERT_TRUE(ftp.RestartRetrieve()) << ftp.ErrorMessage();
    EXPECT_EQ(GetLocalFileSize(local.File("sparse.bin")), kSize);
    EXPECT_TRUE(ReadTail(local.File("sparse.bin"), kSize - (1 << 20)) == tail);
    EXPECT_EQ(lastCount, kSize);

    // Upload from an offset above 2 GiB: the server holds the head, the
    // tail is appended from the local file's position.
    ASSERT_TRUE(WriteSparse(ServerFile("up.bin"), kSize - (1 << 20), ""));
    ftp.HostFileName = "up.bin";
    ftp.ResumeAt = kSize - (1 << 20);
    ASSERT_TRUE(ftp.RunAndWait([&] { ftp.BeginAppend(); })) << ftp.ErrorMessage();
    EXPECT_EQ(GetLocalFileSize(ServerFile("up.bin")), kSize);
    EXPECT_TRUE(ReadTail(ServerFile("up.bin"), kSize - (1 << 20)) == tail);
}

TEST_P(Transfer, SelfContainedTransfersReportTheirTypeAndTheReplyBeforeQuit) {
    const std::string content = RandomBytes(70000, 21);
    ASSERT_TRUE(WriteFile(ServerFile("whole.bin"), content));
    ftp.HostFileName = "whole.bin";
    ftp.LocalFileName = local.File("whole.bin");
    ftp.BeginSessionRetrieve();
    ASSERT_TRUE(probe.WaitDone(1, 15000));
    EXPECT_EQ(probe.done[0].request, ftpReqSessionRetrieve);
    EXPECT_EQ(probe.done[0].error, 0);
    EXPECT_EQ(ftp.StatusCode(), 226);
    EXPECT_FALSE(ftp.Connected());
    EXPECT_TRUE(ReadFile(local.File("whole.bin")) == content);

    ftp.HostFileName = "copy.bin";
    ftp.BeginSessionStore();
    EXPECT_EQ(ftp.RequestType(), ftpReqSessionStore);
    ASSERT_TRUE(probe.WaitDone(2, 15000));
    EXPECT_EQ(probe.done[1].request, ftpReqStore) << "the STOR step reports itself";
    EXPECT_EQ(probe.done[1].error, 0);
    EXPECT_EQ(ftp.StatusCode(), 226);
    EXPECT_TRUE(ReadFile(ServerFile("copy.bin")) == content);
}

INSTANTIATE_TEST_SUITE_P(Modes, Transfer,
                         ::testing::Values("pyftpdlib_passive", "pyftpdlib_active", "vsftpd_passive", "vsftpd_active"),
                         ServerName);

}  // namespace
