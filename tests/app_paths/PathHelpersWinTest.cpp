// The folder helpers on the real Win32 calls, and our path splitting and root rules
// against the platform's.
#include <gtest/gtest.h>
#include <shlwapi.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/Faults.h"
#include "common/PathHelpers.h"
#include "support/FakeFolderSystem.h"
#include "support/Scratch.h"
#include "support/Seams.h"

namespace {

bool IsDir(const std::string& path) {
    const DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

TEST(PathHelpersWin, SplitMatchesTheRuntimeLibrary) {
    const char* cases[] = {
        "C:\\a\\b\\file.xml",
        "C:\\a\\b",
        "C:\\a\\b\\",
        "C:file.xml",
        "C:",
        "file.xml",
        "",
        "\\\\srv\\share\\out.xml",
        "dir\\file.xml",
        "C:/a/b.xml",
        "/x/y",
        "C:\\a.b\\c.d",
        "C:\\"
        "\x8a\x94\\"
        "\x83\x41.xml",  // double-byte names without a 0x5C byte
        "c",
        ":x",
        "C:\\d\\表",
        "C:\\表\\x",
    };
    for (const char* path : cases) {
        char drive[_MAX_DRIVE];
        char dir[_MAX_DIR];
        _splitpath(path, drive, dir, nullptr, nullptr);
        size_t driveLength = 0;
        size_t dirLength = 0;
        velnor::SplitDriveAndDirectory(path, &driveLength, &dirLength);
        EXPECT_EQ(std::string(drive), std::string(path, driveLength)) << path;
        EXPECT_EQ(std::string(dir), std::string(path + driveLength, dirLength)) << path;
    }
}

TEST(PathHelpersWin, FakeRootsMatchThePlatform) {
    velnor_test::FakeFolderSystem fake;
    velnor::FolderSystem& real = velnor::PlatformFolderSystem();
    const char* cases[] = {
        "C:\\",
        "C:\\a\\",
        "c:\\a\\b\\",
        "\\\\srv\\share\\",
        "\\\\srv\\share\\a\\b\\",
        "\\\\srv\\",
        "\\\\srv",
        "\\\\",
        "rel\\",
        "C:",
        "C:a\\",
        "\x95\x5c:\\",
        "Z:\\tmp\\",
    };
    for (const char* path : cases) {
        const char* fakeRest = fake.SkipRoot(path);
        const char* realRest = real.SkipRoot(path);
        EXPECT_EQ(realRest == nullptr, fakeRest == nullptr) << path;
        if (realRest == nullptr || fakeRest == nullptr) continue;
        EXPECT_EQ(realRest - path, fakeRest - path) << path;

        char fakeRoot[velnor::kPathBufferSize];
        char realRoot[velnor::kPathBufferSize];
        std::strcpy(fakeRoot, path);
        std::strcpy(realRoot, path);
        EXPECT_EQ(real.StripToRoot(realRoot), fake.StripToRoot(fakeRoot)) << path;
        EXPECT_STREQ(realRoot, fakeRoot) << path;
    }
}

class FolderTreeWin : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_FALSE(base_.empty()); }

    velnor_test::FileFaultsGuard faults_;
    velnor_test::ScratchFolder folder_{"paths"};
    const std::string base_ = folder_.path();
};

TEST_F(FolderTreeWin, CreatesThreeLevels) {
    ASSERT_TRUE(velnor::CreateFolderTree((base_ + "x\\y\\z\\").c_str()));
    EXPECT_TRUE(IsDir(base_ + "x\\y\\z"));
    EXPECT_TRUE(velnor::IsFolder((base_ + "x\\y\\z\\").c_str()));
    EXPECT_TRUE(velnor::IsFolder((base_ + "x\\y\\z\\out.xml").c_str()));
    EXPECT_FALSE(velnor::IsFolder((base_ + "x\\y\\z\\w\\").c_str()));
    // Again: everything exists, nothing to do.
    velnor::PlanFileFault(velnor::FileOp::kMkdir, 1);
    EXPECT_TRUE(velnor::CreateFolderTree((base_ + "x\\y\\z\\").c_str()));
}

TEST_F(FolderTreeWin, AFailingThirdLevelRollsBack) {
    ASSERT_TRUE(CreateDirectoryA((base_ + "keep").c_str(), nullptr) != 0);
    velnor::PlanFileFault(velnor::FileOp::kMkdir, 3);
    EXPECT_FALSE(velnor::CreateFolderTree((base_ + "keep\\a\\b\\c\\").c_str()));
    EXPECT_FALSE(Exists(base_ + "keep\\a"));
    EXPECT_TRUE(IsDir(base_ + "keep"));
    EXPECT_TRUE(IsDir(base_));
}

TEST_F(FolderTreeWin, ALevelTheSystemRefusesRollsBack) {
    ASSERT_TRUE(CreateDirectoryA((base_ + "keep").c_str(), nullptr) != 0);
    EXPECT_FALSE(velnor::CreateFolderTree((base_ + "keep\\n\\m\\b*d\\").c_str()));
    EXPECT_FALSE(Exists(base_ + "keep\\n"));
    EXPECT_TRUE(IsDir(base_ + "keep"));
}

TEST_F(FolderTreeWin, AFileInTheWay) {
    ASSERT_TRUE(CreateDirectoryA((base_ + "a").c_str(), nullptr) != 0);
    HANDLE file = CreateFileA((base_ + "a\\f").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    CloseHandle(file);
    EXPECT_FALSE(velnor::CreateFolderTree((base_ + "a\\f\\g\\").c_str()));
    EXPECT_TRUE(IsDir(base_ + "a"));
    EXPECT_TRUE(Exists(base_ + "a\\f"));
    EXPECT_FALSE(IsDir(base_ + "a\\f"));
}

TEST_F(FolderTreeWin, DoubleByteNamesWithA0x5CSecondByte) {
    const std::string folder = base_ + "表\\ソ能\\";
    ASSERT_TRUE(velnor::CreateFolderTree(folder.c_str()));
    EXPECT_TRUE(IsDir(base_ + "表"));
    EXPECT_TRUE(IsDir(base_ + "表\\ソ能"));
    EXPECT_EQ(std::vector<std::string>{"表\\"}, folder_.List());
    EXPECT_EQ(std::vector<std::string>{"ソ能\\"}, folder_.List("表\\"));
    EXPECT_TRUE(velnor::RemoveCreatedFolders(folder.c_str(), base_.c_str()));
    EXPECT_FALSE(Exists(base_ + "表"));
    EXPECT_TRUE(IsDir(base_));
}

TEST_F(FolderTreeWin, RemoveLeavesFoldersThatAreNotEmpty) {
    ASSERT_TRUE(velnor::CreateFolderTree((base_ + "x\\y\\").c_str()));
    HANDLE file = CreateFileA((base_ + "x\\keep.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    CloseHandle(file);
    EXPECT_FALSE(velnor::RemoveCreatedFolders((base_ + "x\\y\\").c_str(), base_.c_str()));
    EXPECT_FALSE(Exists(base_ + "x\\y"));
    EXPECT_TRUE(IsDir(base_ + "x"));
}

}  // namespace
