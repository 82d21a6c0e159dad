// The return's figures by rate and business type (ClRuleShohizeiShinkoku::SumTax)
// from small books whose every figure is known.
#include <cstring>
#include <limits>
#include <map>

#include "Book.h"

namespace ledger_rules_test {
namespace {

using R = StTAXREPORTRATEINFO;
using B = StTAXREPORTBUSINESSTYPEINFO;

constexpr uint32_t kCash = 1, kSales = 2, kPurchases = 3;

class SumTaxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    book_.Account(kCash, "100", 0x10100000, 1);
    book_.Account(kSales, "500", 0x40888000, 2);
    book_.Account(kPurchases, "600", 0x20200000, 1);
    const uint32_t rates[] = {800, 500, 300};
    for (size_t i = 0; i < 3; ++i) {
      rateTotals_[i].view().SetU32(R::kRate, rates[i]);
      for (uint8_t t = 1; t <= 6; ++t) {
        businessTotals_[i * 6 + t - 1].view().SetU32(B::kRate, rates[i]);
        businessTotals_[i * 6 + t - 1].view().SetU8(B::kBusinessType, t);
      }
    }
  }

  // A sale (credit side) or a purchase (debit side) against cash.
  void Credit(int monthNo, Side s, int32_t date = 20140415) { book_.Line(date, monthNo, Side{kCash}, s); }
  void Debit(int monthNo, Side s, int32_t date = 20140415) { book_.Line(date, monthNo, s, Side{kCash}); }

  int32_t Sum(const std::vector<StFINDINFO>& period) {
    auto rule = book_.Bound<ClRuleShohizeiShinkoku>();
    return rule->SumTax(2, period.data(), rateTotals_, businessTotals_);
  }

  // Every amount the document reads from a rate record equals `expected`
  // (offset -> amount) or 0.
  void ExpectRateAmounts(size_t record, const std::map<size_t, int64_t>& expected) {
    // The local import tax figures (477, 485) lie across grid slots 473 and
    // 481, which no figure uses.
    std::vector<size_t> offsets;
    for (size_t k = 0; k < R::kAmountCount; ++k) {
      if (R::Amount(k) != 473 && R::Amount(k) != 481) offsets.push_back(R::Amount(k));
    }
    offsets.push_back(R::kImportLocalTax);
    offsets.push_back(R::kImportLocalTaxReturns);
    for (size_t offset : offsets) {
      const auto it = expected.find(offset);
      EXPECT_EQ(rateTotals_[record].view().I64(offset), it == expected.end() ? 0 : it->second)
          << "record " << record << " offset " << offset;
    }
  }
  void ExpectBusiness(size_t record, uint8_t type, std::array<int64_t, 6> expected) {
    const size_t offsets[6] = {B::kSalesIncl, B::kSalesTax, B::kSalesExcl, B::kReturnsIncl, B::kReturnsTax,
                               B::kReturnsExcl};
    const host::RecordView b = businessTotals_[record * 6 + type - 1].view();
    for (size_t m = 0; m < 6; ++m) {
      EXPECT_EQ(b.I64(offsets[m]), expected[m]) << "record " << record << " type " << int{type} << " measure " << m;
    }
    EXPECT_EQ(b.U8(B::kBusinessType), type);
  }

  Book book_;
  StTAXREPORTRATEINFO rateTotals_[5];
  StTAXREPORTBUSINESSTYPEINFO businessTotals_[30];
};

TEST_F(SumTaxTest, WorkedCaseOfTaxableSalesAttributedToFirstBusinessType) {
  Credit(1, Side{kSales, Yen(300), Yen(24), 1, 800, 1});
  Credit(1, Side{kSales, Yen(200), Yen(16), 1, 800, 0});
  ASSERT_EQ(Sum(Months(1, 12, 18)), host::kOk);
  ExpectRateAmounts(0, {{R::kTaxableSalesExcl, Yen(500)}, {R::kTaxableSalesTax, Yen(40)},
                        {R::kTaxableSalesIncl, Yen(540)}});
  ExpectRateAmounts(1, {});
  ExpectRateAmounts(2, {});
  ExpectBusiness(0, 1, {Yen(324), Yen(24), Yen(300), 0, 0, 0});
  for (uint8_t t = 2; t <= 6; ++t) ExpectBusiness(0, t, {0, 0, 0, 0, 0, 0});
  EXPECT_EQ(rateTotals_[0].view().U32(R::kRate), 800u);
}

