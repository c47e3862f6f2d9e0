#include "app/ReceivingProduct.h"

#include <climits>
#include <cstring>

#include "app/CommandLine.h"
#include "common/PathHelpers.h"

namespace velnor {

namespace {

constexpr char kDefinitionFileName[] = "MerovinDef.ini";

}  // namespace

bool BuildDefinitionFilePath(const char* modulePath, char* out, size_t outSize) {
    if (out == nullptr || outSize == 0) return false;
    out[0] = '\0';
    char folder[kPathBufferSize] = {};
    if (modulePath != nullptr) {
        const size_t len = strnlen(modulePath, kPathBufferSize);
        if (len < kPathBufferSize) std::memcpy(folder, modulePath, len + 1);
    }
    if (folder[0] != '\0' && !NormalizeFolderPath(folder, sizeof folder)) folder[0] = '\0';
    if (folder[0] == '\0') std::memcpy(folder, ".\\", 3);

    const size_t folderLen = std::strlen(folder);
    if (folderLen >= outSize) return false;
    std::memcpy(out, folder, folderLen + 1);
    if (!AddLastBackslash(out, outSize)) {
        out[0] = '\0';
        return false;
    }
    const size_t len = std::strlen(out);
    if (len + sizeof kDefinitionFileName > outSize) {
        out[0] = '\0';
        return false;
    }
    std::memcpy(out + len, kDefinitionFileName, sizeof kDefinitionFileName);
    return true;
}

ReceivingStatus StatusForLevelText(const char* value) {
    if (value == nullptr || value[0] == '\0') return kReceivingBadEnvironment;
    const long long level =
        ParseLeadingInteger(value, strnlen(value, kLevelBufferSize - 1), INT_MIN, INT_MAX);
    if (level == kRequiredLinkLevel) return kReceivingFits;
    return level < kRequiredLinkLevel ? kReceivingProductTooOld : kReceivingLinkTooOld;
}

const char* ReceivingStatusMessage(ReceivingStatus status) {
    switch (status) {
        case kReceivingBadEnvironment:
            return "動作環境が不正です。\nES_APRPACKAGENAMEが正しくインストールされているか確認して"
                   "ください。";
        case kReceivingProductTooOld:
            return "ご利用の連動コンポーネントは、インストールされているES_APRPACKAGENAMEでは使用"
                   "できません。\nES_APRPACKAGENAMEの最新版を入手してインストールしてからご利用"
                   "ください。";
        case kReceivingLinkTooOld:
            return "ご利用の連動コンポーネントは、インストールされているES_APRPACKAGENAMEでは使用"
                   "できません。\n連動コンポーネントの最新版を入手してインストールしてからご利用く"
                   "ださい。";
        case kReceivingFits:
            break;
    }
    return nullptr;
}

}  // namespace velnor
