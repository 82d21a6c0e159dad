#include "ledger/rules/Summary.h"

#include <cinttypes>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "host/Host.h"
#include "ledger/DataAccess.h"
#include "ledger/Text.h"
#include "ledger/rules/RuleSupport.h"

namespace ledger::rules {

namespace {

using R = StTAXREPORTRATEINFO;
using B = StTAXREPORTBUSINESSTYPEINFO;
using K = StKAMOKUSUMINFO;
using F = StFINDINFO;

constexpr size_t kLiveRates = 3;

// printf into the end of `out`: the summary is composed in memory.
__attribute__((format(gnu_printf, 2, 3))) void Append(std::string* out, const char* format, ...) {
  char small[256];
  va_list args;
  va_start(args, format);
  const int n = std::vsnprintf(small, sizeof small, format, args);
  va_end(args);
  if (n < 0) return;
  if (static_cast<size_t>(n) < sizeof small) {
    out->append(small, static_cast<size_t>(n));
    return;
  }
  const size_t at = out->size();
  out->resize(at + static_cast<size_t>(n) + 1);
  va_start(args, format);
  std::vsnprintf(out->data() + at, static_cast<size_t>(n) + 1, format, args);
  va_end(args);
  out->resize(at + static_cast<size_t>(n));
}

// `utf8` followed by blanks up to `columns` terminal columns. A character
// takes as many columns as its Shift_JIS form has bytes (a full-width
// character two, ASCII and half-width kana one); a text longer than the
// column stays whole.
std::string PadToColumns(const std::string& utf8, size_t columns) {
  size_t width = 0;
  if (auto sjis = Utf8ToCp932(utf8)) {
    width = sjis->size();
  } else {
    for (unsigned char c : utf8) width += (c & 0xC0) != 0x80;
  }
  return width >= columns ? utf8 : utf8 + std::string(columns - width, ' ');
}
constexpr uint32_t kRates[kLiveRates] = {800, 500, 300};

struct Figure {
  const char* label;
  size_t offset;
  int64_t factor;
};

// The return's figures in the order of the return's records.
const Figure kFigures[] = {
    {"Taxable sales, without tax", R::kTaxableSalesExcl, 1},
    {"Taxable sales, tax", R::kTaxableSalesTax, 1},
    {"Taxable sales, with tax", R::kTaxableSalesIncl, 1},
    {"Export-exempt sales", R::kExemptSales, 1},
    {"Non-taxable sales of securities (x20)", R::kSecuritiesSales, 20},
    {"Other non-taxable sales", R::kNonTaxableSales, 1},
    {"Exports of non-taxable assets", R::kNonTaxableAssetExports, 1},
    {"Sales returns, without tax", R::kSalesReturnsExcl, 1},
    {"Sales returns, tax", R::kSalesReturnsTax, 1},
    {"Sales returns, with tax", R::kSalesReturnsIncl, 1},
    {"Export-exempt sales returns", R::kExemptSalesReturns, 1},
    {"Non-taxable sales returns", R::kNonTaxableSalesReturns, 1},
    {"Purchases for taxable sales, without tax", R::kPurchasesTaxableOnly, 1},
    {"Purchases for taxable sales, tax", R::kPurchasesTaxableOnly + 8, 1},
    {"Purchases for taxable sales, with tax", R::kPurchasesTaxableOnly + 16, 1},
    {"Purchases for non-taxable sales, without tax", R::kPurchasesNonTaxableOnly, 1},
    {"Purchases for non-taxable sales, tax", R::kPurchasesNonTaxableOnly + 8, 1},
    {"Purchases for non-taxable sales, with tax", R::kPurchasesNonTaxableOnly + 16, 1},
    {"Common purchases, without tax", R::kPurchasesCommon, 1},
    {"Common purchases, tax", R::kPurchasesCommon + 8, 1},
    {"Common purchases, with tax", R::kPurchasesCommon + 16, 1},
    {"Import tax for taxable sales", R::kImportTaxableOnly + 8, 1},
    {"Import tax for non-taxable sales", R::kImportNonTaxableOnly + 8, 1},
    {"Import tax, common", R::kImportCommon + 8, 1},
    {"Import local consumption tax", R::kImportLocalTax, 1},
    {"Purchase returns, taxable sales, without tax", R::kPurchaseReturnsTaxableOnly, 1},
    {"Purchase returns, taxable sales, tax", R::kPurchaseReturnsTaxableOnly + 8, 1},
    {"Purchase returns, taxable sales, with tax", R::kPurchaseReturnsTaxableOnly + 16, 1},
    {"Purchase returns, non-taxable sales, without tax", R::kPurchaseReturnsNonTaxableOnly, 1},
    {"Purchase returns, non-taxable sales, tax", R::kPurchaseReturnsNonTaxableOnly + 8, 1},
    {"Purchase returns, non-taxable sales, with tax", R::kPurchaseReturnsNonTaxableOnly + 16, 1},
    {"Purchase returns, common, without tax", R::kPurchaseReturnsCommon, 1},
    {"Purchase returns, common, tax", R::kPurchaseReturnsCommon + 8, 1},
    {"Purchase returns, common, with tax", R::kPurchaseReturnsCommon + 16, 1},
    {"Import returns tax, taxable sales", R::kImportReturnsTaxableOnly + 8, 1},
    {"Import returns tax, non-taxable sales", R::kImportReturnsNonTaxableOnly + 8, 1},
    {"Import returns tax, common", R::kImportReturnsCommon + 8, 1},
    {"Import local consumption tax returns", R::kImportLocalTaxReturns, 1},
    {"Bad debts, without tax", R::kBadDebts, 1},
    {"Bad debts, tax", R::kBadDebts + 8, 1},
    {"Bad debts, with tax", R::kBadDebts + 16, 1},
    {"Recovered bad debts, without tax", R::kBadDebtsRecovered, 1},
    {"Recovered bad debts, tax", R::kBadDebtsRecovered + 8, 1},
    {"Recovered bad debts, with tax", R::kBadDebtsRecovered + 16, 1},
};

std::string Failed(const char* what, int32_t status) {
  return std::string(what) + " failed (status " + std::to_string(status) + ")";
}

template <class Rule>
std::unique_ptr<Rule> BoundRule(const std::string& dataIdCp932) {
  auto rule = std::make_unique<Rule>();
  rule->AttachSetMgr(ClDataMgr::Inst()->GetSetMgr());
  rule->SetCurDataID(dataIdCp932.c_str());
  rule->AttachOptLink(ClLinkMgr::Inst()->GetOptLink());
  return rule;
}

// A section title with its column headings right-aligned on columns of 18
// that start after `labelWidth` characters.
void PrintTitle(std::string* out, const std::string& title, int labelWidth, std::initializer_list<const char*> columns) {
  Append(out, "\n%s", title.c_str());
  int pad = labelWidth - static_cast<int>(title.size());
  for (const char* column : columns) {
    Append(out, "%*s", 18 + pad, column);
    pad = 0;
  }
  Append(out, "\n");
}

std::string Date(int32_t d) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d / 10000, d / 100 % 100, d % 100);
  return buf;
}

