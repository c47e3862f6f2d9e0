#include "conditions/CondRules.h"

#include <cstdio>
#include <cstring>

#include "common/Edition.h"
#include "common/File.h"
#include "common/PathHelpers.h"
#include "common/Sjis.h"
#include "conditions/PathChecks.h"

namespace velnor {

const char* const kMsgPastResults =
    "過去実績データは、連携の対象として使用できません。\n\nアプリケーションを終了します。";
// The corner brackets are the single-byte (half-width) ones, 0xA2 and 0xA3.
const char* const kMsgCancelFormat = "｢%s｣の集計を中止します。";
const char* const kMsgNoDestination =
    "データ出力先が指定されていません。\n\n出力先を指定してください。";
const char* const kMsgBadChars =
    "データの出力先に不正な文字が含まれています。\n\n出力先を再入力してください。";
const char* const kMsgBadDrive =
    "ドライブ名が有効でありません。\n\n有効なドライブを指定してください。";
const char* const kMsgNoFileName = "ファイル名が指定されていません。";
const char* const kMsgCreateFolder =
    "指定されたフォルダは存在しません。\n\n作成してもよろしいですか？";
const char* const kMsgCreateFolderFailed =
    "フォルダの作成に失敗しました。\n\n出力先を再入力してください。";
const char* const kMsgOverwrite = "同名のファイルが存在します。\n\n上書きしてもよろしいですか？";

namespace {

constexpr size_t kPathMax = 260;
const char kPattern[] = "*.xml";

bool Warn(WindowHandle owner, const char* text) {
    ShowMessageBox(owner, text, kTitleText, kMbOk | kMbIconWarning);
    return false;
}

bool AskYes(WindowHandle owner, const char* text) {
    return ShowMessageBox(owner, text, kTitleText, kMbYesNo | kMbIconQuestion) == kIdYes;
}

// A text of at most kPathMax bytes, cut at a character boundary.
std::string PathText(const char* text) {
    if (text == nullptr) return std::string();
    const size_t length = FieldLength(text, kPathMax + 1);
    return std::string(text, SjisCutLength(text, length, kPathMax));
}

}  // namespace

std::string FormatPeriodText(int32_t start, int32_t end) {
    char buffer[256] = {};
    std::snprintf(buffer, sizeof buffer, "%04d/%02d/%02d～%04d/%02d/%02d",
                  static_cast<int>(start / 10000), static_cast<int>(start % 10000 / 100),
                  static_cast<int>(start % 100), static_cast<int>(end / 10000),
                  static_cast<int>(end % 10000 / 100), static_cast<int>(end % 100));
    return buffer;
}

StBusinessButtons ChooseBusinessButtons(uint8_t dataBusinessKinds, int16_t rememberedKind) {
    StBusinessButtons buttons;
    switch (dataBusinessKinds) {
        case 1:
            buttons = {{true, false, false}, 1};
            break;
        case 2:
            buttons = {{false, true, false}, 2};
            break;
        default:
            buttons = {{true, true, true}, 1};
            break;
    }
    if (rememberedKind >= 1 && rememberedKind <= 3 && buttons.enabled[rememberedKind - 1]) {
        buttons.checked = rememberedKind;
    }
    return buttons;
}

std::string ChooseInitialDestination(const char* fixedPath, const char* rememberedPath,
                                     const char* hostFolder, const char* tempFolder) {
    std::string text = PathText(fixedPath);
    if (!text.empty()) return text;
    text = PathText(rememberedPath);
    if (!text.empty()) return text;
    text = PathText(hostFolder);
    if (text.empty()) {
        text = PathText(tempFolder);
        const bool endsInBackslash = !text.empty() && text.back() == '\\' &&
                                     !SjisIsDoubleByteAt(text.c_str(), text.size() - 1);
        if (!endsInBackslash && text.size() < kPathMax) text.push_back('\\');
    }
    if (text.size() + std::strlen(kPattern) <= kPathMax) text += kPattern;
    return text;
}

bool AcceptDestination(const std::string& destination, bool fixedDestination, WindowHandle owner) {
    if (destination.empty()) return Warn(owner, kMsgNoDestination);
    // A device name would send the document to the device: refused as the other names
    // that cannot be a file.
    if (!CheckPathChars(destination.c_str()) || IsDeviceName(destination.c_str())) {
        return Warn(owner, kMsgBadChars);
    }
    if (!CheckPathDrive(destination.c_str())) return Warn(owner, kMsgBadDrive);
    if (GetFileNamePart(destination).empty()) return Warn(owner, kMsgNoFileName);

    const std::string folder = GetFolderPart(destination);
    if (!folder.empty() && !PathExists(folder.c_str())) {
        if (!AskYes(owner, kMsgCreateFolder)) return false;
        if (!CreateFolderTree(folder.c_str())) return Warn(owner, kMsgCreateFolderFailed);
    }

    // The caller chose this file: it is overwritten without asking.
    if (fixedDestination) return true;

    if (IsDirectoryPath(destination.c_str())) return Warn(owner, kMsgNoFileName);
    if (PathExists(destination.c_str())) return AskYes(owner, kMsgOverwrite);
    return true;
}

}  // namespace velnor
