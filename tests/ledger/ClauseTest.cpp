// Search-clause chains: precedence, nesting, malformed chains, and the SQL
// form against the in-memory evaluation on many random chains.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <random>
#include <vector>

#include "ledger/Clause.h"
#include "ledger/Store.h"
#include "ledger/testing/Fixture.h"

namespace {

using C = StFINDINFO;

struct Line {
  int64_t dr, cr, month;
};

ledger::ClauseValues ValuesOf(const Line& l) {
  return [l](uint32_t item, uint16_t side) -> std::optional<int64_t> {
    if (item == C::kItemTaxCategory) return side == C::kSideDebit ? l.dr : l.cr;
    if (item == C::kItemMonthNumber) return l.month;
    return std::nullopt;
  };
}

bool Selects(const StFINDINFO* chain, const Line& l) {
  bool selected = false;
  EXPECT_EQ(ledger::EvaluateChain(chain, ValuesOf(l), &selected), 0);
  return selected;
}

C Month(uint16_t cmp, int16_t value, uint16_t joiner) {
  return C::Compare(C::kItemMonthNumber, 0, cmp, C::kValueMonth, value, joiner);
}
C Category(uint16_t side, uint16_t cmp, int32_t value, uint16_t joiner) {
  return C::Compare(C::kItemTaxCategory, side, cmp, C::kValueNumber, value, joiner);
}

TEST(ClauseTest, AndBindsTighterThanOr) {
  // months 4..12, or 18: (>= 4 and <= 12) or (= 18)
  C chain[3] = {Month(C::kCompareAtLeast, 4, C::kJoinAnd), Month(C::kCompareAtMost, 12, C::kJoinOr),
                Month(C::kCompareEqual, 18, C::kJoinLast)};
  EXPECT_FALSE(Selects(chain, {0, 0, 3}));
  EXPECT_TRUE(Selects(chain, {0, 0, 4}));
  EXPECT_TRUE(Selects(chain, {0, 0, 12}));
  EXPECT_FALSE(Selects(chain, {0, 0, 15}));
  EXPECT_TRUE(Selects(chain, {0, 0, 18}));
  // a or b and c: month 1, or months 5 to 6.
  C other[3] = {Month(C::kCompareEqual, 1, C::kJoinOr), Month(C::kCompareAtLeast, 5, C::kJoinAnd),
                Month(C::kCompareLessThan, 7, C::kJoinLast)};
  EXPECT_TRUE(Selects(other, {0, 0, 1}));
  EXPECT_FALSE(Selects(other, {0, 0, 4}));
  EXPECT_TRUE(Selects(other, {0, 0, 6}));
  EXPECT_FALSE(Selects(other, {0, 0, 7}));
}

TEST(ClauseTest, NestedGroupsSelectNonQualifyingSidesWithinMonths) {
  C period[2] = {Month(C::kCompareAtLeast, 1, C::kJoinAnd), Month(C::kCompareAtMost, 6, C::kJoinLast)};
  C debit[3] = {Category(1, C::kCompareLessThan, 21, C::kJoinOr), Category(1, C::kCompareEqual, 24, C::kJoinOr),
                Category(1, C::kCompareAtLeast, 30, C::kJoinLast)};
  C credit[3] = {Category(2, C::kCompareLessThan, 21, C::kJoinOr), Category(2, C::kCompareEqual, 24, C::kJoinOr),
                 Category(2, C::kCompareAtLeast, 30, C::kJoinLast)};
  C sides[2] = {C::Group(debit, C::kJoinOr), C::Group(credit, C::kJoinLast)};
  C main[2] = {C::Group(sides, C::kJoinAnd), C::Group(period, C::kJoinLast)};
  EXPECT_TRUE(Selects(main, {10, 21, 3}));
  EXPECT_TRUE(Selects(main, {21, 24, 3}));
  EXPECT_TRUE(Selects(main, {22, 30, 6}));
  EXPECT_FALSE(Selects(main, {21, 29, 3}));
  EXPECT_FALSE(Selects(main, {10, 21, 7}));
}

TEST(ClauseTest, EmptyChainSelectsEverything) {
  C zero[1];
  EXPECT_TRUE(Selects(zero, {1, 2, 3}));
  EXPECT_TRUE(Selects(nullptr, {1, 2, 3}));
  ledger::SqlCondition sql;
  ASSERT_EQ(ledger::ChainToSql(zero, ledger::JournalColumns, 1, &sql), 0);
  EXPECT_EQ(sql.where, "1");
}

TEST(ClauseTest, RefusesMalformedChains) {
  bool selected = false;
  auto values = ValuesOf({1, 2, 3});
  C unknownItem[1] = {C::Compare(42, 0, C::kCompareEqual, C::kValueNumber, 1, C::kJoinLast)};
  C badComparison[1] = {C::Compare(C::kItemMonthNumber, 0, 3, C::kValueMonth, 1, C::kJoinLast)};
  C noSide[1] = {Category(0, C::kCompareEqual, 1, C::kJoinLast)};
  C badJoiner[1] = {Month(C::kCompareEqual, 1, 7)};
  C emptyGroup[1] = {C::Group(nullptr, C::kJoinLast)};
  C wrongTable[1] = {C::Compare(C::kItemAcquisitionDate, 0, C::kCompareAtLeast, C::kValueNumber, 1, C::kJoinLast)};
  for (const C* chain : {+unknownItem, +badComparison, +noSide, +badJoiner, +emptyGroup, +wrongTable}) {
    EXPECT_NE(ledger::EvaluateChain(chain, values, &selected), 0);
    ledger::SqlCondition sql;
    EXPECT_NE(ledger::ChainToSql(chain, ledger::JournalColumns, 1, &sql), 0);
  }
  // A chain that never ends, and a group that contains itself.
  std::vector<C> endless(C::kMaxChainClauses + 1, Month(C::kCompareEqual, 1, C::kJoinAnd));
  EXPECT_NE(ledger::EvaluateChain(endless.data(), values, &selected), 0);
  C loop[1];
  loop[0] = C::Group(loop, C::kJoinLast);
  EXPECT_NE(ledger::EvaluateChain(loop, values, &selected), 0);
}

// Builds a random chain of up to `maxClauses` clauses into `pool`, nesting up
// to `depth` levels; answers the first clause.
C* RandomChain(std::mt19937& rng, std::vector<std::vector<C>>& pool, int depth) {
  std::uniform_int_distribution<int> count(1, 4), pick(0, 9), month(0, 19), category(0, 40), joiner(1, 2);
  const int n = count(rng);
  pool.emplace_back(n);
  std::vector<C>& chain = pool.back();
  for (int i = 0; i < n; ++i) {
    const uint16_t join = i + 1 == n ? C::kJoinLast : static_cast<uint16_t>(joiner(rng));
    const uint16_t cmp = std::array<uint16_t, 4>{1, 4, 5, 6}[pick(rng) % 4];
    const int kind = pick(rng);
    if (kind < 2 && depth > 0) {
      chain[i] = C::Group(RandomChain(rng, pool, depth - 1), join);
    } else if (kind < 6) {
      chain[i] = Month(cmp, static_cast<int16_t>(month(rng)), join);
    } else {
      chain[i] = Category(kind % 2 == 0 ? 1 : 2, cmp, category(rng), join);
    }
  }
  return chain.data();
}

TEST(ClauseTest, SqlFormAgreesWithInMemoryEvaluation) {
  ledger::testing::Fixture fixture;
  fixture.Exec("CREATE TABLE probe (id INTEGER PRIMARY KEY, dr_category INTEGER, cr_category INTEGER, month_no INTEGER)");
  std::mt19937 rng(20240331);
  std::uniform_int_distribution<int> month(0, 19), category(0, 40);
  std::vector<Line> lines;
  fixture.Exec("BEGIN");
  for (int i = 0; i < 300; ++i) {
    lines.push_back({category(rng), category(rng), month(rng)});
    fixture.Exec("INSERT INTO probe VALUES (" + std::to_string(i) + ", " + std::to_string(lines.back().dr) + ", " +
                 std::to_string(lines.back().cr) + ", " + std::to_string(lines.back().month) + ")");
  }
  fixture.Exec("COMMIT");
  for (int round = 0; round < 400; ++round) {
    std::vector<std::vector<C>> pool;
    pool.reserve(64);
    const C* chain = RandomChain(rng, pool, 3);
    ledger::SqlCondition sql;
    ASSERT_EQ(ledger::ChainToSql(chain, ledger::JournalColumns, 1, &sql), 0);
    ledger::Statement q = fixture.store().Prepare("SELECT id FROM probe WHERE " + sql.where + " ORDER BY id");
    ASSERT_TRUE(q.valid()) << sql.where;
    for (size_t p = 0; p < sql.params.size(); ++p) q.Bind(static_cast<int>(p) + 1, sql.params[p]);
    std::vector<int64_t> fromSql;
    while (q.Step() == SQLITE_ROW) fromSql.push_back(q.Int(0));
    std::vector<int64_t> inMemory;
    for (size_t i = 0; i < lines.size(); ++i) {
      if (Selects(chain, lines[i])) inMemory.push_back(static_cast<int64_t>(i));
    }
    ASSERT_EQ(fromSql, inMemory) << "round " << round << ": " << sql.where;
  }
}

}  // namespace
