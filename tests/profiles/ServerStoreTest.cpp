// Loading and saving the profile list, the relocation setting, and the
// numbered entries of the Servers menu.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <chrono>
#include <filesystem>

#include "profiles/ServerStore.h"
#include "tests/support/QtTestSupport.h"
#include "util/IniFile.h"
#include "util/ui/SettingsKey.h"

using qttest::ReadFile;
using qttest::WriteFile;

namespace {

using Strings = std::vector<std::string>;

Strings NamesOf(const TServerList& list) {
    Strings names;
    for (int i = 0; i < list.Count(); ++i) names.push_back(list.NameAt(i));
    return names;
}

QStringList MenuTexts(const QMenu& menu) {
    QStringList texts;
    for (const QAction* action : menu.actions()) texts << action->text();
    return texts;
}

class ServerStoreTest : public ::testing::Test {
protected:
    void SetUp() override { qttest::ClearSettings(); }

    void AddProfiles(const Strings& names) {
        for (const std::string& name : names) {
            auto server = std::make_unique<TFTPServer>();
            std::tie(server->Name, server->Username, server->Password) = std::tuple(name, "user", "pw");
            store_.ServerList.Add(name, std::move(server));
        }
    }
    Strings Names() const { return NamesOf(store_.ServerList); }
    static TSettingsKey Key() { return TSettingsKey(TServerStore::ServersKey); }

    QTemporaryDir dir_;
    const std::string folder_ = dir_.path().toStdString() + "/";
    TServerStore store_{folder_ + "FTPServers.ini"};
};

TEST_F(ServerStoreTest, FirstStartCreatesOnlyTheMarkerAndNoMenuEntriesNorRelocation) {
    store_.LoadServers();
    EXPECT_EQ(ReadFile(store_.DefaultServerIniFile), "[General]\nTemp=Temp\n");
    EXPECT_EQ(std::tuple(store_.ServerList.Count(), store_.WaitMode, store_.StartTimeout), std::tuple(0, true, 30));
    QMenu menu;
    menu.addAction(QStringLiteral("&Add server"));
    store_.FillServerMenu(&menu, {});
    EXPECT_EQ(MenuTexts(menu), QStringList{"&Add server"});
    store_.SaveServers();
    EXPECT_FALSE(Key().ValueExists(TServerStore::IniFilenameValue)) << "the default path is not written back";
}

TEST_F(ServerStoreTest, NamesEqualIgnoringCaseKeepTheFirstPlaceAndTheLaterProfile) {
    WriteFile(store_.DefaultServerIniFile,
              "[General]\nCount=3\nSync=0\nFTPTimeOut=0x10\n"
              "[Server1]\nName=\"b\"\n[Server2]\nName=\"A\"\n[Server3]\nName=\"B\"\nHostname=\"third\"\n");
    store_.LoadServers();
    ASSERT_EQ(Names(), (Strings{"A", "b"}));
    const TFTPServer* b = store_.ServerList.At(1);
    EXPECT_EQ(std::tuple(b->Name, b->Hostname, store_.WaitMode, store_.StartTimeout), std::tuple("B", "third", false, 16));
}

TEST_F(ServerStoreTest, OnlyNamedSectionsUpToCountLoadAndAHugeCountWalksNoAbsentSections) {
    const std::pair<const char*, Strings> rows[] = {{"9", {"four", "one"}}, {"2147483647", {"beyond count", "four", "one"}}};
    for (const auto& [count, names] : rows) {
        TServerStore store(store_.DefaultServerIniFile);
        WriteFile(store.DefaultServerIniFile, std::string("[General]\nCount=") + count +
                                                  "\n[Server1]\nName=\"one\"\n[Server2]\nHostname=\"nameless\"\n"
                                                  "[Server4]\nName=\"four\"\n[Server12]\nName=\"beyond count\"\n");
        const auto start = std::chrono::steady_clock::now();
        store.LoadServers();
        store.SaveServers();
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20)) << count;
        EXPECT_EQ(NamesOf(store.ServerList), names) << count;
    }
    // Found by fuzzing: a section numbered near the count walked every
    // number below it, re-reading the file each time.
    TServerStore store(store_.DefaultServerIniFile);
    WriteFile(store.DefaultServerIniFile,
              "[General]\nCount=999999999\n[Server1]\nName=\"one\"\n"
              "[Server199999999]\nName=\"far\"\n");
    store.LoadServers();
    EXPECT_EQ(NamesOf(store.ServerList), (Strings{"far", "one"}));
}

