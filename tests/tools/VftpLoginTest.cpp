// Where vftp's log-in comes from: the URL, a saved profile, ~/.netrc or the
// user at the terminal.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <future>

#include "tests/support/TempDir.h"
#include "tools/vftp/Netrc.h"
#include "tools/vftp/VftpProfiles.h"
#include "tools/vftp/VftpTarget.h"
#include "util/IniFile.h"
#include "util/ServerProfiles.h"

namespace {

using Strings = std::vector<std::string>;

TEST(Netrc, EntriesTokensQuotesCommentsAndMacros) {
    const auto entries = ParseNetrc(
        "# my hosts\n"
        "machine ftp.example.com login web password \"pass word\\\"q\"\n"
        "machine other.example.com\n"
        "    login bob\n"
        "    account x password #hash\n"
        "macdef init\n"
        "cd /pub\n"
        "machine inside.macro login no password no\n"
        "\n"
        "machine nologin.example.com password p2\n"
        "default login anonymous password me@home\n");
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].machine, "ftp.example.com");
    EXPECT_EQ(entries[0].login, "web");
    EXPECT_EQ(entries[0].password, "pass word\"q");
    EXPECT_EQ(entries[1].login, "bob");
    EXPECT_EQ(entries[1].password, "#hash");
    EXPECT_EQ(entries[2].machine, "nologin.example.com");
    EXPECT_FALSE(entries[2].login);
    EXPECT_EQ(entries[3].machine, "");
    EXPECT_EQ(entries[3].password, "me@home");
}

TEST(Netrc, LookupByHostAndLoginFallsBackToDefault) {
    const auto entries = ParseNetrc(
        "machine Site.Example.com login alice password a1\n"
        "machine site.example.com login bob password b1\n"
        "machine open.example.com password o1\n"
        "default login anonymous password guest@\n");
    struct Case {
        std::string host;
        std::optional<std::string> login;
        std::optional<std::string> password;  // of the entry found; nothing for none
    };
    for (const Case& c : std::vector<Case>{
             {"site.example.com", std::nullopt, "a1"},
             {"SITE.example.COM", "bob", "b1"},
             {"site.example.com", "carol", std::nullopt},
             {"open.example.com", "anyone", "o1"},
             {"elsewhere", std::nullopt, "guest@"},
             {"elsewhere", "anonymous", "guest@"},
         }) {
        const NetrcEntry* entry = FindNetrcEntry(entries, c.host, c.login);
        EXPECT_EQ(entry ? entry->password : std::nullopt, c.password) << c.host << " " << c.login.value_or("-");
    }
    EXPECT_EQ(FindNetrcEntry(ParseNetrc("machine a password x\n"), "b", std::nullopt), nullptr);
}

