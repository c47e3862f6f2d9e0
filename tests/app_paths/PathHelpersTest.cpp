#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/Faults.h"
#include "common/PathHelpers.h"
#include "support/FakeFolderSystem.h"

namespace {

using velnor::AddLastBackslash;
using velnor::CreateFolderTree;
using velnor::FolderPartOf;
using velnor::IsDbcsByteAt;
using velnor::IsFolder;
using velnor::kPathBufferSize;
using velnor::NormalizeFolderPath;
using velnor::RemoveCreatedFolders;
using velnor_test::FakeFolderSystem;
using velnor_test::FolderSystemGuard;

// Double-byte characters whose second byte is a backslash or a bar.
constexpr char kHyo[] = "表";  // 0x95 0x5C
constexpr char kSo[] = "ソ";   // 0x83 0x5C
constexpr char kPo[] = "ポ";   // 0x83 0x7C

TEST(PathHelpers, SourceLiteralsAreShiftJis) {
    EXPECT_EQ(std::string("\x95\x5c"), kHyo);
    EXPECT_EQ(std::string("\x83\x5c"), kSo);
    EXPECT_EQ(std::string("\x83\x7c"), kPo);
}

TEST(PathHelpers, IsDbcsByteAt) {
    const struct {
        std::string text;
        size_t index;
        bool expected;
    } cases[] = {
        {std::string("a") + kHyo + "b", 0, false},
        {std::string("a") + kHyo + "b", 1, true},
        {std::string("a") + kHyo + "b", 2, true},
        {std::string("a") + kHyo + "b", 3, false},
        {std::string("C:\\") + kHyo + "\\", 5, false},
        {"a\x95", 1, false},  // a lead byte without its partner
        {"\x95!", 0, false},  // followed by a byte that cannot end a character
        {"\x95\x7f", 1, false},
        {std::string(kSo) + kSo, 2, true},
        {"abc", 7, false},  // past the end
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, IsDbcsByteAt(c.text.c_str(), c.index)) << c.text << " @" << c.index;
    }
    EXPECT_FALSE(IsDbcsByteAt(nullptr, 0));
}

TEST(PathHelpers, AddLastBackslash) {
    const struct {
        std::string text;
        size_t size;
        bool ok;
        std::string expected;
    } cases[] = {
        {"C:\\a", 261, true, "C:\\a\\"},
        {"C:\\a\\", 261, true, "C:\\a\\"},
        {std::string("C:\\") + kHyo, 261, true, std::string("C:\\") + kHyo + "\\"},
        {std::string("C:\\") + kHyo + "\\", 261, true, std::string("C:\\") + kHyo + "\\"},
        {"", 261, false, ""},
        {"C:\\a", 0, false, "C:\\a"},
        {"C:\\a", 5, false, "C:\\a"},  // four bytes and the terminator: no room
        {"C:\\a", 6, true, "C:\\a\\"},
        {"C:\\a\\", 6, true, "C:\\a\\"},
        {std::string(259, 'x'), 261, true, std::string(259, 'x') + "\\"},
        {std::string(260, 'x'), 261, false, std::string(260, 'x')},
        {std::string(259, 'x') + "\\", 261, true, std::string(259, 'x') + "\\"},
        {std::string(258, 'x') + kHyo, 261, false, std::string(258, 'x') + kHyo},
        {std::string(257, 'x') + kHyo, 261, true, std::string(257, 'x') + kHyo + "\\"},
        // A lead byte without its partner: a backslash would turn into its second byte.
        {"C:\\a\x95", 261, false, "C:\\a\x95"},
        {std::string("C:\\") + kHyo + "\x83", 261, false, std::string("C:\\") + kHyo + "\x83"},
    };
    for (const auto& c : cases) {
        char buffer[600] = {};
        std::memcpy(buffer, c.text.data(), c.text.size());
        EXPECT_EQ(c.ok, AddLastBackslash(buffer, c.size)) << c.text.size() << " " << c.text;
        EXPECT_EQ(c.expected, buffer) << c.text;
    }
    EXPECT_FALSE(AddLastBackslash(nullptr, 261));
}

