// The BASIC section of the output document: the company's basic tax facts.
//
// Eight elements at depth 2 inside BASIC at depth 1: KOMONSAKINAME (the
// advisor name), JIGYOUNENDOFROM and JIGYOUNENDOTO (the business year),
// HOUJINKOJINKUBUN ("1" corporation, "2" individual, empty otherwise),
// KAZEIKUBUN ("1" general taxation, else "2"), KEIKASHOCHIKAZEISHISAN,
// URIAGEZEIGAKUKEISAN and SHIIREZEIGAKUKEISAN.
//
// Method 0 (journal aggregation) takes the business year from the company
// record and the transitional flag from the aggregation result; method 1
// (saved return) takes the business year and the three computation flags from
// the saved return's header. Method 1 without a saved return ends with 0
// before the business year is written. The first write that fails ends the
// section at once with 0.
#pragma once

#include <cstdint>
#include <functional>

#include "host/ByteRecord.h"
#include "report/XmlWriter.h"

namespace report {

struct BasicSectionFacts {
  host::RecordView company{nullptr, 0};  // the company data entry
  int method = 0;                 // 0 journal aggregation, 1 saved return
  uint8_t taxMethod = 0;          // 0 exempt, 1 simplified, 2 general
  const uint8_t* savedReturn = nullptr;  // the saved return block (method 1)
  size_t savedReturnSize = 0;
  std::function<int()> hasOldRateAmounts;  // method 0: 1 when old-rate amounts are present
};

// 1 written, 0 failed.
int WriteBasicSection(XmlWriter& writer, const BasicSectionFacts& facts);

// HOUJINKOJINKUBUN from the corporate-or-individual byte.
const char* CompanyKindText(uint8_t kind);

}  // namespace report
