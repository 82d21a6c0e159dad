// The journal's tally, made by the data-set check: the counting and presence
// questions, the account sums and the tax summary answer from it exactly as
// from the lines, for random books and random chains; it is not used once the
// store has changed (through another connection or this one), and a part is
// given up when the journal has too many combinations.
#include <random>
#include <string>
#include <vector>

#include "Book.h"
#include "ledger/DataAccess.h"
#include "ledger/Installation.h"
#include "ledger/JournalTally.h"

namespace ledger_rules_test {
namespace {

using F = StFINDINFO;

constexpr uint32_t kCash = 1, kSales = 2, kTravel = 3, kStock = 4;

// The answers of the three questions for one chain.
struct Answers {
  uint32_t lines = 0;
  int32_t businessType[7] = {};
  int32_t rateFlags = 0;
  bool operator==(const Answers&) const = default;
};

Answers Ask(ClRuleShiwake& rule, const StFINDINFO* chain) {
  Answers a;
  EXPECT_EQ(rule.GetSwkCount(chain, nullptr, &a.lines), host::kOk);
  for (int32_t type = 1; type <= 6; ++type)
    EXPECT_EQ(rule.CheckExistSwkByJigyoBunrui(chain, type, &a.businessType[type]), host::kOk);
  EXPECT_EQ(rule.CheckExistSwkByZeiRate(chain, &a.rateFlags, 1), host::kOk);
  return a;
}

bool TallyAnswers() {
  ledger::Session* session = ledger::Session::Current();
  return session != nullptr && session->journalTally().Answers(Book::kDataId, session->store().DataVersion());
}

void Check() {
  std::string problem;
  ASSERT_EQ(ledger::CheckDataSet(Book::kDataId, &problem), host::kOk) << problem;
}

class JournalTallyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    book_.Account(kCash, "100", 0x10100000, 1);
    book_.Account(kSales, "500", 0x40888000, 2);
    book_.Account(kTravel, "710", 0x40882000, 1);
    book_.Account(kStock, "130", 0x10300000, 1);
  }
  uint32_t RandomAccount() { return 1 + static_cast<uint32_t>(random_() % 4); }
  Side RandomSide(uint32_t account) {
    static constexpr int kRates[] = {0, 300, 500, 800, 1000};
    Side s{account, Yen(static_cast<int64_t>(random_() % 200000) - 50000) + static_cast<int64_t>(random_() % 10000),
           Yen(static_cast<int64_t>(random_() % 20000) - 5000)};
    s.category = static_cast<int>(random_() % 12) * 3;  // 0, 3, ... 33
    s.rate = kRates[random_() % 5];
    s.reduced = s.rate == 800 && random_() % 3 == 0 ? 1 : 0;
    s.businessType = static_cast<int>(random_() % 7);
    return s;
  }
  void RandomLines(int count) {
    static constexpr int kMonths[] = {1, 2, 3, 4, 5, 6, 15, 7, 8, 9, 10, 11, 12, 18};
    for (int i = 0; i < count; ++i)
      book_.Line(20140410, kMonths[random_() % 14], RandomSide(RandomAccount()), RandomSide(RandomAccount()));
  }
  StFINDINFO RandomClause(uint16_t joiner) {
    static constexpr uint16_t kComparisons[] = {F::kCompareEqual, F::kCompareAtLeast, F::kCompareLessThan,
                                                F::kCompareAtMost};
    const uint16_t cmp = kComparisons[random_() % 4];
    if (random_() % 2 == 0)
      return F::Compare(F::kItemMonthNumber, F::kSideNone, cmp, F::kValueMonth, static_cast<int32_t>(random_() % 20),
                        joiner);
    return F::Compare(F::kItemTaxCategory, random_() % 2 == 0 ? F::kSideDebit : F::kSideCredit, cmp, F::kValueNumber,
                      static_cast<int32_t>(random_() % 36), joiner);
  }
  Book book_;
  std::mt19937 random_{20261207};
};

