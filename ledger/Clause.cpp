#include "ledger/Clause.h"

#include "host/HostTypes.h"

namespace ledger {
namespace {

using C = StFINDINFO;

bool IsEmptyChain(const StFINDINFO* chain) {
  if (chain == nullptr) return true;
  const StFINDINFO& c = chain[0];
  return c.Item() == 0 && c.Joiner() == C::kJoinLast && c.Comparison() == 0 && c.ValueType() == 0 &&
         c.nested == nullptr;
}

// The clauses of a whole chain tree, a nested chain counted at every group
// that uses it. Groups may share a chain, so 64 clauses a chain and 8 levels
// could otherwise stand for 64^8 clauses: the walk and the SQL text grow with
// this count, and a chain past it is refused instead of taking forever.
constexpr size_t kMaxExpandedClauses = 1024;

int32_t CheckClause(const StFINDINFO& c, size_t depth, size_t* budget);

int32_t CheckChainAt(const StFINDINFO* chain, size_t depth, size_t* budget) {
  if (IsEmptyChain(chain)) return host::kOk;
  if (depth > C::kMaxNesting) return host::kBadArgument;
  for (size_t i = 0; i < C::kMaxChainClauses; ++i) {
    if (*budget == 0) return host::kBadArgument;
    --*budget;
    if (int32_t status = CheckClause(chain[i], depth, budget); status != host::kOk) return status;
    const uint16_t joiner = chain[i].Joiner();
    if (joiner == C::kJoinLast) return host::kOk;
    if (joiner != C::kJoinAnd && joiner != C::kJoinOr) return host::kBadArgument;
  }
  return host::kBadArgument;  // no last clause within the limit
}

int32_t CheckClause(const StFINDINFO& c, size_t depth, size_t* budget) {
  if (c.Item() == C::kItemGroup) {
    if (c.nested == nullptr || c.Comparison() != C::kCompareNone) return host::kBadArgument;
    return CheckChainAt(c.nested, depth + 1, budget);
  }
  switch (c.Item()) {
    case C::kItemTaxCategory:
      if (c.Side() != C::kSideDebit && c.Side() != C::kSideCredit) return host::kBadArgument;
      break;
    case C::kItemAccountClass:
    case C::kItemMonthNumber:
    case C::kItemAcquisitionDate:
      if (c.Side() != C::kSideNone) return host::kBadArgument;
      break;
    default:
      return host::kBadArgument;
  }
  switch (c.Comparison()) {
    case C::kCompareEqual:
    case C::kCompareAtLeast:
    case C::kCompareLessThan:
    case C::kCompareAtMost:
      break;
    default:
      return host::kBadArgument;
  }
  switch (c.ValueType()) {
    case C::kValueMonth:
    case C::kValueNumber:
    case C::kValueCode:
      break;
    default:
      return host::kBadArgument;
  }
  return c.nested == nullptr ? host::kOk : host::kBadArgument;
}

bool Compare(int64_t record, uint16_t comparison, int64_t value) {
  switch (comparison) {
    case C::kCompareEqual: return record == value;
    case C::kCompareAtLeast: return record >= value;
    case C::kCompareLessThan: return record < value;
    default: return record <= value;  // kCompareAtMost; CheckChain admits nothing else
  }
}

// Evaluates a checked chain.
int32_t Evaluate(const StFINDINFO* chain, const ClauseValues& values, bool* selected) {
  if (IsEmptyChain(chain)) {
    *selected = true;
    return host::kOk;
  }
  bool any = false;
  bool term = true;
  for (size_t i = 0;; ++i) {
    const StFINDINFO& c = chain[i];
    bool hit = false;
    if (c.Item() == C::kItemGroup) {
      if (int32_t status = Evaluate(c.nested, values, &hit); status != host::kOk) return status;
    } else {
      const std::optional<int64_t> value = values(c.Item(), c.Side());
      if (!value) return host::kBadArgument;
      hit = Compare(*value, c.Comparison(), c.Value());
    }
    term = term && hit;
    if (c.Joiner() != C::kJoinAnd) {
      any = any || term;
      term = true;
    }
    if (c.Joiner() == C::kJoinLast) break;
  }
  *selected = any;
  return host::kOk;
}

const char* SqlOperator(uint16_t comparison) {
  switch (comparison) {
    case C::kCompareEqual: return " = ";
    case C::kCompareAtLeast: return " >= ";
    case C::kCompareLessThan: return " < ";
    default: return " <= ";
  }
}

int32_t ToSql(const StFINDINFO* chain, const ClauseColumns& columns, int firstParam, SqlCondition* out) {
  if (IsEmptyChain(chain)) {
    out->where += "1";
    return host::kOk;
  }
  out->where += "((";
  for (size_t i = 0;; ++i) {
    const StFINDINFO& c = chain[i];
    if (c.Item() == C::kItemGroup) {
      if (int32_t status = ToSql(c.nested, columns, firstParam, out); status != host::kOk) return status;
    } else {
      const std::optional<std::string> column = columns(c.Item(), c.Side());
      if (!column) return host::kBadArgument;
      out->params.push_back(c.Value());
      out->where += "(" + *column + SqlOperator(c.Comparison()) + "?" +
                    std::to_string(firstParam + static_cast<int>(out->params.size()) - 1) + ")";
    }
    if (c.Joiner() == C::kJoinLast) break;
    out->where += c.Joiner() == C::kJoinAnd ? " AND " : ") OR (";
  }
  out->where += "))";
  return host::kOk;
}

}  // namespace

int32_t CheckChain(const StFINDINFO* chain) {
  size_t budget = kMaxExpandedClauses;
  return CheckChainAt(chain, 0, &budget);
}

int32_t EvaluateChain(const StFINDINFO* chain, const ClauseValues& values, bool* selected) {
  if (selected == nullptr) return host::kBadArgument;
  if (int32_t status = CheckChain(chain); status != host::kOk) return status;
  return Evaluate(chain, values, selected);
}

int32_t EvaluateCheckedChain(const StFINDINFO* chain, const ClauseValues& values, bool* selected) {
  if (selected == nullptr) return host::kBadArgument;
  return Evaluate(chain, values, selected);
}

int32_t ChainToSql(const StFINDINFO* chain, const ClauseColumns& columns, int firstParam, SqlCondition* out) {
  if (out == nullptr || firstParam < 1) return host::kBadArgument;
  if (int32_t status = CheckChain(chain); status != host::kOk) return status;
  SqlCondition built;
  if (int32_t status = ToSql(chain, columns, firstParam, &built); status != host::kOk) return status;
  *out = std::move(built);
  return host::kOk;
}

std::optional<std::string> JournalColumns(uint32_t item, uint16_t side) {
  if (item == C::kItemTaxCategory) return side == C::kSideDebit ? "dr_category" : "cr_category";
  if (item == C::kItemMonthNumber) return "month_no";
  return std::nullopt;
}

std::optional<std::string> AccountColumns(uint32_t item, uint16_t) {
  if (item == C::kItemAccountClass) return "class_code";
  return std::nullopt;
}

std::optional<std::string> AssetColumns(uint32_t item, uint16_t) {
  if (item == C::kItemAcquisitionDate) return "acquisition_date";
  return std::nullopt;
}

}  // namespace ledger
