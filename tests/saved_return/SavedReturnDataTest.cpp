// The DATA section from the saved return: where each leaf takes its amount,
// the leaves that are always empty, the securities twentyfold, which records
// carry values under each taxation method, the refund statements and their
// basis codes, and stopping at the first failed write.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "aggregate/TaxAggregate.h"
#include "host/Records.h"
#include "host/SaveTaxInfo.h"
#include "report/DataSection.h"
#include "report/ElementNameTable.h"
#include "report/SavedReturnData.h"
#include "tests/report_data/DataDocument.h"

using aggregate::TaxAggregate;

namespace {

using namespace report_data_test;
using report::ElementNameTable;
using report::SavedReturnFacts;
using report::XmlWriter;

constexpr uint8_t kGeneral = StSHOHIZEIINFO::kGeneral;
constexpr uint8_t kSimplified = StSHOHIZEIINFO::kSimplified;
constexpr uint8_t kExempt = StSHOHIZEIINFO::kExempt;

const char kRateDigit[] = {'8', '5', '3'};
const char* const kGeneralCodes[] = {"D020110", "D020111", "D020112", "D020120", "D020121", "D020122",
                                     "D020130", "D020131", "D020132", "D02200",  "D02201",  "D02202"};
const char* const kSimplifiedCodes[] = {"D020210", "D020211", "D020212", "D020220", "D020221",
                                        "D020222", "D020230", "D020231", "D020232"};

class SavedReturnDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    facts_.savedReturn = saved_.view();
    facts_.taxMethod = kGeneral;
    facts_.companyKind = 0;
    facts_.roundingKind = 1;
  }

  Written Write(test_support::FileFaultPlan faults = test_support::FileFaultPlan()) {
    return WriteDocument([&](XmlWriter& w) { return report::WriteSavedReturnData(w, facts_); }, faults);
  }
  std::vector<Record> Records() {
    const Written out = Write();
    EXPECT_EQ(out.result, 1);
    return ParseRecords(out.bytes);
  }
  void Set(size_t offset, int64_t amount) { saved_.view().SetI64(offset, amount); }
  void SetStatement(size_t k, int64_t amount) { Set(9868 + 8 * k, amount); }

  StSaveTaxInfo saved_;
  SavedReturnFacts facts_;
};

// The text of `leaf` in record `code`.
std::string TextOf(const std::vector<Record>& records, const std::string& code, const std::string& leaf) {
  return Find(records, code).Text(leaf);
}

bool AllLeavesEmpty(const Record& record) {
  for (const auto& [name, text] : record.leaves)
    if (!text.empty()) return false;
  return true;
}

// ---------------------------------------------------------------------------
// Structure

TEST_F(SavedReturnDataTest, AnEmptySavedReturnWritesTheSameBytesAsAnEmptyAggregation) {
  // Both methods share one skeleton; with nothing to report, the documents of
  // the two writers are the same byte for byte.
  TaxAggregate aggregate;
  aggregate.AllocateRateTables(3);
  struct Case {
    uint8_t method, kind;
  };
  for (const Case c : {Case{kGeneral, 0}, Case{kGeneral, 1}, Case{kSimplified, 0}, Case{kSimplified, 3},
                       Case{kExempt, 4}}) {
    facts_.taxMethod = c.method;
    facts_.companyKind = c.kind;
    report::DataSectionFacts journal;
    journal.aggregate = &aggregate;
    journal.taxMethod = c.method;
    journal.companyKind = c.kind;
    const Written mine = Write();
    const Written theirs = WriteDocument([&](XmlWriter& w) { return report::WriteDataSection(w, journal); });
    ASSERT_EQ(mine.result, 1);
    ASSERT_EQ(theirs.result, 1);
    EXPECT_EQ(mine.bytes, theirs.bytes) << "method " << int(c.method) << " kind " << int(c.kind);
  }
}

