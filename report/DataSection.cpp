#include "report/DataSection.h"

#include <span>
#include <string>
#include <string_view>

#include "aggregate/FixedDecimal.h"
#include "host/TaxReportRecords.h"
#include "report/ElementNameTable.h"
#include "report/RefundStatement.h"
#include "report/RoundToYen.h"

using aggregate::ArithmeticError;
using aggregate::FixedDecimal;
using aggregate::TaxAggregate;

namespace report {
namespace {

constexpr int kDepthData = 1;
constexpr int kDepthRecord = 2;
constexpr int kDepthLeaf = 3;

constexpr int kRates = 3;  // entries 0 (8 %), 1 (5 %), 2 (3 %)

// Indexes into ElementNameTable::DataRecords() of the first record of each
// three-rate group.
constexpr int kSalesRecords = 0;
constexpr int kPurchaseRecords = 3;
constexpr int kBadDebtRecords = 6;
constexpr int kAdjustmentRecords = 9;
constexpr int kBusinessSalesRecords = 12;
constexpr int kBusinessReturnRecords = 15;
constexpr int kBadDebtAgainRecords = 18;

using Rate = StTAXREPORTRATEINFO;
using Business = StTAXREPORTBUSINESSTYPEINFO;

// Which rate records hold a leaf.
enum class Held { kAllRates, k8Only, k8And5 };

// Where one leaf of a rate record takes its value: a byte offset in the rate
// entry, or kAlwaysEmpty for amounts that journal entries cannot yield.
struct LeafSource {
  int offset;
  Held held = Held::kAllRates;
};
constexpr int kAlwaysEmpty = -1;

constexpr int Excl(size_t base) { return static_cast<int>(base + Rate::kExcl); }
constexpr int Tax(size_t base) { return static_cast<int>(base + Rate::kTax); }
constexpr int Incl(size_t base) { return static_cast<int>(base + Rate::kIncl); }
constexpr int At(size_t offset) { return static_cast<int>(offset); }

// The leaves of the sales records in writing order. The record's fields run
// in another order: securities (33) follow exempt sales (41), and the
// non-taxable returns (89) follow the exempt returns (97).
constexpr LeafSource kSalesLeaves[] = {
    {At(Rate::kTaxableSalesExcl)},   {At(Rate::kTaxableSalesTax)},        {At(Rate::kTaxableSalesIncl)},
    {At(Rate::kExemptSales)},        {At(Rate::kSecuritiesSales)},        {At(Rate::kNonTaxableSales)},
    {At(Rate::kNonTaxableAssetExports)},
    {At(Rate::kSalesReturnsExcl)},   {At(Rate::kSalesReturnsTax)},        {At(Rate::kSalesReturnsIncl)},
    {At(Rate::kExemptSalesReturns)}, {At(Rate::kNonTaxableSalesReturns)}, {kAlwaysEmpty},
};

constexpr LeafSource kPurchaseLeaves[] = {
    {Excl(Rate::kPurchasesTaxableOnly)},    {Tax(Rate::kPurchasesTaxableOnly)},
    {Incl(Rate::kPurchasesTaxableOnly)},
    {Excl(Rate::kPurchasesNonTaxableOnly)}, {Tax(Rate::kPurchasesNonTaxableOnly)},
    {Incl(Rate::kPurchasesNonTaxableOnly)},
    {Excl(Rate::kPurchasesCommon)},         {Tax(Rate::kPurchasesCommon)},
    {Incl(Rate::kPurchasesCommon)},
    // Specified purchases (reverse charge).
    {kAlwaysEmpty, Held::k8Only}, {kAlwaysEmpty, Held::k8Only}, {kAlwaysEmpty, Held::k8Only},
    {Tax(Rate::kImportTaxableOnly)}, {Tax(Rate::kImportNonTaxableOnly)}, {Tax(Rate::kImportCommon)},
    {At(Rate::kImportLocalTax), Held::k8And5},
    {Excl(Rate::kPurchaseReturnsTaxableOnly)},    {Tax(Rate::kPurchaseReturnsTaxableOnly)},
    {Incl(Rate::kPurchaseReturnsTaxableOnly)},
    {Excl(Rate::kPurchaseReturnsNonTaxableOnly)}, {Tax(Rate::kPurchaseReturnsNonTaxableOnly)},
    {Incl(Rate::kPurchaseReturnsNonTaxableOnly)},
    {Excl(Rate::kPurchaseReturnsCommon)},         {Tax(Rate::kPurchaseReturnsCommon)},
    {Incl(Rate::kPurchaseReturnsCommon)},
    // Returns on specified purchases.
    {kAlwaysEmpty, Held::k8Only}, {kAlwaysEmpty, Held::k8Only}, {kAlwaysEmpty, Held::k8Only},
    {Tax(Rate::kImportReturnsTaxableOnly)}, {Tax(Rate::kImportReturnsNonTaxableOnly)},
    {Tax(Rate::kImportReturnsCommon)},
    {At(Rate::kImportLocalTaxReturns), Held::k8And5},
};

constexpr LeafSource kBadDebtLeaves[] = {
    {Excl(Rate::kBadDebts)},          {Tax(Rate::kBadDebts)},          {Incl(Rate::kBadDebts)},
    {Excl(Rate::kBadDebtsRecovered)}, {Tax(Rate::kBadDebtsRecovered)}, {Incl(Rate::kBadDebtsRecovered)},
};

bool HeldAt(Held held, int rate) {
  switch (held) {
    case Held::kAllRates: return true;
    case Held::k8Only: return rate == 0;
    case Held::k8And5: return rate <= 1;
  }
  return false;
}

// The sources of a business-type record group, by measure (excluding tax,
// tax, including tax): the six types' records, the rate entry's total, and
// the exempt amount that closes each record.
struct BusinessSources {
  size_t typeOffset[3];
  size_t rateOffset[3];
  size_t exemptOffset;
};

constexpr BusinessSources kBusinessSales = {
    {Business::kSalesExcl, Business::kSalesTax, Business::kSalesIncl},
    {Rate::kTaxableSalesExcl, Rate::kTaxableSalesTax, Rate::kTaxableSalesIncl},
    Rate::kExemptSales};

constexpr BusinessSources kBusinessReturns = {
    {Business::kReturnsExcl, Business::kReturnsTax, Business::kReturnsIncl},
    {Rate::kSalesReturnsExcl, Rate::kSalesReturnsTax, Rate::kSalesReturnsIncl},
    Rate::kExemptSalesReturns};

// Writes the records of one call. Each three-rate group walks the rate
// entries from 8 % to 3 % (with the business blocks alongside) and the next
// group starts again at 8 %. The aggregation result is only read.
class DataWriter {
 public:
  DataWriter(XmlWriter& writer, const TaxAggregate& aggregate, int roundingKind)
      : writer_(writer), aggregate_(aggregate), roundingKind_(roundingKind) {}

