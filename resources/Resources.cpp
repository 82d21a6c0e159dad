// Dialog templates 130 and 131 and the string table.
#include "resources/Resources.h"

#include <array>

namespace resources {
namespace {

using platform::ui::ControlKind;
using platform::ui::ControlTemplate;
using platform::ui::DialogTemplate;
namespace ui = platform::ui;

constexpr const char kDialogFont[] = "ＭＳ Ｐゴシック";

constexpr uint32_t kLabel = 0;
constexpr uint32_t kColon = ui::kSsRight;
constexpr uint32_t kMonthEdit = ui::kEsNumber | ui::kWsBorder | ui::kEsAutoHScroll;

// Conditions dialog, in tab order (the order in which the framework walks its
// controls: Tab, mnemonics, radio groups).
constexpr ControlTemplate kConditionControls[] = {
    {ControlKind::Static, kLabelCompany, "事業所名", 7, 7, 56, 12, kLabel},
    {ControlKind::Static, ui::kIdStatic, "：", 65, 7, 12, 12, kColon},
    {ControlKind::Static, kCompanyText, "", 79, 7, 169, 12, kLabel},
    {ControlKind::Static, kLabelPeriod, "会計期間", 7, 27, 56, 12, kLabel},
    {ControlKind::Static, ui::kIdStatic, "：", 65, 27, 12, 12, kColon},
    {ControlKind::Static, kPeriodText, "", 79, 27, 169, 12, kLabel},
    {ControlKind::Static, kLabelFilingCategory, "消費税申告区分", 7, 47, 56, 12, kLabel},
    {ControlKind::Static, ui::kIdStatic, "：", 65, 47, 12, 12, kColon},
    {ControlKind::Static, kFilingCategoryText, "", 79, 47, 169, 12, kLabel},
    {ControlKind::Static, kLabelDeduction, "課税仕入控除○○", 7, 67, 56, 12, kLabel},
    {ControlKind::Static, ui::kIdStatic, "：", 65, 67, 12, 12, kColon},
    {ControlKind::Static, kDeductionText, "", 79, 67, 169, 12, kLabel},
    {ControlKind::GroupBox, kMethodGroup, "集計方法", 5, 88, 241, 45, ui::kBsGroupBox},
    {ControlKind::RadioButton, kJournalMethodRadio, "集計期間を指定して仕訳を集計する(&N)", 13, 100, 136, 10,
     ui::kBsAutoRadioButton | ui::kWsGroup | ui::kWsTabStop},
    {ControlKind::RadioButton, kSavedReturnMethodRadio, "連動元製品の[消費税申告書作成]で入力した値を使用する(&P)", 13,
     115, 193, 10, ui::kBsAutoRadioButton | ui::kWsTabStop},
    {ControlKind::Bitmap, kHelpMark, "", 210, 114, 11, 11, ui::kSsBitmap | ui::kSsNotify | ui::kWsGroup},
    {ControlKind::Static, kLabelMonths, "集計期間", 7, 141, 56, 12, kLabel},
    {ControlKind::Static, ui::kIdStatic, "：", 65, 141, 12, 12, kColon},
    // Each month's label stands before its edit, though it is drawn to the
    // right of it: a label's mnemonic hands the focus to the next control in
    // this order, so Alt+S must find the start month after "月度(&S)" and
    // Alt+E the end month after "月度(&E)".
    {ControlKind::Static, kStartMonthLabel, "月度(&S)", 99, 141, 25, 12, kLabel},
    {ControlKind::Edit, kStartMonthEdit, "", 79, 141, 18, 12, kMonthEdit},
    {ControlKind::Static, kMonthRangeMark, "～", 124, 141, 12, 12, ui::kSsCenter},
    {ControlKind::Static, kEndMonthLabel, "月度(&E)", 157, 141, 25, 12, kLabel},
    {ControlKind::Edit, kEndMonthEdit, "", 137, 141, 18, 12, kMonthEdit},
    {ControlKind::GroupBox, kOutputGroup, "出力先(&O)", 5, 164, 241, 35, ui::kBsGroupBox},
    {ControlKind::Edit, kOutputPathEdit, "", 9, 179, 171, 12, ui::kEsAutoHScroll | ui::kWsBorder},
    {ControlKind::PushButton, kBrowseButton, "参照(&D)...", 185, 178, 57, 14, 0},
    {ControlKind::PushButton, kRunButton, "実行(F12)", 127, 205, 57, 14, ui::kWsTabStop},
    {ControlKind::PushButton, kCancelButton, "キャンセル(Esc)", 189, 205, 57, 14, ui::kWsTabStop},
};

constexpr ControlTemplate kProgressControls[] = {
    {ControlKind::ProgressBar, kOverallBar, "", 5, 6, 211, 22, ui::kPbsSmooth | ui::kWsBorder},
    {ControlKind::ProgressBar, kActivityBar, "", 5, 29, 211, 10, ui::kWsBorder},
};

constexpr DialogTemplate kTemplates[] = {
    {kConditionDialog, "消費税 - 集計条件", 9, kDialogFont, 255, 228,
     ui::kDsModalFrame | ui::kDsSetFont | ui::kWsPopup | ui::kWsCaption | ui::kWsSysMenu, kConditionControls},
    // No system menu: the progress window has no close box and cannot be cancelled.
    {kProgressDialog, "集計中", 9, kDialogFont, 221, 44,
     ui::kDsModalFrame | ui::kDsSysModal | ui::kDsSetFont | ui::kWsPopup | ui::kWsCaption, kProgressControls},
};

constexpr ResourceString kStrings[] = {
    {kVersionString, "20.00.00"},
};

}  // namespace

std::span<const DialogTemplate> DialogTemplates() { return kTemplates; }
std::span<const ResourceString> StringTable() { return kStrings; }

const DialogTemplate* FindDialogTemplate(int id) {
  for (const DialogTemplate& t : kTemplates) {
    if (t.id == id) return &t;
  }
  return nullptr;
}

const char* LoadResourceString(int id) {
  for (const ResourceString& s : kStrings) {
    if (s.id == id) return s.text;
  }
  return nullptr;
}

}  // namespace resources
