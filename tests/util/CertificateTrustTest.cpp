// The "trust always" list: per server, private to its owner, and a changed
// certificate is told apart from an unknown one.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/support/TempDir.h"
#include "util/CertificateTrust.h"

namespace {

int Mode(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? static_cast<int>(info.st_mode & 07777) : -1;
}

}  // namespace

TEST(CertificateTrust, PerServerPrivateAndChangesSeen) {
    TempDir dir;
    const std::string file = dir.File("TrustedCertificates.txt");
    const TCertificateTrust trust(file);
    using Standing = TCertificateTrust::Standing;
    EXPECT_EQ(trust.Check("ftp.example.com", "21", "AA:BB"), Standing::Unknown) << "no file yet";

    ASSERT_TRUE(trust.Remember("ftp.example.com", "21", "AA:BB"));
    ASSERT_TRUE(trust.Remember("ftp.example.com", "990", "CC:DD"));
    EXPECT_EQ(Mode(file), 0600);
    struct Case {
        const char* host;
        const char* port;
        const char* sha256;
        Standing standing;
    };
    for (const Case& c :
         {Case{"ftp.example.com", "21", "AA:BB", Standing::Trusted}, Case{"ftp.example.com", "21", "EE:FF", Standing::Changed},
          Case{"ftp.example.com", "990", "CC:DD", Standing::Trusted}, Case{"ftp.example.com", "2121", "AA:BB", Standing::Unknown},
          Case{"www.example.com", "21", "AA:BB", Standing::Unknown}})
        EXPECT_EQ(trust.Check(c.host, c.port, c.sha256), c.standing) << c.host << ":" << c.port << " " << c.sha256;

    // Trusting the new certificate replaces the old one, and only that one.
    ::chmod(file.c_str(), 0644);
    ASSERT_TRUE(trust.Remember("ftp.example.com", "21", "EE:FF"));
    EXPECT_EQ(trust.Check("ftp.example.com", "21", "AA:BB"), Standing::Changed);
    EXPECT_EQ(trust.Check("ftp.example.com", "21", "EE:FF"), Standing::Trusted);
    EXPECT_EQ(trust.Check("ftp.example.com", "990", "CC:DD"), Standing::Trusted);
    EXPECT_EQ(Mode(file), 0600) << "rewritten private even after someone opened it up";

    EXPECT_FALSE(TCertificateTrust(dir.File("no/such/folder/list.txt")).Remember("h", "21", "AA"));
}
