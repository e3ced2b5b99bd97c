// Bulk transfers: sending from the caller's own block, receiving into a
// pipe, the bound on one read notification, and readiness that nobody waits
// for.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "platform/MessageLoop.h"
#include "tests/net/NetTestSupport.h"

using namespace nettest;

namespace {

struct Marker : platform::MessageTarget {
    platform::MessageWindow window{this};
    std::function<void()> onMessage;
    platform::LParam HandleMessage(std::uint32_t, platform::WParam, platform::LParam) override {
        if (onMessage) onMessage();
        return 0;
    }
};

// Waits for the loop's next message; counts the waits that ended with
// nothing to do. A readiness that is reported again and again although no
// notification can follow would make that count run away.
int EmptyWakesUntil(const std::atomic<bool>& done) {
    int empty = 0;
    for (int round = 0; round < 10000 && !done; ++round) {
        if (!platform::WaitMessage(5000)) ++empty;
        platform::ProcessMessages();
    }
    return empty;
}

}  // namespace

TEST(WSocketBulk, TrySendTakesWhatTheKernelTakesQueuesNothingAndNoticesOnce) {
    Link c;
    c.Open();
    const std::string block = RandomBytes(16u << 20, 5);
    const int taken = c.socket.TrySend(block.data(), static_cast<int>(block.size()));
    ASSERT_GT(taken, 0);
    ASSERT_LT(taken, static_cast<int>(block.size())) << "a peer that reads nothing fills the kernel's buffers";
    EXPECT_TRUE(c.socket.SendQueue().empty() || c.socket.SendQueue().front()->Unread() == 0);
    PumpFor(50);
    EXPECT_EQ(c.log.Count("sent 0"), 1) << "nothing is noticed while the kernel takes nothing";

    // Draining the peer makes room: one notice.
    EXPECT_TRUE(Read(c.peer, static_cast<std::size_t>(taken)) == block.substr(0, static_cast<std::size_t>(taken)));
    ASSERT_TRUE(PumpUntil([&] { return c.log.Count("sent 0") == 2; }));

    // Several sends in one turn of the loop bring one notice, not one each.
    PumpFor(100);
    const int before = c.log.Count("sent 0");
    EXPECT_EQ(c.socket.TrySend("ab", 2), 2);
    EXPECT_EQ(c.socket.Send("cd", 2), 2);
    EXPECT_EQ(c.socket.TrySend("ef", 2), 2);
    EXPECT_EQ(c.log.Count("sent 0"), before) << "never inside the call";
    PumpFor(100);
    EXPECT_EQ(c.log.Count("sent 0"), before + 1);
    EXPECT_EQ(Read(c.peer, 6), "abcdef");

    // Not while something waits in the queue (it would overtake it), and not
    // on a closed socket.
    ASSERT_EQ(c.socket.Send(block.data(), static_cast<int>(block.size())), static_cast<int>(block.size()));
    EXPECT_EQ(c.socket.TrySend("x", 1), -1);
    EXPECT_EQ(c.socket.LastError(), 10057);
    c.socket.Close();
    EXPECT_EQ(c.socket.TrySend("x", 1), -1);
}

// 3 MiB wait in the kernel before the first notification; a handler that
// takes 64 KiB per call would empty them all in that one notification, and a
// window would not repaint meanwhile. After about 1 MiB the loop gets its
// turn; the rest follows with the next notifications, in order.
TEST(WSocketBulk, OneReadNotificationGivesTheLoopItsTurnAfterAboutOneMebibyte) {
    Link c;
    c.log.readSize = 64 * 1024;
    c.Open();
    const std::string payload = RandomBytes(3u << 20, 8);
    ASSERT_TRUE(WriteAll(c.peer, payload));
    Marker marker;
    std::size_t readWhenMarked = 0;
    bool marked = false;
    marker.onMessage = [&] {
        marked = true;
        readWhenMarked = c.log.received.size();
    };
    c.log.afterRead = [&] {
        if (c.log.received.size() <= 64 * 1024) (void)marker.window.Post(1, 0, 0);
    };
    ASSERT_TRUE(PumpUntil([&] { return c.log.received.size() == payload.size(); }));
    EXPECT_TRUE(marked);
    EXPECT_LE(readWhenMarked, (1u << 20) + 64 * 1024);
    EXPECT_TRUE(c.log.received == payload);
}

