// Transfers in large blocks against real servers, in passive and active
// mode: sizes on either side of a block edge, resuming from inside a block,
// progress that ends at the file size, and an abort that stops within one
// block.
#include <gtest/gtest.h>

#include <algorithm>

#include "ftp/FtpLocalFile.h"
#include "tests/ftp/RealServerFixture.h"

namespace {

using BlockEdges = RealServer;

constexpr std::int64_t kBlock = std::max(TCustomFtpCli::kReceiveBlock, TCustomFtpCli::kSendBlock);

// Every count OnProgress reported, in order.
struct ProgressLog {
    std::vector<std::int64_t> counts;
    void Attach(TFtpClient& ftp) {
        counts.clear();
        ftp.OnProgress = [this](TCustomFtpCli*, std::int64_t count, bool&) { counts.push_back(count); };
    }
    // Counts only grow, by at most one block at a time, from `from` to `to`.
    ::testing::AssertionResult Covers(std::int64_t from, std::int64_t to) const {
        if (counts.empty()) return ::testing::AssertionFailure() << "no progress at all";
        if (counts.front() != from) return ::testing::AssertionFailure() << "first count " << counts.front();
        if (counts.back() != to) return ::testing::AssertionFailure() << "last count " << counts.back();
        for (std::size_t i = 1; i < counts.size(); ++i) {
            const std::int64_t step = counts[i] - counts[i - 1];
            if (step < 0 || step > kBlock) return ::testing::AssertionFailure() << "step " << step << " at " << i;
        }
        return ::testing::AssertionSuccess();
    }
};

TEST_P(BlockEdges, SizesAroundABlockArriveWholeAndProgressEndsAtTheSize) {
    ProgressLog progress;
    ASSERT_TRUE(ftp.Login()) << ftp.ErrorMessage();
    ASSERT_TRUE(ftp.TransferType());
    for (const std::int64_t size : {std::int64_t{1}, kBlock - 1, kBlock + 1, 3 * kBlock + 7}) {
        SCOPED_TRACE(size);
        const std::string name = "e" + std::to_string(size);
        const std::string content = RandomBytes(static_cast<std::size_t>(size), static_cast<unsigned>(size));
        ASSERT_TRUE(WriteFile(ServerFile(name), content));
        ftp.HostFileName = name;
        ftp.LocalFileName = local.File(name);
        progress.Attach(ftp);
        ASSERT_TRUE(ftp.Retrieve()) << ftp.ErrorMessage();
        EXPECT_TRUE(ReadFile(local.File(name)) == content) << "download differs";
        EXPECT_TRUE(progress.Covers(0, size)) << "download";

        ftp.HostFileName = "up" + name;
        progress.Attach(ftp);
        ASSERT_TRUE(ftp.Store()) << ftp.ErrorMessage();
        EXPECT_TRUE(ReadFile(ServerFile("up" + name)) == content) << "upload differs";
        EXPECT_TRUE(progress.Covers(0, size)) << "upload";
        EXPECT_EQ(ftp.ByteCount(), size);
    }
}

TEST_P(BlockEdges, ResumeFromAnOffsetInsideABlock) {
    const std::int64_t size = 3 * kBlock + 7;
    const std::int64_t offset = kBlock + 12345;
    const std::string content = RandomBytes(static_cast<std::size_t>(size), 77);
    ASSERT_TRUE(WriteFile(ServerFile("part.bin"), content));
    ASSERT_TRUE(WriteFile(local.File("part.bin"), content.substr(0, static_cast<std::size_t>(offset))));
    ProgressLog progress;
    ASSERT_TRUE(ftp.Login()) << ftp.ErrorMessage();
    ASSERT_TRUE(ftp.TransferType());
    ftp.HostFileName = "part.bin";
    ftp.LocalFileName = local.File("part.bin");
    progress.Attach(ftp);
    ASSERT_TRUE(ftp.RestartRetrieve()) << ftp.ErrorMessage();
    EXPECT_TRUE(ReadFile(local.File("part.bin")) == content);
    EXPECT_TRUE(progress.Covers(offset, size));
    EXPECT_EQ(ftp.ByteCount(), size - offset);
}

// The handler asks to stop once two blocks have gone; nothing more moves
// after that, and what came stays.
TEST_P(BlockEdges, AbortStopsWithinOneBlockAndLeavesThePartialFile) {
    const std::size_t size = 16u << 20;
    ASSERT_TRUE(WriteFile(ServerFile("big.bin"), RandomBytes(size, 31)));
    const std::string upload = RandomBytes(size, 32);
    ASSERT_TRUE(WriteFile(local.File("up.bin"), upload));
    std::int64_t abortedAt = -1;
    ftp.OnProgress = [&](TCustomFtpCli*, std::int64_t count, bool& abort) {
        if (abortedAt < 0 && count >= 2 * kBlock) abortedAt = count;
        abort = abortedAt >= 0;
    };
    ASSERT_TRUE(ftp.Login()) << ftp.ErrorMessage();
    ASSERT_TRUE(ftp.TransferType());
    ftp.HostFileName = "big.bin";
    ftp.LocalFileName = local.File("big.bin");
    EXPECT_FALSE(ftp.Retrieve());
    EXPECT_TRUE(probe.Displayed("! Abort requested"));
    ASSERT_GT(abortedAt, 0);
    EXPECT_LT(abortedAt, 3 * kBlock);
    EXPECT_EQ(GetLocalFileSize(local.File("big.bin")), abortedAt) << "the blocks counted, and nothing after them";
    EXPECT_TRUE(ReadFile(local.File("big.bin")) ==
                ReadFile(ServerFile("big.bin")).substr(0, static_cast<std::size_t>(abortedAt)));
    ASSERT_TRUE(ftp.Pwd()) << "control connection still in step: " << ftp.ErrorMessage();

    abortedAt = -1;
    ftp.SetErrorMessage("");
    ftp.HostFileName = "up.bin";
    ftp.LocalFileName = local.File("up.bin");
    EXPECT_FALSE(ftp.Store());
    ASSERT_GT(abortedAt, 0);
    EXPECT_LT(abortedAt, 3 * kBlock);
    probe.Settle(200);
    const std::string arrived = ReadFile(ServerFile("up.bin"));
    EXPECT_LE(static_cast<std::int64_t>(arrived.size()), abortedAt);
    EXPECT_TRUE(arrived == upload.substr(0, arrived.size()));
    ftp.OnProgress = nullptr;
    ASSERT_TRUE(ftp.Pwd()) << ftp.ErrorMessage();
}

INSTANTIATE_TEST_SUITE_P(Modes, BlockEdges,
                         ::testing::Values("pyftpdlib_passive", "pyftpdlib_active", "vsftpd_passive", "vsftpd_active"),
                         ServerName);

}  // namespace
