#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/support/TempDir.h"
#include "tests/util/UtilTestSupport.h"
#include "util/MiscUtils.h"

namespace fs = std::filesystem;

namespace {

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    lstat(path.c_str(), &info);
    return info.st_mode & 07777;
}

std::string FolderOf(const std::string& path) { return fs::path(path).parent_path().string(); }

class TempNames : public ::testing::Test {
protected:
    TempDir temp;
    std::string shared = temp.File("shared/velliant-ftp-" + std::to_string(geteuid()));
    utiltest::ScopedEnv tmpdir{"TMPDIR", temp.File("shared")};
    std::string runFolder = temp.File("run/velliant-ftp");

    void SetUp() override {
        fs::create_directories(temp.File("shared"));
        fs::create_directories(temp.File("run"));
    }
};

}  // namespace

TEST_F(TempNames, FreshNamesInsideAPrivateFolder) {
    utiltest::ScopedEnv runtime("XDG_RUNTIME_DIR", temp.File("run"));
    const mode_t oldMask = umask(0277);  // must not weaken the private folder
    const std::string first = NewTempFileName();
    const std::string second = NewTempFileName();
    umask(oldMask);
    EXPECT_EQ(FolderOf(first), runFolder);
    EXPECT_EQ(ModeOf(runFolder), 0700u);
    EXPECT_EQ(fs::path(first).filename().string().rfind(TempNamePrefix, 0), 0u);
    EXPECT_FALSE(FileExists(first));
    EXPECT_NE(first, second);

    utiltest::ScopedEnv noRuntime("XDG_RUNTIME_DIR", std::nullopt);
    EXPECT_EQ(FolderOf(NewTempFileName()), shared);
    EXPECT_EQ(ModeOf(shared), 0700u);
}

TEST_F(TempNames, PlantedOrOpenFoldersAreNotUsedThenAFreshFileHere) {
    utiltest::ScopedEnv runtime("XDG_RUNTIME_DIR", temp.File("run"));
    fs::create_directories(temp.File("elsewhere"));
    chmod(temp.File("elsewhere").c_str(), 0700);
    fs::create_directory_symlink(temp.File("elsewhere"), runFolder);
    EXPECT_EQ(FolderOf(NewTempFileName()), shared);
    EXPECT_TRUE(fs::is_empty(temp.File("elsewhere")));

    fs::remove(runFolder);
    fs::create_directories(runFolder);
    chmod(runFolder.c_str(), 0777);
    EXPECT_EQ(FolderOf(NewTempFileName()), shared);

    // Without a private folder, two programs in one folder must not share
    // a name: each gets a file of its own, made exclusively and kept.
    utiltest::ScopedEnv missing("TMPDIR", temp.File("missing"));
    const fs::path before = fs::current_path();
    fs::current_path(temp.Path());
    const std::string first = NewTempFileName();
    const std::string second = NewTempFileName();
    fs::current_path(before);
    ASSERT_FALSE(first.empty());
    EXPECT_NE(first, second);
    EXPECT_EQ(first.find('/'), std::string::npos) << first;
    EXPECT_EQ(first.rfind(TempNamePrefix, 0), 0u);
    EXPECT_TRUE(fs::is_regular_file(temp.File(first)));
    EXPECT_EQ(ModeOf(temp.File(first)), 0600u);
}
