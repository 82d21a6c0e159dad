#include "report/RefundStatement.h"

#include <algorithm>
#include <initializer_list>
#include <string>
#include <string_view>

#include "host/Records.h"
#include "report/ElementNameTable.h"
#include "report/RoundToYen.h"

using aggregate::RefundLine;
using aggregate::TaxAggregate;

namespace report {
namespace {

constexpr int kDepthRecord = 2;
constexpr int kDepthLeaf = 3;
constexpr uint8_t kGeneralTaxation = host::StSHOHIZEIINFO::kGeneral;

const char* const kCorporateRecord = "KANPUH";
const char* const kIndividualRecord = "KANPUK";

const char* BasisCode(const DataSectionFacts& facts) { return facts.taxInclusive != 0 ? "1" : "2"; }

bool AnyNonzero(std::initializer_list<int64_t> amounts) {
  return std::any_of(amounts.begin(), amounts.end(), [](int64_t a) { return a != 0; });
}

// One row of the individual statement, in leaf order after KESSANZEIKUBUN.
struct IndividualRow {
  RefundLine TaxAggregate::*line;
  int64_t RefundLine::*amount;
  bool enabled;
  unsigned suppressedBy;  // income-kind mask bits that leave the row empty
};

constexpr unsigned kBusinessKind = 1;    // income kind 1
constexpr unsigned kRealEstateKind = 2;  // income kind 2
constexpr unsigned kByDepartmentKind = 4;  // income kind 3

constexpr unsigned kBusinessRows = kRealEstateKind;
constexpr unsigned kRealEstateRows = kBusinessKind;
constexpr unsigned kOtherRows = kBusinessKind | kRealEstateKind;

constexpr IndividualRow kIndividualRows[16] = {
    {&TaxAggregate::businessPurchases, &RefundLine::bookAmount, true, kBusinessRows},
    {&TaxAggregate::businessPurchases, &RefundLine::nonQualifying, true, kBusinessRows},
    {&TaxAggregate::businessExpenses, &RefundLine::bookAmount, true, kBusinessRows},
    {&TaxAggregate::businessExpenses, &RefundLine::nonQualifying, true, kBusinessRows},
    {&TaxAggregate::businessFixedAssets, &RefundLine::bookAmount, true, kBusinessRows},
    {&TaxAggregate::businessFixedAssets, &RefundLine::nonQualifying, false, kBusinessRows},
    {&TaxAggregate::realEstateExpenses, &RefundLine::bookAmount, true, kRealEstateRows},
    {&TaxAggregate::realEstateExpenses, &RefundLine::nonQualifying, true, kRealEstateRows},
    {&TaxAggregate::realEstateFixedAssets, &RefundLine::bookAmount, true, kRealEstateRows},
    {&TaxAggregate::realEstateFixedAssets, &RefundLine::nonQualifying, false, kRealEstateRows},
    {&TaxAggregate::otherPurchases, &RefundLine::bookAmount, true, kOtherRows},
    {&TaxAggregate::otherPurchases, &RefundLine::nonQualifying, true, kOtherRows},
    {&TaxAggregate::otherExpenses, &RefundLine::bookAmount, true, kOtherRows},
    {&TaxAggregate::otherExpenses, &RefundLine::nonQualifying, true, kOtherRows},
    {&TaxAggregate::otherFixedAssets, &RefundLine::bookAmount, false, kOtherRows},
    {&TaxAggregate::otherFixedAssets, &RefundLine::nonQualifying, false, kOtherRows},
};

unsigned IncomeKindMask(uint8_t incomeKind) {
  switch (incomeKind) {
    case 1: return kBusinessKind;
    case 2: return kRealEstateKind;
    case 3: return kByDepartmentKind;
    default: return 0;
  }
}

bool WriteEmptyLeaves(XmlWriter& writer, int first, int count) {
  for (int i = 0; i < count; ++i) {
    if (!writer.WriteElement(ElementNameTable::At(first + i), std::string_view(), kDepthLeaf)) return false;
  }
  return true;
}

bool CorporateLeaves(XmlWriter& writer, const DataSectionFacts& facts) {
  const TaxAggregate& a = *facts.aggregate;
  const int round = facts.roundingKind;
  const RefundLine* lines[] = {&a.goodsPurchases, &a.sellingAdminExpenses, &a.nonOperatingExpenses, &a.otherProfitLoss};

  int leaf = 0;
  auto write = [&](std::string_view text) {
    return writer.WriteElement(ElementNameTable::At(ElementNameTable::CorporateRefundLeaf(leaf++)), text, kDepthLeaf) ==
           1;
  };

  bool anyLine = false;
  for (const RefundLine* line : lines) anyLine = anyLine || AnyNonzero({line->bookAmount, line->nonQualifying});
  if (!write(anyLine ? BasisCode(facts) : "")) return false;
  for (const RefundLine* line : lines) {
    if (!write(AmountText(line->bookAmount, round))) return false;
    if (!write(AmountText(line->nonQualifying, round))) return false;
  }
  const bool anyAsset = AnyNonzero({a.fixedAssetAcquisitions, a.deferredAssetAcquisitions});
  return write(anyAsset ? BasisCode(facts) : "") && write(AmountText(a.fixedAssetAcquisitions, round)) && write("") &&
         write(AmountText(a.deferredAssetAcquisitions, round)) && write("") && write("") && write("");
}

bool IndividualLeaves(XmlWriter& writer, const DataSectionFacts& facts) {
  const TaxAggregate& a = *facts.aggregate;
  const unsigned mask = IncomeKindMask(facts.incomeLayout);

  bool anyAmount = false;
  for (const IndividualRow& row : kIndividualRows) anyAmount = anyAmount || (a.*row.line).*row.amount != 0;
  if (!writer.WriteElement(ElementNameTable::At(ElementNameTable::IndividualRefundLeaf(0)),
                           anyAmount ? BasisCode(facts) : "", kDepthLeaf))
    return false;

  for (int i = 0; i < 16; ++i) {
    const IndividualRow& row = kIndividualRows[i];
    std::string text;
    if (row.enabled && (row.suppressedBy & mask) == 0)
      text = std::to_string(RoundToYen((a.*row.line).*row.amount, facts.roundingKind));
    if (!writer.WriteElement(ElementNameTable::At(ElementNameTable::IndividualRefundLeaf(i + 1)), text, kDepthLeaf))
      return false;
  }
  return true;
}

}  // namespace

int WriteCorporateRefund(XmlWriter& writer, const DataSectionFacts& facts) {
  const bool applies = !host::StDATAINFO::IsIndividual(facts.companyKind) && facts.taxMethod == kGeneralTaxation;
  if (applies && facts.aggregate == nullptr) return kWriteFailed;
  if (!writer.WriteStartTag(kCorporateRecord, kDepthRecord)) return kWriteFailed;
  const bool written = applies ? CorporateLeaves(writer, facts)
                               : WriteEmptyLeaves(writer, ElementNameTable::kCorporateRefund,
                                                  ElementNameTable::kCorporateRefundCount);
  if (!written) return kWriteFailed;
  return writer.WriteEndTag(kCorporateRecord, kDepthRecord) == kWritten ? kWritten : kWriteFailed;
}

int WriteIndividualRefund(XmlWriter& writer, const DataSectionFacts& facts) {
  const bool applies = !host::StDATAINFO::IsCorporation(facts.companyKind) && facts.taxMethod == kGeneralTaxation;
  if (applies && facts.aggregate == nullptr) return kWriteFailed;
  if (!writer.WriteStartTag(kIndividualRecord, kDepthRecord)) return kWriteFailed;
  const bool written = applies ? IndividualLeaves(writer, facts)
                               : WriteEmptyLeaves(writer, ElementNameTable::kIndividualRefund,
                                                  ElementNameTable::kIndividualRefundCount);
  if (!written) return kWriteFailed;
  return writer.WriteEndTag(kIndividualRecord, kDepthRecord) == kWritten ? kWritten : kWriteFailed;
}

}  // namespace report
