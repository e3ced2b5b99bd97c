#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

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
    utiltest::TempFolder temp;
    std::string sharedFolder = temp / ("shared/velliant-ftp-" + std::to_string(geteuid()));
    utiltest::ScopedEnv tmpdir{"TMPDIR", temp / "shared"};

    void SetUp() override { fs::create_directories(temp / "shared"); }
};

}  // namespace

TEST_F(TempNames, FreshNamesInsideAPrivateFolder) {
    fs::create_directories(temp / "run");
    utiltest::ScopedEnv runtime("XDG_RUNTIME_DIR", temp / "run");
    const mode_t oldMask = umask(0277);  // must not weaken the private folder
    const std::string first = NewTempFileName();
    const std::string second = NewTempFileName();
    umask(oldMask);

    EXPECT_EQ(FolderOf(first), temp / "run/velliant-ftp");
    EXPECT_EQ(ModeOf(FolderOf(first)), 0700u);
    EXPECT_EQ(fs::path(first).filename().string().rfind(TempNamePrefix, 0), 0u);
    EXPECT_FALSE(fs::exists(first));
    EXPECT_NE(first, second);
}

TEST_F(TempNames, SharedTemporaryFolderWhenNoRuntimeFolder) {
    utiltest::ScopedEnv runtime("XDG_RUNTIME_DIR", std::nullopt);
    const std::string name = NewTempFileName();
    EXPECT_EQ(FolderOf(name), sharedFolder);
    EXPECT_EQ(ModeOf(sharedFolder), 0700u);
}

TEST_F(TempNames, PlantedOrOpenFoldersAreNotUsed) {
    fs::create_directories(temp / "run");
    fs::create_directories(temp / "elsewhere");
    chmod((temp / "elsewhere").c_str(), 0700);
    fs::create_directory_symlink(temp / "elsewhere", temp / "run/velliant-ftp");
    utiltest::ScopedEnv runtime("XDG_RUNTIME_DIR", temp / "run");
    EXPECT_EQ(FolderOf(NewTempFileName()), sharedFolder);

    fs::remove(temp / "run/velliant-ftp");
    fs::create_directories(temp / "run/velliant-ftp");
    chmod((temp / "run/velliant-ftp").c_str(), 0777);
    EXPECT_EQ(FolderOf(NewTempFileName()), sharedFolder);

    if (geteuid() == 0) {
        chmod((temp / "run/velliant-ftp").c_str(), 0700);
        ASSERT_EQ(chown((temp / "run/velliant-ftp").c_str(), utiltest::kNobody, utiltest::kNobody), 0);
        EXPECT_EQ(FolderOf(NewTempFileName()), sharedFolder);
    }
    EXPECT_TRUE(fs::is_empty(temp / "elsewhere"));
}

TEST_F(TempNames, FallbackNameWhenNoFolderCanBeMade) {
    utiltest::ScopedEnv runtime("XDG_RUNTIME_DIR", std::nullopt);
    utiltest::ScopedEnv shared("TMPDIR", temp / "missing");
    EXPECT_EQ(NewTempFileName(), FallbackTempName);
}
