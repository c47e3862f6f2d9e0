#include <gtest/gtest.h>

#include <string>

#include "app/ReceivingProduct.h"

namespace {

using velnor::ReceivingStatus;

TEST(ReceivingProduct, StatusForLevelText) {
    const struct {
        const char* value;
        ReceivingStatus expected;
    } cases[] = {
        {"2", velnor::kReceivingFits},
        {"02", velnor::kReceivingFits},
        {"2x", velnor::kReceivingFits},
        {" 2", velnor::kReceivingFits},
        {"+2", velnor::kReceivingFits},
        {"000000000000002", velnor::kReceivingFits},            // 15 characters
        {"0000000000000002", velnor::kReceivingProductTooOld},  // the 16th is never read
        {"", velnor::kReceivingBadEnvironment},
        {"1", velnor::kReceivingProductTooOld},  // the default of a missing key
        {"0", velnor::kReceivingProductTooOld},
        {"-4", velnor::kReceivingProductTooOld},
        {"x2", velnor::kReceivingProductTooOld},
        {"３", velnor::kReceivingProductTooOld},  // full-width digit
        {"3", velnor::kReceivingLinkTooOld},
        {"20", velnor::kReceivingLinkTooOld},
        // Beyond the int range: far above 2, not wrapped round to 2.
        {"4294967298", velnor::kReceivingLinkTooOld},
        {"-4294967294", velnor::kReceivingProductTooOld},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, velnor::StatusForLevelText(c.value)) << c.value;
    }
    EXPECT_EQ(velnor::kReceivingBadEnvironment, velnor::StatusForLevelText(nullptr));
}

TEST(ReceivingProduct, MessagePerStatus) {
    EXPECT_STREQ(
        "動作環境が不正です。\nES_APRPACKAGENAMEが正しくインストールされているか確認してください。",
        velnor::ReceivingStatusMessage(velnor::kReceivingBadEnvironment));
    EXPECT_STREQ(
        "ご利用の連動コンポーネントは、インストールされているES_"
        "APRPACKAGENAMEでは使用できません。\n"
        "ES_APRPACKAGENAMEの最新版を入手してインストールしてからご利用ください。",
        velnor::ReceivingStatusMessage(velnor::kReceivingProductTooOld));
    EXPECT_STREQ(
        "ご利用の連動コンポーネントは、インストールされているES_"
        "APRPACKAGENAMEでは使用できません。\n"
        "連動コンポーネントの最新版を入手してインストールしてからご利用ください。",
        velnor::ReceivingStatusMessage(velnor::kReceivingLinkTooOld));
    EXPECT_EQ(nullptr, velnor::ReceivingStatusMessage(velnor::kReceivingFits));
}

TEST(ReceivingProduct, DefinitionFilePath) {
    const struct {
        const char* module;
        const char* expected;
    } cases[] = {
        {"C:\\Prog\\Velnor\\VelnorPro.exe", "C:\\Prog\\Velnor\\MerovinDef.ini"},
        {"C:\\VelnorStd.exe", "C:\\MerovinDef.ini"},
        {"\\\\srv\\share\\app\\VelnorPro.exe", "\\\\srv\\share\\app\\MerovinDef.ini"},
        // A folder ending in a character whose second byte is 0x5C: one real backslash.
        {"C:\\会計\\表\\VelnorPro.exe", "C:\\会計\\表\\MerovinDef.ini"},
        {"", ".\\MerovinDef.ini"},
        {nullptr, ".\\MerovinDef.ini"},
    };
    for (const auto& c : cases) {
        char path[velnor::kDefinitionPathSize];
        ASSERT_TRUE(velnor::BuildDefinitionFilePath(c.module, path, sizeof path));
        EXPECT_STREQ(c.expected, path) << (c.module ? c.module : "(null)");
    }
}

TEST(ReceivingProduct, DefinitionFilePathWithinItsBuffer) {
    const std::string module = "C:\\" + std::string(240, 'd') + "\\VelnorPro.exe";
    char path[velnor::kDefinitionPathSize];
    ASSERT_TRUE(velnor::BuildDefinitionFilePath(module.c_str(), path, sizeof path));
    EXPECT_EQ("C:\\" + std::string(240, 'd') + "\\MerovinDef.ini", path);

    char small[23];  // exactly "C:\abcd\MerovinDef.ini" and its terminator
    EXPECT_FALSE(velnor::BuildDefinitionFilePath("C:\\abcde\\x.exe", small, sizeof small));
    EXPECT_STREQ("", small);
    EXPECT_TRUE(velnor::BuildDefinitionFilePath("C:\\abcd\\x.exe", small, sizeof small));
    EXPECT_STREQ("C:\\abcd\\MerovinDef.ini", small);
}

}  // namespace
