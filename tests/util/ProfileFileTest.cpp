// The profile file: where lines go, what reads return, that the file is
// replaced safely and privately; a profile's section of it, byte for byte,
// and the password scrambling.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "tests/support/TempDir.h"
#include "util/FTPServerObj.h"
#include "util/IniFile.h"

namespace fs = std::filesystem;

namespace {

class ProfileFile : public ::testing::Test {
protected:
    std::string Content() const { return ::ReadFile(path_); }
    void SetContent(const std::string& text) const { ::WriteFile(path_, text); }
    TFTPServer RoundTrip(const TFTPServer& server) {
        TIniFile ini(path_);
        server.SaveToIni(&ini, "Server1");
        TFTPServer loaded;
        loaded.LoadFromIni(&ini, "Server1");
        return loaded;
    }

    TempDir dir_;
    const fs::path folder_ = dir_.Path();
    const std::string path_ = (folder_ / "FTPServers.ini").string();
};
using IniFileTest = ProfileFile;
using FTPServerObjTest = ProfileFile;

TEST_F(IniFileTest, WritesAppendSectionsAndKeysAndRewriteInPlaceIgnoringCase) {
    TIniFile ini(path_);
    ini.WriteString("General", "Temp", "Temp");
    ini.WriteString("Server1", "Name", "\"a\"");
    ini.WriteString("General", "Count", "1");
    ini.WriteString("server1", "NAME", "\"b\"");
    EXPECT_EQ(Content(), "[General]\nTemp=Temp\nCount=1\n[Server1]\nNAME=\"b\"\n");
    struct stat info {};
    ASSERT_EQ(::stat(path_.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u) << "created private";
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator{}), 1) << "no temporary file remains";

    // A new key goes after its section's last line, not after blank lines.
    SetContent("; kept\n[A]\nx=1\n\n[B]\ny=2\n");
    ini.WriteInteger("A", "z", 3);
    EXPECT_EQ(Content(), "; kept\n[A]\nx=1\nz=3\n\n[B]\ny=2\n");
}

TEST_F(IniFileTest, ReadsTrimDropOnePairOfQuotesCutAt1023AndParseWhole32BitNumbers) {
    SetContent("[S]\r\n plain =  spaced value  \r\nq=\"\"inner\"\"\r\nsingle='x'\r\nodd=\"x\r\nempty=\r\n");
    TIniFile ini(path_);
    // Present but empty is not missing.
    const std::pair<const char*, const char*> strings[] = {
        {"plain", "spaced value"}, {"q", "\"inner\""}, {"single", "x"}, {"odd", "\"x"}, {"empty", ""}, {"missing", "d"}};
    for (const auto& [key, value] : strings) EXPECT_EQ(ini.ReadString("S", key, "d"), value) << key;
    EXPECT_EQ(ini.ReadString("T", "plain", "d"), "d");
    ini.WriteString("S", "long", std::string(2000, 'x'));
    EXPECT_EQ(ini.ReadString("S", "long", "").size(), 1023u);

    const std::pair<const char*, std::int32_t> numbers[] = {
        {"42", 42}, {"0x1F", 31}, {"0XfF", 255},      {"-7", -7},         {"12abc", 5},
        {"", 5},    {"0x", 5},    {"99999999999", 5}, {"0xFFFFFFFF", -1}, {"-2147483648", INT32_MIN}};
    for (const auto& [text, value] : numbers) {
        SetContent(std::string("[N]\nk=") + text + "\n");
        EXPECT_EQ(ini.ReadInteger("N", "k", 5), value) << "'" << text << "'";
        EXPECT_EQ(ini.ReadBool("N", "k", false), value != 5) << "a number is true unless 0, else the default";
    }
    EXPECT_FALSE(ini.ReadBool("N", "missing", false));
}

TEST_F(IniFileTest, EraseSectionRemovesItsLinesOnly) {
    SetContent("[A]\nx=1\n[B]\ny=2\n\n[C]\nz=3\n");
    TIniFile ini(path_);
    ini.EraseSection("b");
    ini.EraseSection("Absent");
    EXPECT_EQ(Content(), "[A]\nx=1\n[C]\nz=3\n");
    EXPECT_EQ(ini.SectionNames(), (std::vector<std::string>{"A", "C"}));
}