TEST_F(ServerStoreTest, RemovingTwoOfFiveErasesTheLastTwoSections) {
    AddProfiles({"e", "d", "c", "b", "a"});
    store_.SaveServers();
    ASSERT_TRUE(TIniFile(store_.ServerIniFile).SectionExists("Server5"));
    store_.ServerList.Remove(store_.ServerList.At(1));
    store_.ServerList.Remove(store_.ServerList.At(2));
    store_.SaveServers();
    const TIniFile ini(store_.ServerIniFile);
    EXPECT_EQ(ini.ReadInteger("General", "Count", -1), 3);
    EXPECT_EQ(ini.SectionNames(), (Strings{"General", "Server1", "Server2", "Server3"}));
    EXPECT_EQ(ini.ReadString("Server2", "Name", ""), "c");

    TServerStore reloaded(store_.DefaultServerIniFile);
    reloaded.LoadServers();
    ASSERT_EQ(NamesOf(reloaded.ServerList), (Strings{"a", "c", "e"}));
    EXPECT_EQ(reloaded.ServerList.At(2)->Password, "pw");
}

TEST_F(ServerStoreTest, UnwritableFileFailsWithThePathLoadsNothingAndIsNotOverwrittenLater) {
    WriteFile(folder_ + "blocker", "not a folder");
    const std::string path = folder_ + "blocker/FTPServers.ini";
    Key().WriteString(TServerStore::IniFilenameValue, path);
    try {
        store_.LoadServers();
        FAIL() << "no error";
    } catch (const EIniFileException& error) {
        EXPECT_EQ(std::string(error.what()), "Unable to write to " + path);
    }
    EXPECT_EQ(store_.ServerList.Count(), 0);

    // Writable again at shut-down: the profiles that were never read stay.
    std::filesystem::remove(folder_ + "blocker");
    std::filesystem::create_directory(folder_ + "blocker");
    WriteFile(path, "[General]\nCount=1\n[Server1]\nName=\"kept\"\n");
    store_.SaveServers();
    EXPECT_EQ(ReadFile(path), "[General]\nCount=1\n[Server1]\nName=\"kept\"\n");
}

TEST_F(ServerStoreTest, RelocationSettingIsUsedAndAnotherPathIsWrittenBack) {
    const std::string moved = folder_ + "elsewhere.ini";
    WriteFile(moved, "[General]\nCount=1\n[Server1]\nName=\"moved\"\n");
    Key().WriteString(TServerStore::IniFilenameValue, moved);
    store_.LoadServers();
    EXPECT_EQ(store_.ServerIniFile, moved);
    EXPECT_EQ(Names(), Strings{"moved"});
    Key().DeleteValue(TServerStore::IniFilenameValue);
    store_.SaveServers();
    EXPECT_EQ(Key().ReadString(TServerStore::IniFilenameValue, ""), moved);
    EXPECT_NE(ReadFile(moved).find("[Server1]\nName=\"moved\""), std::string::npos);
}

TEST_F(ServerStoreTest, ServerMenuIsNumberedByPositionAndConnectsByTag) {
    AddProfiles({"Office", "Home", "R&D"});
    QMenu menu;
    QAction* fixed = menu.addAction(QStringLiteral("&Add server"));
    fixed->setData(1);
    std::vector<int> clicked;
    store_.FillServerMenu(&menu, [&](int tag) { clicked.push_back(tag); });

    // An ampersand in a name shows as itself.
    ASSERT_EQ(MenuTexts(menu), (QStringList{"&Add server", "1. Home", "2. Office", "3. R&&D"}));
    const auto actions = menu.actions();
    EXPECT_EQ(actions[0], fixed);
    EXPECT_EQ(actions[3]->data().toInt(), 103);
    EXPECT_EQ(store_.ServerWithTag(102)->Name, "Office");
    actions[2]->trigger();
    EXPECT_EQ(clicked, (std::vector<int>{102}));

    store_.ServerList.Remove(store_.ServerWithTag(101));
    store_.FillServerMenu(&menu, {});
    EXPECT_EQ(MenuTexts(menu), (QStringList{"&Add server", "1. Office", "2. R&&D"}));
    EXPECT_EQ(store_.ServerWithTag(101)->Name, "Office");

    store_.ClearServerMenu(&menu);
    EXPECT_EQ(MenuTexts(menu), QStringList{"&Add server"});
    EXPECT_EQ(store_.ServerList.At(0)->MenuTag, 0);
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