TEST_F(SavedReturnDataTest, WithoutASavedReturnBlockNothingIsWritten) {
  facts_.savedReturn = host::RecordView(nullptr, 0);
  Written out = Write();
  EXPECT_EQ(out.result, 0);
  EXPECT_EQ(out.bytes, "");
  uint8_t shortBlock[100] = {};
  facts_.savedReturn = host::RecordView(shortBlock, sizeof shortBlock);
  out = Write();
  EXPECT_EQ(out.result, 0);
  EXPECT_EQ(out.bytes, "");
}

// ---------------------------------------------------------------------------
// Where the amounts come from

// Byte offsets of the saved return, one or more per block and rate, as the
// accounting product lays the block out.
const std::map<std::string, size_t> kKnownOffsets = {
    {"KAZEIURIAGEZEINUKI8", 12515},          {"HIKAZEISHISANYUSHUTSUZEINUKI5", 661},
    {"MENZEIURIAGEHENKANZEINUKI3", 741},     {"MENZEIURIAGEZEINUKI8", 12539},
    {"SHIIREKYOTUUZEIKOMI8", 12771},         {"SHIIREHIKAZEIZEIGAKU5", 797},
    {"SHIIREKAZEIZEINUKI3", 1061},           {"SHIIREHENKANKAZEIZEIGAKU8", 12867},
    {"SHIIREHENKANHIKAZEIZEIKOMI5", 957},    {"SHIIREHENKANKYOTUUZEINUKI3", 1261},
    {"KASHIDAOREZEINUKI8", 13299},           {"KASHIDAOREKAISHUZEIKOMI5", 1397},
    {"KASHIDAOREZEINUKI3", 1405},            {"KAZEIGYOMUYOTENYO8", 12483},
    {"GIMUMENJOKAZEI5", 485},                {"KAZEIURIAGEWARIAIHENDO3", 517},
    {"GIMUMENJOHIKAZEI8", 13955},            {"GIMUMENJOKYOTUU5", 2076},
    {"GIMUMENJOHIKAZEI3", 2084},             {"KAZEIURIAGE5SHUZEIKOMI8", 13507},
    {"KAZEIURIAGE2SHUZEINUKI5", 1477},       {"KAZEIURIAGE1SHUZEINUKI3", 1573},
    {"KAZEIHENKAN1SHUZEINUKI8", 13635},      {"KAZEIHENKAN3SHUZEIGAKU5", 1749},
    {"KAZEIHENKAN5SHUZEIKOMI3", 1925},       {"KAZEIURIAGE6SHUZEINUKI8", 14067},
    {"KAZEIURIAGE6SHUZEIGAKU5", 14051},      {"KAZEIURIAGE6SHUZEIKOMI3", 14035},
    {"KAZEIHENKAN6SHUZEINUKI8", 14163},      {"KAZEIHENKAN6SHUZEIGAKU5", 14147},
    {"KAZEIHENKAN6SHUZEIKOMI3", 14131},      {"YUNYUSHIIRETIHO8", 13987},
    {"YUNYUHENKANTIHO5", 2112},              {"TOKUTEISHIIREKAZEIZEINUKI8", 14243},
    {"TOKUTEISHIIREHENKANKYOTUUZEINUKI8", 14283},
    {"YUNYUSHIIREHIKAZEIZEIGAKU8", 12811},   {"YUNYUSHIIREKYOTUUZEIGAKU5", 893},
    {"YUNYUSHIIREKAZEIZEIGAKU3", 1141},      {"YUNYUHENKANKAZEIZEIGAKU8", 12939},
    {"YUNYUHENKANHIKAZEIZEIGAKU5", 1021},    {"YUNYUHENKANKYOTUUZEIGAKU3", 1341},
};

bool IsSecurities(const std::string& leaf) { return leaf.starts_with("HIKAZEIURIAGEYUUKAZEINUKI"); }
bool AlwaysEmpty(const std::string& leaf) {
  return leaf.starts_with("HIKAZEISHISANHENKANZEINUKI") || leaf.find("ZERO") != std::string::npos;
}

