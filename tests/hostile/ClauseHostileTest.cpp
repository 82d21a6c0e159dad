// The search-clause evaluator under hostile chains: clause records of random
// bytes, joiners that never end the chain, groups that point back at their
// own chain, and groups that share chains so that the chain tree is far larger
// than the clauses in memory. Every chain must be answered (refused or
// evaluated) quickly, and a chain that is accepted must select the same
// records in memory and as SQL.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <time.h>

#include <array>
#include <deque>
#include <string>

#include "host/HostTypes.h"
#include "ledger/Clause.h"
#include "tests/hostile/Hostile.h"

namespace {

using C = StFINDINFO;
using hostile::Rng;
using Chain = std::array<C, C::kMaxChainClauses>;

struct Record {
  int64_t dr, cr, month, classCode, date;
};

std::optional<int64_t> ValueOf(const Record& r, uint32_t item, uint16_t side) {
  switch (item) {
    case C::kItemTaxCategory: return side == C::kSideDebit ? r.dr : r.cr;
    case C::kItemMonthNumber: return r.month;
    case C::kItemAccountClass: return r.classCode;
    case C::kItemAcquisitionDate: return r.date;
    default: return std::nullopt;
  }
}

std::optional<std::string> ColumnOf(uint32_t item, uint16_t side) {
  switch (item) {
    case C::kItemTaxCategory: return side == C::kSideDebit ? "dr" : "cr";
    case C::kItemMonthNumber: return "month";
    case C::kItemAccountClass: return "class_code";
    case C::kItemAcquisitionDate: return "date";
    default: return std::nullopt;
  }
}

// A clause that is right more often than not, with a field now and then
// replaced by noise.
C RandomClause(Rng& rng, std::deque<Chain>& pool, bool last) {
  static const uint32_t kItems[] = {C::kItemTaxCategory, C::kItemAccountClass, C::kItemMonthNumber,
                                    C::kItemAcquisitionDate, C::kItemGroup};
  static const uint16_t kComparisons[] = {C::kCompareEqual, C::kCompareAtLeast, C::kCompareLessThan,
                                          C::kCompareAtMost};
  static const uint16_t kTypes[] = {C::kValueMonth, C::kValueNumber, C::kValueCode};
  const uint16_t joiner = last ? C::kJoinLast : (rng.OneIn(2) ? C::kJoinAnd : C::kJoinOr);
  const uint32_t item = kItems[rng.Below(5)];
  C c;
  if (item == C::kItemGroup && !pool.empty()) {
    c = C::Group(&pool[rng.Below(pool.size())][0], joiner);
  } else {
    const uint16_t side = item == C::kItemTaxCategory ? static_cast<uint16_t>(1 + rng.Below(2)) : C::kSideNone;
    c = C::Compare(item == C::kItemGroup ? C::kItemMonthNumber : item, side, kComparisons[rng.Below(4)],
                   kTypes[rng.Below(3)], rng.Between(-3, 20), joiner);
  }
  if (rng.OneIn(12)) {
    // One field (or the whole record) of noise.
    const size_t at = rng.OneIn(4) ? 0 : rng.Below(C::kSize);
    const size_t n = at == 0 ? C::kSize : 1;
    for (size_t k = 0; k < n; ++k) c.view().SetU8(at + k, static_cast<uint8_t>(rng.Next()));
  }
  if (rng.OneIn(40)) c.nested = pool.empty() ? nullptr : &pool[rng.Below(pool.size())][0];
  return c;
}

// Answers `chain` for `record` with an SQLite row of the record's values.
int SqlSelects(sqlite3* db, const ledger::SqlCondition& condition) {
  sqlite3_stmt* stmt = nullptr;
  const std::string sql = "SELECT count(*) FROM r WHERE " + condition.where;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) return -1;
  for (size_t i = 0; i < condition.params.size(); ++i) sqlite3_bind_int64(stmt, static_cast<int>(i + 1), condition.params[i]);
  int answer = -1;
  if (sqlite3_step(stmt) == SQLITE_ROW) answer = sqlite3_column_int(stmt, 0);
  sqlite3_finalize(stmt);
  return answer;
}

