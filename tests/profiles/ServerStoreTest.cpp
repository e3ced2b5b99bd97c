// Loading and saving the profile list, the relocation setting, and the
// numbered entries of the Servers menu.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <chrono>
#include <filesystem>

#include "profiles/ServerStore.h"
#include "tests/profiles/QtTestSupport.h"
#include "util/IniFile.h"
#include "util/SettingsKey.h"

namespace fs = std::filesystem;
using qttest::ReadFile;
using qttest::WriteFile;

namespace {

class ServerStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        qttest::ClearSettings();
        ASSERT_TRUE(dir_.isValid());
        folder_ = dir_.path().toStdString() + "/";
        store_ = std::make_unique<TServerStore>(folder_ + "FTPServers.ini");
    }

    std::unique_ptr<TFTPServer> Profile(const std::string& name) {
        auto server = std::make_unique<TFTPServer>();
        server->Name = name;
        server->Hostname = name + ".example.net";
        server->Username = "user";
        server->Password = "pw";
        return server;
    }

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (int i = 0; i < store_->ServerList.Count(); ++i) names.push_back(store_->ServerList.NameAt(i));
        return names;
    }

    QTemporaryDir dir_;
    std::string folder_;
    std::unique_ptr<TServerStore> store_;
};

TEST_F(ServerStoreTest, FirstStartCreatesOnlyTheMarkerAndNoMenuEntries) {
    store_->LoadServers();
    EXPECT_EQ(ReadFile(store_->DefaultServerIniFile), "[General]\nTemp=Temp\n");
    EXPECT_EQ(store_->ServerList.Count(), 0);
    EXPECT_TRUE(store_->WaitMode);
    EXPECT_EQ(store_->StartTimeout, 30);
    EXPECT_EQ(fs::status(store_->DefaultServerIniFile).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);

    QMenu menu;
    menu.addAction(QStringLiteral("&Add server"));
    store_->FillServerMenu(&menu, {});
    EXPECT_EQ(menu.actions().size(), 1);
}

TEST_F(ServerStoreTest, NamesEqualIgnoringCaseKeepTheFirstPlaceAndTheLaterProfile) {
    WriteFile(store_->DefaultServerIniFile,
              "[General]\nCount=3\nSync=0\nFTPTimeOut=0x10\n"
              "[Server1]\nName=\"b\"\n[Server2]\nName=\"A\"\n[Server3]\nName=\"B\"\nHostname=\"third\"\n");
    store_->LoadServers();
    EXPECT_EQ(Names(), (std::vector<std::string>{"A", "b"}));
    EXPECT_EQ(store_->ServerList.At(1)->Name, "B");
    EXPECT_EQ(store_->ServerList.At(1)->Hostname, "third");
    EXPECT_FALSE(store_->WaitMode);
    EXPECT_EQ(store_->StartTimeout, 16);
}

TEST_F(ServerStoreTest, CountBeyondTheSectionsLoadsOnlyNamedSections) {
    WriteFile(store_->DefaultServerIniFile,
              "[General]\nCount=9\n[Server1]\nName=\"one\"\n[Server2]\nHostname=\"nameless\"\n[Server4]\nName=\"four\"\n"
              "[Server12]\nName=\"beyond count\"\n");
    store_->LoadServers();
    EXPECT_EQ(Names(), (std::vector<std::string>{"four", "one"}));
}

