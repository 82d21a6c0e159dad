// The SQL that creates an empty company database.
#pragma once

#include <string>

namespace ledger {
extern const char* const kSchemaSql;
// The table of remembered check verdicts and the triggers that forget a data
// set's verdict at any change of its rows (CheckVerdict.h). Part of every new
// database; added to an older one by the ledger command before it writes.
// Idempotent.
const std::string& CheckVerdictSql();
inline constexpr const char* kSchemaVersion = "1";
}  // namespace ledger