TEST(HostileClauses, EveryChainIsAnsweredAndAcceptedChainsAgreeWithTheirSql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE r (dr, cr, month, class_code, date)", nullptr, nullptr, nullptr), SQLITE_OK);
  Rng rng(0xF1D);
  long cases = 0, accepted = 0;
  for (int i = 0; i < hostile::kCases; ++i, ++cases) {
    // A pool of chains built one after another; a group may point at any
    // chain already in the pool, or (through `nested` noise) at its own.
    std::deque<Chain> pool;
    const int chains = 1 + static_cast<int>(rng.Below(6));
    for (int k = 0; k < chains; ++k) {
      Chain chain{};
      const size_t length = 1 + rng.Below(rng.OneIn(10) ? C::kMaxChainClauses : 5);
      for (size_t j = 0; j < length; ++j) chain[j] = RandomClause(rng, pool, j + 1 == length);
      if (rng.OneIn(30)) {  // a chain without a last clause: the joiner runs on through all 64
        for (C& c : chain) {
          if (c.Joiner() == C::kJoinLast) c.SetJoiner(C::kJoinAnd);
        }
      }
      pool.push_back(chain);
      if (rng.OneIn(25)) pool.back()[0].nested = &pool.back()[0];  // a chain inside itself
    }
    const C* root = &pool.back()[0];
    const Record record{rng.Between(0, 20), rng.Between(0, 20), rng.Between(1, 18), rng.Between(0, 20),
                        rng.Between(0, 20)};

    const int32_t check = ledger::CheckChain(root);
    bool selected = false;
    const int32_t evaluated = ledger::EvaluateChain(
        root, [&](uint32_t item, uint16_t side) { return ValueOf(record, item, side); }, &selected);
    ledger::SqlCondition sql;
    const int32_t built = ledger::ChainToSql(root, ColumnOf, 1, &sql);
    ASSERT_TRUE(check == host::kOk || check == host::kBadArgument);
    ASSERT_EQ(evaluated, check);
    ASSERT_EQ(built, check);
    if (check != host::kOk) continue;
    ++accepted;
    char insert[200];
    std::snprintf(insert, sizeof insert, "DELETE FROM r; INSERT INTO r VALUES (%lld, %lld, %lld, %lld, %lld)",
                  static_cast<long long>(record.dr), static_cast<long long>(record.cr),
                  static_cast<long long>(record.month), static_cast<long long>(record.classCode),
                  static_cast<long long>(record.date));
    ASSERT_EQ(sqlite3_exec(db, insert, nullptr, nullptr, nullptr), SQLITE_OK);
    ASSERT_EQ(SqlSelects(db, sql), selected ? 1 : 0) << sql.where;
  }
  sqlite3_close(db);
  EXPECT_GT(accepted, cases / 10) << "the generator should make mostly sound chains";
  hostile::ReportCases("search-clauses", cases);
}

// Chains of 64 groups that all stand for the next such chain, 8 levels deep:
// few clauses in memory, but a chain tree of 64^8 clauses once expanded.
// Each call must come back at once, and refuse it.
TEST(HostileClauses, SharedNestedChainsDoNotMultiplyTheWork) {
  std::deque<Chain> pool;
  Chain leaf{};
  leaf[0] = C::Compare(C::kItemMonthNumber, 0, C::kCompareEqual, C::kValueMonth, 4, C::kJoinLast);
  pool.push_back(leaf);
  for (size_t level = 0; level < C::kMaxNesting; ++level) {
    Chain wide{};
    for (size_t j = 0; j < C::kMaxChainClauses; ++j) {
      wide[j] = C::Group(&pool.back()[0], j + 1 == C::kMaxChainClauses ? C::kJoinLast : C::kJoinAnd);
    }
    pool.push_back(wide);
  }
  timespec begin{}, end{};
  clock_gettime(CLOCK_MONOTONIC, &begin);
  bool selected = false;
  ledger::SqlCondition sql;
  EXPECT_EQ(ledger::CheckChain(&pool.back()[0]), host::kBadArgument);
  EXPECT_EQ(ledger::EvaluateChain(&pool.back()[0], [](uint32_t, uint16_t) { return std::optional<int64_t>(4); },
                                  &selected),
            host::kBadArgument);
  EXPECT_EQ(ledger::ChainToSql(&pool.back()[0], ColumnOf, 1, &sql), host::kBadArgument);
  clock_gettime(CLOCK_MONOTONIC, &end);
  EXPECT_LT(end.tv_sec - begin.tv_sec, 3) << "a chain of shared nested chains took too long";

  // Sharing as such is fine while the whole stays small: two levels of four.
  std::deque<Chain> small;
  small.push_back(leaf);
  for (int level = 0; level < 2; ++level) {
    Chain wide{};
    for (size_t j = 0; j < 4; ++j) wide[j] = C::Group(&small.back()[0], j + 1 == 4 ? C::kJoinLast : C::kJoinOr);
    small.push_back(wide);
  }
  EXPECT_EQ(ledger::EvaluateChain(&small.back()[0], [](uint32_t, uint16_t) { return std::optional<int64_t>(4); },
                                  &selected),
            host::kOk);
  EXPECT_TRUE(selected);
}

}  // namespace