TEST(PathHelpers, AddLastBackslashNeverPassesTheBuffer) {
    char unterminated[8];
    std::memset(unterminated, 'x', sizeof unterminated);
    EXPECT_FALSE(AddLastBackslash(unterminated, sizeof unterminated));
    EXPECT_EQ(0, std::memcmp(unterminated, "xxxxxxxx", 8));
}

TEST(PathHelpers, NormalizeFolderPath) {
    const struct {
        std::string text;
        bool ok;
        std::string expected;
    } cases[] = {
        {"C:\\a\\b\\file.xml", true, "C:\\a\\b\\"},
        {"C:\\a\\b", true, "C:\\a\\"},
        {"C:\\a\\b\\", true, "C:\\a\\b\\"},
        {"C:\\file.xml", true, "C:\\"},
        {"C:file.xml", true, "C:\\"},
        {"C:", true, "C:"},
        {"\\\\srv\\share\\out.xml", true, "\\\\srv\\share\\"},
        {"dir\\file.xml", true, "dir\\"},
        {"file.xml", false, "file.xml"},
        {"", false, ""},
        {std::string("C:\\") + kHyo + "\\x.xml", true, std::string("C:\\") + kHyo + "\\"},
        // The last name is a file whose second byte is 0x5C, not a folder.
        {std::string("C:\\d\\") + kHyo, true, "C:\\d\\"},
        {std::string("C:\\") + kSo + kSo + "\\" + kSo, true,
         std::string("C:\\") + kSo + kSo + "\\"},
    };
    for (const auto& c : cases) {
        char buffer[kPathBufferSize] = {};
        std::memcpy(buffer, c.text.data(), c.text.size());
        EXPECT_EQ(c.ok, NormalizeFolderPath(buffer)) << c.text;
        EXPECT_EQ(c.expected, buffer) << c.text;
    }
    EXPECT_FALSE(NormalizeFolderPath(nullptr));
}

TEST(PathHelpers, FolderPartOfEndsAtTheLastSeparator) {
    const struct {
        const char* path;
        const char* folder;
    } cases[] = {
        {"C:\\host\\env\\VelnorPro.env", "C:\\host\\env\\"},
        {"/tmp/x/VelnorPro.env", "/tmp/x/"},
        {"C:\\a/b.xml", "C:\\a/"},
        {"C:out.xml", "C:"},
        {"VelnorPro.env", ""},
        {"a:b.xml", "a:"},
        {"x\\a:b.xml", "x\\"},             // a colon past the drive is no separator
        {"C:\\\x95\x5C\x83\x5C", "C:\\"},  // "表ソ": both trail bytes are 0x5C
    };
    for (const auto& c : cases) EXPECT_EQ(FolderPartOf(c.path), c.folder) << c.path;
}

