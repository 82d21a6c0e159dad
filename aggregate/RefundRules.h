// What the corporate and the per-department refund passes share: the tests on
// tax categories and account classes, the month slots of an account's sums,
// the amount of a journal side, and the addition of an amount to a row.
//
// Tax categories: a journal side is non-qualifying when its category is below
// 21, equal to 24 or above 29 (21 to 23 and 25 to 29 are the taxable-purchase
// categories); it is an undetermined import when its category is 31 to 37.
//
// Month slots: the sums of an account (StKAMOKUSUMINFO) hold month numbers 1
// to 12 in slots 1 to 12, the year-end closing (month number 18) in slot 13
// and the interim closing (month number 15) in slot 14. A book amount covers
// the slots of the first to the last chosen month number, slot 13 when the
// period condition selects the year-end closing, and slot 14 when the data
// closes an interim period (closing pattern 1) and the last month number is 6.
// The first pair of arrays (amounts without tax) is read when the
// bookkeeping flag is 0, the second pair (with tax) otherwise.
//
// All arithmetic goes through FixedDecimal and throws ArithmeticError when a
// sum leaves its bounds.
#pragma once

#include <cstdint>

#include "aggregate/PeriodCondition.h"
#include "aggregate/TaxAggregate.h"
#include "host/Records.h"

bool IsNonQualifyingCategory(uint8_t category);
bool IsUndeterminedImportCategory(uint8_t category);

// The account class groups of the refund statement.
enum class RefundGroup { kNone, kPurchase, kSellingAdmin, kNonOperating, kOther };
RefundGroup GroupOfClass(uint32_t classCode);
// The individual expense group: selling and administrative, non-operating
// and other groups, together with 0x40844080.
bool IsIndividualExpenseClass(uint32_t classCode);

// The slots a book amount covers.
struct MonthSlots {
  int16_t first = 0;      // first month number (clause 1)
  int16_t last = 0;       // last month number (clause 2)
  bool yearEnd = false;   // slot 13
  bool interim = false;   // slot 14
};
MonthSlots SelectMonthSlots(const PeriodCondition& period, int32_t closingPattern);
// True when a clause after clause 2 of the chain selects exactly `monthNumber`.
bool SelectsClosingMonth(const PeriodCondition& period, int16_t monthNumber);

// D - K of an account's sums over `slots`: D the debit slots, K the credit
// slots of the pair the bookkeeping flag chooses.
int64_t DebitMinusCredit(const StKAMOKUSUMINFO& sums, const MonthSlots& slots, bool taxInclusive);

// The amount of a journal side: its amount, plus its consumption tax when the
// bookkeeping flag is non-zero.
enum class JournalSide { kDebit, kCredit };
int64_t SideAmount(const StSWKTINFO& line, JournalSide side, bool taxInclusive);
uint32_t SideAccount(const StSWKTINFO& line, JournalSide side);
uint8_t SideCategory(const StSWKTINFO& line, JournalSide side);
int32_t SideDepartment(const StSWKTINFO& line, JournalSide side);

// target += amount.
void AddAmount(int64_t& target, int64_t amount);
// -amount.
int64_t Negated(int64_t amount);
// When the side's category is non-qualifying: its amount is added to the
// row's non-qualifying part (a credit side's is subtracted), and to its
// undetermined import part as well when the category is one. Other sides
// change nothing.
void AddSideToRow(RefundLine& row, const StSWKTINFO& line, JournalSide side, bool taxInclusive);