TEST_F(JournalTallyTest, AnswersAsReadingTheLinesForRandomChains) {
  RandomLines(400);
  auto rule = book_.Bound<ClRuleShiwake>();
  // Chains of up to three terms of up to three clauses, some under a period
  // group as the run's checks ask them.
  std::vector<std::vector<StFINDINFO>> chains;
  for (int n = 0; n < 150; ++n) {
    std::vector<StFINDINFO> chain;
    const size_t clauses = 1 + random_() % 4;
    for (size_t i = 0; i < clauses; ++i)
      chain.push_back(RandomClause(i + 1 == clauses ? F::kJoinLast : random_() % 2 ? F::kJoinAnd : F::kJoinOr));
    chains.push_back(std::move(chain));
  }
  const std::vector<StFINDINFO> period = Months(1, 12, 18);
  const std::vector<StFINDINFO> underPeriod = {F::Group(chains[0].data(), F::kJoinAnd),
                                               F::Group(period.data(), F::kJoinLast)};
  std::vector<const StFINDINFO*> asked = {nullptr, period.data(), underPeriod.data()};
  for (const auto& chain : chains) asked.push_back(chain.data());

  ASSERT_FALSE(TallyAnswers());
  std::vector<Answers> read;
  for (const StFINDINFO* chain : asked) read.push_back(Ask(*rule, chain));
  Check();
  ASSERT_TRUE(TallyAnswers());
  size_t selectedSome = 0;
  for (size_t i = 0; i < asked.size(); ++i) {
    EXPECT_EQ(Ask(*rule, asked[i]), read[i]) << "chain " << i;
    if (read[i].lines != 0 && read[i].lines != 400) ++selectedSome;
  }
  EXPECT_EQ(read[0].lines, 400u);
  EXPECT_GT(selectedSome, asked.size() / 4) << selectedSome;  // the chains are not all trivial
  // A chain a journal search cannot name is refused either way.
  const StFINDINFO byClass[] = {
      F::Compare(F::kItemAccountClass, F::kSideNone, F::kCompareEqual, F::kValueNumber, 1, F::kJoinLast)};
  uint32_t count = 0;
  EXPECT_EQ(rule->GetSwkCount(byClass, nullptr, &count), host::kBadArgument);
}

// Every record of the account sums or of the tax summary, as bytes.
template <class Record, class Rule>
std::vector<std::string> Walk(Rule& rule) {
  std::vector<std::string> records;
  Record record;
  while (rule.MoveNext(&record) == host::kOk)
    records.emplace_back(reinterpret_cast<const char*>(record.data()), Record::kSize);
  rule.MoveFinish();
  return records;
}

TEST_F(JournalTallyTest, AccountSumsAndTaxSummaryAsReadingTheLines) {
  RandomLines(400);
  auto sums = book_.Bound<ClRuleKamoku>();
  auto summary = book_.Bound<ClRuleShohizei>();
  const std::vector<StFINDINFO> periods[] = {Months(1, 12, 18), Months(4, 9), Months(1, 6, 15), Months(12, 12)};
  // A chain naming a category: the sums must read the lines either way.
  const StFINDINFO category[] = {
      F::Compare(F::kItemTaxCategory, F::kSideCredit, F::kCompareAtLeast, F::kValueNumber, 12, F::kJoinLast)};
  const struct {
    int16_t first, last;
    uint32_t rate, second;
    uint8_t treatment;
  } summaries[] = {{1, 18, 500, 500, 0}, {1, 18, 300, 300, 1}, {7, 12, 500, 300, 1}, {15, 18, 800, 800, 0},
                   {1, 6, 0, 0, 0}};
  auto askAll = [&] {
    std::vector<std::vector<std::string>> answers;
    for (const auto& period : periods) {
      EXPECT_EQ(sums->MoveReady(1, 0, 0, period.data(), nullptr, 0), host::kOk);
      answers.push_back(Walk<StKAMOKUSUMINFO>(*sums));
    }
    EXPECT_EQ(sums->MoveReady(1, 0, 0, category, nullptr, 0), host::kOk);
    answers.push_back(Walk<StKAMOKUSUMINFO>(*sums));
    for (const auto& q : summaries) {
      EXPECT_EQ(summary->MoveReady(2, &q.first, &q.last, &q.rate, &q.second, q.treatment, 0, 0, 0), host::kOk);
      answers.push_back(Walk<StTAXSUMINFO>(*summary));
    }
    return answers;
  };
  ASSERT_FALSE(TallyAnswers());
  const auto read = askAll();
  Check();
  ASSERT_TRUE(TallyAnswers());
  const auto tallied = askAll();
  ASSERT_EQ(tallied.size(), read.size());
  for (size_t i = 0; i < read.size(); ++i) {
    EXPECT_FALSE(read[i].empty()) << "question " << i;
    EXPECT_EQ(tallied[i], read[i]) << "question " << i;
  }
}