// The month numbers of calendar months first..last, as the component's
// period condition has them.
bool MonthNumbers(const StDATAINFO& info, int32_t firstMonth, int32_t lastMonth, std::vector<StFINDINFO>* chain,
                  std::string* description, std::string* error) {
  ClAccPeriod period;
  const host::RecordView v = info.view();
  if (period.SetPeriod(v.I32(StDATAINFO::kPeriodStart), v.I32(StDATAINFO::kPeriodEnd)) != host::kOk ||
      period.SetClosingDay(static_cast<int16_t>(v.I32(StDATAINFO::kClosingDay))) != host::kOk) {
    *error = "the data set's accounting period cannot be read";
    return false;
  }
  const int32_t count = std::min(period.MonthCount(), 12);
  int32_t first = 0, last = 0;
  for (int16_t k = 1; k <= count; ++k) {
    int32_t from = 0, to = 0;
    int16_t month = 0;
    if (period.GetPeriodByMonthKind(k, &from, &to, 0) != host::kOk || period.GetAMonthByDate(to, &month) != host::kOk) {
      continue;
    }
    if (month == firstMonth && first == 0) first = k;
    if (month == lastMonth) last = k;
  }
  if (first == 0 || last == 0) {
    *error = "month " + std::to_string(first == 0 ? firstMonth : lastMonth) + " is not a month of the period";
    return false;
  }
  if (last < first) {
    *error = "month " + std::to_string(lastMonth) + " comes before month " + std::to_string(firstMonth) +
             " in the period";
    return false;
  }
  chain->push_back(F::Compare(F::kItemMonthNumber, 0, F::kCompareAtLeast, F::kValueMonth, first, F::kJoinAnd));
  chain->push_back(F::Compare(F::kItemMonthNumber, 0, F::kCompareAtMost, F::kValueMonth, last, F::kJoinLast));
  *description = "month numbers " + std::to_string(first) + " to " + std::to_string(last);
  auto addClosing = [&](int16_t month, const char* name) {
    chain->back().SetJoiner(F::kJoinOr);
    chain->push_back(F::Compare(F::kItemMonthNumber, 0, F::kCompareEqual, F::kValueMonth, month, F::kJoinLast));
    *description += std::string(" and the ") + name + " (" + std::to_string(month) + ")";
  };
  if (v.I32(StDATAINFO::kClosingPattern) == 1 && last == 6) addClosing(15, "interim closing");
  if (last == count) addClosing(18, "year-end closing");
  return true;
}

