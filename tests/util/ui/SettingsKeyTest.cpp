// The typed settings wrapper over the test-mode settings store.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>

#include "tests/support/QtTestSupport.h"
#include "util/ui/SettingsKey.h"

namespace {

class SettingsKeyTest : public ::testing::Test {
protected:
    void SetUp() override { qttest::ClearSettings(); }
    void TearDown() override { QDir(StorePath()).removeRecursively(); }
    static QString StorePath() { return QSettings(QStringLiteral("Orvan Software"), QStringLiteral("Velliant FTP")).fileName(); }
};

TEST_F(SettingsKeyTest, KeysBecomeGroupsAndTypedReadsFallBackToTheDefault) {
    EXPECT_EQ(TSettingsKey("software\\orvan software\\velliant ftp\\vftp.INI\\frmMain").Group(), "vftp.INI/frmMain");
    TSettingsKey key("Software\\Orvan Software\\Velliant FTP\\Interface\\");
    EXPECT_EQ(key.ReadInteger("LocalWidth", 185), 185);
    EXPECT_TRUE(key.ReadBool("LogVisible", true));
    key.WriteString("Top", "120");  // the window position stores decimal text
    key.WriteString("Huge", "99999999999");
    key.WriteBool("LogVisible", true);
    EXPECT_EQ(key.ReadInteger("Top", 0), 120);
    EXPECT_EQ(key.ReadInteger("Huge", 7), 7);
    QSettings raw(QStringLiteral("Orvan Software"), QStringLiteral("Velliant FTP"));
    EXPECT_EQ(raw.value("Interface/LogVisible").toString(), "1") << "flags are stored as 0 or 1";
}

TEST_F(SettingsKeyTest, AStoreThatCannotBeWrittenRaisesOnWrite) {
    // A folder where the store's file should be: no write can succeed, even
    // for a privileged user.
    QFile::remove(StorePath());
    ASSERT_TRUE(QDir().mkpath(StorePath()));
    TSettingsKey key("Software\\Orvan Software\\Velliant FTP\\Options\\");
    try {
        key.WriteInteger("FTPTimeOut", 5);
        FAIL() << "no error";
    } catch (const ESettingsError& error) {
        EXPECT_STREQ(error.what(), "Failed to set data for 'FTPTimeOut'");
    }
}

}  // namespace
