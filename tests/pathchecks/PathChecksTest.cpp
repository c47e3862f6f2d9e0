#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "conditions/PathChecks.h"

namespace {

using velnor::CheckDriveLetter;
using velnor::CheckPathChars;
using velnor::CheckPathDrive;

constexpr char kHyo[] = "表";  // 0x95 0x5C
constexpr char kPo[] = "ポ";   // 0x83 0x7C

TEST(PathParts, SplitAtTheLastRealSeparator) {
    const struct {
        std::string path, folder, drive, fileName, afterDrive;
    } cases[] = {
        {"C:\\data\\out.xml", "C:\\data\\", "C:", "out.xml", "\\data\\out.xml"},
        {"C:\\data\\", "C:\\data\\", "C:", "", "\\data\\"},
        {"C:out.xml", "", "C:", "C:out.xml", "out.xml"},
        {"out.xml", "", "", "out.xml", "out.xml"},
        {"", "", "", "", ""},
        {"\\\\srv\\share\\a.xml", "\\\\srv\\share\\", "", "a.xml", "\\\\srv\\share\\a.xml"},
        {"C:\\a:b\\c", "C:\\a:b\\", "C:\\a:", "c", "b\\c"},
        {std::string("C:\\d\\") + kHyo, "C:\\d\\", "C:", kHyo, std::string("\\d\\") + kHyo},
        {std::string("C:\\") + kHyo + "\\x", std::string("C:\\") + kHyo + "\\", "C:", "x",
         std::string("\\") + kHyo + "\\x"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.folder, velnor::GetFolderPart(c.path)) << c.path;
        EXPECT_EQ(c.drive, velnor::GetDrivePart(c.path)) << c.path;
        EXPECT_EQ(c.fileName, velnor::GetFileNamePart(c.path)) << c.path;
        EXPECT_EQ(c.afterDrive, velnor::GetAfterDrivePart(c.path)) << c.path;
    }
}

TEST(CheckPathChars, EachForbiddenCharacter) {
    for (char c : std::string("/:,;*?\"><|")) {
        EXPECT_FALSE(CheckPathChars((std::string("C:\\d\\a") + c + "b.xml").c_str())) << c;
        if (c != ':') {
            EXPECT_FALSE(CheckPathChars((std::string("d\\a") + c + "b.xml").c_str())) << c;
        }
        EXPECT_FALSE(CheckPathChars((std::string("\\\\srv\\sh") + c + "\\a.xml").c_str())) << c;
    }
    for (char c : std::string("!#$%&'()+-=@[]^_`{}~. ")) {
        EXPECT_TRUE(CheckPathChars((std::string("C:\\d\\a") + c + "b.xml").c_str())) << c;
    }
}

TEST(CheckPathChars, Cases) {
    const struct {
        std::string path;
        bool ok;
    } cases[] = {
        {"C:\\data\\out.xml", true},
        {"C:\\data\\*.xml", false},
        {"*.xml", false},
        {"C:\\a:b.xml", false},  // a second colon
        {"C:/data/out.xml", false},
        {"C:\\data\\\\out.xml", false},
        {"C:\\\\out.xml", false},
        {"\\C:\\out.xml", true},  // the drive check refuses it
        {"d\\a:b.xml", true},     // one colon is allowed wherever it stands
        {"out.xml", true},
        {"", true},
        {"\\\\srv\\share\\out.xml", true},
        {"\\\\srv\\share\\\\out.xml", false},
        {"\\\\\\\\srv\\out.xml", true},  // a pair starting at index 2 is part of the prefix
        {"\\\\srv\\\\share", false},
        {"\\\\srv\\C:\\x", false},  // no drive colon after the network prefix
        // Second bytes 0x5C and 0x7C are no backslash and no bar.
        {std::string("C:\\") + kHyo + "\\out.xml", true},
        {std::string("C:\\") + kPo + ".xml", true},
        {std::string("\\\\srv\\") + kHyo + "\\" + kPo + ".xml", true},
        {std::string("C:\\") + kHyo + "\\\\out.xml", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.ok, CheckPathChars(c.path.c_str())) << c.path;
    }
    EXPECT_FALSE(CheckPathChars(nullptr));
}

// Drives and shares on a table; records what was asked.
class FakeDriveSystem final : public velnor::DriveSystem {
  public:
    std::map<char, unsigned> types;
    std::set<std::string> accessible;
    std::vector<std::string> typeQueries;
    std::vector<std::pair<std::string, int>> accessQueries;

    unsigned DriveTypeOf(const char* root) override {
        typeQueries.push_back(root);
        const auto it = types.find(root[0]);
        return it == types.end() ? velnor::kDriveNoRootDir : it->second;
    }
    bool HasAccess(const char* path, int mode) override {
        accessQueries.emplace_back(path, mode);
        return accessible.count(path) != 0;
    }
};

class DriveChecks : public ::testing::Test {
  protected:
    void SetUp() override { previous_ = velnor::SetDriveSystem(&fake); }
    void TearDown() override { velnor::SetDriveSystem(previous_); }
    FakeDriveSystem fake;

