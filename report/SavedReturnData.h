// The DATA section of the output document when the figures are the ones the
// user entered and saved in the accounting product's own return screens
// (aggregation method 1): the same 21 rate records, KANPUH and KANPUK, with
// the same leaves in the same order as the journal method's DATA section, each
// value taken from the saved return block (StSaveTaxInfo).
//
// Every leaf takes the saved amount of its own name at its record's rate
// (host::SavedAmountOffset), except:
//   HIKAZEIURIAGEYUUKAZEINUKI   the saved amount times 20, exactly;
//   HIKAZEISHISANHENKANZEINUKI  always empty;
//   the KAZEIURIAGEZERO and KAZEIHENKANZERO leaves  always empty.
// The exempt sales, exempt-sales returns and bad debts therefore appear in a
// general-taxation record and again in a simplified-taxation record. The
// general records (D020110-D02202) are written empty unless taxMethod is 2;
// the simplified ones (D020210-D020232) are written empty when it is 2.
//
// Amounts follow the amount text rule: rounded to whole yen by the data's
// rounding kind as they are written, empty when they round to 0.
//
// KANPUH is filled only for a corporation-or-other kind (not 3 or 4) under
// general taxation; KANPUK only for an individual-or-other kind (not 0 or 1)
// under general taxation; otherwise their leaves are empty. Both read the one
// refund-statement area of the saved return. A basis code leaf (KESSANZEIKUBUN,
// SHISANZEIKUBUN) is "2" when its saved byte is 2, else "1", and is written
// only when one of the amounts it qualifies is nonzero as stored (an amount
// below one yen counts, though its own leaf is empty).
//
// Results: 1 written, 0 failed. A missing or short saved return block, or a
// securities amount whose twentyfold does not fit an amount, fails the section
// before any of it is written. A failed write ends the section at once;
// nothing further is written and what was opened stays open.
#pragma once

#include <cstdint>
#include <string_view>

#include "host/ByteRecord.h"
#include "report/XmlWriter.h"

namespace report {

// What the saved-return DATA section reads.
struct SavedReturnFacts {
  host::RecordView savedReturn{nullptr, 0};  // the StSaveTaxInfo block, read only
  uint8_t taxMethod = 0;     // 0 exempt, 1 simplified, 2 general
  int roundingKind = 0;      // 0 half up, 1 cut off, 2 round up (TaxSettings byte 2)
  uint8_t companyKind = 0;   // 0, 1 corporation; 3, 4 individual (StDATAINFO byte 344)
};

// DATA at depth 1 with everything inside it.
int WriteSavedReturnData(XmlWriter& writer, const SavedReturnFacts& facts);

// One amount leaf at depth 3: empty when `blank`, else the amount text of
// `amount` (yen x 10 000) under `roundingKind`.
int WriteSavedAmount(XmlWriter& writer, std::string_view leaf, int64_t amount, bool blank, int roundingKind);

// The KANPUH and KANPUK records at depth 2.
int WriteSavedCorporateRefund(XmlWriter& writer, const SavedReturnFacts& facts);
int WriteSavedIndividualRefund(XmlWriter& writer, const SavedReturnFacts& facts);

}  // namespace report
