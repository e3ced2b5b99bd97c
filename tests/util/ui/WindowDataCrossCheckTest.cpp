// vftp's Qt-free idea of where the window keeps its files and of how it reads
// a settings value, held against the window's own Qt code. Runs outside the
// standard paths' test mode, in a private $HOME.
#include <gtest/gtest.h>

#include <QSettings>
#include <QStandardPaths>
#include <cstdlib>
#include <filesystem>

#include "tests/support/TempDir.h"
#include "util/WindowDataFiles.h"
#include "util/ui/ProgramFolders.h"
#include "util/ui/SettingsKey.h"
#include "util/ui/UiUtils.h"

namespace {

// Set before any test touches the settings: their file name is fixed at the
// first use in a process.
class PrivateHome : public ::testing::Environment {
public:
    void SetUp() override {
        setenv("HOME", home_.Path().c_str(), 1);
        for (const char* variable : {"XDG_DATA_HOME", "XDG_CONFIG_HOME"}) unsetenv(variable);
        setenv("XDG_CONFIG_DIRS", (home_.Path() + "/system").c_str(), 1);
    }

private:
    TempDir home_;
};
const auto* const kHome = ::testing::AddGlobalTestEnvironment(new PrivateHome);

const std::string kServersKey = std::string(ApplicationSettingsRoot) + "FTP Servers\\";

std::string SettingsFile() {
    return FromQt(QSettings(QStringLiteral("Orvan Software"), QStringLiteral("Velliant FTP")).fileName());
}

TEST(WindowDataCrossCheck, SameFoldersAsTheWindow) {
    EXPECT_EQ(WindowDataFolder(), ProgramFolder());
    EXPECT_EQ(WindowSettingsFiles().front(), SettingsFile());
    const std::string elsewhere = TempDir().Path();
    setenv("XDG_DATA_HOME", elsewhere.c_str(), 1);
    EXPECT_EQ(WindowDataFolder(),
              FromQt(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)) + "/Orvan Software/Velliant FTP/");
    unsetenv("XDG_DATA_HOME");
}

TEST(WindowDataCrossCheck, ValuesTheWindowStoresReadBackTheSame) {
    TSettingsKey key(kServersKey);
    for (const std::string value : {"/home/u/FTPServers.ini", "/home/ü ser/a,b;c=\"q\"\\x\ttab #h =e [s]", "@at/start",
                                    "  blanks around  ", "", "line\nbreak", "\x01\x7f control"}) {
        key.WriteString("INIFilename", value);
        EXPECT_EQ(SettingsTextValue(ReadFile(SettingsFile()), "FTP Servers", "INIFilename"), value) << value;
        EXPECT_EQ(WindowServerIniFile(), value);
    }
}

// Files written by hand (a user moving the profile file) read the same by
// both.
TEST(WindowDataCrossCheck, HandWrittenValuesReadTheSame) {
    for (const std::string text : {
             "[FTP%20Servers]\nINIFilename = /a/b c.ini   \n",
             "[FTP Servers]\r\nINIFilename=\"/q,uoted\" ; note\r\n",
             "[FTP%20Servers]\nINIFilename=/a,b\n",
             "[FTP%20Servers]\nINIFilename=a\\\\tb\\x41\\101\\xe9\\?\n",
             "[FTP%20Servers]\nINIFilename=\"a  b\"   c  \"d\"\n",
             "[FTP%20Servers]\nINIFilename=/cont\\\n  inued\n",
             "[FTP%20Servers]\nINIFilename=@@at\n",
             "[FTP%20Servers]\nINIFilename=@Invalid()\n",
             "[FTP%20Servers]\n#INIFilename=/x\n",
         }) {
        std::filesystem::create_directories(std::filesystem::path(SettingsFile()).parent_path());
        ASSERT_TRUE(WriteFile(SettingsFile(), text));
        const std::string window = TSettingsKey(kServersKey).ReadString("INIFilename", "<default>");
        EXPECT_EQ(SettingsTextValue(text, "FTP Servers", "INIFilename").value_or("<default>"), window) << text;
    }
}

}  // namespace