  bool RateRecords(int firstRecord, std::span<const LeafSource> leaves) {
    for (int rate = 0; rate < kRates; ++rate) {
      const ElementNameTable::Record& record = ElementNameTable::DataRecords()[firstRecord + rate];
      if (!writer_.WriteStartTag(record.code, kDepthRecord)) return false;
      const host::RecordView entry = RateEntry(rate);
      int position = record.first;
      for (const LeafSource& leaf : leaves) {
        if (!HeldAt(leaf.held, rate)) continue;
        const std::string text = leaf.offset == kAlwaysEmpty
                                     ? std::string()
                                     : AmountText(entry.I64(static_cast<size_t>(leaf.offset)), roundingKind_);
        if (!Leaf(position++, text)) return false;
      }
      if (!writer_.WriteEndTag(record.code, kDepthRecord)) return false;
    }
    return true;
  }

  bool EmptyRecords(int firstRecord) {
    for (int rate = 0; rate < kRates; ++rate) {
      const ElementNameTable::Record& record = ElementNameTable::DataRecords()[firstRecord + rate];
      if (!writer_.WriteStartTag(record.code, kDepthRecord)) return false;
      for (int i = 0; i < record.count; ++i) {
        if (!Leaf(record.first + i, std::string_view())) return false;
      }
      if (!writer_.WriteEndTag(record.code, kDepthRecord)) return false;
    }
    return true;
  }

