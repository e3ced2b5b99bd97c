#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "tests/util/UtilTestSupport.h"
#include "util/MiscUtils.h"

namespace fs = std::filesystem;

namespace {

void WriteFile(const std::string& path, const std::string& content) { std::ofstream(path) << content; }

class LocalFiles : public ::testing::Test {
protected:
    utiltest::TempFolder temp;
};

}  // namespace

TEST_F(LocalFiles, MakeFolderCreatesOnlyNewFoldersUnderExistingParents) {
    EXPECT_TRUE(MakeFolder(temp / "new/"));
    EXPECT_TRUE(fs::is_directory(temp / "new"));
    EXPECT_FALSE(MakeFolder(temp / "new"));
    EXPECT_FALSE(MakeFolder(temp / "missing/child"));
    EXPECT_FALSE(MakeFolder(""));
}

TEST_F(LocalFiles, CreateEmptyFileCreatesAndTruncates) {
    CreateEmptyFile(temp / "fresh");
    EXPECT_TRUE(fs::is_regular_file(temp / "fresh"));
    WriteFile(temp / "full", "some content");
    CreateEmptyFile(temp / "full");
    EXPECT_EQ(fs::file_size(temp / "full"), 0u);
    CreateEmptyFile(temp / "missing/file");  // no exception, no file
    EXPECT_FALSE(fs::exists(temp / "missing"));
}

TEST_F(LocalFiles, FileSizeOfReadsSizesWithoutWriting) {
    WriteFile(temp / "readonly", "12345");
    chmod((temp / "readonly").c_str(), 0444);
    const std::string readonly = temp / "readonly";
    EXPECT_TRUE(utiltest::RunUnprivileged(temp.path(), [&] { return FileSizeOf(readonly) == 5; }));

    const int fd = open((temp / "sparse").c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_EQ(ftruncate(fd, 5000000000LL), 0);
    close(fd);
    EXPECT_EQ(FileSizeOf(temp / "sparse"), 5000000000LL);
    EXPECT_EQ(FileSizeOf(temp / "missing"), 0);
    EXPECT_EQ(FileSizeOf(temp.path()), 0);
}

TEST_F(LocalFiles, FileDateTimeOfExistingAndMissingEntries) {
    utiltest::ScopedZone zone("UTC");
    CreateEmptyFile(temp / "dated");
    const timespec stamps[2] = {{0, UTIME_OMIT}, {86400 * 2 + 21600, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, (temp / "dated").c_str(), stamps, 0), 0);
    EXPECT_DOUBLE_EQ(FileDateTime(temp / "dated"), 25571.25);
    EXPECT_EQ(FileDateTime(temp / "missing"), -1);
}

TEST_F(LocalFiles, DeleteFolderTreeRemovesNestedAndHiddenEntries) {
    fs::create_directories(temp / "tree/.hidden/deep/er");
    WriteFile(temp / "tree/a.txt", "a");
    WriteFile(temp / "tree/.hidden/deep/er/b", "b");
    WriteFile(temp / "tree/.dotfile", "c");
    EXPECT_TRUE(DeleteFolderTree(temp / "tree/"));
    EXPECT_FALSE(fs::exists(temp / "tree"));
    EXPECT_FALSE(DeleteFolderTree(temp / "tree"));
    EXPECT_FALSE(DeleteFolderTree(""));
}

TEST_F(LocalFiles, DeleteFolderTreeRemovesLinksWithoutFollowingThem) {
    fs::create_directories(temp / "outside/sub");
    WriteFile(temp / "outside/keep", "k");
    WriteFile(temp / "outside/sub/keep", "k");
    fs::create_directories(temp / "tree");
    fs::create_directory_symlink(temp / "outside", temp / "tree/folderlink");
    fs::create_symlink(temp / "outside/keep", temp / "tree/filelink");
    fs::create_symlink(temp / "nowhere", temp / "tree/dangling");
    fs::create_directory_symlink(temp / "outside", temp / "toplink");

    EXPECT_FALSE(DeleteFolderTree(temp / "toplink"));  // a link is not a folder to empty
    EXPECT_TRUE(DeleteFolderTree(temp / "tree"));
    EXPECT_FALSE(fs::exists(fs::symlink_status(temp / "tree")));
    EXPECT_TRUE(fs::exists(temp / "outside/keep"));
    EXPECT_TRUE(fs::exists(temp / "outside/sub/keep"));
}

TEST_F(LocalFiles, DeleteFolderTreeLeavesAProtectedSubfolderAndFails) {
    fs::create_directories(temp / "tree/locked");
    fs::create_directories(temp / "tree/open");
    WriteFile(temp / "tree/locked/inside", "x");
    WriteFile(temp / "tree/open/gone", "x");
    WriteFile(temp / "tree/gone", "x");
    chmod((temp / "tree/locked").c_str(), 0555);

    const std::string tree = temp / "tree";
    EXPECT_TRUE(utiltest::RunUnprivileged(temp.path(), [&] { return !DeleteFolderTree(tree); }));
    EXPECT_TRUE(fs::exists(temp / "tree/locked/inside"));
    EXPECT_FALSE(fs::exists(temp / "tree/open"));
    EXPECT_FALSE(fs::exists(temp / "tree/gone"));
}
