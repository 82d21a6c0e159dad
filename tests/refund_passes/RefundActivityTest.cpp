// What the refund passes tell their Activity, counted without a window: the
// corporate pass's ticks per journal line (one for the line and one for every
// node of the account list, given as one batch) and per asset, the
// per-department pass's ticks per asset only, and no activity at all for data
// of the other kind.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "aggregate/Activity.h"
#include "tests/refund_passes/RefundBook.h"

namespace refund_test {
namespace {

constexpr int64_t kCash = 1;
constexpr int64_t kGoods = 10, kTravel = 20, kLoss = 40;
constexpr int32_t kTaxable = 22, kNoTax = 0;
constexpr size_t kListedAccounts = 3;  // kGoods, kTravel, kLoss

class CountingActivity : public aggregate::Activity {
 public:
  void Tick() override { ++ticks; }
  void Ticks(uint64_t count) override {
    ticks += count;
    ++batches;
  }
  void Sweep() override { ++sweeps; }
  void Sweeps(uint64_t count) override { sweeps += count; }
  void Reset() override { events += 'R'; }
  void Finish() override { events += 'F'; }

  uint64_t ticks = 0;
  uint64_t batches = 0;
  uint64_t sweeps = 0;
  std::string events;  // R for each Reset, F for each Finish, in order
};

// Books of company kind `kind` with three listed accounts, one line on each
// and one asset inside months 1 to 6; `extra` adds to them. The pass's
// activity over months 1 to 6.
CountingActivity RunPass(int32_t kind, const std::function<void(RefundBook&)>& extra = {}) {
  RefundBook book(kind, /*layout=*/1);
  book.Account(kGoods, 0x20200000).Account(kTravel, 0x40882000).Account(kLoss, 0x40440000);
  book.Line(1, {kGoods, Yen(100), kNoTax}, {kCash, Yen(100), kTaxable});
  book.Line(2, {kTravel, Yen(20), kNoTax}, {kCash, Yen(20), kTaxable});
  book.Line(3, {kCash, Yen(3), kTaxable}, {kLoss, Yen(3), kNoTax});
  book.Asset(20230501, Yen(50));
  if (extra) extra(book);
  CountingActivity activity;
  const bool corporate = kind == 0 || kind == 1;
  const int32_t result = corporate ? book.RunCorporate({1, 6, {}}, activity) : book.RunIndividual({1, 6, {}}, activity);
  EXPECT_EQ(result, 1);
  return activity;
}

TEST(CorporateActivity, EachSelectedLineTicksOnceAndOncePerListNodeInOneBatch) {
  const CountingActivity base = RunPass(0);
  EXPECT_EQ(base.events, "RF");  // the pass starts, the account list load finishes
  EXPECT_EQ(base.batches, 3u);   // one batch (one repaint) per selected line
  EXPECT_EQ(base.sweeps, 0u);

  const CountingActivity more = RunPass(0, [](RefundBook& b) {
    b.Line(4, {kTravel, Yen(5), kNoTax}, {kCash, Yen(5), kTaxable});
  });
  EXPECT_EQ(more.ticks - base.ticks, 1 + kListedAccounts);
  EXPECT_EQ(more.batches, 4u);

  // A line on an account outside the list still walks the whole list.
  const CountingActivity unlisted = RunPass(0, [](RefundBook& b) {
    b.Line(5, {kCash, Yen(5), kNoTax}, {kCash, Yen(5), kNoTax});
  });
  EXPECT_EQ(unlisted.ticks - base.ticks, 1 + kListedAccounts);

  // Lines outside the months or in taxable categories are not selected.
  const CountingActivity unselected = RunPass(0, [](RefundBook& b) {
    b.Line(8, {kTravel, Yen(5), kNoTax}, {kCash, Yen(5), kTaxable});
    b.Line(2, {kTravel, Yen(5), kTaxable}, {kCash, Yen(5), kTaxable});
  });
  EXPECT_EQ(unselected.ticks, base.ticks);
  EXPECT_EQ(unselected.batches, base.batches);
}

TEST(CorporateActivity, EachAssetWithinTheMonthsTicksOnce) {
  const CountingActivity base = RunPass(0);
  const CountingActivity within = RunPass(1, [](RefundBook& b) {
    b.Asset(20230930, Yen(7));       // last day of month 6
    b.Asset(20230615, Yen(8), 9);    // a deferred asset counts the same
  });
  EXPECT_EQ(within.ticks - base.ticks, 2u);
  const CountingActivity outside = RunPass(0, [](RefundBook& b) { b.Asset(20231001, Yen(7)); });
  EXPECT_EQ(outside.ticks, base.ticks);
}

TEST(IndividualActivity, OnlyAssetsTickAndJournalLinesDoNot) {
  const CountingActivity base = RunPass(3);
  EXPECT_EQ(base.events, "RF");
  EXPECT_EQ(base.batches, 0u);
  EXPECT_EQ(base.sweeps, 0u);

  const CountingActivity lines = RunPass(4, [](RefundBook& b) {
    b.Line(4, {kTravel, Yen(5), kNoTax}, {kCash, Yen(5), kTaxable});
    b.Line(5, {kGoods, Yen(5), kNoTax}, {kCash, Yen(5), kTaxable});
  });
  EXPECT_EQ(lines.ticks, base.ticks);

  const CountingActivity assets = RunPass(3, [](RefundBook& b) {
    b.Asset(20230401, Yen(7));
    b.Asset(20230902, Yen(7));
  });
  EXPECT_EQ(assets.ticks - base.ticks, 2u);
}

TEST(RefundActivity, DataOfTheOtherKindTellsNothing) {
  for (int32_t kind : {0, 1}) {
    RefundBook book(kind);
    book.Account(kTravel, 0x40882000).Line(1, {kTravel, Yen(1), kNoTax}, {kCash, Yen(1), kTaxable});
    CountingActivity activity;
    EXPECT_EQ(book.RunIndividual({1, 12, {18}}, activity), 1);
    EXPECT_EQ(activity.ticks + activity.sweeps, 0u) << kind;
    EXPECT_TRUE(activity.events.empty()) << kind;
    EXPECT_EQ(book.aggregate.businessExpenses.nonQualifying, 0) << kind;
  }
  for (int32_t kind : {3, 4}) {
    RefundBook book(kind, 1);
    book.Account(kTravel, 0x40882000).Line(1, {kTravel, Yen(1), kNoTax}, {kCash, Yen(1), kTaxable});
    CountingActivity activity;
    EXPECT_EQ(book.RunCorporate({1, 12, {18}}, activity), 1);
    EXPECT_EQ(activity.ticks + activity.sweeps, 0u) << kind;
    EXPECT_TRUE(activity.events.empty()) << kind;
    EXPECT_EQ(book.aggregate.sellingAdminExpenses.nonQualifying, 0) << kind;
  }
}

}  // namespace
}  // namespace refund_test
