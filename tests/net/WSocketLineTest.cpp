// Line mode and the synchronous waits, against a plain peer that writes the
// pieces of each case one arrival at a time.
#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/MessageLoop.h"
#include "platform/Ticks.h"
#include "tests/net/NetTestSupport.h"

using namespace nettest;

namespace {

struct LineRun {
    RawListener listener;
    TWSocket socket;
    int peer = -1;
    int readSize = 4096;
    std::vector<std::string> reads;  // one entry per Receive that returned bytes
    std::vector<std::string> events;
    std::function<void(TCustomWSocket*)> onLine;  // extra step after each read

    LineRun() {
        socket.SetLineMode(true);
        socket.OnDataAvailable = [this](TCustomWSocket* s, std::uint16_t) {
            std::string buffer(static_cast<std::size_t>(readSize), '\0');
            const int n = s->Receive(buffer.data(), readSize);
            if (n > 0) reads.push_back(buffer.substr(0, static_cast<std::size_t>(n)));
            if (onLine) onLine(s);
        };
        socket.OnSessionClosed = [this](TCustomWSocket*, std::uint16_t) { events.push_back("closed"); };
        peer = ConnectPumping(socket, listener);
        EXPECT_GE(peer, 0);
    }
    ~LineRun() {
        if (peer >= 0) close(peer);
    }
    // One arrival, fully taken in by the socket before returning.
    void Arrive(const std::string& bytes) {
        ASSERT_TRUE(WriteAll(peer, bytes));
        ASSERT_TRUE(PumpUntil([&] { return socket.RcvdCount() == 0; }));
        PumpFor(20);
    }
};

using Reads = std::vector<std::string>;

}  // namespace

TEST(LineMode, CompleteLinesOnlyWithTheEndAcrossArrivals) {
    LineRun run;
    run.Arrive("A\r\nB");
    EXPECT_EQ(run.reads, Reads{"A\r\n"});
    EXPECT_EQ(run.socket.LineBufferCount(), 1);
    run.Arrive("\r");
    EXPECT_EQ(run.reads, Reads{"A\r\n"});
    run.Arrive("\nC\r\nD\r\n");
    EXPECT_EQ(run.reads, (Reads{"A\r\n", "B\r\n", "C\r\n", "D\r\n"}));
    EXPECT_EQ(run.socket.LineBufferCount(), 0);
}

TEST(LineMode, SmallReaderGetsOneLineInPiecesWithinOneArrival) {
    LineRun run;
    run.readSize = 2;
    run.Arrive("abc\r\nxy");
    EXPECT_EQ(run.reads, (Reads{"ab", "c\r", "\n"}));
    run.Arrive("\r\n");
    EXPECT_EQ(run.reads, (Reads{"ab", "c\r", "\n", "xy", "\r\n"}));
}

TEST(LineMode, LastLineWithoutEndComesBeforeTheClose) {
    LineRun run;
    run.socket.OnDataAvailable = [&](TCustomWSocket* s, std::uint16_t) {
        char buffer[64];
        const int n = s->Receive(buffer, sizeof buffer);
        if (n > 0) run.events.push_back("line " + std::string(buffer, static_cast<std::size_t>(n)));
    };
    ASSERT_TRUE(WriteAll(run.peer, "one\r\ntail"));
    close(run.peer);
    run.peer = -1;
    ASSERT_TRUE(PumpUntil([&] { return run.socket.State() == wsClosed; }));
    EXPECT_EQ(run.events, (std::vector<std::string>{"line one\r\n", "line tail", "closed"}));
}

TEST(LineMode, SwitchedOffMidLineTheRestFollowsInOrder) {
    LineRun run;
    run.readSize = 1;
    bool switched = false;
    run.onLine = [&](TCustomWSocket* s) {
        if (switched) return;
        switched = true;
        static_cast<TWSocket*>(s)->SetLineMode(false);
        run.readSize = 4;
    };
    run.Arrive("first\r\nsecond\r\n");
    ASSERT_TRUE(PumpUntil([&] { return run.socket.LineBufferCount() == 0; }));
    run.Arrive("third");
    std::string all;
    for (const auto& r : run.reads) all += r;
    EXPECT_EQ(run.reads.front(), "f");
    EXPECT_EQ(all, "first\r\nsecond\r\nthird");
}

