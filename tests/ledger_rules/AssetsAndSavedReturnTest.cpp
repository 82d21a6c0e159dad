// Assets by acquisition date (ClRuleGenkashokyaku), the saved return block
// (ClSaveTaxShiryo) and the binding every rule needs (ClRuleBase).
#include <cstring>
#include <string>

#include "Book.h"

namespace ledger_rules_test {
namespace {

using F = StFINDINFO;
using A = StKOTEISHISANINFO;

std::vector<StFINDINFO> AcquiredBetween(int32_t from, int32_t to) {
  return {F::Compare(F::kItemAcquisitionDate, 0, F::kCompareAtLeast, F::kValueNumber, from, F::kJoinAnd),
          F::Compare(F::kItemAcquisitionDate, 0, F::kCompareAtMost, F::kValueNumber, to, F::kJoinLast)};
}

TEST(AssetsTest, TheDateChainTakesAssetsOnBothBoundaries) {
  Book book;
  book.Asset(1, 1, 20140331, Yen(9));   // the day before
  book.Asset(2, 9, 20140401, Yen(100), 2);  // first day: a deferred asset
  book.Asset(3, 1, 20140930, Yen(250));     // last day
  book.Asset(4, 1, 20141001, Yen(7));       // the day after
  auto rule = book.Bound<ClRuleGenkashokyaku>();
  const auto chain = AcquiredBetween(20140401, 20140930);
  ASSERT_EQ(rule->MoveReady(chain.data(), 0, 0), host::kOk);
  int32_t count = 0;
  ASSERT_EQ(rule->GetCount(&count), host::kOk);
  ASSERT_EQ(count, 2);
  StKOTEISHISANINFO asset;
  StKOTEINENINFO yearly;
  StKOTEITSUKIINFO monthly;
  ASSERT_EQ(rule->Move(0, &asset, &yearly, &monthly), host::kOk);
  EXPECT_EQ(asset.view().U32(A::kKind), 9u);
  EXPECT_EQ(asset.view().I64(A::kAcquisitionAmount), Yen(100));
  EXPECT_EQ(asset.view().I16(A::kIncomeType), 2);
  EXPECT_EQ(yearly.view().I64(8), Yen(100));
  ASSERT_EQ(rule->Move(1, &asset, &yearly, &monthly), host::kOk);
  EXPECT_EQ(asset.view().U32(A::kKind), 1u);
  EXPECT_EQ(asset.view().I64(A::kAcquisitionAmount), Yen(250));
  EXPECT_EQ(asset.view().I32(A::kAcquisitionDate), 20140930);
  EXPECT_EQ(rule->Move(2, &asset, &yearly, &monthly), host::kNotFound);
  EXPECT_EQ(rule->Move(-1, &asset, &yearly, &monthly), host::kNotFound);
  EXPECT_EQ(rule->MoveFinish(), host::kOk);
  EXPECT_EQ(rule->Move(0, &asset, &yearly, &monthly), host::kNotReady);
  const StFINDINFO wrongItem =
      F::Compare(F::kItemMonthNumber, 0, F::kCompareEqual, F::kValueMonth, 1, F::kJoinLast);
  EXPECT_EQ(rule->MoveReady(&wrongItem, 0, 0), host::kBadArgument);
}

class SavedReturnTest : public ::testing::Test {
 protected:
  void SetUp() override {
    book_.Exec(
        "INSERT INTO saved_return (data_id, taxation_kind, deduction_method, sales_tax_choice, purchase_tax_choice, "
        "transitional_flag, period_start, period_end, year_start, year_end, return_start, return_end, "
        "closing_pattern, refund_individual_basis, refund_corporate_pl_basis, refund_corporate_asset_basis) "
        "VALUES ('C001', 2, 1, 3, 4, 5, 20140401, 20150331, 20140101, 20141231, 20140401, 20140930, 1, 6, 7, 8)");
  }
  void Save(const std::string& name, int64_t amount) {
    book_.Exec("INSERT INTO saved_amount (data_id, name, amount) VALUES ('C001', '" + name + "', " +
               std::to_string(amount) + ")");
  }
  Book book_;
};

TEST_F(SavedReturnTest, EveryAmountGroupAndTheHeaderAreReadBackAtTheirOffsets) {
  // One distinct amount per saved name: every block, every rate, the
  // 24-byte-spaced import groups and the sixteen refund-statement amounts.
  std::vector<std::pair<size_t, int64_t>> expected;
  int64_t next = 1;
  for (const host::SavedAmountBlock& block : host::kSavedAmountBlocks) {
    for (size_t rate = 0; rate < 3; ++rate) {
      if (block.first[rate] == 0) continue;
      for (size_t i = 0; i < block.count; ++i) {
        const int64_t amount = (next++) * 10001 * (i % 2 == 0 ? 1 : -1);
        Save(std::string(block.leaves[i]) + host::kSavedRateDigits[rate], amount);
        expected.emplace_back(block.first[rate] + i * block.stride, amount);
      }
    }
  }
  for (size_t k = 0; k < StSaveTaxInfo::kRefundAmountCount; ++k) {
    Save("KANPU" + std::to_string(k), Yen(100 + static_cast<int64_t>(k)));
    expected.emplace_back(9868 + 8 * k, Yen(100 + static_cast<int64_t>(k)));
  }
  auto rule = book_.Bound<ClSaveTaxShiryo>();
  EXPECT_EQ(rule->RefreshCache(), host::kOk);
  auto info = std::make_unique<StSaveTaxInfo>();
  ASSERT_EQ(rule->GetTaxSaveInfo(info.get()), host::kOk);
  const host::RecordView v = info->view();
  size_t nonzero = 0;
  for (size_t i = 0; i < StSaveTaxInfo::kSize; ++i) nonzero += v.U8(i) != 0;
  size_t expectedBytes = 0;
  for (const auto& [offset, amount] : expected) {
    EXPECT_EQ(v.I64(offset), amount) << "offset " << offset;
    for (size_t b = 0; b < 8; ++b) expectedBytes += static_cast<uint8_t>(static_cast<uint64_t>(amount) >> (8 * b)) != 0;
  }
  EXPECT_EQ(v.U8(3), 2);
  EXPECT_EQ(v.U8(4), 2);  // deduction method 1, plus 1
  EXPECT_EQ(v.U8(6), 3);
  EXPECT_EQ(v.U8(7), 4);
  EXPECT_EQ(v.U8(8), 5);
  EXPECT_EQ(v.I32(9), 20140401);
  EXPECT_EQ(v.I32(13), 20150331);
  EXPECT_EQ(v.I32(17), 20140101);
  EXPECT_EQ(v.I32(21), 20141231);
  EXPECT_EQ(v.I32(29), 20140401);
  EXPECT_EQ(v.I32(33), 20140930);
  EXPECT_EQ(v.U8(39), 2);  // closing pattern 1, plus 1
  EXPECT_EQ(v.U8(9865), 6);
  EXPECT_EQ(v.U8(9866), 7);
  EXPECT_EQ(v.U8(9867), 8);
  // Nothing was written anywhere else: the nonzero bytes are exactly the
  // amounts' and the header's.
  size_t headerBytes = 0;
  for (size_t offset : {3, 4, 6, 7, 8, 39, 9865, 9866, 9867}) headerBytes += v.U8(offset) != 0;
  for (size_t offset : {9, 13, 17, 21, 29, 33}) {
    for (size_t b = 0; b < 4; ++b) headerBytes += v.U8(offset + b) != 0;
  }
  EXPECT_EQ(nonzero, expectedBytes + headerBytes);
}

TEST_F(SavedReturnTest, NoSavedReturnOrAMisplacedAmountAnswersNonzeroAndLeavesTheBlock) {
  Save("NOSUCHLEAF8", Yen(1));
  auto rule = book_.Bound<ClSaveTaxShiryo>();
  auto info = std::make_unique<StSaveTaxInfo>();
  info->view().SetU8(100, 0xAB);
  EXPECT_EQ(rule->GetTaxSaveInfo(info.get()), host::kStoreFailed);
  EXPECT_EQ(info->view().U8(100), 0xAB);
  EXPECT_EQ(info->view().U8(3), 0);

  book_.Exec("DELETE FROM saved_return");
  EXPECT_EQ(rule->GetTaxSaveInfo(info.get()), host::kNotFound);
  EXPECT_EQ(info->view().U8(100), 0xAB);
}

TEST(RuleBindingTest, AnUnboundOrHalfBoundRuleAnswersAStatusAndNeverReads) {
  Book book;
  const auto period = Months(1, 12);
  ClRuleShiwake journal;
  uint32_t count = 0;
  StSWKTINFO line;
  EXPECT_EQ(journal.GetSwkCount(period.data(), nullptr, &count), host::kNotBound);
  EXPECT_EQ(journal.MoveReady(period.data(), nullptr, nullptr, 4), host::kNotBound);
  EXPECT_EQ(journal.MoveNext(&line), host::kNotBound);
  EXPECT_EQ(journal.MoveFinish(), host::kNotBound);
  int32_t n = 0;
  EXPECT_EQ(journal.CheckExistSwkByJigyoBunrui(period.data(), 6, &n), host::kNotBound);
  EXPECT_EQ(journal.CheckExistSwkByZeiRate(period.data(), &n, 1), host::kNotBound);

  ClRuleKamoku accounts;
  StKAMOKUSUMINFO sums;
  EXPECT_EQ(accounts.MoveReady(1, 0, 0, period.data(), nullptr, 0), host::kNotBound);
  EXPECT_EQ(accounts.GetSumCount(&count), host::kNotBound);
  EXPECT_EQ(accounts.MoveNext(&sums), host::kNotBound);
  ClRuleShohizei summary;
  int16_t m = 1;
  uint32_t rate = 500;
  EXPECT_EQ(summary.MoveReady(2, &m, &m, &rate, nullptr, 0, 0, 0, 0), host::kNotBound);
  ClRuleGenkashokyaku assets;
  EXPECT_EQ(assets.MoveReady(nullptr, 0, 0), host::kNotBound);
  ClRuleShohizeiShinkoku figures;
  StTAXREPORTRATEINFO rates[5];
  StTAXREPORTBUSINESSTYPEINFO business[30];
  EXPECT_EQ(figures.SumTax(2, period.data(), rates, business), host::kNotBound);
  ClSaveTaxShiryo saved;
  auto info = std::make_unique<StSaveTaxInfo>();
  EXPECT_EQ(saved.RefreshCache(), host::kNotBound);
  EXPECT_EQ(saved.GetTaxSaveInfo(info.get()), host::kNotBound);

  // Two of the three bindings are not enough.
  EXPECT_EQ(journal.AttachSetMgr(nullptr), host::kBadArgument);
  EXPECT_EQ(journal.SetCurDataID(""), host::kBadArgument);
  EXPECT_EQ(journal.AttachSetMgr(ClDataMgr::Inst()->GetSetMgr()), host::kOk);
  EXPECT_EQ(journal.SetCurDataID(Book::kDataId), host::kOk);
  EXPECT_EQ(journal.GetSwkCount(period.data(), nullptr, &count), host::kNotBound);
  EXPECT_EQ(journal.AttachOptLink(ClLinkMgr::Inst()->GetOptLink()), host::kOk);
  EXPECT_EQ(journal.GetSwkCount(period.data(), nullptr, &count), host::kOk);
  EXPECT_EQ(journal.GetSwkCount(period.data(), nullptr, nullptr), host::kBadArgument);
}

TEST(RuleBindingTest, ABoundRuleWithoutAConnectionSaysSo) {
  ClRuleShiwake journal;
  {
    Book book;
    book.Bind(journal);
  }
  uint32_t count = 0;
  EXPECT_EQ(journal.GetSwkCount(Months(1, 12).data(), nullptr, &count), host::kNotConnected);
}

}  // namespace
}  // namespace ledger_rules_test
