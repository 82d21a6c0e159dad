// Search-clause chains (StFINDINFO): checking, evaluating a record in memory,
// and turning a chain into an SQL condition with bound parameters.
//
// A chain is a sum of products: its clauses joined by "and" form terms, the
// terms joined by "or" form the chain. A group clause stands for its nested
// chain. A null chain, or a chain whose first clause is all zero and last,
// selects everything. Both forms answer the same for every chain and record;
// the SQL form exists for speed.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "host/FindInfo.h"

namespace ledger {

// A record's value for an item (and side, for item 3), or nullopt when the
// record has no such item.
using ClauseValues = std::function<std::optional<int64_t>(uint32_t item, uint16_t side)>;

// kOk, or kBadArgument for a malformed chain (unknown item, comparison, value
// type, joiner or side; a group without a chain; too long; nested too deep;
// more than 1024 clauses in all, a nested chain counted at every group that
// stands for it).
int32_t CheckChain(const StFINDINFO* chain);

// Evaluates `chain` against one record. kBadArgument for a malformed chain or
// an item the record does not have.
int32_t EvaluateChain(const StFINDINFO* chain, const ClauseValues& values, bool* selected);
// The same for a chain CheckChain has accepted, without checking it again:
// for one chain evaluated against many records.
int32_t EvaluateCheckedChain(const StFINDINFO* chain, const ClauseValues& values, bool* selected);

// The SQL column (or expression) of an item and side, or nullopt when the
// table has no such item.
using ClauseColumns = std::function<std::optional<std::string>(uint32_t item, uint16_t side)>;

struct SqlCondition {
  std::string where;            // "1" for a chain that selects everything
  std::vector<int64_t> params;  // bound in order to ?1, ?2, ... after `firstParam` - 1
};

// `firstParam` is the number of the first parameter the condition may use.
int32_t ChainToSql(const StFINDINFO* chain, const ClauseColumns& columns, int firstParam, SqlCondition* out);

// The columns of the journal_line, account and fixed_asset tables.
std::optional<std::string> JournalColumns(uint32_t item, uint16_t side);
std::optional<std::string> AccountColumns(uint32_t item, uint16_t side);
std::optional<std::string> AssetColumns(uint32_t item, uint16_t side);

}  // namespace ledger
