// The newer commands against real servers: FEAT, EPSV and EPRT over IPv6
// (and EPSV over IPv4 where FEAT lists it), byte-exact transfers that way,
// MLSD listings and file times.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>

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

// What the server's disk holds is what the listing says, name for name.
TEST_P(Modern, MachineListingsGiveExactNamesSizesAndTimes) {
    const std::string root = server->Root();
    ASSERT_TRUE(WriteFile(root + "/ two blanks .txt", "12345"));
    ASSERT_TRUE(WriteFile(root + "/grüße.txt", "x"));
    ASSERT_EQ(::mkdir((root + "/empty").c_str(), 0755), 0);
    ASSERT_EQ(::symlink("grüße.txt", (root + "/link").c_str()), 0);
    struct timespec times[2] = {{1500000000, 0}, {1500000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, (root + "/ two blanks .txt").c_str(), times, 0), 0);
    ASSERT_TRUE(ftp.Login()) << ftp.ErrorMessage();
    ftp.LocalFileName = local.File("listing");
    ASSERT_TRUE(ftp.MachineList()) << ftp.ErrorMessage();
    const bool mlsd = ftp.Features().Has("MLST");
    ASSERT_EQ(ftp.ListedByMlsd(), mlsd);
    if (!mlsd) GTEST_SKIP() << server->Name() << " offers no MLSD: LIST came, as before";
    std::map<std::string, FtpRemoteEntry> byName;
    for (auto& entry : ParseMlsdListing(ReadFile(local.File("listing")))) byName[entry.Name] = entry;
    ASSERT_EQ(byName.size(), 4u);
    EXPECT_EQ(byName[" two blanks .txt"].Size, 5);
    EXPECT_EQ(byName[" two blanks .txt"].ModifyUtc, 1500000000);
    EXPECT_EQ(byName["grüße.txt"].Type, TFtpEntryType::File);
    EXPECT_EQ(byName["empty"].Type, TFtpEntryType::Folder);
    EXPECT_TRUE(byName.count("link"));

    ftp.HostDirName = "empty";
    ASSERT_TRUE(ftp.Cwd());
    ftp.LocalFileName = local.File("empty-listing");
    ASSERT_TRUE(ftp.MachineList()) << ftp.ErrorMessage();
    EXPECT_TRUE(ParseMlsdListing(ReadFile(local.File("empty-listing"))).empty());
}

TEST_P(Modern, FileTimesCanBeReadAndSet) {
    ASSERT_TRUE(WriteFile(ServerFile("dated.txt"), "d"));
    ASSERT_TRUE(ftp.Login()) << ftp.ErrorMessage();
    ftp.HostFileName = "dated.txt";
    ftp.FileTimeUtc = 1234567890;
    if (!ftp.Features().Has("MFMT")) {
        EXPECT_FALSE(ftp.SetFileTime());
        EXPECT_EQ(ftp.ErrorMessage().compare(0, 4, "502 "), 0) << "refused before anything is sent";
        GTEST_SKIP() << server->Name() << " offers no MFMT";
    }
    ASSERT_TRUE(ftp.SetFileTime()) << ftp.ErrorMessage();
    struct stat info {};
    ASSERT_EQ(::stat(ServerFile("dated.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mtime, 1234567890);
    ASSERT_TRUE(ftp.FileTime()) << ftp.ErrorMessage();
    EXPECT_EQ(ftp.RemoteFileTime(), 1234567890);
    ASSERT_TRUE(ftp.MachineFile()) << ftp.ErrorMessage();
    EXPECT_EQ(ftp.RemoteEntry().ModifyUtc, 1234567890);
    EXPECT_EQ(ftp.RemoteEntry().Size, 1);
}

INSTANTIATE_TEST_SUITE_P(Servers, Modern,
                         ::testing::Values("vsftpd_ipv6_passive", "vsftpd_ipv6_active", "pyftpdlib_ipv6_passive",
                                           "pyftpdlib_ipv6_active", "pyftpdlib_passive"),
                         ServerName);

}  // namespace
