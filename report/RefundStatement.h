// The refund statements of the journal method: KANPUH (corporations) and
// KANPUK (individuals), the last two records of DATA, written by
// WriteDataSection after D020232 in that order.
//
// Each record is always written at depth 2 with every leaf at depth 3. A
// record that does not apply holds only empty leaves: KANPUH for an individual
// (company kind 3 or 4), KANPUK for a corporation (kind 0 or 1), and both
// unless the data is under general taxation (taxMethod 2). Any other kind
// fills both records, each from its own lines.
//
// KANPUH: KESSANZEIKUBUN, the four profit-and-loss lines (book amount, then
// the part that is not a taxable purchase), SHISANZEIKUBUN, the fixed and
// deferred asset acquisitions; KOTEISHISAN2, KURINOBESHISAN2, SONOTASISAN1 and
// SONOTASISAN2 stay empty. Amounts follow the amount text rule (empty when
// they round to 0).
//
// KANPUK: KESSANZEIKUBUN, then sixteen rows from a fixed table. A row is
// written with its amount when it is enabled and the individual's income kind
// does not suppress it (kind 1 keeps the business-income rows, kind 2 the
// real-estate rows, any other kind every enabled row); such a row is written
// even when it rounds to 0 ("0"). Other rows are empty.
//
// The basis code ("1" when amounts are booked with their tax, else "2") is
// written in a KUBUN leaf only when one of the amounts it qualifies is
// nonzero before rounding; in KANPUK that is any of the sixteen amounts,
// suppressed rows included.
//
// 1 written; 0 when a write fails (the record stays open, nothing further is
// written) or when an applicable record has no aggregation result to read.
#pragma once

#include "report/DataSection.h"
#include "report/XmlWriter.h"

namespace report {

int WriteCorporateRefund(XmlWriter& writer, const DataSectionFacts& facts);
int WriteIndividualRefund(XmlWriter& writer, const DataSectionFacts& facts);

}  // namespace report
