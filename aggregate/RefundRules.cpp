#include "aggregate/RefundRules.h"

#include <algorithm>

#include "aggregate/FixedDecimal.h"

namespace aggregate {

namespace {

using K = StKAMOKUSUMINFO;
using L = StSWKTINFO;

constexpr int16_t kFirstMonthSlot = 1;
constexpr int16_t kLastMonthSlot = 12;
constexpr int16_t kInterimLastMonth = 6;
constexpr int32_t kInterimClosingPattern = 1;

// The class codes in the order `position` gives them; every place from 0 to
// N - 1 taken exactly once (checked below).
template <size_t N>
constexpr std::array<uint32_t, N> ChainOf(int8_t RefundClass::*position) {
  std::array<uint32_t, N> chain{};
  for (const RefundClass& row : kRefundClasses)
    if (row.*position >= 0) chain[static_cast<size_t>(row.*position)] = row.code;
  return chain;
}

template <size_t N>
constexpr bool ChainIsComplete(int8_t RefundClass::*position) {
  std::array<int, N> seen{};
  size_t listed = 0;
  for (const RefundClass& row : kRefundClasses) {
    if (row.*position < 0) continue;
    if (static_cast<size_t>(row.*position) >= N) return false;
    ++seen[static_cast<size_t>(row.*position)];
    ++listed;
  }
  for (int count : seen)
    if (count != 1) return false;
  return listed == N;
}

static_assert(ChainIsComplete<kCorporateListClasses>(&RefundClass::corporateChain));
static_assert(ChainIsComplete<kDepartmentListClasses>(&RefundClass::departmentChain));

constexpr std::array<uint32_t, kCorporateListClasses> kCorporateChain =
    ChainOf<kCorporateListClasses>(&RefundClass::corporateChain);
constexpr std::array<uint32_t, kDepartmentListClasses> kDepartmentChain =
    ChainOf<kDepartmentListClasses>(&RefundClass::departmentChain);

}  // namespace

bool IsNonQualifyingCategory(uint8_t category) { return category < 21 || category == 24 || category > 29; }

bool IsUndeterminedImportCategory(uint8_t category) { return category >= 31 && category <= 37; }

const RefundClass* FindRefundClass(uint32_t classCode) {
  for (const RefundClass& row : kRefundClasses)
    if (row.code == classCode) return &row;
  return nullptr;
}

RefundGroup GroupOfClass(uint32_t classCode) {
  const RefundClass* row = FindRefundClass(classCode);
  return row != nullptr ? row->group : RefundGroup::kNone;
}

bool IsIndividualExpenseClass(uint32_t classCode) {
  const RefundClass* row = FindRefundClass(classCode);
  return row != nullptr && row->individualExpense;
}

std::span<const uint32_t> CorporateListClassCodes() { return kCorporateChain; }
std::span<const uint32_t> DepartmentListClassCodes() { return kDepartmentChain; }

bool SelectsClosingMonth(const PeriodCondition& period, int16_t monthNumber) {
  // The closing months follow clause 2, joined by "or", as single months.
  for (size_t i = 1; i + 1 < PeriodCondition::kMaxClauses; ++i) {
    if (period.clause(i).Joiner() == StFINDINFO::kJoinLast) break;
    const StFINDINFO& next = period.clause(i + 1);
    if (next.Item() == StFINDINFO::kItemMonthNumber && next.Comparison() == StFINDINFO::kCompareEqual &&
        next.Value() == monthNumber) {
      return true;
    }
  }
  return false;
}

MonthSlots SelectMonthSlots(const PeriodCondition& period, int32_t closingPattern) {
  MonthSlots slots;
  slots.first = period.clause(0).view().I16(StFINDINFO::kValue);
  slots.last = period.clause(1).view().I16(StFINDINFO::kValue);
  slots.yearEnd = SelectsClosingMonth(period, kYearEndMonthNumber);
  slots.interim = closingPattern == kInterimClosingPattern && slots.last == kInterimLastMonth;
  return slots;
}

int64_t DebitMinusCredit(const StKAMOKUSUMINFO& sums, const MonthSlots& slots, bool taxInclusive) {
  const size_t debitArray = taxInclusive ? K::kDebitInclusive : K::kDebitExclusive;
  const size_t creditArray = taxInclusive ? K::kCreditInclusive : K::kCreditExclusive;
  FixedDecimal debit;
  FixedDecimal credit;
  auto addSlot = [&](size_t slot) {
    debit += FixedDecimal::FromScaled(sums.view().I64(K::Slot(debitArray, slot)));
    credit += FixedDecimal::FromScaled(sums.view().I64(K::Slot(creditArray, slot)));
  };
  // Month numbers outside 1..12 have no month slot of their own.
  const int16_t first = std::max(slots.first, kFirstMonthSlot);
  const int16_t last = std::min(slots.last, kLastMonthSlot);
  for (int16_t slot = first; slot <= last; ++slot) addSlot(static_cast<size_t>(slot));
  if (slots.yearEnd) addSlot(K::kSlotYearEnd);
  if (slots.interim) addSlot(K::kSlotInterim);
  return debit.Subtract(credit).ToScaled();
}

int64_t SideAmount(const StSWKTINFO& line, JournalSide side, bool taxInclusive) {
  const bool debit = side == JournalSide::kDebit;
  const int64_t amount = line.view().I64(debit ? L::kDebitAmount : L::kCreditAmount);
  if (!taxInclusive) return amount;
  const int64_t tax = line.view().I64(debit ? L::kDebitTax : L::kCreditTax);
  return FixedDecimal::Add(amount, FixedDecimal::FromScaled(tax)).ToScaled();
}

uint32_t SideAccount(const StSWKTINFO& line, JournalSide side) {
  return line.view().U32(side == JournalSide::kDebit ? L::kDebitAccount : L::kCreditAccount);
}

uint8_t SideCategory(const StSWKTINFO& line, JournalSide side) {
  return line.view().U8(side == JournalSide::kDebit ? L::kDebitCategory : L::kCreditCategory);
}

int32_t SideDepartment(const StSWKTINFO& line, JournalSide side) {
  return line.view().I32(side == JournalSide::kDebit ? L::kDebitDepartment : L::kCreditDepartment);
}

void AddAmount(int64_t& target, int64_t amount) {
  target = FixedDecimal::Add(amount, FixedDecimal::FromScaled(target)).ToScaled();
}

int64_t Negated(int64_t amount) { return FixedDecimal().Subtract(FixedDecimal::FromScaled(amount)).ToScaled(); }

void AddSideToRow(RefundLine& row, const StSWKTINFO& line, JournalSide side, bool taxInclusive) {
  const uint8_t category = SideCategory(line, side);
  if (!IsNonQualifyingCategory(category)) return;
  const int64_t amount = SideAmount(line, side, taxInclusive);
  const int64_t signedAmount = side == JournalSide::kDebit ? amount : Negated(amount);
  AddAmount(row.nonQualifying, signedAmount);
  if (IsUndeterminedImportCategory(category)) AddAmount(row.undeterminedImport, signedAmount);
}

}  // namespace aggregate