TEST_F(SavedReturnDataTest, EveryLeafReadsItsOwnSavedAmountAtItsRecordsRate) {
  // Each saved amount holds its own byte offset in yen, so a leaf's text says
  // where it was read from.
  std::set<int64_t> filled;
  for (const host::SavedAmountBlock& block : host::kSavedAmountBlocks) {
    for (size_t rate = 0; rate < 3; ++rate) {
      if (block.first[rate] == 0) continue;
      for (size_t i = 0; i < block.count; ++i) {
        const size_t offset = block.first[rate] + i * block.stride;
        Set(offset, Yen(static_cast<int64_t>(offset)));
        filled.insert(static_cast<int64_t>(offset));
      }
    }
  }

  std::map<std::string, std::string> general, simplified;  // leaf -> text
  std::set<int64_t> read;
  for (uint8_t method : {kGeneral, kSimplified}) {
    facts_.taxMethod = method;
    const std::vector<Record> records = Records();
    const auto& codes = method == kGeneral ? std::vector<std::string>(std::begin(kGeneralCodes), std::end(kGeneralCodes))
                                           : std::vector<std::string>(std::begin(kSimplifiedCodes), std::end(kSimplifiedCodes));
    std::set<std::string> leavesSeen;
    for (const std::string& code : codes) {
      const Record& record = Find(records, code);
      const char digit = kRateDigit[code.back() - '0'];
      for (const auto& [leaf, text] : record.leaves) {
        ASSERT_EQ(leaf.back(), digit) << code << " " << leaf;
        if (AlwaysEmpty(leaf)) {
          EXPECT_EQ(text, "") << code << " " << leaf;
          continue;
        }
        ASSERT_FALSE(text.empty()) << code << " " << leaf << " read no saved amount";
        int64_t offset = std::stoll(text);
        if (IsSecurities(leaf)) {
          EXPECT_EQ(offset % 20, 0) << leaf;
          offset /= 20;
        }
        EXPECT_TRUE(filled.count(offset)) << code << " " << leaf << " read " << offset;
        read.insert(offset);
        (method == kGeneral ? general : simplified)[leaf] = text;
        // Within one method no leaf appears twice.
        EXPECT_TRUE(leavesSeen.insert(leaf).second) << leaf;
      }
    }
  }
  // Every saved amount reaches the document, and no two leaves share one
  // except the amounts the simplified records take again.
  EXPECT_EQ(read, filled);
  EXPECT_EQ(general.size() + simplified.size(), filled.size() + 3 * 2 + 3 * 6);
  for (const auto& [leaf, text] : simplified) {
    const bool again = leaf.starts_with("MENZEIURIAGE") || leaf.starts_with("KASHIDAORE");
    if (again) {
      EXPECT_EQ(general.at(leaf), text) << leaf;
    } else {
      EXPECT_FALSE(general.count(leaf)) << leaf;
    }
  }
  // The offsets themselves, as the accounting product lays out the block.
  for (const auto& [leaf, offset] : kKnownOffsets) {
    const auto& texts = general.count(leaf) ? general : simplified;
    ASSERT_TRUE(texts.count(leaf)) << leaf;
    EXPECT_EQ(texts.at(leaf), std::to_string(offset)) << leaf;
  }
  // The leaves that exist only at some rates.
  EXPECT_EQ(general.count("TOKUTEISHIIREKAZEIZEINUKI5"), 0u);
  EXPECT_EQ(general.count("YUNYUSHIIRETIHO3"), 0u);
  EXPECT_EQ(general.count("YUNYUHENKANTIHO5"), 1u);
}

