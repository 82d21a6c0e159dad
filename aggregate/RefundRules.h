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
// tax-inclusive byte is 0, the second pair (with tax) otherwise.
//
// All arithmetic goes through FixedDecimal and throws ArithmeticError when a
// sum leaves its bounds.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "aggregate/PeriodCondition.h"
#include "aggregate/TaxAggregate.h"
#include "host/Records.h"

namespace aggregate {

bool IsNonQualifyingCategory(uint8_t category);
bool IsUndeterminedImportCategory(uint8_t category);

// The account class groups of the refund statement.
enum class RefundGroup { kNone, kPurchase, kSellingAdmin, kNonOperating, kOther };

// How the corporate pass takes a class's book amount from the account sums:
// not at all, from the class's own records (purchase accounts), or from its
// heading row (row kind 1), which already holds its sub-classes.
enum class BookSource { kNone, kOwnRecords, kHeadingRow };

// RefundClass: one account class code of the refund statements, the one
// place where these codes are written. `group` is the corporate row (and the
// per-department purchase group); `individualExpense` puts the class in the
// per-department pass's expense group; `corporateChain` and
// `departmentChain` are its places in the class chains of the corporate and
// the per-department account lists (-1: not in that list).
struct RefundClass {
  uint32_t code;
  RefundGroup group;
  BookSource corporateBook;
  bool individualExpense;
  int8_t corporateChain;
  int8_t departmentChain;
};

inline constexpr size_t kCorporateListClasses = 17;
inline constexpr size_t kDepartmentListClasses = 18;

inline constexpr std::array<RefundClass, kDepartmentListClasses> kRefundClasses = {{
    {0x40884400, RefundGroup::kPurchase, BookSource::kHeadingRow, false, 0, 0},
    {0x20804000, RefundGroup::kPurchase, BookSource::kOwnRecords, false, 1, 1},
    {0x20400000, RefundGroup::kPurchase, BookSource::kOwnRecords, false, 2, 2},
    {0x20200000, RefundGroup::kPurchase, BookSource::kOwnRecords, false, 3, 3},
    {0x40882000, RefundGroup::kSellingAdmin, BookSource::kHeadingRow, true, 4, 4},
    {0x40882040, RefundGroup::kSellingAdmin, BookSource::kNone, true, 9, 5},
    {0x40882020, RefundGroup::kSellingAdmin, BookSource::kNone, true, 10, 6},
    {0x40882010, RefundGroup::kSellingAdmin, BookSource::kNone, true, 11, 7},
    {0x40882008, RefundGroup::kSellingAdmin, BookSource::kNone, true, 12, 8},
    {0x40882004, RefundGroup::kSellingAdmin, BookSource::kNone, true, 13, 9},
    {0x40844000, RefundGroup::kNonOperating, BookSource::kHeadingRow, true, 5, 10},
    {0x40844080, RefundGroup::kNone, BookSource::kNone, true, -1, 11},
    {0x40440000, RefundGroup::kOther, BookSource::kHeadingRow, true, 6, 12},
    {0x40440080, RefundGroup::kOther, BookSource::kNone, true, 8, 13},
    {0x40440040, RefundGroup::kOther, BookSource::kNone, true, 7, 14},
    {0x20200040, RefundGroup::kPurchase, BookSource::kOwnRecords, false, 14, 15},
    {0x20400008, RefundGroup::kPurchase, BookSource::kOwnRecords, false, 15, 16},
    {0x20400004, RefundGroup::kPurchase, BookSource::kOwnRecords, false, 16, 17},
}};

// The table's row of `classCode`; null for a class the statements do not use.
const RefundClass* FindRefundClass(uint32_t classCode);
RefundGroup GroupOfClass(uint32_t classCode);
// The individual expense group: selling and administrative, non-operating
// and other groups, together with the one class outside the corporate rows.
bool IsIndividualExpenseClass(uint32_t classCode);
// The class codes of the corporate and the per-department account lists, in
// chain order.
std::span<const uint32_t> CorporateListClassCodes();
std::span<const uint32_t> DepartmentListClassCodes();

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
// slots of the pair the tax-inclusive byte chooses.
int64_t DebitMinusCredit(const StKAMOKUSUMINFO& sums, const MonthSlots& slots, bool taxInclusive);

// The amount of a journal side: its amount, plus its consumption tax when the
// tax-inclusive byte is non-zero.
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

}  // namespace aggregate
