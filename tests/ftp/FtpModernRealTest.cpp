// The newer commands against real servers: FEAT, EPSV and EPRT over IPv6
// (and EPSV over IPv4 where FEAT lists it), byte-exact transfers that way.
#include <gtest/gtest.h>

#include "tests/ftp/RealServerFixture.h"

namespace {

using Modern = RealServer;

TEST_P(Modern, TransfersOverTheExtendedDataCommandsAreByteExact) {
    ASSERT_TRUE(ftp.Login()) << ftp.ErrorMessage();
    EXPECT_TRUE(ftp.Features().Has("EPSV"));
    EXPECT_EQ(ftp.LastResponse().compare(0, 4, "230 "), 0) << "FEAT must not replace the log-in's reply";
    ASSERT_TRUE(ftp.TransferType());
    const std::string content = RandomBytes(300000, 11);
    ASSERT_TRUE(WriteFile(local.File("up.bin"), content));
    ftp.LocalFileName = local.File("up.bin");
    ftp.HostFileName = "up.bin";
    ASSERT_TRUE(ftp.Store()) << ftp.ErrorMessage();
    EXPECT_TRUE(ReadFile(ServerFile("up.bin")) == content) << "upload differs";
    ftp.LocalFileName = local.File("down.bin");
    ASSERT_TRUE(ftp.Retrieve()) << ftp.ErrorMessage();
    EXPECT_TRUE(ReadFile(local.File("down.bin")) == content) << "download differs";
    ftp.HostFileName.clear();
    ftp.LocalFileName = local.File("listing");
    ASSERT_TRUE(ftp.List()) << ftp.ErrorMessage();
    EXPECT_NE(ReadFile(local.File("listing")).find("up.bin"), std::string::npos);
    probe.Settle();
    const bool ipv6 = GetParam().find("ipv6") != std::string::npos;
    if (ftp.Passive) {
        EXPECT_TRUE(probe.Displayed("> EPSV"));
        EXPECT_FALSE(probe.Displayed("> PASV"));
    } else if (ipv6) {
        EXPECT_TRUE(std::any_of(probe.display.begin(), probe.display.end(),
                                [](const std::string& line) { return line.rfind("> EPRT |2|::1|", 0) == 0; }));
    }
}

INSTANTIATE_TEST_SUITE_P(Servers, Modern,
                         ::testing::Values("vsftpd_ipv6_passive", "vsftpd_ipv6_active", "pyftpdlib_ipv6_passive",
                                           "pyftpdlib_ipv6_active", "pyftpdlib_passive"),
                         ServerName);

}  // namespace