void PrintReturnFigures(std::string* out, const StTAXREPORTRATEINFO* rates) {
  PrintTitle(out, "Return figures by rate", 50, {"8 %", "5 %", "3 %"});
  for (const Figure& f : kFigures) {
    Append(out, "  %-48s", f.label);
    for (size_t i = 0; i < kLiveRates; ++i) {
      Append(out, "%18s", FormatYen(rates[i].view().I64(f.offset) * f.factor).c_str());
    }
    Append(out, "\n");
  }
}

void PrintBusinessTypes(std::string* out, const StTAXREPORTRATEINFO* rates, const StTAXREPORTBUSINESSTYPEINFO* types) {
  static const char* const kParts[2] = {"Sales", "Sales returns"};
  static const size_t kRateTotals[2][3] = {{R::kTaxableSalesIncl, R::kTaxableSalesTax, R::kTaxableSalesExcl},
                                           {R::kSalesReturnsIncl, R::kSalesReturnsTax, R::kSalesReturnsExcl}};
  static const size_t kTypeOffsets[2][3] = {{B::kSalesIncl, B::kSalesTax, B::kSalesExcl},
                                            {B::kReturnsIncl, B::kReturnsTax, B::kReturnsExcl}};
  for (size_t i = 0; i < kLiveRates; ++i) {
    for (size_t part = 0; part < 2; ++part) {
      PrintTitle(out, std::string(kParts[part]) + " by business type at " + std::to_string(kRates[i] / 100) + " %", 40,
                 {"with tax", "tax", "without tax"});
      int64_t rest[3];
      for (size_t m = 0; m < 3; ++m) rest[m] = rates[i].view().I64(kRateTotals[part][m]);
      for (size_t t = 0; t < 6; ++t) {
        Append(out, "  Type %zu%32s", t + 1, "");
        for (size_t m = 0; m < 3; ++m) {
          const int64_t value = types[i * 6 + t].view().I64(kTypeOffsets[part][m]);
          rest[m] -= value;
          Append(out, "%18s", FormatYen(value).c_str());
        }
        Append(out, "\n");
      }
      Append(out, "  Not attributed to a type%14s", "");
      for (size_t m = 0; m < 3; ++m) Append(out, "%18s", FormatYen(rest[m]).c_str());
      Append(out, "\n");
    }
  }
}