TEST_F(IniFileTest, WritesThroughALinkKeepTheLink) {
    const fs::path real = folder_ / "real.ini";
    ::WriteFile(real.string(), "[A]\nx=1\n");
    fs::create_symlink(real, path_);
    TIniFile(path_).WriteString("A", "x", "2");
    EXPECT_TRUE(fs::is_symlink(path_));
    EXPECT_EQ(TIniFile(real.string()).ReadString("A", "x", ""), "2");
}

TEST_F(IniFileTest, UnwritableFileOrLineBreakingTextRaisesAndChangesNothing) {
    const std::string blocked = (folder_ / "plainfile").string() + "/FTPServers.ini";
    ::WriteFile((folder_ / "plainfile").string(), "x");  // a parent that is a regular file
    try {
        TIniFile(blocked).WriteString("General", "Temp", "Temp");
        FAIL() << "no error";
    } catch (const EIniFileException& error) {
        EXPECT_EQ(std::string(error.what()), "Unable to write to " + blocked);
    }

    SetContent("[A]\nx=1\n");
    TIniFile ini(path_);
    EXPECT_THROW(ini.WriteString("A", "x", "1\n[Evil]\ny=2"), EIniFileException);
    EXPECT_THROW(ini.WriteString("A\r", "x", "1"), EIniFileException);
    EXPECT_THROW(ini.WriteString("A", "k=v", "1"), EIniFileException);
    EXPECT_EQ(Content(), "[A]\nx=1\n");
}

TEST_F(FTPServerObjTest, SectionIsWrittenInKeyOrderWithQuotedValuesAndAnAnonymousPasswordInClear) {
    TFTPServer s;
    std::tie(s.Name, s.Hostname, s.Username, s.Password, s.StartDir) =
        std::tuple("Office", "ftp.example.net", "ANONymous", "me@example.net", "/www");
    s.PASV = TPasvMode::Yes;
    EXPECT_EQ(RoundTrip(s).Password, "me@example.net");
    EXPECT_EQ(Content(),
              "[Server1]\nName=\"Office\"\nHostname=\"ftp.example.net\"\nPort=\"21\"\nUsername=\"ANONymous\"\n"
              "Password=\"me@example.net\"\nPASV=Yes\nEncryption=Plain\nStartDir=\"/www\"\nLocalStartDir=\"\"\n");
}

TEST_F(FTPServerObjTest, OtherPasswordsAreStoredAsHexOfTwoPlusTwoPerCharacter) {
    for (const std::string password : {"", "x", "secret", "p\xE9\xFF\xE0ss"}) {
        TFTPServer s;
        s.Username = "bob";
        s.Password = password;
        EXPECT_EQ(RoundTrip(s).Password, password);
        const std::string hex = TIniFile(path_).ReadString("Server1", "Password", "?");
        EXPECT_EQ(hex.size(), password.empty() ? 0 : 2 + 2 * password.size()) << hex;
        EXPECT_EQ(hex.find_first_not_of("0123456789ABCDEF"), std::string::npos) << hex;
        EXPECT_NE(Content().find("\nPassword=\"" + hex + "\"\n"), std::string::npos) << "quoted";
    }
}

TEST_F(FTPServerObjTest, HighCharactersSurviveEveryOffsetAndBadTextDecodesEmpty) {
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

    // Not hex at all, a bad pair: empty; a last single digit reads alone; lower case is accepted.
    const std::pair<const char*, std::string> decoded[] = {{"", ""},      {"secret", ""},     {"0262zz", ""},
                                                           {"0263", "a"}, {"02636", "a\x04"}, {"0a6b", "a"}};
    for (const auto& [text, password] : decoded) EXPECT_EQ(TFTPServer::DecodePassword(text), password) << text;
}