TEST_F(ServerStoreTest, AHugeCountDoesNotWalkAbsentSections) {
    WriteFile(store_->DefaultServerIniFile, "[General]\nCount=2147483647\n[Server2]\nName=\"two\"\n");
    const auto start = std::chrono::steady_clock::now();
    store_->LoadServers();
    EXPECT_EQ(Names(), (std::vector<std::string>{"two"}));
    store_->SaveServers();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

TEST_F(ServerStoreTest, RemovingTwoOfFiveErasesTheLastTwoSections) {
    for (const char* name : {"e", "d", "c", "b", "a"}) store_->ServerList.Add(name, Profile(name));
    store_->SaveServers();
    ASSERT_TRUE(TIniFile(store_->ServerIniFile).SectionExists("Server5"));

    store_->ServerList.Remove(store_->ServerList.At(1));
    store_->ServerList.Remove(store_->ServerList.At(2));
    store_->SaveServers();
    const TIniFile ini(store_->ServerIniFile);
    EXPECT_EQ(ini.ReadInteger("General", "Count", -1), 3);
    EXPECT_EQ(ini.SectionNames(), (std::vector<std::string>{"General", "Server1", "Server2", "Server3"}));
    EXPECT_EQ(ini.ReadString("Server2", "Name", ""), "c");

    TServerStore reloaded(store_->DefaultServerIniFile);
    reloaded.LoadServers();
    ASSERT_EQ(reloaded.ServerList.Count(), 3);
    EXPECT_EQ(reloaded.ServerList.At(2)->Name, "e");
    EXPECT_EQ(reloaded.ServerList.At(2)->Password, "pw");
}

TEST_F(ServerStoreTest, UnwritableFileFailsWithThePathLoadsNothingAndIsNotOverwrittenLater) {
    WriteFile(folder_ + "blocker", "not a folder");
    const std::string path = folder_ + "blocker/FTPServers.ini";
    TSettingsKey(TServerStore::ServersKey).WriteString(TServerStore::IniFilenameValue, path);
    try {
        store_->LoadServers();
        FAIL() << "no error";
    } catch (const EIniFileException& error) {
        EXPECT_EQ(std::string(error.what()), "Unable to write to " + path);
    }
    EXPECT_EQ(store_->ServerList.Count(), 0);

    // Writable again at shut-down: the profiles that were never read stay.
    fs::remove(folder_ + "blocker");
    fs::create_directory(folder_ + "blocker");
    WriteFile(path, "[General]\nCount=1\n[Server1]\nName=\"kept\"\n");
    store_->SaveServers();
    EXPECT_EQ(ReadFile(path), "[General]\nCount=1\n[Server1]\nName=\"kept\"\n");
}

TEST_F(ServerStoreTest, RelocationSettingIsUsedAndOnlyAnotherPathIsWrittenBack) {
    store_->LoadServers();
    store_->SaveServers();
    EXPECT_FALSE(TSettingsKey(TServerStore::ServersKey).ValueExists(TServerStore::IniFilenameValue));

    const std::string moved = folder_ + "elsewhere.ini";
    WriteFile(moved, "[General]\nCount=1\n[Server1]\nName=\"moved\"\n");
    TSettingsKey(TServerStore::ServersKey).WriteString(TServerStore::IniFilenameValue, moved);
    TServerStore relocated(store_->DefaultServerIniFile);
    relocated.LoadServers();
    EXPECT_EQ(relocated.ServerIniFile, moved);
    ASSERT_EQ(relocated.ServerList.Count(), 1);
    TSettingsKey(TServerStore::ServersKey).DeleteValue(TServerStore::IniFilenameValue);
    relocated.SaveServers();
    EXPECT_EQ(TSettingsKey(TServerStore::ServersKey).ReadString(TServerStore::IniFilenameValue, ""), moved);
    EXPECT_NE(ReadFile(moved).find("[Server1]\nName=\"moved\""), std::string::npos);
}

TEST_F(ServerStoreTest, ServerMenuIsNumberedByPositionAndConnectsByTag) {
    for (const char* name : {"Office", "Home", "R&D"}) store_->ServerList.Add(name, Profile(name));
    QMenu menu;
    QAction* fixed = menu.addAction(QStringLiteral("&Add server"));
    fixed->setData(1);
    std::vector<int> clicked;
    store_->FillServerMenu(&menu, [&](int tag) { clicked.push_back(tag); });

    const auto actions = menu.actions();
    ASSERT_EQ(actions.size(), 4);
    EXPECT_EQ(actions[0], fixed);
    EXPECT_EQ(actions[1]->text(), "1. Home");
    EXPECT_EQ(actions[2]->text(), "2. Office");
    EXPECT_EQ(actions[3]->text(), "3. R&&D") << "an ampersand shows as itself";
    EXPECT_EQ(actions[3]->data().toInt(), 103);
    EXPECT_EQ(store_->ServerWithTag(102)->Name, "Office");
    actions[2]->trigger();
    EXPECT_EQ(clicked, (std::vector<int>{102}));

    store_->ServerList.Remove(store_->ServerWithTag(101));
    store_->FillServerMenu(&menu, {});
    ASSERT_EQ(menu.actions().size(), 3);
    EXPECT_EQ(menu.actions()[1]->text(), "1. Office");
    EXPECT_EQ(store_->ServerWithTag(101)->Name, "Office");

    store_->ClearServerMenu(&menu);
    EXPECT_EQ(menu.actions().size(), 1);
    EXPECT_EQ(store_->ServerList.At(0)->MenuTag, 0);
}

TEST(ServerListTest, OnlyNamesEqualIgnoringCaseReplaceEachOther) {
    TServerList list;
    for (const char* name : {"delta", "Alpha",
                             "\xC2\xAD"
                             "alpha",
                             "\xff", "\xfe"})
        list.Add(name, std::make_unique<TFTPServer>());
    EXPECT_EQ(list.Count(), 5) << "a soft hyphen or undecodable bytes keep names apart";
    auto replacement = std::make_unique<TFTPServer>();
    const TFTPServer* raw = replacement.get();
    const int at = list.Add("ALPHA", std::move(replacement));
    EXPECT_EQ(list.NameAt(at), "Alpha");
    EXPECT_EQ(list.At(at), raw);
    EXPECT_EQ(list.NameAt(list.IndexOf("DELTA")), "delta");
}

}  // namespace
