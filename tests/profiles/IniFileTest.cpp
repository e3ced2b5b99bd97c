// The profile file's observable behaviour: where lines go, what reads return,
// and that the file is replaced safely and privately.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "tests/profiles/QtTestSupport.h"
#include "util/IniFile.h"

namespace fs = std::filesystem;

namespace {

class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("vftp-ini-" + std::to_string(::getpid()) + "-" +
                                               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        path_ = (folder_ / "FTPServers.ini").string();
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string Content() const { return qttest::ReadFile(path_); }
    void SetContent(const std::string& text) const { std::ofstream(path_, std::ios::binary) << text; }

    fs::path folder_;
    std::string path_;
};

TEST_F(IniFileTest, SectionsAndKeysAreAppendedAndRewrittenInPlace) {
    TIniFile ini(path_);
    ini.WriteString("General", "Temp", "Temp");
    ini.WriteString("Server1", "Name", "\"a\"");
    ini.WriteString("General", "Count", "1");
    ini.WriteString("server1", "NAME", "\"b\"");  // names match ignoring case
    EXPECT_EQ(Content(), "[General]\nTemp=Temp\nCount=1\n[Server1]\nNAME=\"b\"\n");
}

TEST_F(IniFileTest, NewKeyGoesAfterTheLastLineOfItsSectionNotAfterBlankLines) {
    SetContent("; kept\n[A]\nx=1\n\n[B]\ny=2\n");
    TIniFile ini(path_);
    ini.WriteInteger("A", "z", 3);
    EXPECT_EQ(Content(), "; kept\n[A]\nx=1\nz=3\n\n[B]\ny=2\n");
}

TEST_F(IniFileTest, ReadsTrimDropOnePairOfQuotesAndCutAt1023) {
    SetContent("[S]\r\n plain =  spaced value  \r\nq=\"\"inner\"\"\r\nsingle='x'\r\nodd=\"x\r\nempty=\r\n");
    TIniFile ini(path_);
    EXPECT_EQ(ini.ReadString("S", "plain", "d"), "spaced value");
    EXPECT_EQ(ini.ReadString("S", "q", "d"), "\"inner\"");
    EXPECT_EQ(ini.ReadString("S", "single", "d"), "x");
    EXPECT_EQ(ini.ReadString("S", "odd", "d"), "\"x");
    EXPECT_EQ(ini.ReadString("S", "empty", "d"), "");  // present but empty is not missing
    EXPECT_EQ(ini.ReadString("S", "missing", "d"), "d");
    EXPECT_EQ(ini.ReadString("T", "plain", "d"), "d");

    ini.WriteString("S", "long", std::string(2000, 'x'));
    EXPECT_EQ(ini.ReadString("S", "long", "").size(), 1023u);
}

TEST_F(IniFileTest, IntegersAreDecimalOrHexWithTheDefaultForAnythingElse) {
    SetContent("[N]\na=42\nb=0x1F\nc=0XfF\nd=-7\ne=12abc\nf=\ng=0x\nh=99999999999\ni=0xFFFFFFFF\nj=-2147483648\n");
    TIniFile ini(path_);
    EXPECT_EQ(ini.ReadInteger("N", "a", 5), 42);
    EXPECT_EQ(ini.ReadInteger("N", "b", 5), 31);
    EXPECT_EQ(ini.ReadInteger("N", "c", 5), 255);
    EXPECT_EQ(ini.ReadInteger("N", "d", 5), -7);
    EXPECT_EQ(ini.ReadInteger("N", "e", 5), 5);
    EXPECT_EQ(ini.ReadInteger("N", "f", 5), 5);
    EXPECT_EQ(ini.ReadInteger("N", "g", 5), 5);
    EXPECT_EQ(ini.ReadInteger("N", "h", 5), 5);
    EXPECT_EQ(ini.ReadInteger("N", "i", 5), -1);
    EXPECT_EQ(ini.ReadInteger("N", "j", 5), INT32_MIN);
    EXPECT_TRUE(ini.ReadBool("N", "a", false));
    EXPECT_FALSE(ini.ReadBool("N", "missing", false));
    EXPECT_TRUE(ini.ReadBool("N", "e", true));
}

TEST_F(IniFileTest, EraseSectionRemovesItsLinesOnly) {
    SetContent("[A]\nx=1\n[B]\ny=2\n\n[C]\nz=3\n");
    TIniFile ini(path_);
    ini.EraseSection("b");
    EXPECT_EQ(Content(), "[A]\nx=1\n[C]\nz=3\n");
    ini.EraseSection("Absent");
    EXPECT_EQ(Content(), "[A]\nx=1\n[C]\nz=3\n");
    EXPECT_EQ(ini.SectionNames(), (std::vector<std::string>{"A", "C"}));
}

TEST_F(IniFileTest, CreatedFileIsPrivateAndNoTemporaryFileRemains) {
    TIniFile ini(path_);
    ini.WriteString("General", "Temp", "Temp");
    struct stat info {};
    ASSERT_EQ(::stat(path_.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator{}), 1);
}

TEST_F(IniFileTest, WritesThroughALinkKeepTheLink) {
    const fs::path real = folder_ / "real.ini";
    std::ofstream(real) << "[A]\nx=1\n";
    fs::create_symlink(real, path_);
    TIniFile(path_).WriteString("A", "x", "2");
    EXPECT_TRUE(fs::is_symlink(path_));
    EXPECT_EQ(TIniFile(real.string()).ReadString("A", "x", ""), "2");
}

TEST_F(IniFileTest, UnwritableFileRaisesWithThePathAndKeepsNothingHalfWritten) {
    const std::string blocked = (folder_ / "plainfile").string();
    std::ofstream(blocked) << "x";
    TIniFile ini(blocked + "/FTPServers.ini");  // a parent that is a regular file
    try {
        ini.WriteString("General", "Temp", "Temp");
        FAIL() << "no error";
    } catch (const EIniFileException& error) {
        EXPECT_STREQ(error.what(), ("Unable to write to " + blocked + "/FTPServers.ini").c_str());
    }
}

TEST_F(IniFileTest, LineBreaksInNamesOrValuesAreRefusedAndTheFileIsUnchanged) {
    SetContent("[A]\nx=1\n");
    TIniFile ini(path_);
    EXPECT_THROW(ini.WriteString("A", "x", "1\n[Evil]\ny=2"), EIniFileException);
    EXPECT_THROW(ini.WriteString("A\r", "x", "1"), EIniFileException);
    EXPECT_THROW(ini.WriteString("A", "k=v", "1"), EIniFileException);
    EXPECT_EQ(Content(), "[A]\nx=1\n");
}

}  // namespace