TEST_F(JournalTallyTest, AChangedStoreIsReadAgain) {
  book_.Line(20140410, 1, Side{kCash, Yen(1)}, Side{kSales, Yen(1), 0, 1, 1000, 6});
  auto rule = book_.Bound<ClRuleShiwake>();
  const std::vector<StFINDINFO> april = Months(1, 1);
  Check();
  ASSERT_TRUE(TallyAnswers());
  EXPECT_EQ(Ask(*rule, april.data()).lines, 1u);

  // Another connection (the book's own) adds a line.
  book_.Line(20140411, 1, Side{kCash, Yen(1), 0, 0, 300}, Side{kSales, Yen(1)});
  EXPECT_FALSE(TallyAnswers());
  Answers after = Ask(*rule, april.data());
  EXPECT_EQ(after.lines, 2u);
  EXPECT_EQ(after.rateFlags, ledger::kRateFlag3 | ledger::kRateFlag10);

  // This connection moves a line to another month.
  Check();
  ASSERT_TRUE(TallyAnswers());
  ASSERT_TRUE(ledger::Session::Current()->store().Exec("UPDATE journal_line SET month_no = 2 WHERE line_no = 1"));
  EXPECT_FALSE(TallyAnswers());
  after = Ask(*rule, april.data());
  EXPECT_EQ(after.lines, 1u);
  EXPECT_EQ(after.businessType[6], 0);
  EXPECT_EQ(after.rateFlags, ledger::kRateFlag3);
}

TEST_F(JournalTallyTest, TooManyCombinationsGiveTheTallyUp) {
  ledger::JournalTally tally;
  const ledger::Store::Version version{1, 0};
  tally.Begin("X", {7});
  for (size_t i = 0; i <= ledger::JournalTally::kMaxCombinations; ++i)
    tally.Add(1 + static_cast<int64_t>(i / 65536), 20230401, {.category = static_cast<int64_t>(i / 256 % 256)},
              {.category = static_cast<int64_t>(i % 256)});
  tally.Seal(version);
  EXPECT_FALSE(tally.Answers("X", version));

  tally.Begin("X", {7});
  tally.Add(1, 20230401, {.rate = 800, .businessType = 6}, {.businessType = 6});
  tally.Seal(version);
  EXPECT_TRUE(tally.Answers("X", version));
  EXPECT_TRUE(tally.HasSides());
  EXPECT_FALSE(tally.Answers("Y", version));
  EXPECT_FALSE(tally.Answers("X", ledger::Store::Version{2, 0}));
  EXPECT_FALSE(tally.Answers("X", std::nullopt));
  ledger::JournalTally::Counts counts;
  ASSERT_EQ(tally.Select(nullptr, &counts), host::kOk);
  EXPECT_EQ(counts.lines, 1u);
  EXPECT_EQ(counts.withBusinessType[6], 1u);  // a line with both sides of type 6 counts once
  tally.Begin("X", {7});
  tally.Seal(std::nullopt);  // the store changed while it was read
  EXPECT_FALSE(tally.Answers("X", version));

  // Sides of more accounts than the sums may keep: the counts still answer.
  std::vector<int64_t> ids(ledger::JournalTally::kMaxSideAccounts + 2);
  for (size_t i = 0; i < ids.size(); ++i) ids[i] = static_cast<int64_t>(i) + 100;
  tally.Begin("X", ids);
  for (size_t i = 0; i + 1 < ids.size(); i += 2) tally.Add(1, 20230401, {.account = i}, {.account = i + 1});
  tally.Seal(version);
  EXPECT_TRUE(tally.Answers("X", version));
  EXPECT_FALSE(tally.HasSides());
  ASSERT_EQ(tally.Select(nullptr, &counts), host::kOk);
  EXPECT_EQ(counts.lines, ids.size() / 2);
}

}  // namespace
}  // namespace ledger_rules_test