TEST_F(SumTaxTest, EveryCategoryLandsAtItsFigureAndSideDecidesReturns) {
  Debit(1, Side{kSales, Yen(100), Yen(8), 1, 800, 2});         // sales return, type 2
  Credit(1, Side{kSales, Yen(50), 0, 2, 800});                 // export-exempt sale
  Debit(1, Side{kSales, Yen(20), 0, 2, 800});                  // its return
  Credit(1, Side{kSales, Yen(70), 0, 3, 800});                 // non-taxable sale
  Debit(1, Side{kSales, Yen(10), 0, 3, 800});                  // its return
  Credit(1, Side{kSales, Yen(1000), 0, 4, 0});                 // securities: rate by date (8 %)
  Credit(1, Side{kSales, Yen(300), 0, 5, 800});                // non-taxable asset export
  Debit(1, Side{kSales, Yen(100), Yen(8), 6, 800});            // bad debt
  Credit(1, Side{kSales, Yen(50), Yen(4), 7, 800});            // recovered bad debt
  Debit(1, Side{kPurchases, Yen(1000), Yen(80), 21, 800});
  Debit(1, Side{kPurchases, Yen(400), Yen(32), 22, 800});
  Debit(1, Side{kPurchases, Yen(200), Yen(16), 23, 800});
  Credit(1, Side{kPurchases, Yen(30), Yen(2), 23, 800});       // purchase return, common
  Debit(1, Side{kPurchases, Yen(10000), Yen(800), 25, 800});   // import tax, taxable only
  Credit(1, Side{kPurchases, Yen(500), Yen(40), 26, 800});     // import return, non-taxable only
  Debit(1, Side{kPurchases, Yen(10000), Yen(200), 28, 800});   // import local tax
  Credit(1, Side{kPurchases, Yen(1000), Yen(20), 28, 800});    // its return
  Debit(1, Side{kPurchases, Yen(999), Yen(99), 24, 800});      // non-taxable purchase: no figure
  Debit(1, Side{kPurchases, Yen(999), Yen(99), 29, 800});      // specified purchase: no figure
  Debit(1, Side{kPurchases, Yen(999), Yen(99), 30, 800});      // out of scope
  for (int c = 31; c <= 37; ++c) Debit(1, Side{kPurchases, Yen(999), Yen(99), c, 800});  // undetermined imports
  ASSERT_EQ(Sum(Months(1, 12)), host::kOk);
  ExpectRateAmounts(0, {
                           {R::kSalesReturnsExcl, Yen(100)},
                           {R::kSalesReturnsTax, Yen(8)},
                           {R::kSalesReturnsIncl, Yen(108)},
                           {R::kExemptSales, Yen(50)},
                           {R::kExemptSalesReturns, Yen(20)},
                           {R::kNonTaxableSales, Yen(70)},
                           {R::kNonTaxableSalesReturns, Yen(10)},
                           {R::kSecuritiesSales, Yen(50)},  // 5 % of 1000 yen
                           {R::kNonTaxableAssetExports, Yen(300)},
                           {R::kBadDebts, Yen(100)},
                           {R::kBadDebts + 8, Yen(8)},
                           {R::kBadDebts + 16, Yen(108)},
                           {R::kBadDebtsRecovered, Yen(50)},
                           {R::kBadDebtsRecovered + 8, Yen(4)},
                           {R::kBadDebtsRecovered + 16, Yen(54)},
                           {R::kPurchasesTaxableOnly, Yen(1000)},
                           {R::kPurchasesTaxableOnly + 8, Yen(80)},
                           {R::kPurchasesTaxableOnly + 16, Yen(1080)},
                           {R::kPurchasesNonTaxableOnly, Yen(400)},
                           {R::kPurchasesNonTaxableOnly + 8, Yen(32)},
                           {R::kPurchasesNonTaxableOnly + 16, Yen(432)},
                           {R::kPurchasesCommon, Yen(200)},
                           {R::kPurchasesCommon + 8, Yen(16)},
                           {R::kPurchasesCommon + 16, Yen(216)},
                           {R::kPurchaseReturnsCommon, Yen(30)},
                           {R::kPurchaseReturnsCommon + 8, Yen(2)},
                           {R::kPurchaseReturnsCommon + 16, Yen(32)},
                           {R::kImportTaxableOnly, Yen(10000)},
                           {R::kImportTaxableOnly + 8, Yen(800)},
                           {R::kImportTaxableOnly + 16, Yen(10800)},
                           {R::kImportReturnsNonTaxableOnly, Yen(500)},
                           {R::kImportReturnsNonTaxableOnly + 8, Yen(40)},
                           {R::kImportReturnsNonTaxableOnly + 16, Yen(540)},
                           {R::kImportLocalTax, Yen(200)},
                           {R::kImportLocalTaxReturns, Yen(20)},
                       });
  ExpectBusiness(0, 2, {0, 0, 0, Yen(108), Yen(8), Yen(100)});
}

