// Where vftp finds the window's files, and how it reads a settings value.
#include <gtest/gtest.h>

#include "tests/support/TempDir.h"
#include "tests/util/UtilTestSupport.h"
#include "util/WindowDataFiles.h"

using utiltest::ScopedEnv;

namespace {

using Strings = std::vector<std::string>;

TEST(WindowDataFiles, FoldersFollowHomeAndTheXdgVariables) {
    ScopedEnv home("HOME", "/home/u");
    {
        ScopedEnv data("XDG_DATA_HOME", std::nullopt), config("XDG_CONFIG_HOME", std::nullopt);
        ScopedEnv dirs("XDG_CONFIG_DIRS", std::nullopt);
        EXPECT_EQ(WindowDataFolder(), "/home/u/.local/share/Orvan Software/Velliant FTP/");
        EXPECT_EQ(WindowSettingsFiles(),
                  (Strings{"/home/u/.config/Orvan Software/Velliant FTP.conf", "/home/u/.config/Orvan Software.conf",
                           "/etc/xdg/Orvan Software/Velliant FTP.conf", "/etc/xdg/Orvan Software.conf"}));
    }
    ScopedEnv data("XDG_DATA_HOME", "/d"), config("XDG_CONFIG_HOME", "/c"), dirs("XDG_CONFIG_DIRS", "/s1::/s2");
    EXPECT_EQ(WindowDataFolder(), "/d/Orvan Software/Velliant FTP/");
    EXPECT_EQ(WindowSettingsFiles(),
              (Strings{"/c/Orvan Software/Velliant FTP.conf", "/c/Orvan Software.conf", "/s1/Orvan Software/Velliant FTP.conf",
                       "/s2/Orvan Software/Velliant FTP.conf", "/s1/Orvan Software.conf", "/s2/Orvan Software.conf"}));
}

// Each case was read by the window's own settings library too, with the
// results given here.
TEST(WindowDataFiles, SettingsValuesReadAsTheWindowReadsThem) {
    struct Case {
        std::string text;
        std::optional<std::string> value;
    };
    for (const Case& c : std::vector<Case>{
             {"[FTP%20Servers]\nINIFilename=/a/b c.ini\n", "/a/b c.ini"},
             {"[FTP Servers]\r\nINIFilename = /a/b c.ini   \r\n", "/a/b c.ini"},
             {"[FTP%20Servers]\nINIFilename=\"/a,b\"\n", "/a,b"},
             {"[FTP%20Servers]\nINIFilename=/a,b\n", ""},
             {"[FTP%20Servers]\nINIFilename=/a;b\n", "/a"},
             {"[FTP%20Servers]\n;INIFilename=/x\nINIFilename=/y\n", "/y"},
             {"[FTP%20Servers]\n#INIFilename=/x\n", std::nullopt},
             {"[FTP%20Servers]\nINIFilename=/a#b\n", "/a#b"},
             {"[ftp%20servers]\nINIFilename=/lc\n", std::nullopt},
             {"[FTP%20Servers]\ninifilename=/lc\n", std::nullopt},
             {"[FTP%20Servers]\nINIFilename=@@at\n", "@at"},
             {"[FTP%20Servers]\nINIFilename=@String(/s)\n", "/s"},
             {"[FTP%20Servers]\nINIFilename=@Invalid()\n", std::nullopt},
             {"[FTP%20Servers]\nINIFilename=a\\\\tb\\x41\\101\\xe9\n", "a\\tbAA\xC3\xA9"},
             {"[FTP%20Servers]\nINIFilename=\"a  b\"   c  \"d\"\n", "a  bc  d"},
             {"[FTP%20Servers]\nINIFilename=/a \\\"q\\\" b\n", "/a \"q\" b"},
             {"[FTP%20Servers]\nINIFilename=/one\n[Other]\nINIFilename=/no\n[FTP%20Servers]\nINIFilename=/two\n", "/two"},
             {"[FTP%20Servers]\nINIFilename=/cont\\\n  inued\n", "/cont  inued"},
             {"[FTP%20Servers]\nINIFilename=\n", ""},
             {"[FTP%20Servers]\nINIFilename\n", std::nullopt},
             {"INIFilename=/top\n", std::nullopt},
         }) {
        EXPECT_EQ(SettingsTextValue(c.text, "FTP Servers", "INIFilename"), c.value) << c.text;
    }
}

TEST(WindowDataFiles, TheProfileFileIsTheDefaultUnlessTheSettingsMoveIt) {
    TempDir home;
    ScopedEnv h("HOME", home.Path()), data("XDG_DATA_HOME", std::nullopt), config("XDG_CONFIG_HOME", std::nullopt);
    ScopedEnv dirs("XDG_CONFIG_DIRS", home.Path() + "/system");
    EXPECT_EQ(WindowServerIniFile(), home.Path() + "/.local/share/Orvan Software/Velliant FTP/FTPServers.ini");
    std::filesystem::create_directories(home.Path() + "/system");
    ASSERT_TRUE(WriteFile(home.Path() + "/system/Orvan Software.conf", "[FTP%20Servers]\nINIFilename=/site-wide.ini\n"));
    EXPECT_EQ(WindowServerIniFile(), "/site-wide.ini");
    std::filesystem::create_directories(home.Path() + "/.config/Orvan Software");
    ASSERT_TRUE(WriteFile(home.Path() + "/.config/Orvan Software/Velliant FTP.conf",
                          "[Options]\nFTPTimeOut=5\n[FTP%20Servers]\nINIFilename=/mine.ini\n"));
    EXPECT_EQ(WindowServerIniFile(), "/mine.ini");
}

}  // namespace