namespace ledger_rules_test {
namespace {

// The return's figures for one period, as the bytes of every rate and
// business record.
std::string ReturnFigures(Book& book, const StFINDINFO* period) {
  StTAXREPORTRATEINFO rates[5];
  StTAXREPORTBUSINESSTYPEINFO business[30];
  const uint32_t preset[] = {1000, 800 + 0x10000, 800, 500, 300};
  for (size_t i = 0; i < 5; ++i) rates[i].view().SetU32(StTAXREPORTRATEINFO::kRate, preset[i]);
  auto rule = book.Bound<ClRuleShohizeiShinkoku>();
  EXPECT_EQ(rule->SumTax(2, period, rates, business), host::kOk);
  std::string bytes;
  for (const auto& r : rates) bytes.append(reinterpret_cast<const char*>(r.data()), StTAXREPORTRATEINFO::kSize);
  for (const auto& b : business)
    bytes.append(reinterpret_cast<const char*>(b.data()), StTAXREPORTBUSINESSTYPEINFO::kSize);
  return bytes;
}

TEST_F(JournalTallyTest, ReturnFiguresAsReadingTheLinesAcrossRateChanges) {
  // A year across the change to 10 %: sides without a rate are taxed by the
  // line's date, which the month number alone does not tell (here a month
  // holds lines from either side of 1 October 2019).
  book_.Exec("UPDATE data_entry SET period_start = 20190401, period_end = 20200331");
  static constexpr int kMonths[] = {1, 2, 3, 4, 5, 6, 15, 7, 8, 9, 10, 11, 12, 18};
  static constexpr int kCategories[] = {0, 1, 1, 1, 2, 3, 4, 5, 6, 7, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 37, 40};
  static constexpr int32_t kDates[] = {20190401, 20190930, 20191001, 20191020, 20200331};
  for (int i = 0; i < 600; ++i) {
    Side debit = RandomSide(RandomAccount()), credit = RandomSide(RandomAccount());
    debit.category = kCategories[random_() % std::size(kCategories)];
    credit.category = kCategories[random_() % std::size(kCategories)];
    book_.Line(kDates[random_() % std::size(kDates)], kMonths[random_() % 14], debit, credit);
  }
  const StFINDINFO category[] = {
      F::Compare(F::kItemTaxCategory, F::kSideCredit, F::kCompareAtLeast, F::kValueNumber, 3, F::kJoinLast)};
  const std::vector<StFINDINFO> periods[] = {Months(1, 12, 18), Months(6, 6), Months(1, 6, 15), Months(12, 12, 18)};
  auto askAll = [&] {
    std::vector<std::string> answers;
    for (const auto& period : periods) answers.push_back(ReturnFigures(book_, period.data()));
    answers.push_back(ReturnFigures(book_, category));  // names a category: read from the lines either way
    return answers;
  };
  ASSERT_FALSE(TallyAnswers());
  const auto read = askAll();
  Check();
  ASSERT_TRUE(TallyAnswers());
  const auto tallied = askAll();
  ASSERT_EQ(tallied.size(), read.size());
  for (size_t i = 0; i < read.size(); ++i) EXPECT_EQ(tallied[i], read[i]) << "period " << i;
  EXPECT_NE(read[0], read[1]);

  // A tally written into bytes and read back answers the same.
  ledger::JournalTally& tally = ledger::Session::Current()->journalTally();
  const std::string bytes = tally.Serialize();
  ledger::JournalTally copy;
  ASSERT_TRUE(copy.Deserialize(bytes));
  EXPECT_EQ(copy.Serialize(), bytes);
  ASSERT_TRUE(tally.Deserialize(bytes));
  tally.Seal(ledger::Session::Current()->store().DataVersion());
  ASSERT_TRUE(TallyAnswers());
  EXPECT_EQ(askAll(), read);
}

TEST(JournalTallyBytes, DamagedBytesAreRefusedWhole) {
  ledger::JournalTally tally;
  tally.Begin("X", {7, 9});
  tally.Add(1, 20190930, {.account = 0, .amount = 5, .tax = 1, .category = 1, .businessType = 2},
            {.account = 1, .amount = 5, .category = 21, .rate = 800, .reduced = 1});
  tally.Seal(ledger::Store::Version{1, 0});
  const std::string bytes = tally.Serialize();
  ledger::JournalTally read;
  ASSERT_TRUE(read.Deserialize(bytes));
  // Every shortened copy, and every copy with one byte changed in its layout
  // words, counts or places, is refused and leaves nothing behind.
  for (size_t size = 0; size < bytes.size(); ++size) {
    EXPECT_FALSE(read.Deserialize(std::string_view(bytes).substr(0, size))) << size;
    EXPECT_TRUE(read.dataId().empty());
  }
  EXPECT_FALSE(read.Deserialize(bytes + '\0'));
  std::string changed = bytes;
  changed[4] = 2;  // another layout
  EXPECT_FALSE(read.Deserialize(changed));
  // Random changes: never a crash, and a refusal never leaves half a tally.
  std::mt19937 random(7);
  int refused = 0;
  for (int i = 0; i < 2000; ++i) {
    changed = bytes;
    changed[random() % changed.size()] ^= static_cast<char>(1 + random() % 255);
    if (!read.Deserialize(changed)) {
      ++refused;
      EXPECT_TRUE(read.dataId().empty());
    }
  }
  EXPECT_GT(refused, 0);
}

}  // namespace
}  // namespace ledger_rules_test
