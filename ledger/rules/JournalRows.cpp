#include "ledger/rules/JournalRows.h"

#include "ledger/Text.h"
#include "platform/ShiftJis.h"

namespace ledger::rules {

namespace {

void FillSide(const Statement& row, int first, host::RecordView v, size_t account, size_t department, size_t amount,
              size_t tax, size_t category, size_t rate, size_t reduced, size_t businessType) {
  v.SetU32(account, static_cast<uint32_t>(row.Int(first)));
  v.SetI32(department, row.IsNull(first + 1) ? 0 : static_cast<int32_t>(row.Int(first + 1)));
  v.SetI64(amount, row.Int(first + 2));
  v.SetI64(tax, row.Int(first + 3));
  v.SetU8(category, static_cast<uint8_t>(row.Int(first + 4)));
  v.SetU32(rate, static_cast<uint32_t>(row.Int(first + 5)));
  v.SetU8(reduced, static_cast<uint8_t>(row.Int(first + 6)));
  v.SetU8(businessType, static_cast<uint8_t>(row.Int(first + 7)));
}

}  // namespace

void FillJournalLine(const Statement& row, StSWKTINFO* line) {
  using S = StSWKTINFO;
  *line = StSWKTINFO();
  host::RecordView v = line->view();
  v.SetU32(S::kLineNo, static_cast<uint32_t>(row.Int(0)));
  v.SetI32(S::kDate, static_cast<int32_t>(row.Int(1)));
  v.SetI16(S::kMonthNumber, static_cast<int16_t>(row.Int(2)));
  FillSide(row, 3, v, S::kDebitAccount, S::kDebitDepartment, S::kDebitAmount, S::kDebitTax, S::kDebitCategory,
           S::kDebitRate, S::kDebitReduced, S::kDebitBusinessType);
  FillSide(row, 11, v, S::kCreditAccount, S::kCreditDepartment, S::kCreditAmount, S::kCreditTax, S::kCreditCategory,
           S::kCreditRate, S::kCreditReduced, S::kCreditBusinessType);
  if (auto text = Utf8ToCp932(row.Text(19))) {
    v.SetText(S::kDescription, S::kDescriptionWidth,
              platform::sjis::CutToWholeChars(*text, S::kDescriptionWidth - 1));
  }
}

}  // namespace ledger::rules
