// The byte-laid records that the host's settings and rule objects exchange
// with the system: company entry, consumption-tax settings, account,
// department, tax summary row, account sums, journal line and fixed asset.
//
// Each record is a fixed block of bytes (ByteRecord<N>, zero at construction)
// read and written only through its view() at the named offsets below, which
// are the host's layout. Offsets marked "ledger" are fields that the system
// does not read and whose place this installation chose. Texts are Shift_JIS,
// NUL-terminated within their width.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/ByteRecord.h"

namespace host {

// A company data entry (one data set of the accounting product).
struct StDATAINFO : ByteRecord<1505> {
  static constexpr size_t kDataId = 0, kDataIdWidth = 16;            // text: the data ID
  static constexpr size_t kDataNo = 16;                              // i32: data number
  static constexpr size_t kCompanyName = 24, kCompanyNameWidth = 260;  // text
  static constexpr size_t kPeriodStart = 284;                        // i32 yyyymmdd
  static constexpr size_t kPeriodEnd = 288;                          // i32 yyyymmdd
  static constexpr size_t kClosingDay = 292;                         // i32 ledger: 1-31, 31 = month end
  static constexpr size_t kClosingPattern = 304;                     // i32: 1 = interim closing (month 15)
  static constexpr size_t kPastRecord = 326;                         // i16: 99 = past-record data
  static constexpr size_t kMaintenanceLock = 328;                    // u8 ledger: 1 = under maintenance
  static constexpr size_t kCompanyKind = 344;                        // u8: 0, 1 corporation; 3, 4 individual
  static constexpr size_t kIncomeLayout = 947;                       // u8: 1 business, 2 real estate, 3 by department
  static constexpr int16_t kPastRecordMark = 99;
  // The values of kCompanyKind: 0 and 1 are corporations, 3 and 4
  // individuals; any other value (2, say) is neither.
  static constexpr bool IsCorporation(uint8_t kind) { return kind == 0 || kind == 1; }
  static constexpr bool IsIndividual(uint8_t kind) { return kind == 3 || kind == 4; }
};
static_assert(sizeof(StDATAINFO) == 1505);

// The consumption-tax settings of a data set (the system's TaxSettings).
struct StSHOHIZEIINFO : ByteRecord<12> {
  static constexpr size_t kTaxMethod = 0;         // u8: 0 exempt, 1 simplified, 2 general
  static constexpr size_t kRounding = 2;          // u8: 0 half up, 1 cut off, 2 round up
  static constexpr size_t kDeductionMethod = 3;   // u8: 0 individual attribution, 1 lump-sum proportional
  static constexpr size_t kMainBusinessType = 4;  // u8: 0 none, 1-6
  static constexpr size_t kTaxInclusive = 5;      // u8: 0 amounts kept without tax, 1 amount plus its tax
  // The taxation methods at kTaxMethod.
  static constexpr uint8_t kExempt = 0;
  static constexpr uint8_t kSimplified = 1;
  static constexpr uint8_t kGeneral = 2;
  // The rounding kinds at kRounding (any other value cuts off, as kCutOff).
  static constexpr uint8_t kRoundHalfUp = 0;
  static constexpr uint8_t kCutOff = 1;
  static constexpr uint8_t kRoundUp = 2;
};
static_assert(sizeof(StSHOHIZEIINFO) == 12);

// How a run gathers its figures, as the conditions dialog offers them, the
// settings file stores them and BASIC reports them: from the journal, or from
// the values saved in the host's return screens (StSaveTaxInfo).
enum AggregationMethod : int { kMethodJournal = 0, kMethodSavedReturn = 1 };

// One account, as ClSetKamoku::WalkFind delivers it into a 213-byte buffer
// (the record proper is the first kRecordBytes bytes).
struct StKAMOKUINFO : ByteRecord<213> {
  static constexpr size_t kRecordBytes = 212;
  static constexpr size_t kAccountId = 16;                        // u32
  static constexpr size_t kCode = 22, kCodeWidth = 16;            // text
  static constexpr size_t kName = 40, kNameWidth = 64;            // text, ledger
  static constexpr size_t kListExcluded = 110;                    // u8: nonzero keeps it out of account lists
  static constexpr size_t kBalanceSide = 111;                     // u8 ledger: 1 debit, 2 credit
  static constexpr size_t kClassCode = 144;                       // u32
};
static_assert(sizeof(StKAMOKUINFO) == 213);

// One department.
struct StBUMONINFO : ByteRecord<160> {
  static constexpr size_t kCode = 0;                     // i32 ledger (the code journal lines carry)
  static constexpr size_t kReference = 16;               // i32
  static constexpr size_t kName = 20, kNameWidth = 59;   // text ledger
  static constexpr size_t kClass = 79;                   // u8: classes 1 and 2 are summed with sum type 4
  static constexpr size_t kIncomeType = 128;             // u8: 1 business, 3 real estate, other values other income
};
static_assert(sizeof(StBUMONINFO) == 160);

// One row of the consumption-tax summary (ClRuleShohizei).
struct StTAXSUMINFO : ByteRecord<826> {
  static constexpr size_t kAccountCode = 0, kAccountCodeWidth = 16;  // text
  static constexpr size_t kAccountName = 16, kAccountNameWidth = 64;  // text ledger
  static constexpr size_t kAmount = 598;                             // i64 x 10 000
};
static_assert(sizeof(StTAXSUMINFO) == 826);

// The sums of one account, or of one account-class heading (ClRuleKamoku).
struct StKAMOKUSUMINFO : ByteRecord<636> {
  static constexpr size_t kAccountId = 0;                         // u32 ledger (0 on a heading row)
  static constexpr size_t kAccountCode = 4, kAccountCodeWidth = 16;  // text ledger
  static constexpr size_t kName = 20, kNameWidth = 100;           // text ledger
  static constexpr size_t kExcludeMarkA = 126;                    // u8
  static constexpr size_t kRowKind = 127;                         // u8: 1 = heading total row
  static constexpr size_t kExcludeMarkB = 128;                    // u8: 1 excludes the record
  static constexpr size_t kBalanceSide = 130;                     // u8: 1 debit, 2 credit
  static constexpr size_t kClassCode = 136;                       // u32
  static constexpr size_t kMonthSlots = 15;                       // slots 0-14 of each array
  static constexpr size_t kDebitExclusive = 152;                  // 15 x i64, amounts without tax
  static constexpr size_t kDebitInclusive = 272;                  // 15 x i64, amounts with tax
  static constexpr size_t kCreditExclusive = 392;
  static constexpr size_t kCreditInclusive = 512;
  static constexpr size_t kSlotInterim = 14;                      // month number 15
  static constexpr size_t kSlotYearEnd = 13;                      // month number 18
  static constexpr uint8_t kRowKindHeading = 1;
  static constexpr uint8_t kDebitBalance = 1, kCreditBalance = 2;  // kBalanceSide
  static constexpr size_t Slot(size_t array, size_t slot) { return array + 8 * slot; }
};
static_assert(sizeof(StKAMOKUSUMINFO) == 636);

// One journal line (ClRuleShiwake).
struct StSWKTINFO : ByteRecord<596> {
  static constexpr size_t kLineNo = 0;         // u32 ledger
  static constexpr size_t kDate = 4;           // i32 ledger, yyyymmdd
  static constexpr size_t kMonthNumber = 8;    // i16 ledger: 1-12, 15, 18
  // Debit side.
  static constexpr size_t kDebitAccount = 88;      // u32 account identifier
  static constexpr size_t kDebitDepartment = 92;   // i32, 0 = none
  static constexpr size_t kDebitAmount = 96;       // i64 x 10 000, without tax
  static constexpr size_t kDebitTax = 104;         // i64 x 10 000
  static constexpr size_t kDebitCategory = 112;    // u8 tax category
  static constexpr size_t kDebitRate = 113;        // u32 ledger: hundredths of a percent
  static constexpr size_t kDebitReduced = 117;     // u8 ledger: 1 = reduced rate
  static constexpr size_t kDebitBusinessType = 118;  // u8 ledger: 0-6
  // Credit side.
  static constexpr size_t kCreditAccount = 129;
  static constexpr size_t kCreditDepartment = 133;
  static constexpr size_t kCreditAmount = 137;
  static constexpr size_t kCreditTax = 145;
  static constexpr size_t kCreditCategory = 153;
  static constexpr size_t kCreditRate = 154;
  static constexpr size_t kCreditReduced = 158;
  static constexpr size_t kCreditBusinessType = 159;
  static constexpr size_t kDescription = 200, kDescriptionWidth = 128;  // text ledger
};
static_assert(sizeof(StSWKTINFO) == 596);

// One fixed or deferred asset (ClRuleGenkashokyaku), with the two side
// buffers the host fills beside it.
struct StKOTEISHISANINFO : ByteRecord<545> {
  static constexpr size_t kAssetNo = 0;                   // u32 ledger
  static constexpr size_t kName = 4, kNameWidth = 40;     // text ledger
  static constexpr size_t kKind = 48;                     // u32: 9 = deferred asset
  static constexpr size_t kAcquisitionDate = 52;          // i32 ledger, yyyymmdd
  static constexpr size_t kAcquisitionAmount = 368;       // i64 x 10 000
  static constexpr size_t kIncomeType = 528;              // i16: 1 business, 2 real estate
  static constexpr uint32_t kKindDeferred = 9;
};
static_assert(sizeof(StKOTEISHISANINFO) == 545);
struct StKOTEINENINFO : ByteRecord<960> {};
struct StKOTEITSUKIINFO : ByteRecord<1536> {};

// One entry of a tooltip table: a control of a dialog and its tip text
// (Shift_JIS). Not byte-laid: the text is referred to, not copied.
struct StTOOLTIPINFO {
  int32_t controlId;
  const char* text;
};

}  // namespace host

// The host's records are named at global scope, as the host classes are.
using host::StDATAINFO;
using host::StSHOHIZEIINFO;
using host::StKAMOKUINFO;
using host::StBUMONINFO;
using host::StTAXSUMINFO;
using host::StKAMOKUSUMINFO;
using host::StSWKTINFO;
using host::StKOTEISHISANINFO;
using host::StKOTEINENINFO;
using host::StKOTEITSUKIINFO;
using host::StTOOLTIPINFO;
