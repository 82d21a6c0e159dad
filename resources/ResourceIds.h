// Resource IDs: dialog templates, their controls, and the string table.
#pragma once

namespace resources {

// Dialog templates.
inline constexpr int kConditionDialog = 130;
inline constexpr int kProgressDialog = 131;

// Conditions dialog (130).
inline constexpr int kRunButton = 1005;            // "実行(F12)"
inline constexpr int kCancelButton = 1006;         // "キャンセル(Esc)"
inline constexpr int kLabelCompany = 1000;
inline constexpr int kLabelPeriod = 1001;
inline constexpr int kLabelFilingCategory = 1002;
inline constexpr int kLabelDeduction = 1003;       // text replaced at run time
inline constexpr int kLabelMonths = 1004;
inline constexpr int kOutputGroup = 1007;          // "出力先(&O)"
inline constexpr int kOutputPathEdit = 1008;
inline constexpr int kBrowseButton = 1009;
inline constexpr int kCompanyText = 1010;
inline constexpr int kPeriodText = 1011;
inline constexpr int kFilingCategoryText = 1012;
inline constexpr int kDeductionText = 1013;
inline constexpr int kStartMonthEdit = 1014;
inline constexpr int kStartMonthLabel = 1015;      // "月度(&S)"
inline constexpr int kEndMonthEdit = 1016;
inline constexpr int kEndMonthLabel = 1017;        // "月度(&E)"
inline constexpr int kMonthRangeMark = 1018;       // "～"
inline constexpr int kJournalMethodRadio = 1029;   // first of the method group
inline constexpr int kMethodGroup = 1030;          // "集計方法"
inline constexpr int kSavedReturnMethodRadio = 1031;
inline constexpr int kHelpMark = 1032;

// Progress window (131).
inline constexpr int kOverallBar = 1019;
inline constexpr int kActivityBar = 1024;

// The program file's icon (group of seven images); no code loads it.
inline constexpr int kProgramIcon = 133;

// String table.
inline constexpr int kVersionString = 1;  // "20.00.00"

}  // namespace resources
