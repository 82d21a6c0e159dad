// The tax categories of journal sides and what each side adds to the figures
// of the consumption-tax return (StTAXREPORTRATEINFO, StTAXREPORTBUSINESSTYPEINFO).
//
// Tax categories (one per side of a journal line):
//    0        no consumption tax
//    1        taxable sales                      (9, 17, 25; returns 65, 73, 81)
//    2        export-exempt sales                (41; returns 97)
//    3        non-taxable sales                  (49; returns 89)
//    4        transfers of securities            (33 holds 5 % of the transfers)
//    5        exports of non-taxable assets      (57)
//    6        bad debts                          (401, 409, 417)
//    7        recovered bad debts                (425, 433, 441)
//   21-23     taxable purchases attributed to taxable sales only, to
//             non-taxable sales only, common     (105, 129, 153; returns 257, 281, 305)
//   24        non-taxable purchases              (no figure)
//   25-27     import consumption tax by the same attribution
//                                                (177, 201, 225; returns 329, 353, 377)
//   28        import local consumption tax       (the side's tax: 477; returns 485)
//   29        specified purchases                (no figure: entered in the return screens)
//   30        out of scope                       (no figure)
//   31-37     imports not yet split into their parts (left out of every figure)
// The side decides sale or return: a sales category on the credit side is a
// sale and on the debit side a sales return; a purchase or import category on
// the debit side is a purchase and on the credit side a purchase return. The
// one-sided figures (securities, non-taxable asset exports, bad debts and
// their recoveries) are lowered by a side on the other side: bad debts are
// debits, everything else of the sales kind is a credit.
//
// A group of three holds the amount without tax (the side's amount), the tax
// (the side's consumption tax) and the amount with tax (their sum); a single
// figure holds the side's amount. For imports the side's amount is the customs
// value and its tax the consumption tax paid on import.
//
// Rates: a side belongs to the record whose preset rate equals its rate (800,
// 500, 300 in hundredths of a percent; the reduced 8 % is a rate of its own).
// A side without a rate takes the rate in force on the line's date: 3 % before
// 1997-04-01, 5 % before 2014-04-01, 8 % before 2019-10-01, 10 % after. A side
// whose rate no record carries is left out. Taxable sales of business type 1
// to 6 also go to that business type's record of the rate (sales at 8, 16, 24
// with tax, tax, without tax; returns at 32, 40, 48).
//
// Bytes the host owns: a rate record's bytes 4-7 count the journal sides added
// into it (u32) and byte 8 is zero; a business record's byte 4 is its rate
// record's index, bytes 6-7 are zero and bytes 56-63 count its sides (i64).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

#include "host/TaxReportRecords.h"

namespace ledger::rules {

namespace tax_category {
inline constexpr uint8_t kNone = 0;
inline constexpr uint8_t kTaxableSales = 1;
inline constexpr uint8_t kExemptSales = 2;
inline constexpr uint8_t kNonTaxableSales = 3;
inline constexpr uint8_t kSecurities = 4;
inline constexpr uint8_t kNonTaxableAssetExports = 5;
inline constexpr uint8_t kBadDebts = 6;
inline constexpr uint8_t kBadDebtsRecovered = 7;
inline constexpr uint8_t kPurchaseTaxableOnly = 21;
inline constexpr uint8_t kPurchaseNonTaxableOnly = 22;
inline constexpr uint8_t kPurchaseCommon = 23;
inline constexpr uint8_t kNonTaxablePurchase = 24;
inline constexpr uint8_t kImportTaxableOnly = 25;
inline constexpr uint8_t kImportNonTaxableOnly = 26;
inline constexpr uint8_t kImportCommon = 27;
inline constexpr uint8_t kImportLocalTax = 28;
inline constexpr uint8_t kSpecifiedPurchase = 29;
inline constexpr uint8_t kOutOfScope = 30;
inline constexpr uint8_t kUndeterminedImportFirst = 31;
inline constexpr uint8_t kUndeterminedImportLast = 37;
}  // namespace tax_category

// The rate (hundredths of a percent) in force on `date` (yyyymmdd).
uint32_t RateInForce(int32_t date);

// One side of a journal line as the return sees it.
struct JournalSide {
  int32_t date = 0;          // yyyymmdd
  bool debit = false;
  uint8_t category = 0;
  uint32_t rate = 0;         // hundredths of a percent; 0: none given
  bool reduced = false;      // the reduced 8 % rate
  uint8_t businessType = 0;  // 0, 1-6
  int64_t amount = 0;        // x 10 000, without tax
  int64_t tax = 0;           // x 10 000
};

// The sums of the return's figures for a set of rate records, built side by
// side and then added into the caller's records in one step.
class ReturnFigureSheet {
 public:
  // `recordRates`: the preset rate of each rate record, in record order. The
  // reduced 8 % rate is written 800 + kReducedMark.
  explicit ReturnFigureSheet(std::vector<uint32_t> recordRates);

  static constexpr uint32_t kReducedMark = 0x10000;

  // Adds `count` sides like `side` whose amounts and taxes add up to
  // side.amount and side.tax: the same as adding each of them, since every
  // figure is a sum of the sides' amounts and taxes.
  void Add(const JournalSide& side, uint64_t count = 1);
  // False once a sum has left the range of a signed 64-bit amount.
  bool ok() const { return ok_; }

  // Adds the sums into `rateTotals` (one record per rate) and
  // `businessTotals` (six per rate). Writes nothing and answers false when a
  // result would leave the 64-bit range.
  bool AddInto(StTAXREPORTRATEINFO* rateTotals, StTAXREPORTBUSINESSTYPEINFO* businessTotals) const;

 private:
  struct RecordSums {
    std::map<size_t, int64_t> amounts;  // by byte offset (477 and 485 lie off the 8-byte grid)
    int64_t securitiesTransfers = 0;
    std::array<std::array<int64_t, 6>, 6> business{};  // [type - 1][measure]
    uint32_t sides = 0;
    std::array<int64_t, 6> businessSides{};
  };
  void AddAt(RecordSums& sums, size_t offset, int64_t value);
  void AddGroup(RecordSums& sums, size_t offset, const JournalSide& side, int sign);

  std::vector<uint32_t> recordRates_;
  std::vector<RecordSums> records_;
  bool ok_ = true;
};

}  // namespace ledger::rules
