#include "aggregate/RefundRules.h"

#include <algorithm>

#include "aggregate/FixedDecimal.h"

namespace {

using K = StKAMOKUSUMINFO;
using L = StSWKTINFO;

constexpr int16_t kFirstMonthSlot = 1;
constexpr int16_t kLastMonthSlot = 12;
constexpr int16_t kInterimLastMonth = 6;
constexpr int32_t kInterimClosingPattern = 1;
constexpr int16_t kYearEndMonthNumber = 18;
constexpr uint32_t kIndividualExtraExpenseClass = 0x40844080;

}  // namespace

bool IsNonQualifyingCategory(uint8_t category) { return category < 21 || category == 24 || category > 29; }

bool IsUndeterminedImportCategory(uint8_t category) { return category >= 31 && category <= 37; }

RefundGroup GroupOfClass(uint32_t classCode) {
  switch (classCode) {
    case 0x20200000: case 0x20200040: case 0x20400000: case 0x20400004: case 0x20400008: case 0x20804000:
    case 0x40884400:
      return RefundGroup::kPurchase;
    case 0x40882000: case 0x40882004: case 0x40882008: case 0x40882010: case 0x40882020: case 0x40882040:
      return RefundGroup::kSellingAdmin;
    case 0x40844000:
      return RefundGroup::kNonOperating;
    case 0x40440000: case 0x40440040: case 0x40440080:
      return RefundGroup::kOther;
    default:
      return RefundGroup::kNone;
  }
}

bool IsIndividualExpenseClass(uint32_t classCode) {
  const RefundGroup group = GroupOfClass(classCode);
  return group == RefundGroup::kSellingAdmin || group == RefundGroup::kNonOperating || group == RefundGroup::kOther ||
         classCode == kIndividualExtraExpenseClass;
}

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
