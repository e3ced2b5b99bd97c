#include <gtest/gtest.h>
#include <netdb.h>

#include <cerrno>

#include "platform/SocketErrors.h"

using namespace platform;

TEST(SocketErrors, TextsOfTheTable) {
    EXPECT_EQ(SocketErrorText(0), "No Error");
    EXPECT_EQ(SocketErrorText(10035), "Operation would block");
    EXPECT_EQ(SocketErrorText(10054), "Connection reset by peer");
    EXPECT_EQ(SocketErrorText(10057), "Socket is not connected");
    EXPECT_EQ(SocketErrorText(11001), "Host not found");
    EXPECT_EQ(SocketErrorText(12345), "Not a WinSock error");
    EXPECT_EQ(SocketErrorText(-1), "Not a WinSock error");
}

TEST(SocketErrors, PosixNumbersMapOnce) {
    EXPECT_EQ(ErrnoToSocketError(EAGAIN), 10035);
    EXPECT_EQ(ErrnoToSocketError(ECONNREFUSED), 10061);
    EXPECT_EQ(ErrnoToSocketError(ECONNRESET), 10054);
    EXPECT_EQ(ErrnoToSocketError(EPIPE), 10054);
    EXPECT_EQ(ErrnoToSocketError(ETIMEDOUT), 10060);
    EXPECT_EQ(AddrInfoToSocketError(EAI_NONAME), 11001);
    EXPECT_EQ(AddrInfoToSocketError(EAI_AGAIN), 11002);
}