TEST(Netrc, OnlyAPrivateFileOfTheUserIsRead) {
    TempDir dir;
    const std::string path = dir.File("netrc");
    EXPECT_EQ(LoadNetrc(path).status, NetrcStatus::Missing);
    ASSERT_TRUE(WriteFile(path, "machine h login u password p\n"));
    for (const mode_t mode : {0644, 0640, 0604, 0620, 0602}) {
        ASSERT_EQ(chmod(path.c_str(), mode), 0);
        const NetrcFile file = LoadNetrc(path);
        EXPECT_EQ(file.status, NetrcStatus::Refused) << std::oct << mode;
        EXPECT_NE(file.error.find("chmod 600 " + path), std::string::npos) << file.error;
        EXPECT_TRUE(file.entries.empty());
    }
    ASSERT_EQ(chmod(path.c_str(), 0600), 0);
    const NetrcFile file = LoadNetrc(path);
    ASSERT_EQ(file.status, NetrcStatus::Loaded) << file.error;
    EXPECT_EQ(file.entries.at(0).password, "p");
    EXPECT_EQ(LoadNetrc(dir.Path()).status, NetrcStatus::Refused) << "a folder is no netrc";

    // A FIFO in its place must not hang the program waiting for a writer.
    const std::string fifo = dir.File("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    auto loading = std::async(std::launch::async, [&fifo] { return LoadNetrc(fifo).status; });
    const bool ended = loading.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    if (!ended) close(open(fifo.c_str(), O_WRONLY | O_NONBLOCK));  // lets the stuck reader go
    ASSERT_TRUE(ended);
    EXPECT_EQ(loading.get(), NetrcStatus::Refused);
}

// A profile file as the window writes it.
std::string SaveProfiles(const TempDir& dir, const std::vector<TFTPServer>& servers) {
    const std::string path = dir.File("FTPServers.ini");
    TIniFile ini(path);
    TIniUpdate update(ini);
    ini.WriteInteger("General", "Count", static_cast<std::int32_t>(servers.size()));
    for (std::size_t i = 0; i < servers.size(); ++i) servers[i].SaveToIni(&ini, ServerSection(static_cast<int>(i) + 1));
    update.Commit();
    return path;
}

TFTPServer Profile(const std::string& name, const std::string& host, const std::string& user = "web",
                   const std::string& password = "secret", TPasvMode pasv = TPasvMode::Yes) {
    TFTPServer server;
    std::tie(server.Name, server.Hostname, server.Username, server.Password, server.PASV) =
        std::tuple(name, host, user, password, pasv);
    return server;
}

TEST(VftpProfiles, NamesMatchIgnoringCaseAndTheLaterTwinWins) {
    TempDir dir;
    const std::string file = SaveProfiles(
        dir, {Profile("My Web Site", "one"), Profile("büro", "two"), Profile("MY WEB SITE", "three"), Profile("alpha", "four")});
    const VftpProfiles profiles(file);
    for (const std::string name : {"my web site", "My Web Site", "mY wEB sITE"}) {
        ASSERT_NE(profiles.Find(name), nullptr) << name;
        EXPECT_EQ(profiles.Find(name)->Hostname, "three") << name;
    }
    ASSERT_NE(profiles.Find("BÜRO"), nullptr) << "letters beyond ASCII fold too";
    EXPECT_EQ(profiles.Find("My Web"), nullptr);
    EXPECT_EQ(profiles.Names(), (Strings{"alpha", "büro", "My Web Site"}));
    EXPECT_TRUE(VftpProfiles(dir.File("absent.ini")).Names().empty());
}

class ResolverTest : public ::testing::Test {
protected:
    void SetUp() override {
        resolver_.netrcPath = dir_.File("netrc");
        resolver_.profileFile = [this] { return dir_.File("FTPServers.ini"); };
        resolver_.askPassword = [this](const std::string& prompt) -> std::optional<std::string> {
            prompts_.push_back(prompt);
            return answer_;
        };
    }
    void Netrc(const std::string& text) {
        ASSERT_TRUE(WriteFile(resolver_.netrcPath, text));
        ASSERT_EQ(chmod(resolver_.netrcPath.c_str(), 0600), 0);
    }
    // "user:password" of the resolved target, or "error: <text>".
    std::string Login(const std::string& argument) {
        const auto target = resolver_.Resolve(argument);
        if (!target) return "error: " + resolver_.Error();
        return target->url.user + ":" + target->url.password;
    }

    TempDir dir_;
    VftpTargetResolver resolver_;
    std::optional<std::string> answer_;
    Strings prompts_;
};

TEST_F(ResolverTest, PasswordFromUrlNetrcOrPrompt) {
    Netrc("machine h login web password fromnetrc\nmachine nopass login bob\n");
    answer_ = "typed";
    EXPECT_EQ(Login("ftp://web:inurl@h/"), "web:inurl");
    EXPECT_EQ(Login("ftp://web:@h/"), "web:") << "an empty password given is still given";
    EXPECT_EQ(Login("ftp://web@h/"), "web:fromnetrc");
    EXPECT_EQ(Login("ftp://h/"), "web:fromnetrc") << "netrc names the user too";
    EXPECT_EQ(Login("ftp://other@h/"), "other:typed");
    EXPECT_EQ(Login("ftp://nopass/"), "bob:typed");
    EXPECT_EQ(Login("ftp://elsewhere/"), "anonymous:vftp@");
    EXPECT_EQ(Login("ftp://Anonymous@elsewhere/"), "Anonymous:vftp@");
    EXPECT_EQ(prompts_, (Strings{"Password for other@h: ", "Password for bob@nopass: "}));

    answer_.reset();  // standard input is no terminal
    EXPECT_EQ(Login("ftp://other@h/"), "other:");
}

TEST_F(ResolverTest, ForcedNetrcWinsOverTheUrlAndMustFit) {
    resolver_.forceNetrc = true;
    EXPECT_EQ(Login("ftp://web:inurl@h/"), "error: --netrc: there is no " + resolver_.netrcPath);
    Netrc("machine h login web password fromnetrc\n");
    EXPECT_EQ(Login("ftp://web:inurl@h/"), "web:fromnetrc");
    EXPECT_EQ(Login("ftp://eve@h/"), "error: --netrc: " + resolver_.netrcPath + " has no password for eve@h");
    EXPECT_TRUE(prompts_.empty());
}

TEST_F(ResolverTest, ANetrcOthersCanReadIsRefusedWhenItWouldBeUsed) {
    Netrc("machine h login web password p\n");
    ASSERT_EQ(chmod(resolver_.netrcPath.c_str(), 0644), 0);
    EXPECT_EQ(Login("ftp://web:given@h/"), "web:given") << "not read when the URL has the password";
    const std::string refused = Login("ftp://web@h/");
    EXPECT_EQ(refused.rfind("error: " + resolver_.netrcPath + " can be read or changed by other users", 0), 0u) << refused;
}

TEST_F(ResolverTest, ProfilesGiveHostPortLoginAndPassiveMode) {
    TFTPServer office = Profile("Office Site", "ftp.office", "web", "pw1", TPasvMode::No);
    office.Port = "2121";
    SaveProfiles(dir_, {office, Profile("a/b", "slashed"), Profile("A", "short"), Profile("Guest", "g", "anonymous", ""),
                        Profile("Askme", "ask", "bob", "")});
    answer_ = "typed";
    const auto target = resolver_.Resolve("@office SITE/htdocs/a%20b/index.html");
    ASSERT_TRUE(target) << resolver_.Error();
    EXPECT_EQ(std::tuple(target->url.host, target->url.port, target->url.user, target->url.password),
              std::tuple("ftp.office", "2121", "web", "pw1"));
    EXPECT_EQ(target->url.path, "htdocs/a b/index.html");
    EXPECT_EQ(target->passive, false);
    EXPECT_EQ(resolver_.Resolve("@Office Site")->url.path, "");

    EXPECT_EQ(resolver_.Resolve("@a/b/x")->url.host, "slashed") << "the longest name that fits";
    EXPECT_EQ(resolver_.Resolve("@a/c")->url.host, "short");
    EXPECT_EQ(resolver_.Resolve("@a/c")->passive, true);
    EXPECT_EQ(Login("@guest/"), "anonymous:vftp@");
    EXPECT_EQ(Login("@askme/"), "bob:typed");

    EXPECT_EQ(Login("@Nowhere/x"),
              "error: no saved profile is named 'Nowhere'; saved profiles: A, a/b, Askme, Guest, Office Site");
    EXPECT_FALSE(resolver_.ShowUsage());
    resolver_.profileFile = [this] { return dir_.File("none.ini"); };
    EXPECT_EQ(Login("@x"), "error: no saved profile is named 'x'; there are none in " + dir_.File("none.ini"));
}

// A typo or a later version's word must not mean "plain": the password
// would go out in clear.
TEST_F(ResolverTest, AnUnknownEncryptionWordRefusesToConnect) {
    const std::string file = SaveProfiles(dir_, {Profile("Shop", "shop.example")});
    {
        TIniFile ini(file);
        TIniUpdate update(ini);
        ini.WriteString(ServerSection(1), "Encryption", "ExplicitRequried");
        update.Commit();
    }
    EXPECT_EQ(Login("@shop/"),
              "error: The profile \"Shop\" asks for an unknown encryption \"ExplicitRequried\"; it does not "
              "connect, so that nothing goes out unencrypted");
    TFTPServer loaded;
    const TIniFile ini(file);
    loaded.LoadFromIni(&ini, ServerSection(1));
    TIniFile copy(dir_.File("copy.ini"));
    loaded.SaveToIni(&copy, "S");
    EXPECT_EQ(copy.ReadString("S", "Encryption", ""), "ExplicitRequried") << "saving keeps the word";
}

TEST_F(ResolverTest, ErrorsNeverShowAPassword) {
    for (const std::string url : {"ftp://web:topsecret@h:99999/", "ftp://web:topsecret@/x", "ftp://web:topsecret@h/%zz"}) {
        EXPECT_FALSE(resolver_.Resolve(url));
        EXPECT_TRUE(resolver_.ShowUsage());
        EXPECT_EQ(resolver_.Error().find("topsecret"), std::string::npos) << resolver_.Error();
        EXPECT_NE(resolver_.Error().find("ftp://web:*****@"), std::string::npos) << resolver_.Error();
    }
    // An unencoded '/' in the password ends the authority early.
    for (const std::string url : {"ftp://web:top/secret@h/", "ftp://web:topsecret/@h/x"}) {
        EXPECT_FALSE(resolver_.Resolve(url));
        EXPECT_EQ(resolver_.Error().find("top"), std::string::npos) << resolver_.Error();
        EXPECT_EQ(resolver_.Error().find("secret"), std::string::npos) << resolver_.Error();
    }
    EXPECT_EQ(MaskedUrl("ftp://h/p@x:y"), "ftp://h/p@x:y");
    EXPECT_EQ(MaskedUrl("ftp://u@h/"), "ftp://u@h/");
}

}  // namespace