TEST(WSocketBulk, ReceiveToPipeTakesBytesPastTheProcessButHeldBytesComeFirst) {
    Link c;
    c.log.readSize = 0;  // the handler leaves the bytes: the socket holds them
    c.Open();
    int fds[2];
    ASSERT_EQ(pipe2(fds, O_CLOEXEC), 0);
    ASSERT_TRUE(WriteAll(c.peer, "held"));
    ASSERT_TRUE(PumpUntil([&] { return c.log.Count("data") > 0; }));
    PumpFor(50);
    char buffer[64];
    EXPECT_EQ(c.socket.ReceiveToPipe(fds[1], 64), -1);
    EXPECT_EQ(c.socket.LastError(), 10045);
    ASSERT_EQ(c.socket.Receive(buffer, sizeof buffer), 4);
    EXPECT_EQ(std::string(buffer, 4), "held");

    // A handler that takes its bytes with ReceiveToPipe.
    int moved = -1;
    c.log.afterRead = [&] { moved = c.socket.ReceiveToPipe(fds[1], 64); };
    ASSERT_TRUE(WriteAll(c.peer, "piped"));
    ASSERT_TRUE(PumpUntil([&] { return moved > 0; }));
    EXPECT_EQ(moved, 5);
    EXPECT_EQ(read(fds[0], buffer, sizeof buffer), 5);
    EXPECT_EQ(std::string(buffer, 5), "piped");
    EXPECT_EQ(c.socket.ReadCount(), 9);
    c.ClosePeer();
    EXPECT_TRUE(PumpUntil([&] { return moved == 0; })) << "0 when the peer has closed";
    close(fds[0]);
    close(fds[1]);
}

// A splice that comes back short may only have filled the pipe: the peer's
// close must still bring every byte that waits, not just the first pipeful.
TEST(WSocketBulk, EverythingWaitingAtThePeersCloseArrivesThroughASmallPipe) {
    Link c;
    c.Open(false);
    int fds[2];
    ASSERT_EQ(pipe2(fds, O_CLOEXEC), 0);
    ASSERT_GT(fcntl(fds[1], F_SETPIPE_SZ, 4096), 0);
    std::string arrived;
    bool closed = false;
    c.socket.OnDataAvailable = [&](TCustomWSocket* s, std::uint16_t) {
        const int moved = s->ReceiveToPipe(fds[1], 65536);
        char buffer[65536];
        for (int left = moved; left > 0;) {
            const ssize_t got = read(fds[0], buffer, sizeof buffer);
            ASSERT_GT(got, 0);
            arrived.append(buffer, static_cast<std::size_t>(got));
            left -= static_cast<int>(got);
        }
    };
    c.socket.OnSessionClosed = [&](TCustomWSocket*, std::uint16_t) { closed = true; };
    const std::string payload = RandomBytes(1u << 20, 12);
    ASSERT_TRUE(WriteAll(c.peer, payload));
    c.ClosePeer();
    ASSERT_TRUE(PumpUntil([&] { return closed; }));
    EXPECT_EQ(arrived.size(), payload.size());
    EXPECT_TRUE(arrived == payload);
    close(fds[0]);
    close(fds[1]);
}

// Readiness stays with the kernel for a while after its notification was
// posted (it saves re-arming it); once the notification was handled without
// re-arming, the loop must go back to sleeping.
TEST(WSocketBulk, ReadinessNobodyWaitsForDoesNotKeepWakingTheLoop) {
    struct Row {
        const char* name;
        std::size_t unread;  // bytes the peer sends that nobody reads
    };
    for (const Row& row : {Row{"writable, nothing to send", 0}, Row{"readable, handler reads nothing", 300000}}) {
        Link c;
        c.log.readSize = 0;
        c.Open();
        ASSERT_TRUE(row.unread == 0 || WriteAll(c.peer, std::string(row.unread, 'r')));
        std::atomic<bool> done{false};
        Marker marker;
        marker.onMessage = [&] { done = true; };
        std::thread poster([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            (void)platform::PostMessage(marker.window.Handle(), 1, 0, 0);
        });
        const int empty = EmptyWakesUntil(done);
        poster.join();
        EXPECT_LE(empty, 3) << row.name;
    }
}
