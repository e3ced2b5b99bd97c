#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/support/TempDir.h"
#include "tests/util/UtilTestSupport.h"
#include "util/MiscUtils.h"

namespace fs = std::filesystem;

TEST(LocalFiles, FoldersSizesAndDates) {
    TempDir temp;
    EXPECT_TRUE(MakeFolder(temp.File("new/")));
    EXPECT_FALSE(MakeFolder(temp.File("new")));

    CreateEmptyFile(temp.File("full"));

    WriteFile(temp.File("readonly"), "12345");
    chmod(temp.File("readonly").c_str(), 0444);
    EXPECT_TRUE(utiltest::RunUnprivileged(temp.Path(), [&] { return FileSizeOf(temp.File("readonly")) == 5; }));
    const int fd = open(temp.File("sparse").c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_EQ(ftruncate(fd, 5000000000LL), 0);
    close(fd);
    EXPECT_EQ(FileSizeOf(temp.File("sparse")), 5000000000LL);
    EXPECT_EQ(FileSizeOf(temp.File("missing")), 0);
    EXPECT_EQ(FileSizeOf(temp.Path()), 0);

    utiltest::ScopedEnv zone("TZ", "UTC");
    const timespec stamps[2] = {{0, UTIME_OMIT}, {86400 * 2 + 21600, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, temp.File("full").c_str(), stamps, 0), 0);
    EXPECT_DOUBLE_EQ(FileDateTime(temp.File("full")), 25571.25);
    EXPECT_EQ(FileDateTime(temp.File("missing")), -1);
}

TEST(LocalFiles, DeleteFolderTreeRemovesHiddenEntriesAndLinksWithoutFollowing) {
    TempDir temp;
    fs::create_directories(temp.File("tree/.hidden/deep"));
    WriteFile(temp.File("tree/.hidden/deep/b"), "b");
    fs::create_directories(temp.File("outside/sub"));
    WriteFile(temp.File("outside/sub/keep"), "k");
    fs::create_directory_symlink(temp.File("outside"), temp.File("tree/folderlink"));
    fs::create_symlink(temp.File("outside/sub/keep"), temp.File("tree/filelink"));
    fs::create_directory_symlink(temp.File("outside"), temp.File("toplink"));

    EXPECT_FALSE(DeleteFolderTree(temp.File("toplink")));
    EXPECT_TRUE(DeleteFolderTree(temp.File("tree/")));
    EXPECT_FALSE(FileExists(temp.File("tree")));
    EXPECT_TRUE(FileExists(temp.File("outside/sub/keep")));
    EXPECT_FALSE(DeleteFolderTree(temp.File("tree")));
    EXPECT_FALSE(DeleteFolderTree(""));
}

TEST(LocalFiles, DeleteFolderTreeLeavesAProtectedSubfolderAndFails) {
    TempDir temp;
    fs::create_directories(temp.File("tree/locked"));
    fs::create_directories(temp.File("tree/open"));
    WriteFile(temp.File("tree/locked/inside"), "x");
    WriteFile(temp.File("tree/open/gone"), "x");
    chmod(temp.File("tree/locked").c_str(), 0555);

    EXPECT_TRUE(utiltest::RunUnprivileged(temp.Path(), [&] { return !DeleteFolderTree(temp.File("tree")); }));
    EXPECT_TRUE(FileExists(temp.File("tree/locked/inside")));
    EXPECT_FALSE(FileExists(temp.File("tree/open")));
    chmod(temp.File("tree/locked").c_str(), 0700);
}
