// The texts of the run driver's own message boxes (caption "消費税").
#pragma once

namespace app::msg {

inline constexpr char kSixthBusinessType[] =
    "集計範囲に事業分類「第六種事業」の仕訳が存在します。\n"
    "「第六種事業」は、平成27年4月1日以降に開始する課税期間に適用される事業分類のため、処理できません。\n\n"
    "%s の以下の機能にて事業分類を見直してください。\n\n"
    "・各種帳簿機能(簡易振替伝票入力等)\n"
    "※入力済みの伝票は、各帳簿画面の置換機能にて一括で変換することができます。";

inline constexpr char kNewRates[] =
    "集計範囲に税率「10%」または「8%(軽減)」の仕訳があるため、集計できません。\n\n"
    "※消費税率「10%」および軽減税率の仕訳の集計は、今後提供予定の連動コンポーネントにて対応します。";

inline constexpr char kUndeterminedImports[] =
    "集計範囲の中に、輸入取引の本体分、国税分、地方税分が未確定の税区分(31,32,33,35,36,37)を使用している仕訳があります。\n"
    "この仕訳の金額は、消費税申告書には集計されません。";

inline constexpr char kSystemFailed[] = "システム情報の出力に失敗しました。\n\n出力を続けますか？";
inline constexpr char kBasicFailed[] = "基本情報の出力に失敗しました。\n\n出力を続けますか？";
inline constexpr char kDataFailed[] = "連動情報の出力に失敗しました。\n\n出力を続けますか？";

inline constexpr char kCompleted[] = "消費税情報の出力が終了しました。\n\nアプリケーションを終了します。";

// An amount beyond what the fixed-point arithmetic holds: nothing is written.
inline constexpr char kAmountsTooLarge[] =
    "集計した金額が大きすぎるため、消費税情報を集計できません。\n\nアプリケーションを終了します。";

inline constexpr char kXmlDeclaration[] = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n";

}  // namespace app::msg
