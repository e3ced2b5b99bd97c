// Line mode and the synchronous waits, against a plain peer that writes the
// pieces of each case one arrival at a time.
#include <gtest/gtest.h>

#include "platform/MessageLoop.h"
#include "platform/Ticks.h"
#include "tests/net/NetTestSupport.h"

using namespace nettest;

namespace {

struct LineRun : Link {
    explicit LineRun(const std::string& lineEnd = "\r\n") {
        socket.SetLineMode(true);
        socket.SetLineEnd(lineEnd);
        Open();
    }
    // One arrival, fully taken in by the socket before returning.
    void Arrive(const std::string& bytes) {
        ASSERT_TRUE(WriteAll(peer, bytes));
        ASSERT_TRUE(PumpUntil([&] { return socket.RcvdCount() == 0; }));
        PumpFor(20);
    }
};

}  // namespace

// Each arrival, then every read so far and the bytes held back. Closing
// drops held bytes, so none leak into the next connection.
TEST(LineMode, ArrivalsGiveCompleteLinesOnly) {
    struct Step {
        std::string arrival;
        Events reads;
        int held;
    };
    struct Row {
        const char* name;
        std::string lineEnd;
        int readSize;
        std::vector<Step> steps;
    };
    const std::vector<Row> rows = {
        {"end across arrivals",
         "\r\n",
         4096,
         {{"A\r\nB", {"A\r\n"}, 1}, {"\r", {"A\r\n"}, 2}, {"\nC\r\nD\r\n", {"A\r\n", "B\r\n", "C\r\n", "D\r\n"}, 0}}},
        {"small reader takes one line in pieces",
         "\r\n",
         2,
         {{"abc\r\nxy", {"ab", "c\r", "\n"}, 2}, {"\r\n", {"ab", "c\r", "\n", "xy", "\r\n"}, 0}}},
        {"custom end", "||", 4096, {{"a|b||c|", {"a|b||"}, 2}, {"|", {"a|b||", "c||"}, 0}}},
        {"empty end passes bytes as they come", "", 4096, {{"raw\r\nbytes", {"raw\r\nbytes"}, 0}}},
        {"partial line waits", "\r\n", 4096, {{"partial", {}, 7}}},
    };
    for (const Row& row : rows) {
        LineRun run(row.lineEnd);
        run.log.readSize = row.readSize;
        for (const Step& step : row.steps) {
            run.Arrive(step.arrival);
            EXPECT_EQ(run.log.reads, step.reads) << row.name << " after " << step.arrival;
            EXPECT_EQ(run.socket.LineBufferCount(), step.held) << row.name << " after " << step.arrival;
        }
        run.socket.Close();
        EXPECT_EQ(run.socket.LineBufferCount(), 0) << row.name;
    }
}

TEST(LineMode, LastLineWithoutEndComesBeforeTheClose) {
    LineRun run;
    run.log.events.clear();
    ASSERT_TRUE(WriteAll(run.peer, "one\r\ntail"));
    run.ClosePeer();
    ASSERT_TRUE(PumpUntil([&] { return run.socket.State() == wsClosed; }));
    EXPECT_EQ(run.log.reads, (Events{"one\r\n", "tail"}));
    EXPECT_EQ(run.log.events, (Events{"data", "closed 0 in connected", "state connected->closed"}));
}

TEST(LineMode, SwitchedOffMidLineTheRestFollowsInOrder) {
    LineRun run;
    run.log.readSize = 1;
    run.log.afterRead = [&] {
        run.socket.SetLineMode(false);
        run.log.readSize = 4;
        run.log.afterRead = nullptr;
    };
    run.Arrive("first\r\nsecond\r\n");
    ASSERT_TRUE(PumpUntil([&] { return run.socket.LineBufferCount() == 0; }));
    run.Arrive("third");
    EXPECT_EQ(run.log.reads.front(), "f");
    EXPECT_EQ(run.log.received, "first\r\nsecond\r\nthird");
}

// Held bytes meet a change of mode: off delivers them raw; switching back on
// (without reading) delivers the complete lines among them and keeps a
// partial line waiting.
TEST(LineMode, SwitchingBackOnDeliversHeldCompleteLinesOnly) {
    LineRun run;
    run.log.afterRead = [&] {
        run.socket.SetLineMode(false);
        run.log.readSize = 0;
        run.log.afterRead = [&] {
            run.log.readSize = 64;
            run.log.afterRead = nullptr;
            run.socket.SetLineMode(true);
        };
    };
    run.Arrive("a\r\nb\r\nc");
    PumpFor(100);
    EXPECT_EQ(run.log.reads, (Events{"a\r\n", "b\r\n"}));
    EXPECT_EQ(run.socket.LineBufferCount(), 1);
    run.Arrive("\r\n");
    EXPECT_EQ(run.log.reads, (Events{"a\r\n", "b\r\n", "c\r\n"}));
}

TEST(SyncWait, WaitsForTheFlagWhileEventsFlowAndStopsOnTimeOutOrApplicationEnd) {
    RawListener listener;
    TWSocket socket;
    bool connected = false;
    socket.OnSessionConnected = [&](TCustomWSocket*, std::uint16_t) { connected = true; };
    socket.SetAddr("127.0.0.1");
    socket.SetPort(listener.PortText());
    socket.SetWaitTimeout(5000);
    EXPECT_EQ(socket.CallAndWait([&] { socket.Connect(); }, connected), 0);
    EXPECT_EQ(socket.State(), wsConnected);

    bool never = false;
    socket.SetWaitTimeout(200);
    const std::uint32_t start = platform::GetTickCount();
    EXPECT_EQ(socket.WaitUntilDone(never), WaitTimedOut);
    const std::uint32_t elapsed = platform::GetTickCount() - start;
    EXPECT_GE(elapsed, 190u);
    EXPECT_LT(elapsed, 2000u);

    socket.SetWaitTimeout(0);
    platform::SetApplicationTerminated(true);
    EXPECT_EQ(socket.WaitUntilDone(never), WaitTimedOut);
    platform::SetApplicationTerminated(false);
}