TEST_F(FTPServerObjTest, QuotesAndLineBreaksSurviveOnOneLine) {
    TFTPServer s;
    std::tie(s.Name, s.Username, s.Password, s.LocalStartDir) =
        std::tuple(" \"quoted\"\r\nnext ", "a\"b", "p\"w\n", "/home/u/my \"site\"");
    const TFTPServer loaded = RoundTrip(s);
    EXPECT_EQ(std::tie(loaded.Name, loaded.Username, loaded.Password, loaded.LocalStartDir),
              std::tie(s.Name, s.Username, s.Password, s.LocalStartDir));
    const std::string text = Content();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 10) << "header + nine keys";
}

TEST_F(FTPServerObjTest, PasvWordsLoadIgnoringCaseAndMissingKeysKeepTheField) {
    const std::pair<const char*, TPasvMode> cases[] = {
        {"PASV=yes\n", TPasvMode::Yes}, {"PASV=YES\n", TPasvMode::Yes},       {"PASV=Yes\n", TPasvMode::Yes},
        {"PASV=no\n", TPasvMode::No},   {"PASV=maybe\n", TPasvMode::Default}, {"", TPasvMode::No},
    };
    for (const auto& [line, expected] : cases) {
        ::WriteFile(path_, std::string("[Server1]\nName=\"n\"\n") + line);
        const TIniFile ini(path_);
        TFTPServer loaded;
        loaded.PASV = TPasvMode::No;
        loaded.LoadFromIni(&ini, "Server1");
        EXPECT_EQ(loaded.PASV, expected) << "'" << line << "'";
    }
    TFTPServer fresh;
    const TIniFile ini(path_);
    fresh.LoadFromIni(&ini, "Server1");
    EXPECT_EQ(fresh.PASV, TPasvMode::Default) << "a missing PASV keeps the new profile's Default";
    EXPECT_EQ(fresh.Port, "21") << "so does a missing Port";
}

// Files written before encryption existed have no key and mean plain FTP;
// a word this version does not know is plain too, never a guess at TLS.
TEST_F(FTPServerObjTest, EncryptionWordsRoundTripAndAnythingElseIsPlain) {
    const std::pair<const char*, TEncryptionMode> cases[] = {
        {"Encryption=ExplicitRequired\n", TEncryptionMode::ExplicitRequired},
        {"Encryption=explicitifavailable\n", TEncryptionMode::ExplicitIfAvailable},
        {"Encryption=Implicit\n", TEncryptionMode::Implicit},
        {"Encryption=SSLv2\n", TEncryptionMode::Plain},
        {"", TEncryptionMode::Plain},
    };
    for (const auto& [line, expected] : cases) {
        ::WriteFile(path_, std::string("[Server1]\nName=\"n\"\n") + line);
        const TIniFile ini(path_);
        TFTPServer loaded;
        loaded.Encryption = TEncryptionMode::Implicit;
        loaded.LoadFromIni(&ini, "Server1");
        EXPECT_EQ(loaded.Encryption, expected) << "'" << line << "'";
    }
    for (const TEncryptionMode mode : {TEncryptionMode::Implicit, TEncryptionMode::Plain}) {
        TFTPServer s;
        s.Name = "n";
        s.Encryption = mode;
        EXPECT_EQ(RoundTrip(s).Encryption, mode) << "switching back to plain rewrites the key";
    }
}

// Found by fuzzing: a port emptied by hand ("Port=\"") loaded as empty, was
// saved as "" and read back as missing, so the profile changed on each save.
TEST_F(FTPServerObjTest, AnEmptiedPortReadsAsTheUsualOneAndSurvivesASave) {
    for (const char* line : {"Port=\"\n", "Port=\"\"\n", "Port=\n"}) {
        ::WriteFile(path_, std::string("[Server1]\nName=\"n\"\n") + line);
        const TIniFile ini(path_);
        TFTPServer loaded;
        loaded.Port = "2121";
        loaded.LoadFromIni(&ini, "Server1");
        EXPECT_EQ(loaded.Port, line == std::string("Port=\"\n") ? "21" : "2121") << "an empty value reads as missing";
        EXPECT_EQ(RoundTrip(loaded).Port, loaded.Port) << line;
    }
}

}  // namespace