  private:
    velnor::DriveSystem* previous_ = nullptr;
};

TEST_F(DriveChecks, DriveTypeTable) {
    const struct {
        unsigned type;
        bool accessible;
        bool ok;
        bool accessTested;
    } cases[] = {
        {0, true, false, false}, {1, true, false, false}, {2, true, true, true},
        {2, false, false, true}, {3, true, true, true},   {3, false, false, true},
        {4, true, true, true},   {4, false, false, true}, {5, true, false, false},
        {6, true, false, false}, {7, false, true, false}, {0xFFFFFFFF, false, true, false},
    };
    for (const auto& c : cases) {
        fake.types['E'] = c.type;
        fake.accessible.clear();
        if (c.accessible) fake.accessible.insert("E:\\");
        fake.accessQueries.clear();
        EXPECT_EQ(c.ok, CheckDriveLetter('E', 6)) << c.type;
        if (c.accessTested) {
            ASSERT_EQ(1u, fake.accessQueries.size()) << c.type;
            EXPECT_EQ("E:\\", fake.accessQueries[0].first);
            EXPECT_EQ(6, fake.accessQueries[0].second);
        } else {
            EXPECT_TRUE(fake.accessQueries.empty()) << c.type;
        }
    }
}

TEST_F(DriveChecks, Letters) {
    fake.types = {{'A', 3}, {'C', 3}, {'Z', 3}};
    fake.accessible = {"A:\\", "C:\\", "Z:\\"};
    EXPECT_TRUE(CheckDriveLetter('C', 6));
    EXPECT_TRUE(CheckDriveLetter('c', 6));
    EXPECT_TRUE(CheckDriveLetter('a', 6));
    EXPECT_TRUE(CheckDriveLetter('z', 2));
    EXPECT_EQ((std::vector<std::string>{"C:\\", "C:\\", "A:\\", "Z:\\"}), fake.typeQueries);
    EXPECT_EQ(2, fake.accessQueries.back().second);
    fake.typeQueries.clear();
    for (char c : {'@', '[', '`', '{', '1', '\\', ':', '\0', static_cast<char>(0x95),
                   static_cast<char>(0xE0), static_cast<char>(0xB1)}) {
        EXPECT_FALSE(CheckDriveLetter(c, 6)) << static_cast<int>(c);
    }
    EXPECT_TRUE(fake.typeQueries.empty());
    EXPECT_FALSE(CheckDriveLetter('D', 6));  // no such drive
}

TEST_F(DriveChecks, PathDrive) {
    fake.types = {{'C', 3}, {'R', 5}};
    fake.accessible = {"C:\\", "\\\\srv\\share"};
    const struct {
        std::string path;
        bool ok;
    } cases[] = {
        {"C:\\data\\out.xml", true},
        {"c:\\data\\out.xml", true},
        {"C:out.xml", true},
        {"Cdata\\out.xml", true},  // the first character is the drive, colon or not
        {"R:\\out.xml", false},    // CD-ROM
        {"D:\\out.xml", false},
        {"C:\\data\\\\out.xml", false},
        {"\\C:\\out.xml", false},
        {"", false},
        {std::string(kHyo) + ":\\out.xml", false},
        {"\\\\srv\\share\\out.xml", true},
        {"\\\\srv\\share\\sub\\out.xml", true},
        {"\\\\srv\\other\\out.xml", false},
        {"\\\\srv\\share", false},  // no backslash after the share
        {"\\\\srv", false},
        {"\\\\", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.ok, CheckPathDrive(c.path.c_str())) << c.path;
    }
    EXPECT_FALSE(CheckPathDrive(nullptr));
}

TEST_F(DriveChecks, NetworkShareIsTestedForReadAndWrite) {
    EXPECT_FALSE(CheckPathDrive("\\\\srv\\share\\a\\b.xml"));
    ASSERT_EQ(1u, fake.accessQueries.size());
    EXPECT_EQ("\\\\srv\\share", fake.accessQueries[0].first);
    EXPECT_EQ(6, fake.accessQueries[0].second);
    EXPECT_TRUE(fake.typeQueries.empty());

    // The separators are searched from index 3: a third leading backslash is not one.
    fake.accessQueries.clear();
    CheckPathDrive("\\\\\\srv\\share\\a.xml");
    ASSERT_EQ(1u, fake.accessQueries.size());
    EXPECT_EQ("\\\\\\srv\\share", fake.accessQueries[0].first);

    // A second byte 0x5C is no separator of server and share.
    fake.accessQueries.clear();
    CheckPathDrive((std::string("\\\\srv") + kHyo + "\\share\\a.xml").c_str());
    ASSERT_EQ(1u, fake.accessQueries.size());
    EXPECT_EQ(std::string("\\\\srv") + kHyo + "\\share", fake.accessQueries[0].first);
}

}  // namespace