bool PrintTaxSummary(std::string* out, const std::string& dataId, const std::vector<StFINDINFO>& chain,
                     uint8_t taxTreatment, std::string* error) {
  auto rule = BoundRule<ClRuleShohizei>(dataId);
  for (uint32_t rate : {500u, 300u}) {
    int16_t first = static_cast<int16_t>(chain[0].Value());
    int16_t last = static_cast<int16_t>(chain[chain.size() - 1].Value());
    if (int32_t s = rule->MoveReady(2, &first, &last, &rate, nullptr, taxTreatment, 0, 0, 0); s != host::kOk) {
      *error = Failed("the tax summary", s);
      return false;
    }
    uint32_t count = 0;
    rule->GetSumInfoCount(&count);
    PrintTitle(out, "Tax summary rows at " + std::to_string(rate / 100) + " %", 45, {"tax", "amount"});
    int64_t totalTax = 0, totalAmount = 0;
    StTAXSUMINFO row;
    int32_t status;
    while ((status = rule->MoveNext(&row)) == host::kOk) {
      const host::RecordView v = row.view();
      const int64_t tax = v.I64(StTAXSUMINFO::kAmount), amount = v.I64(606);
      Append(
          out, "  %s %s%18s%18s\n",
          PadToColumns(Cp932ToUtf8Lossy(v.Text(StTAXSUMINFO::kAccountCode, StTAXSUMINFO::kAccountCodeWidth)), 12).c_str(),
          PadToColumns(Cp932ToUtf8Lossy(v.Text(StTAXSUMINFO::kAccountName, StTAXSUMINFO::kAccountNameWidth)), 30).c_str(),
          FormatYen(tax).c_str(), FormatYen(amount).c_str());
      totalTax += tax;
      totalAmount += amount;
    }
    rule->MoveFinish();
    if (status != host::kEndOfWalk) {
      *error = Failed("the tax summary walk", status);
      return false;
    }
    Append(out, "  %-43s%18s%18s\n", count == 0 ? "(no rows)" : "Total", FormatYen(totalTax).c_str(),
                 FormatYen(totalAmount).c_str());
  }
  return true;
}

bool PrintAccountSums(std::string* out, const std::string& dataId, const std::vector<StFINDINFO>& chain,
                      std::string* error) {
  auto rule = BoundRule<ClRuleKamoku>(dataId);
  if (int32_t s = rule->MoveReady(1, 0, 0, chain.data(), nullptr, 0); s != host::kOk) {
    *error = Failed("the account sums", s);
    return false;
  }
  PrintTitle(out, "Account sums by class", 47, {"debit", "credit", "debit with tax", "credit with tax"});
  StKAMOKUSUMINFO record;
  int32_t status;
  while ((status = rule->MoveNext(&record)) == host::kOk) {
    const host::RecordView v = record.view();
    int64_t totals[4] = {0, 0, 0, 0};
    const size_t arrays[4] = {K::kDebitExclusive, K::kCreditExclusive, K::kDebitInclusive, K::kCreditInclusive};
    for (size_t a = 0; a < 4; ++a) {
      for (size_t s = 0; s < K::kMonthSlots; ++s) totals[a] += v.I64(K::Slot(arrays[a], s));
    }
    char label[128];
    if (v.U8(K::kRowKind) == K::kRowKindHeading) {
      std::snprintf(label, sizeof label, "class %08" PRIX32, v.U32(K::kClassCode));
    } else {
      std::snprintf(label, sizeof label, "  %s %s",
                    Cp932ToUtf8Lossy(v.Text(K::kAccountCode, K::kAccountCodeWidth)).c_str(),
                    Cp932ToUtf8Lossy(v.Text(K::kName, K::kNameWidth)).c_str());
    }
    Append(out, "  %s", PadToColumns(label, 45).c_str());
    for (int64_t t : totals) Append(out, "%18s", FormatYen(t).c_str());
    Append(out, "\n");
  }
  rule->MoveFinish();
  if (status != host::kEndOfWalk) {
    *error = Failed("the account sums walk", status);
    return false;
  }
  return true;
}

}  // namespace

std::string FormatYen(int64_t amount) {
  const bool negative = amount < 0;
  const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(amount) : static_cast<uint64_t>(amount);
  std::string whole = std::to_string(magnitude / 10000);
  for (int i = static_cast<int>(whole.size()) - 3; i > 0; i -= 3) whole.insert(static_cast<size_t>(i), ",");
  std::string text = (negative ? "-" : "") + whole;
  if (uint64_t fraction = magnitude % 10000; fraction != 0) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%04u", static_cast<unsigned>(fraction));
    std::string f = digits;
    while (f.back() == '0') f.pop_back();
    text += "." + f;
  }
  return text;
}