TEST_F(SavedReturnDataTest, WhateverTheBlockHoldsOnlyTheMethodsRecordsCarryValuesAndSomeLeavesNever) {
  saved_.view().Fill(0x11);
  for (size_t offset : {12547u, 605u, 701u}) Set(offset, Yen(1000));  // the securities slots
  for (uint8_t method : {kGeneral, kSimplified, kExempt, uint8_t{7}}) {
    facts_.taxMethod = method;
    const std::vector<Record> records = Records();
    int alwaysEmpty = 0;
    for (const Record& record : records) {
      if (record.code.starts_with("KANPU")) continue;
      const bool general = record.code.starts_with("D0201") || record.code.starts_with("D022");
      for (const auto& [leaf, text] : record.leaves) {
        if (general != (method == kGeneral)) {
          EXPECT_EQ(text, "") << record.code << " " << leaf << " method " << int(method);
        } else if (AlwaysEmpty(leaf)) {
          EXPECT_EQ(text, "") << record.code << " " << leaf;
          ++alwaysEmpty;
        } else {
          EXPECT_NE(text, "") << record.code << " " << leaf;
        }
      }
    }
    // Three HIKAZEISHISANHENKANZEINUKI leaves; eighteen ZERO leaves.
    EXPECT_EQ(alwaysEmpty, method == kGeneral ? 3 : 18);
  }
}

// ---------------------------------------------------------------------------
// Amount texts

TEST_F(SavedReturnDataTest, ZeroAndSubYenAmountsAreWrittenEmptyNeverZero) {
  struct Case {
    int64_t amount;
    int rounding;
    std::string text;
  };
  const Case cases[] = {
      {0, 0, ""},         {9999, 1, ""},       {4444, 0, ""},          {4445, 0, "1"},
      {1, 2, "1"},        {-1, 1, ""},         {-1, 2, "-1"},          {Yen(-1234) - 5000, 0, "-1235"},
      {Yen(1112000), 1, "1112000"},
  };
  for (const Case& c : cases) {
    Set(12515, c.amount);  // KAZEIURIAGEZEINUKI8
    facts_.roundingKind = c.rounding;
    const Written out = Write();
    ASSERT_EQ(out.result, 1);
    const std::string line = "\t\t\t<KAZEIURIAGEZEINUKI8>" + c.text + "</KAZEIURIAGEZEINUKI8>\r\n";
    EXPECT_NE(out.bytes.find(line), std::string::npos) << c.amount << " kind " << c.rounding;
  }
}

TEST_F(SavedReturnDataTest, SecuritiesAreTwentyTimesTheSavedAmountBeforeRounding) {
  const size_t slots[] = {12547, 605, 701};  // HIKAZEIURIAGEYUUKAZEINUKI at 8, 5 and 3 %
  struct Case {
    int64_t saved;
    int rounding;
    std::string text;
  };
  const Case cases[] = {
      {Yen(1000), 1, "20000"},
      {-33333, 0, "-67"},  // -3.3333 yen: -66.666 yen
      {-33333, 1, "-66"},
      {4, 2, "1"},         // 0.0004 yen: 0.008 yen
      {4, 1, ""},
      {4999, 1, "9"},      // 0.4999 yen: 9.998 yen
  };
  for (const Case& c : cases) {
    for (size_t slot : slots) Set(slot, c.saved);
    facts_.roundingKind = c.rounding;
    const std::vector<Record> records = Records();
    for (int rate = 0; rate < 3; ++rate) {
      const std::string code = std::string("D02011") + char('0' + rate);
      EXPECT_EQ(TextOf(records, code, std::string("HIKAZEIURIAGEYUUKAZEINUKI") + kRateDigit[rate]), c.text)
          << c.saved << " kind " << c.rounding << " at " << kRateDigit[rate];
    }
  }
}

TEST_F(SavedReturnDataTest, AnUnformableSecuritiesAmountFailsBeforeAnythingIsWritten) {
  Set(605, std::numeric_limits<int64_t>::max() / 10);  // at 5 %
  Written out = Write();
  EXPECT_EQ(out.result, 0);
  EXPECT_EQ(out.bytes, "");
  // Where the record is written empty, the amount is never formed.
  facts_.taxMethod = kSimplified;
  out = Write();
  EXPECT_EQ(out.result, 1);
  EXPECT_EQ(TextOf(ParseRecords(out.bytes), "D020111", "HIKAZEIURIAGEYUUKAZEINUKI5"), "");
}

