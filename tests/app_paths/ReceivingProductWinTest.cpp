// The compatibility check on the real profile calls, with "MerovinDef.ini" beside this
// test program (which has a folder of its own) and the host stand-in's message log.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/ReceivingProduct.h"
#include "common/Edition.h"
#include "common/Ui.h"
#include "host_standin/HostStandIn.h"
#include "support/Scratch.h"
#include "support/Seams.h"

namespace {

constexpr char kBadEnvironment[] =
    "動作環境が不正です。\nES_APRPACKAGENAMEが正しくインストールされているか確認してください。";
constexpr char kProductTooOld[] =
    "ご利用の連動コンポーネントは、インストールされているES_APRPACKAGENAMEでは使用できません。\n"
    "ES_APRPACKAGENAMEの最新版を入手してインストールしてからご利用ください。";
constexpr char kLinkTooOld[] =
    "ご利用の連動コンポーネントは、インストールされているES_APRPACKAGENAMEでは使用できません。\n"
    "連動コンポーネントの最新版を入手してインストールしてからご利用ください。";

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

std::vector<hoststandin::LogRecord> Messages() {
    std::vector<hoststandin::LogRecord> messages;
    for (const auto& record : hoststandin::Log()) {
        if (record.kind == "DispMsg") messages.push_back(record);
    }
    return messages;
}

class ReceivingProductWin : public ::testing::Test {
  protected:
    void SetUp() override {
        hoststandin::Reset();
        ini_ = ProgramFolder() + "MerovinDef.ini";
        DeleteFileA(ini_.c_str());
    }
    void TearDown() override { DeleteFileA(ini_.c_str()); }

    // Runs the check and returns its result; `message` receives the one message shown.
    bool Check(std::string* message) {
        hoststandin::Reset();
        const bool fits = velnor::CheckReceivingProduct(true);
        const auto messages = Messages();
        EXPECT_LE(messages.size(), 1u);
        message->clear();
        if (!messages.empty()) {
            EXPECT_EQ(3u, messages[0].fields.size());
            EXPECT_EQ(velnor::kTitleText, messages[0].fields[0]);
            EXPECT_EQ("48", messages[0].fields[1]);
            *message = messages[0].fields[2];
        }
        return fits;
    }

    std::string ini_;

  private:
    velnor_test::MessageBoxRecorder boxes_;
};

TEST_F(ReceivingProductWin, NoDefinitionFile) {
    std::string message;
    EXPECT_FALSE(Check(&message));
    EXPECT_EQ(kBadEnvironment, message);
}

TEST_F(ReceivingProductWin, Levels) {
    const struct {
        const char* content;
        bool fits;
        const char* message;
    } cases[] = {
        {"[ProgramLevel]\r\nMV14_G=2\r\n", true, ""},
        {"[ProgramLevel]\r\nMV14_G=02\r\n", true, ""},
        {"[ProgramLevel]\r\nMV14_G=2x\r\n", true, ""},
        {"[ProgramLevel]\r\nMV14_G= 2\r\n", true, ""},
        {"[programlevel]\r\nmv14_g=2\r\n", true, ""},
        {"[ProgramLevel]\nMV14_G=2", true, ""},
        {"[ProgramLevel]\r\nMV14_G=000000000000002\r\n", true, ""},
        {"[ProgramLevel]\r\nMV14_G=\r\n", false, kBadEnvironment},
        {"[ProgramLevel]\r\nMV14_G=1\r\n", false, kProductTooOld},
        {"[ProgramLevel]\r\nMV14_G=0\r\n", false, kProductTooOld},
        {"[ProgramLevel]\r\nMV14_G=-4\r\n", false, kProductTooOld},
        {"[ProgramLevel]\r\nMV14_G=x2\r\n", false, kProductTooOld},
        {"[ProgramLevel]\r\nOTHER=2\r\n", false, kProductTooOld},  // missing key
        {"[Other]\r\nMV14_G=2\r\n", false, kProductTooOld},        // missing section
        {"", false, kProductTooOld},
        {"[ProgramLevel]\r\nMV14_G=3\r\n", false, kLinkTooOld},
        {"[ProgramLevel]\r\nMV14_G=4294967298\r\n", false, kLinkTooOld},
        // Only 15 characters are read.
        {"[ProgramLevel]\r\nMV14_G=0000000000000002\r\n", false, kProductTooOld},
        {"[ProgramLevel]\r\nMV14_G=2000000000000000\r\n", false, kLinkTooOld},
    };
    for (const auto& c : cases) {
        DeleteFileA(ini_.c_str());
        ASSERT_TRUE(velnor_test::WriteFile(ini_, c.content));
        std::string message;
        EXPECT_EQ(c.fits, Check(&message)) << c.content;
        EXPECT_EQ(c.message, message) << c.content;
    }
}

TEST_F(ReceivingProductWin, NoMessageWhenNotAsked) {
    ASSERT_TRUE(velnor_test::WriteFile(ini_, "[ProgramLevel]\r\nMV14_G=3\r\n"));
    EXPECT_FALSE(velnor::CheckReceivingProduct(false));
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ReceivingProductWin, AFolderEndingInA0x5CSecondByte) {
    const velnor_test::ScratchFolder scratch("ini");
    const std::string folder = scratch.path() + "表\\";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr) != 0);
    ASSERT_TRUE(
        velnor_test::WriteFile(folder + "MerovinDef.ini", "[ProgramLevel]\r\nMV14_G=2\r\n"));
    const bool fits = velnor::CheckReceivingProductFor((folder + "VelnorPro.exe").c_str(), true);
    EXPECT_TRUE(fits);
    EXPECT_TRUE(Messages().empty());
}

}  // namespace