TEST_F(SumTaxTest, OneSidedFiguresAreLoweredByTheOtherSide) {
  Credit(1, Side{kSales, Yen(1000), 0, 4, 800});
  Debit(1, Side{kSales, Yen(400), 0, 4, 800});           // a cancelled transfer of securities
  Debit(1, Side{kSales, Yen(100), Yen(8), 6, 800});
  Credit(1, Side{kSales, Yen(30), Yen(2), 6, 800});      // a bad debt written back
  Credit(1, Side{kSales, Yen(10), 0, 5, 800});
  Debit(1, Side{kSales, Yen(25), 0, 5, 800});            // more exports reversed than made
  ASSERT_EQ(Sum(Months(1, 12)), host::kOk);
  ExpectRateAmounts(0, {{R::kSecuritiesSales, Yen(30)},
                        {R::kBadDebts, Yen(70)},
                        {R::kBadDebts + 8, Yen(6)},
                        {R::kBadDebts + 16, Yen(76)},
                        {R::kNonTaxableAssetExports, -Yen(15)}});
}

TEST_F(SumTaxTest, RatesGoToTheirRecordsAndMonthsOutsideThePeriodAreLeftOut) {
  Credit(1, Side{kSales, Yen(100), Yen(5), 1, 500, 3});
  Credit(2, Side{kSales, Yen(100), Yen(3), 1, 300});
  Credit(2, Side{kSales, Yen(70), 0, 2, 0}, 20140331);  // no rate: 5 % in force on that date
  Credit(2, Side{kSales, Yen(70), 0, 2, 0}, 19970331);  // 3 %
  Credit(3, Side{kSales, Yen(100), Yen(10), 1, 1000});  // 10 %: no record carries it
  Credit(3, Side{kSales, Yen(100), Yen(8), 1, 800, 0, 0, 1});  // reduced 8 %: neither
  Credit(5, Side{kSales, Yen(9), 0, 2, 800});             // month 5: outside
  Credit(15, Side{kSales, Yen(7), 0, 2, 800});            // interim closing: outside
  Credit(18, Side{kSales, Yen(3), 0, 2, 800});            // year-end closing: inside
  ASSERT_EQ(Sum(Months(1, 4, 18)), host::kOk);
  ExpectRateAmounts(0, {{R::kExemptSales, Yen(3)}});
  ExpectRateAmounts(1, {{R::kTaxableSalesExcl, Yen(100)}, {R::kTaxableSalesTax, Yen(5)},
                        {R::kTaxableSalesIncl, Yen(105)}, {R::kExemptSales, Yen(70)}});
  ExpectRateAmounts(2, {{R::kTaxableSalesExcl, Yen(100)}, {R::kTaxableSalesTax, Yen(3)},
                        {R::kTaxableSalesIncl, Yen(103)}, {R::kExemptSales, Yen(70)}});
  ExpectBusiness(1, 3, {Yen(105), Yen(5), Yen(100), 0, 0, 0});
  ExpectBusiness(2, 3, {0, 0, 0, 0, 0, 0});
}

TEST_F(SumTaxTest, AddsToThePresetAmountsAndLeavesRecordsUntouchedOnOverflow) {
  Credit(1, Side{kSales, Yen(500), Yen(40), 1, 800, 1});
  rateTotals_[0].view().SetI64(R::kTaxableSalesExcl, Yen(1));
  ASSERT_EQ(Sum(Months(1, 12)), host::kOk);
  EXPECT_EQ(rateTotals_[0].view().I64(R::kTaxableSalesExcl), Yen(501));

  rateTotals_[0].view().SetI64(R::kTaxableSalesTax, std::numeric_limits<int64_t>::max() - Yen(1));
  StTAXREPORTRATEINFO rateBefore[5];
  StTAXREPORTBUSINESSTYPEINFO businessBefore[30];
  std::copy(rateTotals_, rateTotals_ + 5, rateBefore);
  std::copy(businessTotals_, businessTotals_ + 30, businessBefore);
  EXPECT_NE(Sum(Months(1, 12)), host::kOk);
  EXPECT_EQ(std::memcmp(rateBefore, rateTotals_, sizeof rateBefore), 0);
  EXPECT_EQ(std::memcmp(businessBefore, businessTotals_, sizeof businessBefore), 0);
}

TEST_F(SumTaxTest, RefusesBadArgumentsAndUnknownData) {
  auto rule = book_.Bound<ClRuleShohizeiShinkoku>();
  const auto period = Months(1, 12);
  EXPECT_EQ(rule->SumTax(3, period.data(), rateTotals_, businessTotals_), host::kBadArgument);
  EXPECT_EQ(rule->SumTax(2, period.data(), nullptr, businessTotals_), host::kBadArgument);
  StFINDINFO broken = StFINDINFO::Compare(77, 0, StFINDINFO::kCompareEqual, StFINDINFO::kValueMonth, 1, 0);
  EXPECT_EQ(rule->SumTax(2, &broken, rateTotals_, businessTotals_), host::kBadArgument);
  ClRuleShohizeiShinkoku other;
  other.AttachSetMgr(ClDataMgr::Inst()->GetSetMgr());
  other.SetCurDataID("NOSUCH");
  other.AttachOptLink(ClLinkMgr::Inst()->GetOptLink());
  EXPECT_EQ(other.SumTax(2, period.data(), rateTotals_, businessTotals_), host::kNotFound);
}

}  // namespace
}  // namespace ledger_rules_test