namespace {

bool WriteSummary(int32_t dataNo, int32_t firstMonth, int32_t lastMonth, std::string* out, std::string* error) {
  Store* store = OpenStore();
  if (store == nullptr) {
    *error = "no installation is open";
    return false;
  }
  if (firstMonth < 1 || firstMonth > 12 || lastMonth < 1 || lastMonth > 12) {
    *error = "months are calendar months 1 to 12";
    return false;
  }
  Statement q = store->Prepare("SELECT data_id FROM data_entry WHERE data_no = ?1");
  q.Bind(1, dataNo);
  if (q.Step() != SQLITE_ROW) {
    *error = "there is no data set number " + std::to_string(dataNo);
    return false;
  }
  const std::string dataIdUtf8 = q.Text(0);
  StDATAINFO info;
  if (int32_t s = ReadDataInfo(dataIdUtf8, &info); s != host::kOk) {
    *error = Failed("reading the data set", s);
    return false;
  }
  const std::string dataId = info.view().Text(StDATAINFO::kDataId, StDATAINFO::kDataIdWidth);

  std::vector<StFINDINFO> chain;
  std::string months;
  if (!MonthNumbers(info, firstMonth, lastMonth, &chain, &months, error)) return false;

  // The settings the component reads: rate count and the tax-inclusive byte.
  Statement t = store->Prepare("SELECT rate_count, tax_inclusive FROM tax_settings WHERE data_id = ?1");
  t.Bind(1, dataIdUtf8);
  if (t.Step() != SQLITE_ROW) {
    *error = "the data set has no consumption-tax settings";
    return false;
  }
  const size_t rateCount = static_cast<size_t>(t.Int(0));
  const uint8_t taxInclusive = static_cast<uint8_t>(t.Int(1));

  std::vector<StTAXREPORTRATEINFO> rates(std::max(rateCount, kLiveRates));
  std::vector<StTAXREPORTBUSINESSTYPEINFO> types(rates.size() * 6);
  for (size_t i = 0; i < kLiveRates; ++i) rates[i].view().SetU32(R::kRate, kRates[i]);
  for (size_t i = 0; i < rates.size(); ++i) {
    for (uint8_t ty = 1; ty <= 6; ++ty) {
      types[i * 6 + ty - 1].view().SetU32(B::kRate, rates[i].view().U32(R::kRate));
      types[i * 6 + ty - 1].view().SetU8(B::kBusinessType, ty);
    }
  }
  auto figures = BoundRule<ClRuleShohizeiShinkoku>(dataId);
  if (int32_t s = figures->SumTax(2, chain.data(), rates.data(), types.data()); s != host::kOk) {
    *error = Failed("the return figures", s);
    return false;
  }
  int32_t flags = 0;
  auto journal = BoundRule<ClRuleShiwake>(dataId);
  if (int32_t s = journal->CheckExistSwkByZeiRate(chain.data(), &flags, 1); s != host::kOk) {
    *error = Failed("the rate check", s);
    return false;
  }

  // Everything computed: print. The remaining sections print as they walk.
  const host::RecordView v = info.view();
  Append(out, "Consumption-tax summary of data %d (%s): %s\n", dataNo, dataIdUtf8.c_str(),
               Cp932ToUtf8Lossy(v.Text(StDATAINFO::kCompanyName, StDATAINFO::kCompanyNameWidth)).c_str());
  Append(out, "Accounting period %s to %s; months %d to %d: %s\n",
               Date(v.I32(StDATAINFO::kPeriodStart)).c_str(), Date(v.I32(StDATAINFO::kPeriodEnd)).c_str(),
               firstMonth, lastMonth, months.c_str());
  if ((flags & (kRateFlag10 | kRateFlagReduced8)) != 0) {
    Append(out, "Note: lines at the 10 %% or the reduced 8 %% rate are in these months; they are in no "
                      "figure below.\n");
  }
  PrintReturnFigures(out, rates.data());
  PrintBusinessTypes(out, rates.data(), types.data());
  return PrintTaxSummary(out, dataId, chain, taxInclusive, error) && PrintAccountSums(out, dataId, chain, error);
}

}  // namespace

bool PrintSummary(int32_t dataNo, int32_t firstMonth, int32_t lastMonth, std::FILE* out, std::string* error) {
  // The summary is composed in memory and printed whole, so a failure part of
  // the way prints nothing.
  std::string text;
  const bool written = WriteSummary(dataNo, firstMonth, lastMonth, &text, error);
  if (written) std::fwrite(text.data(), 1, text.size(), out);
  return written;
}

}  // namespace ledger::rules
