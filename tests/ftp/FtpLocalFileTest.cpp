// Share modes of the transfer's local file, mapped onto advisory locks, and
// the transfer statistics line.
#include <gtest/gtest.h>
#include <unistd.h>

#include "ftp/FtpLocalFile.h"
#include "ftp/FtpPipe.h"
#include "ftp/Ftpcli.h"
#include "tests/support/TempDir.h"

namespace {

constexpr std::uint16_t kExclusive = 0x10;
constexpr std::uint16_t kDenyWrite = 0x20;
constexpr std::uint16_t kDenyNone = 0x40;

TEST(FtpLocalFile, ShareModesDecideWhoMayOpenTheFileToo) {
    TempDir dir;
    const std::string path = dir.File("shared.bin");
    ASSERT_TRUE(WriteFile(path, "keep me"));

    auto writer = FtpLocalFile::OpenForWrite(path, kExclusive, 0);
    ASSERT_TRUE(writer);
    EXPECT_FALSE(FtpLocalFile::OpenForRead(path, kDenyWrite, 0)) << "exclusive shuts out readers that lock";
    EXPECT_FALSE(FtpLocalFile::OpenForDownload(path, kExclusive)) << "and writers";
    EXPECT_EQ(ReadFile(path), "keep me");
    EXPECT_TRUE(FtpLocalFile::OpenForRead(path, kDenyNone, 0)) << "deny-none takes no lock";
    writer.reset();

    auto reader = FtpLocalFile::OpenForRead(path, kDenyWrite, 0);
    ASSERT_TRUE(reader);
    EXPECT_TRUE(FtpLocalFile::OpenForRead(path, kDenyWrite, 0)) << "readers share";
    EXPECT_FALSE(FtpLocalFile::OpenForWrite(path, kExclusive, 0));
}

TEST(FtpLocalFile, ADownloadEmptiesOnlyOnRequestAndDiscardsOnlyWhatItCreated) {
    TempDir dir;
    ASSERT_TRUE(WriteFile(dir.File("old"), "keep me"));
    auto existing = FtpLocalFile::OpenForDownload(dir.File("old"), kExclusive);
    ASSERT_TRUE(existing);
    EXPECT_EQ(ReadFile(dir.File("old")), "keep me") << "opening leaves the bytes";
    existing->Discard();
    EXPECT_EQ(ReadFile(dir.File("old")), "keep me") << "a file that was there stays";

    auto fresh = FtpLocalFile::OpenForDownload(dir.File("new"), kExclusive);
    ASSERT_TRUE(fresh);
    EXPECT_TRUE(FileExists(dir.File("new")));
    fresh->Discard();
    EXPECT_FALSE(FileExists(dir.File("new")));

    auto emptied = FtpLocalFile::OpenForDownload(dir.File("old"), kExclusive);
    ASSERT_TRUE(emptied && emptied->Truncate());
    EXPECT_EQ(ReadFile(dir.File("old")), "");
}

// Bytes in a pipe reach the file without passing through the process; a
// target that cannot take them that way says so, and the bytes are still in
// the pipe for a plain write.
TEST(FtpLocalFile, WriteFromPipeMovesBytesOrSaysItCannot) {
    TempDir dir;
    auto pipe = FtpPipe::Open(256 * 1024);
    ASSERT_TRUE(pipe);
    EXPECT_GE(pipe->Capacity(), 4096);
    EXPECT_LE(pipe->Capacity(), 256 * 1024);
    const std::string bytes = RandomBytes(3000, 4);
    auto file = FtpLocalFile::OpenForDownload(dir.File("piped.bin"), kExclusive);
    ASSERT_TRUE(file);
    ASSERT_EQ(::write(pipe->WriteEnd(), bytes.data(), bytes.size()), 3000);
    bool unsupported = true;
    EXPECT_EQ(file->WriteFromPipe(pipe->ReadEnd(), 3000, unsupported), 3000);
    EXPECT_FALSE(unsupported);
    EXPECT_TRUE(file->Close());
    EXPECT_TRUE(ReadFile(dir.File("piped.bin")) == bytes);

    auto full = FtpLocalFile::OpenForWrite("/dev/full", kDenyNone, 0);
    ASSERT_TRUE(full);
    ASSERT_EQ(::write(pipe->WriteEnd(), "xyz", 3), 3);
    EXPECT_EQ(full->WriteFromPipe(pipe->ReadEnd(), 3, unsupported), 0);
    EXPECT_TRUE(unsupported);
    char left[8];
    EXPECT_EQ(pipe->Read(left, sizeof left), 3);
}

TEST(TransferStats, LineAndRateFormula) {
    EXPECT_EQ(TCustomFtpCli::TransferStatsLine(0, 0), "! 0 bytes received/sent in 0 seconds");
    EXPECT_EQ(TCustomFtpCli::TransferStatsLine(20000, 3000), "! 20000 bytes received/sent in 3 seconds (6666 Bytes/sec)");
    EXPECT_EQ(TCustomFtpCli::TransferStatsLine(100000, 3000), "! 100000 bytes received/sent in 3 seconds (33000 Bytes/sec)");
    EXPECT_EQ(TCustomFtpCli::TransferStatsLine(3LL << 30, 1500),
              "! 3221225472 bytes received/sent in 1 seconds (2147483000 Bytes/sec)");
}

}  // namespace
