// The texts of the run driver's own message boxes (caption "消費税"); the
// run checks' refusals and notice are aggregate/RunChecks.cpp's.
#pragma once

namespace app::msg {

inline constexpr char kSystemFailed[] = "システム情報の出力に失敗しました。\n\n出力を続けますか？";
inline constexpr char kBasicFailed[] = "基本情報の出力に失敗しました。\n\n出力を続けますか？";
inline constexpr char kDataFailed[] = "連動情報の出力に失敗しました。\n\n出力を続けますか？";

inline constexpr char kCompleted[] = "消費税情報の出力が終了しました。\n\nアプリケーションを終了します。";

// Shown instead of kCompleted when the document on disk is incomplete: a
// section failed (and the user went on with Yes), or every section was written
// but the REPORT end tag or the closing of the file failed. The run has failed.
inline constexpr char kOutputFailed[] = "消費税情報の出力に失敗しました。\n\nアプリケーションを終了します。";

// An amount beyond what the fixed-point arithmetic holds: nothing is written.
inline constexpr char kAmountsTooLarge[] =
    "集計した金額が大きすぎるため、消費税情報を集計できません。\n\nアプリケーションを終了します。";

// The company data could not be read during the aggregation: nothing is
// written. The host's own explanation of the status follows the text.
inline constexpr char kLedgerUnreadable[] = "会計データを読み込めなかったため、消費税情報を集計できません。\n\n";

inline constexpr char kXmlDeclaration[] = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n";

}  // namespace app::msg
