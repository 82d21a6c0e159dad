// Reading journal lines of the store into StSWKTINFO records.
#pragma once

#include <cstdint>

#include "host/Records.h"
#include "ledger/Store.h"

namespace ledger::rules {

// The columns a journal row is selected with, for FillJournalLine.
inline constexpr const char* kJournalColumns =
    "line_no, entry_date, month_no, "
    "dr_account, dr_department, dr_amount, dr_tax, dr_category, dr_rate, dr_reduced, dr_business_type, "
    "cr_account, cr_department, cr_amount, cr_tax, cr_category, cr_rate, cr_reduced, cr_business_type, "
    "description";

// Fills `line` from a row selected with kJournalColumns. A description too
// long for its field is cut at a character boundary; one that does not
// convert to Shift_JIS is left empty (the system never reads it).
void FillJournalLine(const Statement& row, StSWKTINFO* line);

}  // namespace ledger::rules
