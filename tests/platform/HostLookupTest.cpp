#include <arpa/inet.h>
#include <gtest/gtest.h>

#include "platform/HostLookup.h"
#include "platform/MessageLoop.h"
#include "platform/Ticks.h"

using namespace platform;

namespace {
struct Answers : MessageTarget {
    std::vector<std::pair<LookupHandle, int>> seen;
    MessageWindow window{this};
    LParam HandleMessage(std::uint32_t, WParam wParam, LParam lParam) override {
        seen.emplace_back(static_cast<LookupHandle>(wParam), HighWord(lParam));
        return 0;
    }
};
}  // namespace

TEST(HostLookup, LocalhostIsAnsweredByMessage) {
    Answers answers;
    const LookupHandle handle = WSAAsyncGetHostByName(answers.window.Handle(), WM_USER + 2, "localhost");
    ASSERT_NE(handle, 0u);
    const auto start = GetTickCount();
    while (answers.seen.empty() && GetTickCount() - start < 5000) {
        WaitMessage(100);
        ProcessMessages();
    }
    ASSERT_EQ(answers.seen.size(), 1u);
    EXPECT_EQ(answers.seen[0].first, handle);
    EXPECT_EQ(answers.seen[0].second, 0);
    HostRecord record;
    ASSERT_TRUE(TakeLookupResult(handle, record));
    ASSERT_FALSE(record.addresses.empty());
    EXPECT_EQ(record.addresses[0], htonl(INADDR_LOOPBACK));
    EXPECT_FALSE(TakeLookupResult(handle, record));  // handed over once
}

TEST(HostLookup, CancelledLookupIsNeverAnswered) {
    Answers answers;
    const LookupHandle handle = WSAAsyncGetHostByName(answers.window.Handle(), WM_USER + 2, "localhost");
    EXPECT_EQ(WSACancelAsyncRequest(handle), 0);
    const auto start = GetTickCount();
    while (GetTickCount() - start < 300) {
        WaitMessage(50);
        ProcessMessages();
    }
    EXPECT_TRUE(answers.seen.empty());
    EXPECT_EQ(WSACancelAsyncRequest(handle), -1);
}

TEST(HostLookup, BlockingDatabasesKnowTheUsualNames) {
    EXPECT_EQ(BlockingServicePort("ftp", "tcp"), 21);
    EXPECT_EQ(BlockingProtocolNumber("tcp"), 6);
    EXPECT_EQ(BlockingProtocolNumber("udp"), 17);
    EXPECT_EQ(BlockingServicePort("no-such-service-here", "tcp"), -1);
    EXPECT_FALSE(BlockingHostAddresses("127.0.0.1").empty());
}
