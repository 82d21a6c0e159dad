// The DATA section of the output document when the figures come from the
// journal aggregation: the 21 rate records, then KANPUH and KANPUK.
//
// DATA (depth 1) holds, in this order, each record at depth 2 and each leaf
// at depth 3 with the names of ElementNameTable:
//   D020110-D020112  sales, 13 leaves per rate from the rate record
//   D020120-D020122  purchases (32, 26 and 24 leaves; the specified-purchase
//                    leaves exist at 8 % only and are always empty, the
//                    local-tax leaves exist at 8 % and 5 %)
//   D020130-D020132  bad debts and their recoveries
//   D02200-D02202    adjustments, always empty (journals cannot yield them)
//   D020210-D020212  taxable sales by business type: six types, then the
//                    unattributed rest (ZERO), then exempt sales
//   D020220-D020222  sales returns by business type, the same way
//   D020230-D020232  bad debts again
//   KANPUH, KANPUK   the refund statements (report/RefundStatement.h)
// Entries 0, 1, 2 of the rate records (and blocks 0, 1, 2 of the business
// records) are 8 %, 5 % and 3 %. Every amount is rounded to whole yen by the
// data's rounding kind only as it is written, and written empty when it rounds
// to 0. A ZERO leaf is the rate total minus the six types' raw amounts, formed
// exactly and rounded once, so the written parts need not add up to the
// written total; a type exceeding the total gives a negative ZERO leaf.
//
// The run driver calls it once per run, after BASIC and before the REPORT end
// tag, with the filled aggregation result:
//   DataSectionFacts facts = DataSectionFacts::Of(aggregate, company,
//                                                  taxSettings, taxMethod, taxRounding);
//   if (!WriteDataSection(writer, facts)) ... ask whether to go on ...
// 1 when the whole section is written. 0 when a write fails, when there is no
// aggregation result with the three rate entries, or when a ZERO difference
// is out of the arithmetic's range: the section stops at once, nothing
// further is written and what was opened stays open.
#pragma once

#include <cstdint>

#include "aggregate/TaxAggregate.h"
#include "host/Records.h"
#include "report/XmlWriter.h"

namespace report {

// What the journal method's DATA section and its refund statements read.
struct DataSectionFacts {
  const aggregate::TaxAggregate* aggregate = nullptr;  // the run's result, read only
  int roundingKind = 0;      // 0 half up, 1 cut off, 2 round up (TaxSettings byte 2)
  uint8_t taxMethod = 0;     // 0 exempt, 1 simplified, 2 general
  uint8_t companyKind = 0;   // 0, 1 corporation; 3, 4 individual (StDATAINFO byte 344)
  uint8_t incomeLayout = 0;  // an individual's income kind 1, 2, 3 (StDATAINFO byte 947)
  uint8_t taxInclusive = 0;  // nonzero: amounts booked with their tax (TaxSettings byte 5)

  // The facts of one run: the driver's taxation method and rounding kind, the
  // company entry and the consumption-tax settings record.
  static DataSectionFacts Of(const aggregate::TaxAggregate& aggregate, const StDATAINFO& company,
                             const StSHOHIZEIINFO& taxSettings, uint8_t taxMethod, uint8_t taxRounding);
};

// 1 written, 0 failed.
int WriteDataSection(XmlWriter& writer, const DataSectionFacts& facts);

}  // namespace report
