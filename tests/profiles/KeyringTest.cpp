// Profile passwords in the desktop keyring: moved there and back by the
// window's store, read back by vftp. Run by with-private-keyring.sh inside a
// D-Bus session of its own with gnome-keyring-daemon, and once more with no
// session bus at all.
#include <gtest/gtest.h>

#include "profiles/ServerStore.h"
#include "tests/support/TempDir.h"
#include "tools/vftp/VftpProfiles.h"
#include "util/IniFile.h"
#include "util/Keyring.h"
#include "util/MiscUtils.h"

namespace {

class KeyringTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!TKeyring::Built()) GTEST_SKIP() << "built without libsecret";
        auto site = Profile("Site", "webmaster", "s3cret");
        site->SocksHost = "proxy.example.com";
        site->SocksUser = "webmaster";
        site->SocksPassword = "through";
        store.ServerList.Add("Site", std::move(site));
        store.ServerList.Add("Mirror", Profile("Mirror", "anonymous", "me@example.com"));
    }

    static std::unique_ptr<TFTPServer> Profile(const std::string& name, const std::string& user, const std::string& password) {
        auto profile = std::make_unique<TFTPServer>();
        profile->Name = name;
        profile->Hostname = "ftp.Example.com";
        profile->Port = "2121";
        profile->Username = user;
        profile->Password = password;
        return profile;
    }
    // The password the file itself holds for the profile in `section`.
    std::string FilePassword(const std::string& section, const char* key = "Password") const {
        const TIniFile ini(file);
        return TFTPServer::DecodePassword(UnquoteValue(ini.ReadString(section, key, "")));
    }

    TempDir folder;
    std::string file = folder.File("FTPServers.ini");
    TServerStore store{file};
};

TEST_F(KeyringTest, PasswordsMoveIntoTheKeyringWhereVftpFindsThemAndBack) {
    if (!TKeyring::Available()) GTEST_SKIP() << "no Secret Service on the session bus";
    const TFTPServer& site = *store.ServerList.At(store.ServerList.IndexOf("Site"));

    store.MovePasswords(true);
    EXPECT_EQ(store.KeyringProblem, "");
    EXPECT_EQ(TKeyring::Lookup(site), std::optional<std::string>("s3cret"));
    EXPECT_EQ(FilePassword("Server2"), "") << "the file holds no password";
    EXPECT_EQ(FilePassword("Server2", "SocksPassword"), "") << "nor the proxy's";
    EXPECT_EQ(TKeyring::Lookup(site, TKeyringSecret::Proxy), std::optional<std::string>("through"))
        << "an entry of its own, though proxy and server share the user";
    const TIniFile ini(file);
    EXPECT_EQ(ini.ReadString("Server1", "Password", ""), "me@example.com") << "an anonymous address is no secret";
    // vftp @Site reads the same entry; host names match in any case.
    EXPECT_EQ(VftpProfiles(file).Find("site")->Password, "s3cret");
    EXPECT_EQ(VftpProfiles(file).Find("site")->SocksPassword, "through");

    store.MovePasswords(false);
    EXPECT_EQ(FilePassword("Server2"), "s3cret");
    EXPECT_EQ(TKeyring::Lookup(site), std::nullopt);
    EXPECT_EQ(FilePassword("Server2", "SocksPassword"), "through");
    EXPECT_EQ(TKeyring::Lookup(site, TKeyringSecret::Proxy), std::nullopt);
    EXPECT_EQ(VftpProfiles(file).Find("Site")->Password, "s3cret");
}

TEST_F(KeyringTest, WithoutAServiceThePasswordsStayInTheFile) {
    if (TKeyring::Available()) GTEST_SKIP() << "a Secret Service runs";
    store.MovePasswords(true);
    EXPECT_NE(store.KeyringProblem, "");
    EXPECT_TRUE(store.PasswordsInKeyring);
    EXPECT_EQ(FilePassword("Server2"), "s3cret");
    EXPECT_EQ(VftpProfiles(file).Find("Site")->Password, "s3cret");
}

}  // namespace
