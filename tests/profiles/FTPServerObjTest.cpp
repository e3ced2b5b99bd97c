// A profile's section of the profile file, byte for byte, and the password
// scrambling.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>

#include "profiles/FTPServerObj.h"
#include "tests/profiles/QtTestSupport.h"
#include "util/IniFile.h"

namespace fs = std::filesystem;

namespace {

class FTPServerObjTest : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = (fs::temp_directory_path() / ("vftp-profile-" + std::to_string(::getpid()) + ".ini")).string();
        fs::remove(path_);
    }
    void TearDown() override { fs::remove(path_); }

    std::string Content() const { return qttest::ReadFile(path_); }
    // The stored value of one key (without the key and the line end).
    std::string Stored(const std::string& key) const {
        const std::string text = "\n" + Content();
        const auto at = text.find("\n" + key + "=");
        if (at == std::string::npos) return "<missing>";
        const auto start = at + key.size() + 2;
        return text.substr(start, text.find('\n', start) - start);
    }
    TFTPServer RoundTrip(const TFTPServer& server) {
        TIniFile ini(path_);
        server.SaveToIni(&ini, "Server1");
        TFTPServer loaded;
        loaded.LoadFromIni(&ini, "Server1");
        return loaded;
    }

    std::string path_;
};

TEST_F(FTPServerObjTest, SectionIsWrittenInKeyOrderWithQuotedValues) {
    TFTPServer s;
    s.Name = "Office";
    s.Hostname = "ftp.example.net";
    s.Username = "ANONymous";
    s.Password = "me@example.net";
    s.PASV = TPasvMode::Yes;
    s.StartDir = "/www";
    TIniFile ini(path_);
    s.SaveToIni(&ini, "Server1");
    EXPECT_EQ(Content(),
              "[Server1]\nName=\"Office\"\nHostname=\"ftp.example.net\"\nPort=\"21\"\nUsername=\"ANONymous\"\n"
              "Password=\"me@example.net\"\nPASV=Yes\nStartDir=\"/www\"\nLocalStartDir=\"\"\n");
    EXPECT_EQ(RoundTrip(s).Password, "me@example.net");
}

TEST_F(FTPServerObjTest, OtherPasswordsAreStoredAsHexOfTwoPlusTwoPerCharacter) {
    for (const std::string password : {"x", "secret", "p\xE9\xFF\xE0ss"}) {
        TFTPServer s;
        s.Name = "n";
        s.Username = "bob";
        s.Password = password;
        const TFTPServer loaded = RoundTrip(s);
        const std::string stored = Stored("Password");
        ASSERT_EQ(stored.size(), 2 + 2 + 2 * password.size()) << stored;
        EXPECT_EQ(stored.front(), '"');
        EXPECT_EQ(stored.back(), '"');
        EXPECT_EQ(stored.find_first_not_of("0123456789ABCDEF", 1), stored.size() - 1) << stored;
        EXPECT_EQ(loaded.Password, password);
    }
}

TEST_F(FTPServerObjTest, EmptyPasswordIsTwoQuotesAndLoadsEmpty) {
    TFTPServer s;
    s.Name = "n";
    s.Username = "bob";
    const TFTPServer loaded = RoundTrip(s);
    EXPECT_EQ(Stored("Password"), "\"\"");
    EXPECT_EQ(loaded.Password, "");
}

TEST_F(FTPServerObjTest, HighCharactersSurviveEveryOffset) {
    // Characters near 255 wrap past zero when the offset is added.
    std::string all;
    for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
    std::set<std::string> offsets;
    for (int i = 0; i < 400 && offsets.size() < 32; ++i) {
        const std::string encoded = TFTPServer::EncodePassword(all);
        offsets.insert(encoded.substr(0, 2));
        ASSERT_EQ(TFTPServer::DecodePassword(encoded), all) << "offset " << encoded.substr(0, 2);
    }
    EXPECT_EQ(offsets.size(), 32u) << "offsets 01..20 are all drawn";
    EXPECT_EQ(*offsets.begin(), "01");
    EXPECT_EQ(*offsets.rbegin(), "20");
}

TEST_F(FTPServerObjTest, DecodingRejectsTextThatIsNotScrambled) {
    EXPECT_EQ(TFTPServer::DecodePassword(""), "");
    EXPECT_EQ(TFTPServer::DecodePassword("secret"), "");  // not hex at all
    EXPECT_EQ(TFTPServer::DecodePassword("0262zz"), "");  // a bad pair empties the result
    EXPECT_EQ(TFTPServer::DecodePassword("0263"), "a");
    EXPECT_EQ(TFTPServer::DecodePassword("02636"), std::string("a\x04"));  // a last single digit reads alone
    EXPECT_EQ(TFTPServer::DecodePassword("0a6b"), "a");                    // lower case accepted
}

TEST_F(FTPServerObjTest, QuotesAndLineBreaksSurviveOnOneLine) {
    TFTPServer s;
    s.Name = " \"quoted\"\r\nnext ";
    s.Username = "a\"b";
    s.Password = "p\"w\n";
    s.LocalStartDir = "/home/u/my \"site\"";
    const TFTPServer loaded = RoundTrip(s);
    EXPECT_EQ(loaded.Name, s.Name);
    EXPECT_EQ(loaded.Username, s.Username);
    EXPECT_EQ(loaded.Password, s.Password);
    EXPECT_EQ(loaded.LocalStartDir, s.LocalStartDir);
    const std::string text = Content();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 9) << "header + eight keys";
}

TEST_F(FTPServerObjTest, PasvWordsLoadIgnoringCase) {
    const std::pair<const char*, TPasvMode> cases[] = {
        {"PASV=yes\n", TPasvMode::Yes}, {"PASV=YES\n", TPasvMode::Yes},       {"PASV=Yes\n", TPasvMode::Yes},
        {"PASV=no\n", TPasvMode::No},   {"PASV=maybe\n", TPasvMode::Default}, {"", TPasvMode::Default},
    };
    for (const auto& [line, expected] : cases) {
        std::ofstream(path_, std::ios::trunc) << "[Server1]\nName=\"n\"\n" << line;
        TIniFile ini(path_);
        TFTPServer loaded;
        loaded.PASV = TPasvMode::No;
        loaded.LoadFromIni(&ini, "Server1");
        EXPECT_EQ(loaded.PASV, *line ? expected : TPasvMode::No) << "'" << line << "'";
    }
    TFTPServer fresh;
    TIniFile ini(path_);
    fresh.LoadFromIni(&ini, "Server1");
    EXPECT_EQ(fresh.PASV, TPasvMode::Default) << "a missing PASV keeps the new profile's Default";
    EXPECT_EQ(fresh.Port, "21") << "so does a missing Port";
}

}  // namespace