  // Throws ArithmeticError when a ZERO difference leaves the arithmetic's
  // range; the caller turns that into a failed section.
  bool BusinessRecords(int firstRecord, const BusinessSources& sources) {
    for (int rate = 0; rate < kRates; ++rate) {
      const ElementNameTable::Record& record = ElementNameTable::DataRecords()[firstRecord + rate];
      if (!writer_.WriteStartTag(record.code, kDepthRecord)) return false;
      const host::RecordView entry = RateEntry(rate);
      FixedDecimal sums[3];
      for (int type = 1; type <= TaxAggregate::kBusinessTypes; ++type) {
        const host::RecordView business = BusinessEntry(rate, type);
        for (int m = 0; m < 3; ++m) {
          const int64_t amount = business.I64(sources.typeOffset[m]);
          if (!Leaf(ElementNameTable::BusinessTypeLeaf(record.first, type, m), AmountText(amount, roundingKind_)))
            return false;
          sums[m] = FixedDecimal::Add(amount, sums[m]);
        }
      }
      for (int m = 0; m < 3; ++m) {
        const FixedDecimal rest = FixedDecimal::Subtract(entry.I64(sources.rateOffset[m]), sums[m]);
        if (!Leaf(ElementNameTable::BusinessZeroLeaf(record.first, m), AmountText(rest.ToScaled(), roundingKind_)))
          return false;
      }
      if (!Leaf(ElementNameTable::BusinessExemptLeaf(record.first),
                AmountText(entry.I64(sources.exemptOffset), roundingKind_)))
        return false;
      if (!writer_.WriteEndTag(record.code, kDepthRecord)) return false;
    }
    return true;
  }

 private:
  bool Leaf(int position, std::string_view text) {
    return writer_.WriteElement(ElementNameTable::At(position), text, kDepthLeaf) == 1;
  }
  // The result's record accessors are not const; reading through them
  // changes nothing.
  host::RecordView RateEntry(int rate) const {
    return const_cast<TaxAggregate&>(aggregate_).RateRecord(static_cast<size_t>(rate));
  }
  host::RecordView BusinessEntry(int rate, int type) const {
    return const_cast<TaxAggregate&>(aggregate_).BusinessRecord(static_cast<size_t>(rate), type);
  }

  XmlWriter& writer_;
  const TaxAggregate& aggregate_;
  int roundingKind_;
};

bool WriteRecords(DataWriter& data) {
  return data.RateRecords(kSalesRecords, kSalesLeaves) && data.RateRecords(kPurchaseRecords, kPurchaseLeaves) &&
         data.RateRecords(kBadDebtRecords, kBadDebtLeaves) && data.EmptyRecords(kAdjustmentRecords) &&
         data.BusinessRecords(kBusinessSalesRecords, kBusinessSales) &&
         data.BusinessRecords(kBusinessReturnRecords, kBusinessReturns) &&
         data.RateRecords(kBadDebtAgainRecords, kBadDebtLeaves);
}

}  // namespace

DataSectionFacts DataSectionFacts::Of(const TaxAggregate& aggregate, const StDATAINFO& company,
                                      const StSHOHIZEIINFO& taxSettings, uint8_t taxMethod, uint8_t taxRounding) {
  DataSectionFacts facts;
  facts.aggregate = &aggregate;
  facts.roundingKind = taxRounding;
  facts.taxMethod = taxMethod;
  facts.companyKind = company.view().U8(StDATAINFO::kCompanyKind);
  facts.incomeLayout = company.view().U8(StDATAINFO::kIncomeLayout);
  facts.taxInclusive = taxSettings.view().U8(StSHOHIZEIINFO::kTaxInclusive);
  return facts;
}

int WriteDataSection(XmlWriter& writer, const DataSectionFacts& facts) {
  if (!writer.WriteStartTag("DATA", kDepthData)) return kWriteFailed;
  // Without the result of the aggregation, or with fewer than the three rate
  // entries, there is nothing true to write.
  const TaxAggregate* aggregate = facts.aggregate;
  if (aggregate == nullptr || !aggregate->HasRateTables() ||
      aggregate->rateRecordCount() < static_cast<size_t>(TaxAggregate::kMinRateRecords))
    return kWriteFailed;

  DataWriter data(writer, *aggregate, facts.roundingKind);
  try {
    if (!WriteRecords(data)) return kWriteFailed;
  } catch (const ArithmeticError&) {
    // A ZERO figure beyond the arithmetic's range is never written wrapped.
    return kWriteFailed;
  }
  if (!WriteCorporateRefund(writer, facts)) return kWriteFailed;
  if (!WriteIndividualRefund(writer, facts)) return kWriteFailed;
  return writer.WriteEndTag("DATA", kDepthData) == kWritten ? kWritten : kWriteFailed;
}

}  // namespace report
