// The send queue, large transfers and the receive loop's handling of handlers
// that read little or nothing.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>

#include "tests/net/NetTestSupport.h"

using namespace nettest;

TEST(TBuffer, AppendPeekConsumeAndResizeKeepTheirCounts) {
    TBuffer block(0);
    EXPECT_EQ(block.Capacity(), 1514);
    EXPECT_EQ(block.Append(std::string(1000, 'a').data(), 1000), 1000);
    EXPECT_EQ(block.Append(std::string(1000, 'b').data(), 1000), 514);
    EXPECT_EQ(block.Append("c", 1), 0);
    int unread = 0;
    EXPECT_EQ(std::string(block.Peek(unread) + 999, 2), "ab");
    EXPECT_EQ(block.Consume(1500), 1500);
    EXPECT_EQ(block.Consume(100), 14);  // never past the written bytes
    EXPECT_EQ(block.WriteCount(), 0);   // drained: reused from the start
    EXPECT_EQ(block.Peek(unread), nullptr);
    EXPECT_EQ(unread, 0);

    block.Append("xyz", 3);
    block.Resize(4000);
    EXPECT_EQ(std::string(block.Peek(unread), 3), "xyz");
    block.Resize(2);  // shrinking keeps only what fits
    EXPECT_EQ(block.WriteCount(), 2);
    EXPECT_EQ(block.Append("q", 1), 0);
}

TEST(WSocketData, SendQueueFillsFixedBlocksAndTopsUpTheLast) {
    struct QueueProbe : TWSocket {
        using TCustomWSocket::AppendToSendBuffer;
    } socket;
    using Blocks = std::vector<std::pair<int, int>>;
    const auto blocks = [&] {
        Blocks b;
        for (const auto& block : socket.SendQueue()) b.emplace_back(block->Capacity(), block->WriteCount());
        return b;
    };
    socket.AppendToSendBuffer(std::string(3000, 'x').data(), 3000);
    EXPECT_EQ(blocks(), (Blocks{{1514, 1514}, {1514, 1486}}));
    socket.AppendToSendBuffer(std::string(100, 'x').data(), 100);
    EXPECT_EQ(blocks(), (Blocks{{1514, 1514}, {1514, 1514}, {1514, 72}}));
    socket.AppendToSendBuffer("yy", 2);
    EXPECT_EQ(blocks().back(), (std::pair<int, int>{1514, 74}));
}

// 64 MiB in one Send: it returns at once with the queue backed up, the queue
// drains through write notifications and its blocks are freed, everything
// arrives in order, and OnDataSent comes only once the queue is empty.
TEST(WSocketData, LargeSendArrivesWholeAndInOrder) {
    constexpr std::size_t kSize = 64u << 20;
    Link c;
    c.Open();
    int dataSent = 0;
    bool sentBeforeDrained = false;
    c.socket.OnDataSent = [&](TCustomWSocket* s, std::uint16_t) {
        ++dataSent;
        sentBeforeDrained |= !s->AllSent();
    };
    std::string payload(kSize, '\0');
    for (std::uint32_t i = 0; i < kSize / 4; ++i) std::memcpy(&payload[i * 4], &i, 4);
    EXPECT_EQ(c.socket.Send(payload.data(), static_cast<int>(kSize)), static_cast<int>(kSize));
    EXPECT_FALSE(c.socket.AllSent());
    EXPECT_EQ(dataSent, 0);
    EXPECT_TRUE(Read(c.peer, kSize, 60000) == payload);
    EXPECT_TRUE(PumpUntil([&] { return dataSent > 0; }));
    EXPECT_FALSE(sentBeforeDrained);
    EXPECT_LE(c.socket.SendQueue().size(), 1u);
}

// A bound handler that returns without reading would otherwise be called
// again at once, for ever. The loop must end, keep the bytes (a line stays
// first in line) and offer them again at the next arrival. Data nobody
// wants is read and dropped.
TEST(WSocketData, HandlersThatDoNotReadNeitherSpinNorLoseData) {
    struct Row {
        const char* name;
        bool lineMode;
        std::string first, second;
        int maxCalls;
    };
    for (const Row& row : {Row{"raw", false, "first", "second", 2}, Row{"lines", true, "one\r\n", "two\r\n", 1}}) {
        Link c;
        c.socket.SetLineMode(row.lineMode);
        c.Open();
        int calls = 0;
        c.log.readSize = 0;
        c.log.afterRead = [&] { ++calls; };
        ASSERT_TRUE(WriteAll(c.peer, row.first));
        ASSERT_TRUE(PumpUntil([&] { return calls > 0; }));
        PumpFor(100);
        EXPECT_LE(calls, row.maxCalls) << row.name;
        c.log.readSize = 64;
        ASSERT_TRUE(WriteAll(c.peer, row.second));
        EXPECT_TRUE(PumpUntil([&] { return c.log.received == row.first + row.second; }, 2000)) << row.name;
    }

    Link c;
    c.Open(false);
    ASSERT_TRUE(WriteAll(c.peer, std::string(300000, 'z')));
    EXPECT_TRUE(PumpUntil([&] { return c.socket.RcvdCount() == 0; }, 3000));
    c.ClosePeer();
    EXPECT_TRUE(PumpUntil([&] { return c.socket.State() == wsClosed; }));
}
