// The texts the user sees, written out as the design gives them, so that tests compare
// the program's messages with the design and not with the program's own constants.
#pragma once

namespace velnor_test {

constexpr char kTitle[] = "所得税(減価償却)";
constexpr char kDialogCaption[] = "所得税(減価償却) - 集計条件";
// The corner brackets are the single-byte ones, 0xA2 and 0xA3.
constexpr char kCancelText[] = "\xA2所得税(減価償却)\xA3の集計を中止します。";
constexpr char kSuccessText[] = "減価償却の集計結果を正常に出力しました。";
constexpr char kFailureText[] =
    "XMLファイルの出力に失敗しました。\n\nアプリケーションを終了します。";
constexpr char kPastResultsText[] =
    "過去実績データは、連携の対象として使用できません。\n\nアプリケーションを終了します。";

// The destination checks of the conditions dialog, in their order.
constexpr char kNoDestinationText[] =
    "データ出力先が指定されていません。\n\n出力先を指定してください。";
constexpr char kBadCharsText[] =
    "データの出力先に不正な文字が含まれています。\n\n出力先を再入力してください。";
constexpr char kBadDriveText[] =
    "ドライブ名が有効でありません。\n\n有効なドライブを指定してください。";
constexpr char kNoFileNameText[] = "ファイル名が指定されていません。";
constexpr char kCreateFolderText[] =
    "指定されたフォルダは存在しません。\n\n作成してもよろしいですか？";
constexpr char kCreateFolderFailedText[] =
    "フォルダの作成に失敗しました。\n\n出力先を再入力してください。";
constexpr char kOverwriteText[] = "同名のファイルが存在します。\n\n上書きしてもよろしいですか？";

}  // namespace velnor_test