TEST(LineMode, CustomLineEndAndEmptyLineEnd) {
    LineRun run;
    run.socket.SetLineEnd("||");
    run.Arrive("a|b||c|");
    EXPECT_EQ(run.reads, Reads{"a|b||"});
    run.Arrive("|");
    EXPECT_EQ(run.reads, (Reads{"a|b||", "c||"}));

    // An empty marker turns line handling off: bytes pass as they come.
    run.socket.SetLineEnd("");
    run.Arrive("raw\r\nbytes");
    EXPECT_EQ(run.reads.back(), "raw\r\nbytes");
}

// A line handler that returns without reading must not be called for ever;
// the line stays first in line and is offered again at the next arrival.
TEST(LineMode, HandlerThatDoesNotReadDoesNotSpin) {
    LineRun run;
    int calls = 0;
    bool read = false;
    run.socket.OnDataAvailable = [&](TCustomWSocket* s, std::uint16_t) {
        ++calls;
        if (!read) return;
        char buffer[64];
        const int n = s->Receive(buffer, sizeof buffer);
        if (n > 0) run.reads.emplace_back(buffer, static_cast<std::size_t>(n));
    };
    run.Arrive("one\r\n");
    EXPECT_EQ(calls, 1);
    read = true;
    run.Arrive("two\r\n");
    EXPECT_EQ(run.reads, (Reads{"one\r\n", "two\r\n"}));
}

// Held bytes meet a change of mode: off delivers them raw; switching back on
// delivers the complete lines among them and keeps a partial line waiting.
TEST(LineMode, SwitchingBackOnDeliversHeldCompleteLinesOnly) {
    LineRun run;
    int phase = 0;
    run.socket.OnDataAvailable = [&](TCustomWSocket* s, std::uint16_t) {
        auto* socket = static_cast<TWSocket*>(s);
        if (phase == 0) {  // first line: read it, then leave line mode
            char buffer[64];
            const int n = s->Receive(buffer, sizeof buffer);
            run.reads.emplace_back(buffer, static_cast<std::size_t>(n));
            socket->SetLineMode(false);
            phase = 1;
        } else if (phase == 1) {  // raw offer of the held bytes: go back to lines
            socket->SetLineMode(true);
            phase = 2;
        } else {
            char buffer[64];
            const int n = s->Receive(buffer, sizeof buffer);
            run.reads.emplace_back(buffer, static_cast<std::size_t>(n));
        }
    };
    run.Arrive("a\r\nb\r\nc");
    PumpFor(100);
    EXPECT_EQ(run.reads, (Reads{"a\r\n", "b\r\n"}));
    EXPECT_EQ(run.socket.LineBufferCount(), 1);
    run.Arrive("\r\n");
    EXPECT_EQ(run.reads, (Reads{"a\r\n", "b\r\n", "c\r\n"}));
}

TEST(LineMode, HeldBytesDoNotLeakIntoTheNextConnection) {
    LineRun run;
    run.Arrive("partial");
    EXPECT_EQ(run.socket.LineBufferCount(), 7);
    run.socket.Close();
    EXPECT_EQ(run.socket.LineBufferCount(), 0);
}

TEST(SyncWait, WaitsForTheFlagWhileEventsFlow) {
    RawListener listener;
    TWSocket socket;
    bool connected = false;
    socket.OnSessionConnected = [&](TCustomWSocket*, std::uint16_t) { connected = true; };
    socket.SetAddr("127.0.0.1");
    socket.SetPort(listener.PortText());
    socket.SetWaitTimeout(5000);
    EXPECT_EQ(socket.CallAndWait([&] { socket.Connect(); }, connected), 0);
    EXPECT_EQ(socket.State(), wsConnected);
    const int peer = listener.AcceptPumping();
    close(peer);
}

TEST(SyncWait, TimesOutAndStopsWhenTheApplicationEnds) {
    TWSocket socket;
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
