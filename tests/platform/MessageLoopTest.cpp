#include <gtest/gtest.h>
#include <poll.h>

#include <vector>

#include "platform/MessageLoop.h"
#include "platform/Ticks.h"

using namespace platform;

namespace {

struct Recorder : MessageTarget {
    std::vector<std::uint32_t> seen;
    std::function<void(std::uint32_t)> onMessage;
    MessageWindow window{this};
    LParam HandleMessage(std::uint32_t message, WParam, LParam) override {
        seen.push_back(message);
        if (onMessage) onMessage(message);
        return 0;
    }
};

}  // namespace

TEST(MessageLoop, DispatchesInPostingOrderAcrossWindows) {
    Recorder a, b;
    std::vector<int> order;
    a.onMessage = [&](std::uint32_t m) { order.push_back(static_cast<int>(m)); };
    b.onMessage = [&](std::uint32_t m) { order.push_back(static_cast<int>(m)); };
    a.window.Post(1, 0, 0);
    b.window.Post(2, 0, 0);
    a.window.Post(3, 0, 0);
    ProcessMessages();
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

TEST(MessageLoop, NestedProcessMessagesContinuesWithTheNextMessage) {
    Recorder r;
    std::vector<std::uint32_t> order;
    r.onMessage = [&](std::uint32_t m) {
        order.push_back(m);
        if (m == 1) {
            r.window.Post(9, 0, 0);
            ProcessMessages();  // handles 2, 3 and 9 before returning
            order.push_back(100);
        }
    };
    r.window.Post(1, 0, 0);
    r.window.Post(2, 0, 0);
    r.window.Post(3, 0, 0);
    ProcessMessages();
    EXPECT_EQ(order, (std::vector<std::uint32_t>{1, 2, 3, 9, 100}));
}

TEST(MessageLoop, MessageForDestroyedWindowIsDropped) {
    Recorder survivor;
    {
        auto doomed = std::make_unique<Recorder>();
        doomed->window.Post(7, 0, 0);
        survivor.window.Post(8, 0, 0);
    }
    ProcessMessages();
    EXPECT_EQ(survivor.seen, (std::vector<std::uint32_t>{8}));
}

TEST(MessageLoop, HandlerMayDestroyAnotherWindowWhoseMessagesAreQueued) {
    Recorder first;
    auto second = std::make_unique<Recorder>();
    first.onMessage = [&](std::uint32_t) { second.reset(); };
    first.window.Post(1, 0, 0);
    second->window.Post(2, 0, 0);
    ProcessMessages();
    EXPECT_EQ(first.seen.size(), 1u);
    EXPECT_EQ(second, nullptr);
}

TEST(MessageLoop, WaitMessageReturnsAtOnceWhenSomethingIsQueuedAndTimesOutOtherwise) {
    Recorder r;
    r.window.Post(1, 0, 0);
    EXPECT_TRUE(WaitMessage(5000));
    ProcessMessages();
    const auto start = GetTickCount();
    EXPECT_FALSE(WaitMessage(50));
    EXPECT_GE(GetTickCount() - start, 40u);
}

TEST(MessageLoop, PostFromAnotherThreadWakesTheWait) {
    Recorder r;
    std::thread poster([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        PostMessage(r.window.Handle(), 5, 0, 0);
    });
    bool woke = false;
    const auto start = GetTickCount();
    while (!woke && GetTickCount() - start < 5000) woke = WaitMessage(5000);
    poster.join();
    ProcessMessages();
    EXPECT_TRUE(woke);
    EXPECT_EQ(r.seen, (std::vector<std::uint32_t>{5}));
}

TEST(MessageLoop, TerminatedFlagIsKept) {
    EXPECT_FALSE(ApplicationTerminated());
    SetApplicationTerminated(true);
    EXPECT_TRUE(ApplicationTerminated());
    SetApplicationTerminated(false);
}

// A handler that posts needs no wake-up while its dispatching loop is still
// running, but it does when it runs inside the outer loop's wait: only the
// wake-up can end that wait early.
TEST(MessageLoop, PostInsideTheOuterLoopsWaitWakesItEvenFromAHandler) {
    Recorder r;
    bool readableDuringWait = false;
    auto& loop = MessageLoop::Instance();
    loop.SetExternalLoop({}, [&](int) {
        r.window.Post(2, 0, 0);  // as an outer-loop event handler would
        pollfd watch{loop.PollDescriptor(), POLLIN, 0};
        readableDuringWait = poll(&watch, 1, 0) == 1;
    });
    r.onMessage = [&](std::uint32_t m) {
        if (m == 1) {
            EXPECT_TRUE(WaitMessage(5000));
        }
    };
    r.window.Post(1, 0, 0);
    ProcessMessages();
    loop.SetExternalLoop({}, {});
    EXPECT_TRUE(readableDuringWait);
    EXPECT_EQ(r.seen, (std::vector<std::uint32_t>{1, 2}));
}
