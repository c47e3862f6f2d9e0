#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "common/Edition.h"
#include "common/PathHelpers.h"
#include "conditions/CondRules.h"
#include "conditions/PathChecks.h"
#include "support/FakeFolderSystem.h"
#include "support/Messages.h"
#include "support/Seams.h"

namespace velnor {
namespace {

TEST(CondPeriod, Formats) {
    EXPECT_EQ(FormatPeriodText(20240401, 20250331), "2024/04/01～2025/03/31");
    EXPECT_EQ(FormatPeriodText(20240401, 20250331),
              "2024/04/01\x81\x60"
              "2025/03/31");
    EXPECT_EQ(FormatPeriodText(0, 99991231), "0000/00/00～9999/12/31");
    EXPECT_EQ(FormatPeriodText(10101, 2147483647), "0001/01/01～214748/36/47");
}

TEST(CondButtons, ByDataKindsAndRememberedCategory) {
    const struct {
        uint8_t kinds;
        int16_t remembered;
        bool general, realEstate, both;
        int16_t checked;
    } cases[] = {
        {1, 0, true, false, false, 1}, {1, 3, true, false, false, 1}, {1, 2, true, false, false, 1},
        {2, 0, false, true, false, 2}, {2, 1, false, true, false, 2}, {2, 3, false, true, false, 2},
        {3, 0, true, true, true, 1},   {3, 2, true, true, true, 2},   {3, 3, true, true, true, 3},
        {3, 4, true, true, true, 1},   {3, -1, true, true, true, 1},  {0, 2, true, true, true, 2},
        {255, 3, true, true, true, 3},
    };
    for (const auto& c : cases) {
        const StBusinessButtons b = ChooseBusinessButtons(c.kinds, c.remembered);
        EXPECT_EQ(b.enabled[0], c.general) << int(c.kinds) << "/" << c.remembered;
        EXPECT_EQ(b.enabled[1], c.realEstate) << int(c.kinds) << "/" << c.remembered;
        EXPECT_EQ(b.enabled[2], c.both) << int(c.kinds) << "/" << c.remembered;
        EXPECT_EQ(b.checked, c.checked) << int(c.kinds) << "/" << c.remembered;
    }
}

TEST(CondDestination, Precedence) {
    const std::string long260(260, 'x'), temp254(254, 't'), temp255(255, 't'), host256(256, 'h');
    const struct {
        const char* fixed;
        const char* remembered;
        const char* host;
        const char* temp;
        std::string expected;
    } cases[] = {
        {"F:\\fix.xml", "R:\\env.xml", "H:\\", "T:\\", "F:\\fix.xml"},
        {"", "R:\\env.xml", "H:\\", "T:\\", "R:\\env.xml"},
        {nullptr, "R:\\env.xml", "H:\\", "T:\\", "R:\\env.xml"},
        {"", "", "H:\\host\\", "T:\\", "H:\\host\\*.xml"},
        {"", "", "H:\\host", "T:\\", "H:\\host*.xml"},  // host folder used as returned
        {"", "", "", "C:\\Temp\\", "C:\\Temp\\*.xml"},
        {"", "", "", "C:\\Temp", "C:\\Temp\\*.xml"},
        {"", "", "", "C:\\\x95\x5C", "C:\\\x95\x5C\\*.xml"},  // 0x5C ending "表" is no backslash
        {"", "", "", "", "\\*.xml"},
        {"", "", "", long260.c_str(), long260},
        {"", "", "", temp254.c_str(), temp254 + "\\*.xml"},
        {"", "", "", temp255.c_str(), temp255 + "\\"},
        {"", "", host256.c_str(), "", host256},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ChooseInitialDestination(c.fixed, c.remembered, c.host, c.temp), c.expected)
            << (c.temp ? c.temp : "");
    }
}

TEST(CondDestination, TextsStayWithinAPathBuffer) {
    char fixed[300];
    std::memset(fixed, 'f', sizeof fixed);
    fixed[299] = '\0';
    EXPECT_EQ(ChooseInitialDestination(fixed, "", "", ""), std::string(260, 'f'));
    // A double-byte character across the limit is left off whole.
    std::string twoByte = std::string(259, 'f') + "\x95\x5C";
    EXPECT_EQ(ChooseInitialDestination(twoByte.c_str(), "", "", ""), std::string(259, 'f'));
}

// Drives and folders of a pretend Windows machine.
class FakeDrives final : public DriveSystem {
  public:
    unsigned DriveTypeOf(const char* root) override {
        auto it = types.find(root);
        return it == types.end() ? kDriveNoRootDir : it->second;
    }
    bool HasAccess(const char*, int) override { return true; }
    std::map<std::string, unsigned> types = {
        {"C:\\", kDriveFixed}, {"A:\\", kDriveFixed}, {"E:\\", kDriveCdRom}};
};

class AcceptTest : public ::testing::Test {
  protected:
    FakeDrives drives_;
    velnor_test::FakeFolderSystem folders_;
    velnor_test::SeamGuard<DriveSystem*, &SetDriveSystem> driveGuard_{&drives_};
    velnor_test::FolderSystemGuard folderGuard_{&folders_};
    velnor_test::MessageBoxRecorder boxes_;
};

TEST_F(AcceptTest, ChecksInOrderWithTheirMessages) {
    const struct {
        const char* destination;
        const char* message;  // null: accepted without a message
    } cases[] = {
        {"", velnor_test::kNoDestinationText},
        {"C:\\data\\*.xml", velnor_test::kBadCharsText},
        {"C:\\a:b.xml", velnor_test::kBadCharsText},
        {"C:\\a/b.xml", velnor_test::kBadCharsText},
        {"C:\\a\\\\b.xml", velnor_test::kBadCharsText},
        {"C:\\out\\nul.xml", velnor_test::kBadCharsText},
        {"C:\\out\\COM1", velnor_test::kBadCharsText},
        {"C:\\out\\con . xml", velnor_test::kBadCharsText},
        {"Q:\\a.xml", velnor_test::kBadDriveText},
        {"E:\\a.xml", velnor_test::kBadDriveText},
        {"\\\\server", velnor_test::kBadDriveText},
        {"C:\\out\\", velnor_test::kNoFileNameText},
        {"a.xml", nullptr},  // first character taken as the drive letter
    };
    for (const auto& c : cases) {
        boxes_.Clear();
        EXPECT_EQ(AcceptDestination(c.destination, false, nullptr), c.message == nullptr)
            << c.destination;
        if (c.message == nullptr) {
            EXPECT_TRUE(boxes_.shown.empty()) << c.destination;
            continue;
        }
        ASSERT_EQ(boxes_.shown.size(), 1u) << c.destination;
        EXPECT_EQ(boxes_.shown[0].text, c.message) << c.destination;
        EXPECT_EQ(boxes_.shown[0].caption, velnor_test::kTitle);
        EXPECT_EQ(boxes_.shown[0].type, kMbOk | kMbIconWarning);
    }
}

TEST_F(AcceptTest, FolderRefusedShowsNothingMore) {
    boxes_.Answer({kIdNo});
    EXPECT_FALSE(AcceptDestination("C:\\new\\a.xml", false, nullptr));
    EXPECT_EQ(boxes_.Texts(), std::vector<std::string>{velnor_test::kCreateFolderText});
    EXPECT_EQ(boxes_.shown[0].type, kMbYesNo | kMbIconQuestion);
    EXPECT_TRUE(folders_.created.empty());
}

TEST_F(AcceptTest, FolderCreatedLevelByLevel) {
    boxes_.Answer({kIdYes});
    EXPECT_TRUE(AcceptDestination("C:\\one\\two\\three\\a.xml", false, nullptr));
    EXPECT_EQ(boxes_.Texts(), std::vector<std::string>{velnor_test::kCreateFolderText});
    EXPECT_EQ(folders_.created,
              (std::vector<std::string>{"C:\\one\\", "C:\\one\\two\\", "C:\\one\\two\\three\\"}));
}

TEST_F(AcceptTest, FailedCreationRollsBackAndReports) {
    folders_.AddFolder("C:\\one\\");
    folders_.failing = "C:\\one\\two\\three\\";
    boxes_.Answer({kIdYes});
    EXPECT_FALSE(AcceptDestination("C:\\one\\two\\three\\a.xml", true, nullptr));
    EXPECT_EQ(boxes_.Texts(), (std::vector<std::string>{velnor_test::kCreateFolderText,
                                                        velnor_test::kCreateFolderFailedText}));
    EXPECT_EQ(boxes_.shown[1].type, kMbOk | kMbIconWarning);
    EXPECT_EQ(folders_.removed, std::vector<std::string>{"C:\\one\\two\\"});
    EXPECT_TRUE(folders_.Has("C:\\one\\"));
    EXPECT_EQ(folders_.FolderCount(), 3u);  // with the roots C:\ and \\srv\share
}

TEST_F(AcceptTest, FixedDestinationStillChecked) {
    EXPECT_FALSE(AcceptDestination("C:\\out\\", true, nullptr));
    EXPECT_EQ(boxes_.Texts(), std::vector<std::string>{velnor_test::kNoFileNameText});
}

TEST(CondTexts, CancelFormatUsesHalfWidthBrackets) {
    char text[256];
    std::snprintf(text, sizeof text, kMsgCancelFormat, kTitleText);
    EXPECT_EQ(std::string(text), velnor_test::kCancelText);
}

}  // namespace
}  // namespace velnor
