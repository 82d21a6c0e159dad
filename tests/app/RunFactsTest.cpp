// Facts the run derives from host data: the target product's answer, the
// dialog's information lines, whether the saved return may be linked.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "app/ConditionText.h"
#include "app/SavedReturnCheck.h"
#include "app/TargetProduct.h"
#include "host/ByteRecord.h"

namespace {

TEST(TargetProduct, LevelDecidesTheOutcome) {
  EXPECT_EQ(app::TargetProductCode(std::nullopt), -1);
  EXPECT_EQ(app::TargetProductCode(std::string()), -1);
  EXPECT_EQ(app::TargetProductCode(std::string("2")), 0);
  EXPECT_EQ(app::TargetProductCode(std::string(" 2")), 0);
  EXPECT_EQ(app::TargetProductCode(std::string("1")), 1);  // also the default of a missing key
  EXPECT_EQ(app::TargetProductCode(std::string("0")), 1);
  EXPECT_EQ(app::TargetProductCode(std::string("abc")), 1);
  EXPECT_EQ(app::TargetProductCode(std::string("-5")), 1);
  EXPECT_EQ(app::TargetProductCode(std::string("3")), 2);
  EXPECT_EQ(app::TargetProductCode(std::string("12")), 2);
  // The level's field holds 15 characters: a longer value is cut there.
  EXPECT_EQ(app::TargetProductCode(std::string("000000000000002")), 0);
  EXPECT_EQ(app::TargetProductCode(std::string("0000000000000002")), 1);
  EXPECT_EQ(app::TargetProductCode(std::string("222222222222222") + "0"), 2);
}

TEST(TargetProduct, EachRefusalHasItsMessage) {
  ASSERT_NE(app::TargetProductMessage(-1), nullptr);
  EXPECT_EQ(std::string(app::TargetProductMessage(-1)).rfind("動作環境が不正です。\nES_APRPACKAGENAME", 0), 0u);
  const std::string older = app::TargetProductMessage(1);
  const std::string newer = app::TargetProductMessage(2);
  EXPECT_NE(older.find("\nES_APRPACKAGENAMEの最新版"), std::string::npos);
  EXPECT_NE(newer.find("\n連動コンポーネントの最新版"), std::string::npos);
  EXPECT_EQ(app::TargetProductMessage(0), nullptr);
}

TEST(TargetProduct, DefinitionPathIsDoubleByteAware) {
  EXPECT_EQ(app::TargetDefinitionPath(""), "HalvernDef.ini");
  EXPECT_EQ(app::TargetDefinitionPath("C:\\prog"), "C:\\prog\\HalvernDef.ini");
  EXPECT_EQ(app::TargetDefinitionPath("C:\\prog\\"), "C:\\prog\\HalvernDef.ini");
  // "機能" ends in 0x5C, which is not a "\": one is appended.
  EXPECT_EQ(app::TargetDefinitionPath("C:\\機能"), std::string("C:\\機能") + "\\HalvernDef.ini");
}

const char* Display(int index) {
  static const char* const kTexts[] = {"免税", "簡易課税", "原則課税", "主となる事業分類", "課税仕入控除",
                                       "個別対応方式", "一括比例配分方式", "指定なし", "第一種事業 卸売業",
                                       "第二種事業 小売業", "第三種事業 製造業", "第四種事業 その他",
                                       "第五種事業 サービス業", "第六種事業 不動産業"};
  return kTexts[index];
}

std::string Line(int kind, app::TaxSettingsFacts tax) {
  return app::ConditionText(kind, "ｶﾌﾞｼｷｶﾞｲｼｬ見本", 20230401, 20240331, tax, &Display);
}

TEST(ConditionText, CompanyAndPeriod) {
  EXPECT_EQ(Line(0, {}), " ｶﾌﾞｼｷｶﾞｲｼｬ見本");
  EXPECT_EQ(Line(1, {}), " 2023/04/01～2024/03/31");
  EXPECT_EQ(app::ConditionText(1, "", 20230105, 20231231, {}, &Display), " 2023/01/05～2023/12/31");
  // A name beyond the old 50-byte display text is shown whole.
  const std::string longName(80, 'A');
  EXPECT_EQ(app::ConditionText(0, longName, 0, 0, {}, &Display), " " + longName);
}

TEST(ConditionText, FilingCategoryAndDeduction) {
  EXPECT_EQ(Line(2, {0, 0, 0}), " 免税");
  EXPECT_EQ(Line(3, {0, 0, 0}), "");
  EXPECT_EQ(Line(4, {0, 0, 0}), "");

  EXPECT_EQ(Line(2, {1, 0, 0}), " 簡易課税");
  EXPECT_EQ(Line(3, {1, 0, 0}), "主となる事業分類");
  EXPECT_EQ(Line(4, {1, 1, 0}), " 指定なし");
  EXPECT_EQ(Line(4, {1, 0, 6}), " 第六種事業 不動産業");

  EXPECT_EQ(Line(2, {2, 0, 3}), " 原則課税");
  EXPECT_EQ(Line(3, {2, 0, 3}), "課税仕入控除");
  EXPECT_EQ(Line(4, {2, 0, 3}), " 個別対応方式");
  EXPECT_EQ(Line(4, {2, 1, 3}), " 一括比例配分方式");
}

TEST(ConditionText, ValuesOutsideTheTableGiveNoText) {
  EXPECT_EQ(Line(2, {200, 0, 0}), " ");
  EXPECT_EQ(Line(4, {1, 0, 9}), " ");
  EXPECT_EQ(Line(4, {2, 250, 0}), " ");
  EXPECT_EQ(Line(3, {7, 0, 0}), "");
}

struct SavedReturnFixture : ::testing::Test {
  host::StSaveTaxInfo record;
  app::CurrentDataFacts data{20230401, 20240331, 0, 2, 1};
  void SetUp() override {
    auto v = record.view();
    v.SetI32(host::StSaveTaxInfo::kPeriodStart, 20230401);
    v.SetI32(host::StSaveTaxInfo::kPeriodEnd, 20240331);
    v.SetU8(host::StSaveTaxInfo::kClosingCode, 1);
    v.SetU8(host::StSaveTaxInfo::kTaxationKind, 1);
    v.SetU8(host::StSaveTaxInfo::kDeductionCode, 2);
  }
};

TEST_F(SavedReturnFixture, MatchesOnlyWhenEveryFactAgrees) {
  EXPECT_EQ(app::SavedReturnMatches(record.view(), data), 1);

  auto other = data;
  other.periodEnd = 20240330;
  EXPECT_EQ(app::SavedReturnMatches(record.view(), other), 0);
  other = data;
  other.closingPattern = 1;
  EXPECT_EQ(app::SavedReturnMatches(record.view(), other), 0);
  other = data;
  other.deductionMethod = 0;
  EXPECT_EQ(app::SavedReturnMatches(record.view(), other), 0);
  other = data;
  other.taxMethod = 1;  // simplified wants taxation kind 2
  EXPECT_EQ(app::SavedReturnMatches(record.view(), other), 0);
  record.view().SetU8(host::StSaveTaxInfo::kTaxationKind, 2);
  EXPECT_EQ(app::SavedReturnMatches(record.view(), other), 1);
}

TEST_F(SavedReturnFixture, UnsetPeriodNeverMatches) {
  app::CurrentDataFacts zero = data;
  zero.periodStart = 0;
  record.view().SetI32(host::StSaveTaxInfo::kPeriodStart, 0);
  EXPECT_EQ(app::SavedReturnMatches(record.view(), zero), 0);
}

}  // namespace