TEST(PathHelpers, DeviceNamesInTheLastPartAlone) {
    const struct {
        const char* path;
        bool device;
    } cases[] = {
        {"NUL", true},           {"nul.xml", true},
        {"C:\\out\\Con", true},  {"Z:\\tmp\\aux.tar.gz", true},
        {"prn...", true},        {"PRN  ", true},
        {"com1 .xml", true},     {"COM0", true},
        {"lpt9.xml", true},      {"CONIN$", true},
        {"conout$.txt", true},   {"nul:", true},
        {"dir/NUL.xml", true},   {"NUL\\out.xml", false},  // a folder's name is not looked at
        {"nul1.xml", false},     {"COM10", false},
        {"COMA", false},         {"CONIN", false},
        {"xnul", false},         {" nul", false},
        {"null.xml", false},     {"out.nul", false},
        {"C:\\\x95\x5C", false}, {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(velnor::IsDeviceName(c.path), c.device) << c.path;
    EXPECT_FALSE(velnor::IsDeviceName(nullptr));
}

TEST(PathHelpers, NormalizeFolderPathRefusesAnUnterminatedBuffer) {
    char buffer[6] = {'C', ':', '\\', 'a', '\\', 'b'};
    EXPECT_FALSE(NormalizeFolderPath(buffer, sizeof buffer));
    EXPECT_EQ(0, std::memcmp(buffer, "C:\\a\\b", 6));
}

class FolderTreeTest : public ::testing::Test {
  protected:
    void SetUp() override { velnor::ResetFileFaults(); }
    void TearDown() override { velnor::ResetFileFaults(); }

    FakeFolderSystem fs;
    FolderSystemGuard scope{&fs};
};

TEST_F(FolderTreeTest, IsFolderLooksAtTheNormalisedPath) {
    fs.AddFolder("C:\\data");
    EXPECT_TRUE(IsFolder("C:\\data\\"));
    EXPECT_TRUE(IsFolder("C:\\DATA\\out.xml"));
    EXPECT_FALSE(IsFolder("C:\\data\\sub\\"));
    EXPECT_FALSE(IsFolder(""));
    EXPECT_FALSE(IsFolder(nullptr));
    EXPECT_FALSE(IsFolder(("C:\\data\\" + std::string(260, 'x')).c_str()));
}

TEST_F(FolderTreeTest, CreatesEveryMissingLevelFromTheRootDown) {
    ASSERT_TRUE(CreateFolderTree("C:\\x\\y\\z\\"));
    EXPECT_EQ((std::vector<std::string>{"C:\\x\\", "C:\\x\\y\\", "C:\\x\\y\\z\\"}), fs.created);
    EXPECT_TRUE(fs.Has("C:\\x\\y\\z"));
}

TEST_F(FolderTreeTest, ALastLevelWithoutBackslashIsAFileName) {
    ASSERT_TRUE(CreateFolderTree("C:\\x\\y\\out.xml"));
    EXPECT_EQ((std::vector<std::string>{"C:\\x\\", "C:\\x\\y\\"}), fs.created);
}

TEST_F(FolderTreeTest, ExistingLevelsAreNotCreatedAgain) {
    fs.AddFolder("C:\\x");
    ASSERT_TRUE(CreateFolderTree("C:\\X\\y\\"));
    EXPECT_EQ((std::vector<std::string>{"C:\\X\\y\\"}), fs.created);
    ASSERT_TRUE(CreateFolderTree("C:\\x\\y\\"));
    EXPECT_EQ(1u, fs.created.size());
}

TEST_F(FolderTreeTest, AFailingThirdLevelRemovesTheTwoBeforeIt) {
    velnor::PlanFileFault(velnor::FileOp::kMkdir, 3);
    EXPECT_FALSE(CreateFolderTree("C:\\x\\y\\z\\"));
    EXPECT_EQ((std::vector<std::string>{"C:\\x\\", "C:\\x\\y\\"}), fs.created);
    EXPECT_EQ((std::vector<std::string>{"C:\\x\\y\\", "C:\\x\\"}), fs.removed);
    EXPECT_FALSE(fs.Has("C:\\x"));
}

TEST_F(FolderTreeTest, AFolderThatExistedBeforeStays) {
    fs.AddFolder("C:\\keep");
    velnor::PlanFileFault(velnor::FileOp::kMkdir, 3);
    EXPECT_FALSE(CreateFolderTree("C:\\keep\\a\\b\\c\\"));
    EXPECT_EQ((std::vector<std::string>{"C:\\keep\\a\\b\\", "C:\\keep\\a\\"}), fs.removed);
    EXPECT_TRUE(fs.Has("C:\\keep"));
    EXPECT_FALSE(fs.Has("C:\\keep\\a"));
}

TEST_F(FolderTreeTest, AFolderThatCannotBeRemovedStaysSilently) {
    velnor::PlanFileFault(velnor::FileOp::kMkdir, 3);
    velnor::PlanFileFault(velnor::FileOp::kRmdir, 1);
    EXPECT_FALSE(CreateFolderTree("C:\\x\\y\\z\\"));
    EXPECT_TRUE(fs.Has("C:\\x\\y"));
    EXPECT_TRUE(fs.Has("C:\\x"));
}

TEST_F(FolderTreeTest, NetworkRoots) {
    ASSERT_TRUE(CreateFolderTree("\\\\srv\\share\\n1\\n2\\"));
    EXPECT_EQ((std::vector<std::string>{"\\\\srv\\share\\n1\\", "\\\\srv\\share\\n1\\n2\\"}),
              fs.created);
    EXPECT_FALSE(CreateFolderTree("\\\\srv\\"));
    EXPECT_FALSE(CreateFolderTree("\\\\srv\\noshare"));
    EXPECT_EQ(2u, fs.created.size());
}

TEST_F(FolderTreeTest, RefusesWhatHasNoRootOrDoesNotFit) {
    const size_t before = fs.FolderCount();
    EXPECT_FALSE(CreateFolderTree("rel\\dir\\"));
    EXPECT_FALSE(CreateFolderTree("file.xml"));
    EXPECT_FALSE(CreateFolderTree(""));
    EXPECT_FALSE(CreateFolderTree(nullptr));
    EXPECT_FALSE(CreateFolderTree(("C:\\" + std::string(257, 'x') + "\\").c_str()));  // 261
    EXPECT_TRUE(CreateFolderTree(("C:\\" + std::string(256, 'x') + "\\").c_str()));   // 260
    EXPECT_EQ(before + 1, fs.FolderCount());
}

TEST_F(FolderTreeTest, TrailBytesOf0x5CAreNoLevels) {
    const std::string folder = std::string("C:\\") + kHyo + "\\" + kSo + kSo + "\\";
    ASSERT_TRUE(CreateFolderTree(folder.c_str()));
    EXPECT_EQ((std::vector<std::string>{std::string("C:\\") + kHyo + "\\", folder}), fs.created);
}

TEST_F(FolderTreeTest, RemoveStopsAtTheStopFolderWhateverItsCase) {
    fs.AddFolder("C:\\x");
    fs.AddFolder("C:\\x\\y");
    fs.AddFolder("C:\\x\\y\\z");
    EXPECT_TRUE(RemoveCreatedFolders("C:\\x\\y\\z\\", "c:\\X\\"));
    EXPECT_EQ((std::vector<std::string>{"C:\\x\\y\\z\\", "C:\\x\\y\\"}), fs.removed);
    EXPECT_TRUE(fs.Has("C:\\x"));
}

TEST_F(FolderTreeTest, RemoveWithoutStopTakesOnlyTheDeepestExistingFolder) {
    fs.AddFolder("C:\\x");
    fs.AddFolder("C:\\x\\y");
    EXPECT_TRUE(RemoveCreatedFolders("C:\\x\\y\\z\\", nullptr));
    EXPECT_EQ((std::vector<std::string>{"C:\\x\\y\\"}), fs.removed);
}

TEST_F(FolderTreeTest, RemoveRefusesAStopFolderThatIsNotAbove) {
    fs.AddFolder("C:\\x");
    fs.AddFolder("C:\\x\\y");
    fs.AddFolder("\\\\srv\\share\\x");
    EXPECT_FALSE(RemoveCreatedFolders("C:\\x\\y\\", "C:\\other\\"));
    EXPECT_FALSE(RemoveCreatedFolders("C:\\x\\y\\", "\\\\srv\\share\\x\\"));
    EXPECT_FALSE(RemoveCreatedFolders("C:\\x\\y\\", "D:\\x\\"));
    EXPECT_TRUE(fs.removed.empty());
}

TEST_F(FolderTreeTest, RemoveFoldsOnlySingleByteLetters) {
    // ア (0x83 0x41) and ヂ (0x83 0x61) differ in a trail byte that looks like A and a.
    fs.AddFolder("C:\\\x83\x61");
    fs.AddFolder("C:\\\x83\x61\\sub");
    EXPECT_FALSE(RemoveCreatedFolders("C:\\\x83\x61\\sub\\", "C:\\\x83\x41\\"));
    EXPECT_TRUE(fs.removed.empty());
}

}  // namespace
