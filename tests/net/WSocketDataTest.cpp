// The send queue, large transfers and the receive loop's handling of handlers
// that read little or nothing.
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "tests/net/NetTestSupport.h"

using namespace nettest;

namespace {

class QueueProbe : public TWSocket {
public:
    using TCustomWSocket::AppendToSendBuffer;
};

std::vector<std::pair<int, int>> Blocks(const TCustomWSocket& socket) {
    std::vector<std::pair<int, int>> blocks;
    for (const auto& block : socket.SendQueue()) blocks.emplace_back(block->Capacity(), block->WriteCount());
    return blocks;
}

}  // namespace

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

TEST(WSocketData, SendQueueFillsFixedBlocks) {
    QueueProbe socket;
    socket.AppendToSendBuffer(std::string(3000, 'x').data(), 3000);
    EXPECT_EQ(Blocks(socket), (std::vector<std::pair<int, int>>{{1514, 1514}, {1514, 1486}}));

    QueueProbe other;
    other.AppendToSendBuffer(std::string(3100, 'x').data(), 3100);
    EXPECT_EQ(Blocks(other), (std::vector<std::pair<int, int>>{{1514, 1514}, {1514, 1514}, {1514, 72}}));
    // A later append tops up the last block before adding one.
    other.AppendToSendBuffer("yy", 2);
    EXPECT_EQ(Blocks(other).back(), (std::pair<int, int>{1514, 74}));
}

TEST(WSocketData, SendWhileNotConnectedIsReportedAndCloses) {
    TWSocket socket;
    try {
        socket.SendText("x");
        FAIL() << "Send on a closed socket must be refused";
    } catch (const ESocketException& e) {
        EXPECT_STREQ(e.what(), "Error 10057 in function Send\r\nSocket is not connected");
    }
    EXPECT_EQ(socket.LastError(), 10057);

    // While connecting, with OnError bound: OnError, -1, and the handle is gone.
    RawListener listener;
    int errors = 0;
    socket.OnError = [&](TCustomWSocket*) { ++errors; };
    socket.SetAddr("127.0.0.1");
    socket.SetPort(listener.PortText());
    socket.Connect();
    ASSERT_EQ(socket.State(), wsConnecting);
    EXPECT_EQ(socket.SendText("x"), -1);
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(socket.State(), wsClosed);
    EXPECT_EQ(socket.SocketHandle(), platform::kInvalidSocket);
    PumpFor(50);
}

TEST(WSocketData, EmptySendQueuesNothingAndDataSentFollowsFromTheLoop) {
    RawListener listener;
    TWSocket socket;
    EventLog log;
    log.Attach(socket);
    socket.SetAddr("127.0.0.1");
    socket.SetPort(listener.PortText());
    socket.Connect();
    const int peer = listener.AcceptPumping();
    ASSERT_TRUE(PumpUntil([&] { return log.Count("sent 0") == 1; }));
    EXPECT_EQ(socket.Send("", 0), 0);
    EXPECT_EQ(log.Count("sent 0"), 1);  // not inside Send
    EXPECT_TRUE(PumpUntil([&] { return log.Count("sent 0") == 2; }));
    close(peer);
}

// 64 MiB against a peer that reads slowly: everything arrives in order, the
// queue drains through write notifications, and OnDataSent comes only after
// the queue is empty.
TEST(WSocketData, LargeSendArrivesWholeAndInOrder) {
    constexpr std::size_t kSize = 64u << 20;
    RawListener listener;
    TWSocket socket;
    int dataSent = 0;
    bool sendReturned = false;
    bool sentBeforeDrained = false;
    socket.OnDataSent = [&](TCustomWSocket* s, std::uint16_t) {
        if (!sendReturned) return;
        ++dataSent;
        if (!s->AllSent()) sentBeforeDrained = true;
    };
    const int peer = ConnectPumping(socket, listener);
    ASSERT_GE(peer, 0);

    std::string payload(kSize, '\0');
    for (std::size_t i = 0; i < kSize; i += 4) {
        const std::uint32_t v = static_cast<std::uint32_t>(i / 4);
        std::memcpy(&payload[i], &v, 4);
    }
    std::atomic<std::size_t> matched{0};
    std::atomic<bool> mismatch{false};
    std::thread reader([&] {
        std::vector<char> buffer(256 * 1024);
        std::size_t at = 0;
        int reads = 0;
        while (at < kSize) {
            pollfd p{peer, POLLIN, 0};
            if (poll(&p, 1, 20000) != 1) break;
            const ssize_t n = recv(peer, buffer.data(), buffer.size(), 0);
            if (n <= 0) break;
            if (std::memcmp(buffer.data(), payload.data() + at, static_cast<std::size_t>(n)) != 0) mismatch = true;
            at += static_cast<std::size_t>(n);
            matched = at;
            if (++reads < 50) usleep(2000);  // slow at first, so the queue backs up
        }
    });
    EXPECT_EQ(socket.Send(payload.data(), static_cast<int>(kSize)), static_cast<int>(kSize));
    sendReturned = true;
    EXPECT_FALSE(socket.AllSent());
    const bool done = PumpUntil([&] { return matched == kSize && dataSent > 0; }, 60000);
    reader.join();
    close(peer);
    EXPECT_TRUE(done);
    EXPECT_EQ(matched.load(), kSize);
    EXPECT_FALSE(mismatch.load());
    EXPECT_FALSE(sentBeforeDrained);
    EXPECT_LE(socket.SendQueue().size(), 1u);  // drained blocks were freed
}

// A bound handler that returns without reading would otherwise be called
// again at once, for ever. The loop must end, keep the bytes, and call the
// handler again at the next arrival.
TEST(WSocketData, HandlerThatDoesNotReadNeitherSpinsNorLosesData) {
    RawListener listener;
    TWSocket socket;
    int calls = 0;
    bool readNow = false;
    std::string received;
    socket.OnDataAvailable = [&](TCustomWSocket* s, std::uint16_t) {
        ++calls;
        if (!readNow) return;
        char buffer[64];
        const int n = s->Receive(buffer, sizeof buffer);
        if (n > 0) received.append(buffer, static_cast<std::size_t>(n));
    };
    const int peer = ConnectPumping(socket, listener);
    ASSERT_GE(peer, 0);
    ASSERT_TRUE(WriteAll(peer, "first"));
    ASSERT_TRUE(PumpUntil([&] { return calls > 0; }));
    PumpFor(100);
    EXPECT_LE(calls, 2);
    EXPECT_EQ(socket.RcvdCount(), 5);

    readNow = true;
    ASSERT_TRUE(WriteAll(peer, "second"));
    ASSERT_TRUE(PumpUntil([&] { return received == "firstsecond"; }, 2000)) << received;
    close(peer);
    ASSERT_TRUE(PumpUntil([&] { return socket.State() == wsClosed; }));
}

TEST(WSocketData, DataNobodyWantsIsReadAndDropped) {
    RawListener listener;
    TWSocket socket;
    const int peer = ConnectPumping(socket, listener);
    ASSERT_TRUE(WriteAll(peer, std::string(300000, 'z')));
    EXPECT_TRUE(PumpUntil([&] { return socket.RcvdCount() == 0; }, 3000));
    close(peer);
    ASSERT_TRUE(PumpUntil([&] { return socket.State() == wsClosed; }));
}