// ---------------------------------------------------------------------------
// Which records carry values

TEST_F(SavedReturnDataTest, ExemptSalesAndBadDebtsAreWrittenInTheRecordOfTheMethod) {
  Set(12539, Yen(600000));  // MENZEIURIAGEZEINUKI8
  Set(645, Yen(250));       // MENZEIURIAGEHENKANZEINUKI5
  Set(1405, Yen(77));       // KASHIDAOREZEINUKI3
  struct Where {
    const char* general;
    const char* simplified;
    const char* leaf;
    const char* text;
  };
  const Where wheres[] = {{"D020110", "D020210", "MENZEIURIAGEZEINUKI8", "600000"},
                          {"D020111", "D020221", "MENZEIURIAGEHENKANZEINUKI5", "250"},
                          {"D020132", "D020232", "KASHIDAOREZEINUKI3", "77"}};
  for (uint8_t method : {kGeneral, kSimplified}) {
    facts_.taxMethod = method;
    const std::vector<Record> records = Records();
    for (const Where& w : wheres) {
      EXPECT_EQ(TextOf(records, w.general, w.leaf), method == kGeneral ? w.text : "") << w.leaf;
      EXPECT_EQ(TextOf(records, w.simplified, w.leaf), method == kGeneral ? "" : w.text) << w.leaf;
    }
  }
}

// ---------------------------------------------------------------------------
// Refund statements

class SavedRefundTest : public SavedReturnDataTest {
 protected:
  void SetUp() override {
    SavedReturnDataTest::SetUp();
    for (size_t k = 0; k < 16; ++k) SetStatement(k, Yen(static_cast<int64_t>(k) + 1));
    saved_.view().SetU8(9865, 2);
    saved_.view().SetU8(9866, 2);
    saved_.view().SetU8(9867, 2);
  }
  std::vector<Record> Refunds() {
    std::vector<Record> records = Records();
    EXPECT_EQ(records.size(), 23u);
    return records;
  }
};

TEST_F(SavedRefundTest, TheStatementsThatApplyByCompanyKindAndTaxation) {
  const std::vector<std::string> corporateFilled = {"2", "1", "2", "3", "4", "5", "6", "7", "8",
                                                    "2", "9", "10", "11", "12", "13", "14"};
  std::vector<std::string> individualFilled = {"2"};
  for (int k = 1; k <= 16; ++k) individualFilled.push_back(std::to_string(k));
  struct Case {
    uint8_t kind, method;
    bool corporate, individual;
  };
  const Case cases[] = {
      {0, kGeneral, true, false},   {1, kGeneral, true, false},    {3, kGeneral, false, true},
      {4, kGeneral, false, true},   {2, kGeneral, true, true},     {9, kGeneral, true, true},
      {0, kSimplified, false, false}, {3, kSimplified, false, false}, {2, kExempt, false, false},
  };
  for (const Case& c : cases) {
    facts_.companyKind = c.kind;
    facts_.taxMethod = c.method;
    const std::vector<Record> records = Refunds();
    const Record& h = Find(records, "KANPUH");
    const Record& k = Find(records, "KANPUK");
    ASSERT_EQ(h.leaves.size(), 16u);
    ASSERT_EQ(k.leaves.size(), 17u);
    for (size_t i = 0; i < 16; ++i)
      EXPECT_EQ(h.leaves[i].second, c.corporate ? corporateFilled[i] : "")
          << "kind " << int(c.kind) << " method " << int(c.method) << " " << h.leaves[i].first;
    for (size_t i = 0; i < 17; ++i)
      EXPECT_EQ(k.leaves[i].second, c.individual ? individualFilled[i] : "")
          << "kind " << int(c.kind) << " method " << int(c.method) << " " << k.leaves[i].first;
  }
}

