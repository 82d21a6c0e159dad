// ElementNameTable: the one ordered table of display texts and element names
// of the output document, 365 entries addressed by position (0 to 364).
//
// Writers address entries by position and compute some positions, so the
// order is binding:
//   0-13     display texts of the tax settings (Shift_JIS; never written to
//            the document, shown in the conditions dialog)
//   14-27    SYSTEM and BASIC element names
//   28-181   DATA leaves: sales, purchases, bad debts, adjustments per rate
//   182-197  KANPUH leaves (corporate refund statement)
//   198-214  KANPUK leaves (individual refund statement)
//   215-346  DATA leaves: sales and sales returns by business type per rate
//   347-364  DATA leaves: bad debts per rate, second time
// All other texts are plain ASCII. Some texts are held at two positions; each
// position is an entry of its own.
//
// DataRecords() lists the records of the DATA section in writing order with
// the positions of their leaves. A position or index outside its range is a
// programming error: the lookup aborts with a message.
#pragma once

#include <array>

namespace report {

class ElementNameTable {
 public:
  static constexpr int kSize = 365;

  // First positions of the ranges.
  static constexpr int kDisplayTexts = 0;       // 14 texts
  static constexpr int kSystemBasicNames = 14;  // 14 names
  static constexpr int kSales = 28;             // 3 records of 13
  static constexpr int kPurchases = 67;         // 32, 26 and 24 leaves
  static constexpr int kBadDebts = 149;         // 3 records of 6
  static constexpr int kAdjustments = 167;      // 3 records of 5
  static constexpr int kCorporateRefund = 182;  // 16 leaves
  static constexpr int kIndividualRefund = 198; // 17 leaves
  static constexpr int kBusinessSales = 215;    // 3 records of 22
  static constexpr int kBusinessReturns = 281;  // 3 records of 22
  static constexpr int kBadDebtsSecond = 347;   // 3 records of 6

  static constexpr int kDisplayTextCount = 14;
  // Where the display texts of each setting begin: the taxation method's name
  // at its value (0-2), its heading at value + 2 (3, 4; none for exempt), the
  // deduction method's name at value + 5 (5, 6) and the main business type's
  // at type + 7 (7-13).
  static constexpr int kTaxMethodNames = 0;
  static constexpr int kTaxMethodHeadings = 2;
  static constexpr int kDeductionMethodNames = 5;
  static constexpr int kBusinessTypeNames = 7;
  static constexpr int kCorporateRefundCount = 16;
  static constexpr int kIndividualRefundCount = 17;
  static constexpr int kBusinessRecordSize = 22;

  // The entry at `position` (0 to 364).
  static const char* At(int position);

  // Business-type leaves of the record whose first position is `recordFirst`
  // (215, 237, 259, 281, 303 or 325). `businessType` 1 to 6; `measure` 0
  // excluding tax, 1 tax, 2 including tax.
  static int BusinessTypeLeaf(int recordFirst, int businessType, int measure);
  // The leaf of the part not attributed to any business type (measure 0 to 2).
  static int BusinessZeroLeaf(int recordFirst, int measure);
  // The exempt-sales leaf that closes a business-type record.
  static int BusinessExemptLeaf(int recordFirst);

  // Leaf i of KANPUH (0 to 15) and of KANPUK (0 to 16).
  static int CorporateRefundLeaf(int i);
  static int IndividualRefundLeaf(int i);

  struct Record {
    const char* code;  // element name of the record, e.g. "D020110", "D02200", "KANPUH"
    int first;         // position of its first leaf
    int count;         // number of leaves
  };
  static constexpr int kDataRecordCount = 23;
  // The 21 rate records, then KANPUH and KANPUK, in writing order.
  static const std::array<Record, kDataRecordCount>& DataRecords();
};

}  // namespace report
