// The SQL that creates an empty company database.
#pragma once

namespace ledger {
extern const char* const kSchemaSql;
inline constexpr const char* kSchemaVersion = "1";
}  // namespace ledger
