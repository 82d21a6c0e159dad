// CheckVerdict: the data-set check's verdict remembered in the store, so that
// a connection need not read a whole journal before its first window when
// nothing has changed since the books were written.
//
// When the ledger command writes a data set (import, generate, check), it
// runs the whole check (DataAccess.h CheckDataSet) and, when it passes,
// keeps the journal's tally with the store's schema version in the table
// data_check. Triggers on every table the check reads delete a data set's
// verdict at any insert, update or delete of its rows, whichever program
// makes the change; a changed schema (a trigger dropped, a table altered)
// changes the schema version. A verdict therefore stands only for the rows it
// was reached on. A connection recalls it, or runs the check when there is
// none, it does not stand, or it cannot be read.
//
// What no trigger sees: bytes of the database file changed by a program
// other than SQLite, or a connection that switches triggers off; see
// docs/ledger.md.
#pragma once

#include <cstdint>
#include <string>

#include "ledger/JournalTally.h"
#include "ledger/Store.h"

namespace ledger {

// Adds the verdict table and its triggers to a database made before they
// existed (a new database has them). False with `error` when the store
// refuses (read-only, busy).
bool EnsureCheckVerdicts(Store& store, std::string* error);

// Keeps `tally` (sealed by a check that passed) as the verdict of its data
// set. False with `error`, and nothing kept, when the triggers are not all
// there or the store refuses.
bool RememberCheck(Store& store, const JournalTally& tally, std::string* error);

// Runs the check of `dataId` on `store` and remembers a passing verdict. The
// check's status (with `problem` on a refusal); a verdict that cannot be
// kept leaves `notKept` set with the reason and is no failure of the books.
int32_t CheckAndRemember(Store& store, const std::string& dataId, std::string* problem, std::string* notKept);

// Reads the remembered verdict of `dataId` into `tally`, sealed at the
// store's current version: false (and `tally` cleared) when there is none or
// it no longer stands.
bool RecallCheck(Store& store, const std::string& dataId, JournalTally* tally);

// Whether a remembered verdict of `dataId` stands, without reading its tally.
bool VerdictStands(Store& store, const std::string& dataId);

// The connection's check of the selected data set: the remembered verdict
// when it stands, else the whole check (CheckDataSet). The check fills the
// session's journal tally; a standing verdict only marks its tally to be
// read at the first question that needs it (RecalledTally), so that a run
// that asks none, or asks after its first window, does not wait for it.
int32_t RecallOrCheckDataSet(const std::string& dataId, std::string* problem);

// The session's tally for `dataId` while it describes the store: the one the
// check filled, or the remembered one, read now if it is still to be read
// and its verdict still stands. Null otherwise (the caller reads the lines).
const JournalTally* SessionTally(Store& store, const std::string& dataId);

}  // namespace ledger
