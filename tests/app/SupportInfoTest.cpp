// Reading "SUPPORT.INF": the two tags, line ends, the 0x1A end, several-line
// texts, and what the loaded block looks like.
#include <gtest/gtest.h>

#include <string>

#include "report/AdvisorName.h"
#include "report/OldRateAmounts.h"
#include "report/SupportInfoFile.h"

namespace {

using report::SupportInfoFile;

std::string Loaded(const std::string& data, std::string* name = nullptr, std::string* version = nullptr) {
  SupportInfoFile file;
  EXPECT_EQ(file.LoadBytes(data), 1);
  if (name) *name = file.ProductName();
  if (version) *version = file.ProductVersion();
  return std::string(file.Block());
}

TEST(SupportInfo, BothTagsAreRead) {
  std::string name, version;
  Loaded("[=作成日=]2024/01/01\r\n[=製品名=]Kestrel２０ Plus 会計\r\n[=製品ﾊﾞｰｼﾞｮﾝ=]20.01.05\r\n\x1A", &name, &version);
  EXPECT_EQ(name, "Kestrel２０ Plus 会計");
  EXPECT_EQ(version, "20.01.05");
}

TEST(SupportInfo, MissingTagsAndEmptyValuesGiveEmptyTexts) {
  std::string name = "x", version = "x";
  Loaded("[=製品名=]\r\n[=その他=]1\r\n", &name, &version);
  EXPECT_EQ(name, "");
  EXPECT_EQ(version, "");
}

TEST(SupportInfo, LastLineWithoutLineEndRunsToTheEndOfTheData) {
  std::string version;
  Loaded("[=製品ﾊﾞｰｼﾞｮﾝ=]20.00.09", nullptr, &version);
  EXPECT_EQ(version, "20.00.09");
}

TEST(SupportInfo, FirstOccurrenceWins) {
  std::string name;
  Loaded("[=製品名=]A\r\n[=製品名=]B\r\n", &name);
  EXPECT_EQ(name, "A");
}

TEST(SupportInfo, BlockIsFilledAndLineEndsBecomeNul) {
  const std::string block = Loaded("ab\r\ncd\x1A");
  ASSERT_EQ(block.size(), SupportInfoFile::kBlockSize);
  EXPECT_EQ(block.substr(0, 7), std::string("ab\0\0cd\0", 7));
  EXPECT_EQ(static_cast<unsigned char>(block[7]), 0xFF);
  EXPECT_EQ(static_cast<unsigned char>(block.back()), 0xFF);
  // A lone CR or LF is left alone.
  EXPECT_EQ(Loaded("a\rb\nc").substr(0, 5), "a\rb\nc");
}

TEST(SupportInfo, SeveralLineTextsKeepTheirLineBreaks) {
  const std::string inquiry = "[=お問い合わせ内容=]";
  const std::string data = inquiry + "一行目\r\n二行目\r\n[=製品名=]名前\r\n";
  std::string name;
  const std::string block = Loaded(data, &name);
  EXPECT_EQ(name, "名前");
  const std::string text = block.substr(inquiry.size());
  // The break inside the text is CR LF again; the one before the next tag is NUL.
  EXPECT_EQ(text.substr(0, text.find('\0')), "一行目\r\n二行目");
  EXPECT_EQ(text.substr(text.find('\0'), 2), std::string("\0\0", 2));

  // At the end of the data the walk stops at the first 0xFF, which ends the text.
  const std::string steps = "[=症状が再現する手順や条件=]";
  const std::string last = Loaded(steps + "手順1\r\n手順2\r\n");
  const std::string rest = last.substr(steps.size());
  EXPECT_EQ(rest.substr(0, rest.find('\0')), "手順1\r\n手順2\r\n");
}

TEST(SupportInfo, TagBytesInsideADoubleByteCharacterDoNotCount) {
  // 0x83 0x5B is "ー"; its second byte is "[" and must not start a tag.
  std::string name = "x";
  Loaded("\x83[=製品名=]B\r\n", &name);
  EXPECT_EQ(name, "");
}

TEST(SupportInfo, FullBlockWithoutFillEndsSafely) {
  const std::string inquiry = "[=お問い合わせ内容=]";
  std::string data = inquiry;
  while (data.size() < SupportInfoFile::kBlockSize + 100) data += "行\r\n";
  std::string name;
  const std::string block = Loaded(data, &name);
  EXPECT_EQ(block.size(), SupportInfoFile::kBlockSize);
  EXPECT_EQ(name, "");
}

TEST(SupportInfo, MissingFileIsLoadedEmpty) {
  SupportInfoFile file("no-such-folder-for-support-info/");
  EXPECT_EQ(file.Load(), 1);
  EXPECT_EQ(file.ProductName(), "");
  EXPECT_EQ(file.ProductVersion(), "");
  EXPECT_EQ(file.Load(), 1);
}

TEST(AdvisorName, CutToThirtyTwoBytesOnWholeCharacters) {
  const std::string sixteen = "ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰ";
  EXPECT_EQ(report::CutAdvisorName(sixteen + "ＱＲＳＴ"), sixteen);
  EXPECT_EQ(report::CutAdvisorName("ＡＢＣ"), "ＡＢＣ");
  // A single-byte character earlier shifts the boundary: the half character goes.
  const std::string odd = "A" + sixteen;
  EXPECT_EQ(report::CutAdvisorName(odd), odd.substr(0, 31));
}

// Rate record i at 497 bytes each, business record j at 64 bytes each.
struct OldRates : ::testing::Test {
  std::string rates = std::string(5 * report::kRateRecordSize, '\0');
  std::string business = std::string(30 * report::kBusinessRecordSize, '\0');
  report::OldRateInputs Inputs(int16_t n) {
    report::OldRateInputs in;
    in.rateCount = n;
    in.rateTotals = reinterpret_cast<const uint8_t*>(rates.data());
    in.rateRecords = 5;
    in.businessTotals = reinterpret_cast<const uint8_t*>(business.data());
    in.businessRecords = 30;
    return in;
  }
  void SetRate(size_t record, size_t offset) { rates[record * report::kRateRecordSize + offset] = 1; }
  void SetBusiness(size_t record, size_t offset) { business[record * report::kBusinessRecordSize + offset] = 1; }
};

TEST_F(OldRates, NothingAtOldRates) {
  SetRate(0, 9);       // 8 % amounts do not count
  SetBusiness(5, 8);   // nor do the 8 % business types
  SetRate(1, 449);     // nor the untested tail of a rate record
  SetBusiness(6, 56);  // nor the untested tail of a business record
  EXPECT_EQ(report::HasOldRateAmounts(Inputs(5)), 0);
}

TEST_F(OldRates, AnyOldRateAmountCounts) {
  SetRate(1, 9);
  EXPECT_EQ(report::HasOldRateAmounts(Inputs(5)), 1);
  rates.assign(rates.size(), '\0');
  SetRate(2, 441 + 7);  // highest byte of the last tested amount
  EXPECT_EQ(report::HasOldRateAmounts(Inputs(5)), 1);
  rates.assign(rates.size(), '\0');
  SetBusiness(17, 48);
  EXPECT_EQ(report::HasOldRateAmounts(Inputs(5)), 1);
  business.assign(business.size(), '\0');
  SetBusiness(6, 8);
  EXPECT_EQ(report::HasOldRateAmounts(Inputs(5)), 1);
}

TEST_F(OldRates, ThreePercentTaxSumCounts) {
  auto in = Inputs(5);
  in.oldRateTaxSum3 = -1;
  EXPECT_EQ(report::HasOldRateAmounts(in), 1);
}

TEST_F(OldRates, TwoOrThreeRatesLookOnlyAtTheTaxSum) {
  SetRate(1, 9);
  SetBusiness(6, 8);
  EXPECT_EQ(report::HasOldRateAmounts(Inputs(2)), 0);
  EXPECT_EQ(report::HasOldRateAmounts(Inputs(3)), 0);
  auto in = Inputs(3);
  in.oldRateTaxSum3 = 10000;
  EXPECT_EQ(report::HasOldRateAmounts(in), 1);
}

TEST_F(OldRates, NeverReadsBeyondTheBlocks) {
  // Seven reported rates but only five records: records 5 and beyond are not read.
  auto in = Inputs(7);
  in.businessRecords = 18;
  EXPECT_EQ(report::HasOldRateAmounts(in), 0);
  SetRate(4, 9);
  EXPECT_EQ(report::HasOldRateAmounts(in), 1);
}

}  // namespace
