// The return-figure records that ClRuleShohizeiShinkoku::SumTax fills: one
// StTAXREPORTRATEINFO per tax rate and six StTAXREPORTBUSINESSTYPEINFO per rate
// (business types 1 to 6 of simplified taxation).
//
// The caller lays them out as heap arrays (N x 497 and N x 6 x 64 bytes) and
// presets the rate (and, for business records, the business type); the host
// adds the amounts. Amounts are signed 64-bit yen x 10 000 at the offsets
// below, which are also the offsets the document writer reads.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/ByteRecord.h"

namespace host {

struct StTAXREPORTRATEINFO : ByteRecord<497> {
  static constexpr size_t kRate = 0;  // u32, hundredths of a percent: 800, 500, 300
  static constexpr size_t kAmountCount = 61;
  static constexpr size_t Amount(size_t k) { return 9 + 8 * k; }  // k = 0..60

  // Sales.
  static constexpr size_t kTaxableSalesExcl = 9;
  static constexpr size_t kTaxableSalesTax = 17;
  static constexpr size_t kTaxableSalesIncl = 25;
  static constexpr size_t kSecuritiesSales = 33;  // 5 % of the transfers of securities; the system scales by 20
  static constexpr size_t kExemptSales = 41;      // export-exempt sales
  static constexpr size_t kNonTaxableSales = 49;
  static constexpr size_t kNonTaxableAssetExports = 57;
  static constexpr size_t kSalesReturnsExcl = 65;
  static constexpr size_t kSalesReturnsTax = 73;
  static constexpr size_t kSalesReturnsIncl = 81;
  static constexpr size_t kNonTaxableSalesReturns = 89;
  static constexpr size_t kExemptSalesReturns = 97;
  // Purchases with tax, by attribution: excl., tax, incl. from each base.
  static constexpr size_t kPurchasesTaxableOnly = 105;     // to taxable sales only
  static constexpr size_t kPurchasesNonTaxableOnly = 129;  // to non-taxable sales only
  static constexpr size_t kPurchasesCommon = 153;          // common to both
  // Import consumption tax by attribution: excl., tax, incl. from each base.
  static constexpr size_t kImportTaxableOnly = 177;
  static constexpr size_t kImportNonTaxableOnly = 201;
  static constexpr size_t kImportCommon = 225;
  // Purchase returns by attribution: excl., tax, incl. from each base.
  static constexpr size_t kPurchaseReturnsTaxableOnly = 257;
  static constexpr size_t kPurchaseReturnsNonTaxableOnly = 281;
  static constexpr size_t kPurchaseReturnsCommon = 305;
  // Import returns by attribution: excl., tax, incl. from each base.
  static constexpr size_t kImportReturnsTaxableOnly = 329;
  static constexpr size_t kImportReturnsNonTaxableOnly = 353;
  static constexpr size_t kImportReturnsCommon = 377;
  // Bad debts and their recoveries: excl., tax, incl. from each base.
  static constexpr size_t kBadDebts = 401;
  static constexpr size_t kBadDebtsRecovered = 425;
  // Import local consumption tax (read for the 8 % and 5 % records).
  static constexpr size_t kImportLocalTax = 477;
  static constexpr size_t kImportLocalTaxReturns = 485;

  // Offsets within a group of three: without tax, tax, with tax.
  static constexpr size_t kExcl = 0, kTax = 8, kIncl = 16;
};
static_assert(sizeof(StTAXREPORTRATEINFO) == 497);

struct StTAXREPORTBUSINESSTYPEINFO : ByteRecord<64> {
  static constexpr size_t kRate = 0;           // u32, copied from the rate record
  static constexpr size_t kBusinessType = 5;   // u8, 1-6
  static constexpr size_t kSalesIncl = 8;
  static constexpr size_t kSalesTax = 16;
  static constexpr size_t kSalesExcl = 24;
  static constexpr size_t kReturnsIncl = 32;
  static constexpr size_t kReturnsTax = 40;
  static constexpr size_t kReturnsExcl = 48;
};
static_assert(sizeof(StTAXREPORTBUSINESSTYPEINFO) == 64);

}  // namespace host

// The host's records are named at global scope, as the host classes are.
using host::StTAXREPORTRATEINFO;
using host::StTAXREPORTBUSINESSTYPEINFO;
