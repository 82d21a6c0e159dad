// The shortcuts the passes take for speed must give what the long way gives:
// the account index visits exactly the nodes a walk of the whole list would
// match, in the same order, and a batch of activity ticks leaves the progress
// window as that many single ticks would.
#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <utility>
#include <vector>

#include "aggregate/AccountList.h"
#include "aggregate/ProgressDialog.h"
#include "platform/ui/Backend.h"
#include "platform/ui/script/ScriptBackend.h"

using aggregate::AccountIndex;
using aggregate::AccountList;
using aggregate::AccountNode;
using aggregate::ProgressDialog;

namespace {

AccountList ListOf(const std::vector<uint32_t>& ids) {
  AccountList list;
  for (uint32_t id : ids) list.emplace_back().record.view().SetU32(StKAMOKUINFO::kAccountId, id);
  return list;
}

std::vector<size_t> Visited(const AccountIndex& index, uint32_t a, uint32_t b) {
  std::vector<size_t> positions;
  index.ForEachOf(a, b, [&](size_t position, const AccountNode& node) {
    EXPECT_TRUE(node.accountId() == a || node.accountId() == b) << position;
    positions.push_back(position);
  });
  return positions;
}

TEST(AccountIndexTest, VisitsTheNodesOfBothAccountsInListOrderEachOnce) {
  // Identifiers repeat and interleave, as a list loaded from several classes may.
  const std::vector<uint32_t> ids = {7, 3, 9, 3, 7, 12, 9, 9, 1, 7};
  const AccountList list = ListOf(ids);
  const AccountIndex index(list);
  ASSERT_EQ(index.size(), ids.size());
  for (uint32_t a : {0u, 1u, 3u, 7u, 9u, 12u, 40u}) {
    for (uint32_t b : {0u, 1u, 3u, 7u, 9u, 12u, 40u}) {
      std::vector<size_t> expected;
      for (size_t p = 0; p < ids.size(); ++p)
        if (ids[p] == a || ids[p] == b) expected.push_back(p);
      EXPECT_EQ(Visited(index, a, b), expected) << a << " " << b;
    }
  }
  EXPECT_TRUE(Visited(AccountIndex(AccountList{}), 3, 3).empty());
}

// Counts what the window is asked to do.
class CountingProgress : public ProgressDialog {
 public:
  void BringWindowToTop() override { ++toTop; }
  void UpdateWindow() override { ++repaints; }
  uint64_t toTop = 0, repaints = 0;
};

class ActivityTicksTest : public ::testing::Test {
 protected:
  ActivityTicksTest() : backend_("", transcript_, "ticks-test") { platform::ui::InstallBackend(&backend_); }
  ~ActivityTicksTest() override { platform::ui::InstallBackend(nullptr); }

  // A window whose activity bar has been through `start`: 0 fresh, 1 after a
  // finished pass, 2 after five ticks.
  static void Prepare(CountingProgress& p, int start) {
    p.Reset();
    if (start == 1) p.Finish();
    if (start == 2)
      for (int i = 0; i < 5; ++i) p.Tick();
    p.toTop = p.repaints = 0;
  }

  std::ostringstream transcript_;
  platform::ui::script::ScriptBackend backend_;
};

TEST_F(ActivityTicksTest, ABatchEndsWhereTheSameNumberOfSingleTicksEnds) {
  for (int start = 0; start < 3; ++start) {
    for (uint64_t n : {0ull, 1ull, 5ull, 10ull, 11ull, 12ull, 21ull, 22ull, 23ull, 24ull, 33ull, 34ull, 57ull, 100ull,
                       1000003ull}) {
      CountingProgress single, batch;
      ASSERT_TRUE(single.Create());
      ASSERT_TRUE(batch.Create());
      Prepare(single, start);
      Prepare(batch, start);
      for (uint64_t i = 0; i < n; ++i) single.Tick();
      batch.Ticks(n);
      EXPECT_EQ(batch.context().tickCounter, single.context().tickCounter) << start << " " << n;
      EXPECT_EQ(batch.activityBar().GetPos(), single.activityBar().GetPos()) << start << " " << n;
      // The window comes forward when, and only when, the single ticks bring it.
      EXPECT_EQ(batch.toTop > 0, single.toTop > 0) << start << " " << n;
      // One repaint for the whole batch.
      EXPECT_EQ(batch.repaints, n > 0 ? 1u : 0u) << start << " " << n;
      batch.DestroyWindow();
      single.DestroyWindow();
    }
  }
}

// Sweeps end where one sweep ends, whatever came before: the batch makes one.
TEST_F(ActivityTicksTest, SweepsEndWhereTheSameNumberOfSingleSweepsEnd) {
  for (int start = 0; start < 3; ++start) {
    for (uint64_t n : {0ull, 1ull, 2ull, 7ull, 200ull}) {
      CountingProgress single, batch;
      ASSERT_TRUE(single.Create());
      ASSERT_TRUE(batch.Create());
      Prepare(single, start);
      Prepare(batch, start);
      for (uint64_t i = 0; i < n; ++i) single.Sweep();
      batch.Sweeps(n);
      EXPECT_EQ(batch.context().tickCounter, single.context().tickCounter) << start << " " << n;
      EXPECT_EQ(batch.activityBar().GetPos(), single.activityBar().GetPos()) << start << " " << n;
      EXPECT_EQ(batch.activityBar().control()->RangeMax(), single.activityBar().control()->RangeMax()) << start << " " << n;
      EXPECT_EQ(batch.toTop > 0, single.toTop > 0) << start << " " << n;
      batch.DestroyWindow();
      single.DestroyWindow();
    }
  }
}

}  // namespace