TEST_F(SavedRefundTest, BasisCodesFollowTheStoredAmountsAndTheirOwnBytes) {
  for (size_t k = 0; k < 16; ++k) SetStatement(k, 0);
  facts_.roundingKind = 1;  // cut off

  // Nothing stored: no code, whatever the bytes say.
  facts_.companyKind = 2;  // both statements
  std::vector<Record> records = Refunds();
  EXPECT_EQ(TextOf(records, "KANPUH", "SHISANZEIKUBUN"), "");
  EXPECT_TRUE(AllLeavesEmpty(Find(records, "KANPUH")));
  EXPECT_TRUE(AllLeavesEmpty(Find(records, "KANPUK")));

  // Half a yen in the asset rows: its leaf is empty, the code is written.
  SetStatement(8, 5000);
  saved_.view().SetU8(9867, 7);
  records = Refunds();
  EXPECT_EQ(TextOf(records, "KANPUH", "KESSANZEIKUBUN"), "");
  EXPECT_EQ(TextOf(records, "KANPUH", "SHISANZEIKUBUN"), "1");
  EXPECT_EQ(TextOf(records, "KANPUH", "KOTEISHISAN1"), "");
  EXPECT_EQ(Find(records, "KANPUK").leaves[0].second, "2");  // amount 8 is one of its sixteen

  // Each code reads its own byte: 2 gives "2", anything else "1".
  SetStatement(8, 0);
  SetStatement(3, -1);
  for (uint8_t byte : {0, 1, 2, 3, 255}) {
    saved_.view().SetU8(9866, byte);
    saved_.view().SetU8(9865, byte == 2 ? 1 : 2);
    records = Refunds();
    EXPECT_EQ(TextOf(records, "KANPUH", "KESSANZEIKUBUN"), byte == 2 ? "2" : "1") << int(byte);
    EXPECT_EQ(TextOf(records, "KANPUH", "SHISANZEIKUBUN"), "");
    EXPECT_EQ(Find(records, "KANPUK").leaves[0].second, byte == 2 ? "1" : "2") << int(byte);
  }

  // Amounts 14 and 15 belong to the individual statement only.
  SetStatement(3, 0);
  SetStatement(15, Yen(5));
  saved_.view().SetU8(9865, 0);
  records = Refunds();
  EXPECT_TRUE(AllLeavesEmpty(Find(records, "KANPUH")));
  EXPECT_EQ(Find(records, "KANPUK").leaves[0].second, "1");
  EXPECT_EQ(TextOf(records, "KANPUK", "SONOTAKOTEISHISAN2"), "5");
}

// ---------------------------------------------------------------------------
// Failures

TEST_F(SavedReturnDataTest, StopsAtTheFirstFailedWriteAndWritesNothingAfterIt) {
  facts_.companyKind = 2;  // both statements filled
  Set(12515, Yen(1));
  SetStatement(0, Yen(2));
  const Written whole = Write();
  ASSERT_EQ(whole.result, 1);
  std::vector<size_t> lineEnds;
  for (size_t pos = whole.bytes.find("\r\n"); pos != std::string::npos; pos = whole.bytes.find("\r\n", pos + 2))
    lineEnds.push_back(pos + 2);
  const uint64_t lines = lineEnds.size();
  ASSERT_EQ(lines, 385u);  // DATA, 23 records and their 337 leaves
  for (uint64_t failing : {uint64_t{1}, uint64_t{2}, uint64_t{3}, lines / 2, lines - 40, lines - 10, lines}) {
    const Written out = Write(test_support::FileFaultPlan().FailWrite(failing));
    EXPECT_EQ(out.result, 0) << "write " << failing;
    EXPECT_EQ(out.bytes, whole.bytes.substr(0, failing == 1 ? 0 : lineEnds[failing - 2])) << "write " << failing;
  }
}

}  // namespace
