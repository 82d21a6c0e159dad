// The journal method's DATA section: where every leaf takes its amount, the
// business-type rest, the complete skeleton of an empty result, and stopping
// at the first failed write.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "DataDocument.h"
#include "aggregate/TaxAggregate.h"
#include "report/DataSection.h"
#include "report/ElementNameTable.h"

using aggregate::TaxAggregate;

namespace {

using namespace report_data_test;
using report::DataSectionFacts;
using report::ElementNameTable;
using report::WriteDataSection;
using report::XmlWriter;

const char kRateDigit[] = {'8', '5', '3'};

std::string Name(const std::string& stem, int rate) { return stem + kRateDigit[rate]; }

class DataSectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    aggregate_.AllocateRateTables(3);
    facts_.aggregate = &aggregate_;
    facts_.taxMethod = 2;
    facts_.companyKind = 0;
  }

  Written Write(test_support::FileFaultPlan faults = test_support::FileFaultPlan()) {
    return WriteDocument([&](XmlWriter& w) { return WriteDataSection(w, facts_); }, faults);
  }
  std::vector<Record> Records() {
    const Written out = Write();
    EXPECT_EQ(out.result, 1);
    return ParseRecords(out.bytes);
  }
  void SetRate(int rate, size_t offset, int64_t amount) { aggregate_.RateRecord(rate).SetI64(offset, amount); }
  void SetBusiness(int rate, int type, size_t offset, int64_t amount) {
    aggregate_.BusinessRecord(rate, type).SetI64(offset, amount);
  }

  TaxAggregate aggregate_;
  DataSectionFacts facts_;
};

// ---------------------------------------------------------------------------
// Structure

TEST_F(DataSectionTest, EmptyResultWritesEveryRecordAndLeafEmpty) {
  // A corporation under general taxation, an individual under simplified.
  for (uint8_t kind : {0, 3}) {
    facts_.companyKind = kind;
    facts_.taxMethod = kind == 0 ? 2 : 1;
    const Written out = Write();
    ASSERT_EQ(out.result, 1);
    const std::string head = "\t<DATA>\r\n\t\t<D020110>\r\n\t\t\t<KAZEIURIAGEZEINUKI8></KAZEIURIAGEZEINUKI8>\r\n";
    EXPECT_EQ(out.bytes.substr(0, head.size()), head);
    const std::string tail = "\t\t\t<SONOTAKOTEISHISAN2></SONOTAKOTEISHISAN2>\r\n\t\t</KANPUK>\r\n\t</DATA>\r\n";
    EXPECT_EQ(out.bytes.substr(out.bytes.size() - tail.size()), tail);

    const std::vector<Record> records = ParseRecords(out.bytes);
    const auto& catalogue = ElementNameTable::DataRecords();
    ASSERT_EQ(records.size(), catalogue.size());
    for (size_t r = 0; r < records.size(); ++r) {
      EXPECT_EQ(records[r].code, catalogue[r].code);
      ASSERT_EQ(records[r].leaves.size(), static_cast<size_t>(catalogue[r].count)) << catalogue[r].code;
      for (int i = 0; i < catalogue[r].count; ++i) {
        EXPECT_EQ(records[r].leaves[i].first, ElementNameTable::At(catalogue[r].first + i));
        EXPECT_EQ(records[r].leaves[i].second, "") << records[r].leaves[i].first;
      }
    }
  }
}

TEST_F(DataSectionTest, WithoutTheThreeRateEntriesNothingButTheStartTagIsWritten) {
  facts_.aggregate = nullptr;
  Written out = Write();
  EXPECT_EQ(out.result, 0);
  EXPECT_EQ(out.bytes, "\t<DATA>\r\n");

  TaxAggregate unallocated;
  facts_.aggregate = &unallocated;
  out = Write();
  EXPECT_EQ(out.result, 0);
  EXPECT_EQ(out.bytes, "\t<DATA>\r\n");
}

// ---------------------------------------------------------------------------
// Sources of the rate records

struct Source {
  const char* stem;
  int offset;     // 0: always empty
  int rates = 3;  // held by the first `rates` records (8 %, 5 %, 3 %)
};

const Source kSales[] = {
    {"KAZEIURIAGEZEINUKI", 9},          {"KAZEIURIAGEZEIGAKU", 17},         {"KAZEIURIAGEZEIKOMI", 25},
    {"MENZEIURIAGEZEINUKI", 41},        {"HIKAZEIURIAGEYUUKAZEINUKI", 33},  {"HIKAZEIURIAGEYUUKAIGAIZEINUKI", 49},
    {"HIKAZEISHISANYUSHUTSUZEINUKI", 57}, {"KAZEIURIAGEHENKANZEINUKI", 65}, {"KAZEIURIAGEHENKANZEIGAKU", 73},
    {"KAZEIURIAGEHENKANZEIKOMI", 81},   {"MENZEIURIAGEHENKANZEINUKI", 97},  {"HIKAZEIURIAGEHENKANZEINUKI", 89},
    {"HIKAZEISHISANHENKANZEINUKI", 0},
};

const Source kPurchases[] = {
    {"SHIIREKAZEIZEINUKI", 105},   {"SHIIREKAZEIZEIGAKU", 113},   {"SHIIREKAZEIZEIKOMI", 121},
    {"SHIIREHIKAZEIZEINUKI", 129}, {"SHIIREHIKAZEIZEIGAKU", 137}, {"SHIIREHIKAZEIZEIKOMI", 145},
    {"SHIIREKYOTUUZEINUKI", 153},  {"SHIIREKYOTUUZEIGAKU", 161},  {"SHIIREKYOTUUZEIKOMI", 169},
    {"TOKUTEISHIIREKAZEIZEINUKI", 0, 1}, {"TOKUTEISHIIREHIKAZEIZEINUKI", 0, 1}, {"TOKUTEISHIIREKYOTUUZEINUKI", 0, 1},
    {"YUNYUSHIIREKAZEIZEIGAKU", 185}, {"YUNYUSHIIREHIKAZEIZEIGAKU", 209}, {"YUNYUSHIIREKYOTUUZEIGAKU", 233},
    {"YUNYUSHIIRETIHO", 477, 2},
    {"SHIIREHENKANKAZEIZEINUKI", 257},   {"SHIIREHENKANKAZEIZEIGAKU", 265},   {"SHIIREHENKANKAZEIZEIKOMI", 273},
    {"SHIIREHENKANHIKAZEIZEINUKI", 281}, {"SHIIREHENKANHIKAZEIZEIGAKU", 289}, {"SHIIREHENKANHIKAZEIZEIKOMI", 297},
    {"SHIIREHENKANKYOTUUZEINUKI", 305},  {"SHIIREHENKANKYOTUUZEIGAKU", 313},  {"SHIIREHENKANKYOTUUZEIKOMI", 321},
    {"TOKUTEISHIIREHENKANKAZEIZEINUKI", 0, 1}, {"TOKUTEISHIIREHENKANHIKAZEIZEINUKI", 0, 1},
    {"TOKUTEISHIIREHENKANKYOTUUZEINUKI", 0, 1},
    {"YUNYUHENKANKAZEIZEIGAKU", 337}, {"YUNYUHENKANHIKAZEIZEIGAKU", 361}, {"YUNYUHENKANKYOTUUZEIGAKU", 385},
    {"YUNYUHENKANTIHO", 485, 2},
};

const Source kBadDebts[] = {
    {"KASHIDAOREZEINUKI", 401},     {"KASHIDAOREZEIGAKU", 409},     {"KASHIDAOREZEIKOMI", 417},
    {"KASHIDAOREKAISHUZEINUKI", 425}, {"KASHIDAOREKAISHUZEIGAKU", 433}, {"KASHIDAOREKAISHUZEIKOMI", 441},
};

// Whole yen that tell the rate entry and the byte offset apart.
int64_t MarkedYen(int rate, int offset) { return (rate + 1) * 1000 + offset; }

std::vector<std::pair<std::string, std::string>> Expected(const Source* sources, size_t n, int rate) {
  std::vector<std::pair<std::string, std::string>> leaves;
  for (size_t i = 0; i < n; ++i) {
    if (rate >= sources[i].rates) continue;
    leaves.emplace_back(Name(sources[i].stem, rate),
                        sources[i].offset ? std::to_string(MarkedYen(rate, sources[i].offset)) : "");
  }
  return leaves;
}

TEST_F(DataSectionTest, EveryRateLeafReadsItsOwnFieldOfItsOwnRateEntry) {
  // Every one of the 61 amounts of every entry is set, with half a yen that
  // the cut-off rounding kind drops; fields no leaf reads must stay unseen.
  facts_.roundingKind = 1;
  // The two local-tax fields lie off that grid and are set last.
  for (int rate = 0; rate < 3; ++rate) {
    for (int offset = 9; offset <= 489; offset += 8) SetRate(rate, offset, Yen(MarkedYen(rate, offset)) + 5000);
    for (int offset : {477, 485}) SetRate(rate, offset, Yen(MarkedYen(rate, offset)) + 5000);
  }

  const std::vector<Record> records = Records();
  for (int rate = 0; rate < 3; ++rate) {
    const std::string d = std::string(1, "012"[rate]);
    EXPECT_EQ(Find(records, "D02011" + d).leaves, Expected(kSales, std::size(kSales), rate));
    EXPECT_EQ(Find(records, "D02012" + d).leaves, Expected(kPurchases, std::size(kPurchases), rate));
    EXPECT_EQ(Find(records, "D02013" + d).leaves, Expected(kBadDebts, std::size(kBadDebts), rate));
    EXPECT_EQ(Find(records, "D02023" + d).leaves, Expected(kBadDebts, std::size(kBadDebts), rate));
    for (const auto& [name, text] : Find(records, "D0220" + d).leaves) EXPECT_EQ(text, "") << name;

    // With nothing attributed to a business type the rest is the whole total.
    const Record& sales = Find(records, "D02021" + d);
    EXPECT_EQ(sales.Text(Name("KAZEIURIAGEZEROZEINUKI", rate)), std::to_string(MarkedYen(rate, 9)));
    EXPECT_EQ(sales.Text(Name("KAZEIURIAGEZEROZEIGAKU", rate)), std::to_string(MarkedYen(rate, 17)));
    EXPECT_EQ(sales.Text(Name("KAZEIURIAGEZEROZEIKOMI", rate)), std::to_string(MarkedYen(rate, 25)));
    EXPECT_EQ(sales.Text(Name("MENZEIURIAGEZEINUKI", rate)), std::to_string(MarkedYen(rate, 41)));
    const Record& returns = Find(records, "D02022" + d);
    EXPECT_EQ(returns.Text(Name("KAZEIHENKANZEROZEINUKI", rate)), std::to_string(MarkedYen(rate, 65)));
    EXPECT_EQ(returns.Text(Name("KAZEIHENKANZEROZEIGAKU", rate)), std::to_string(MarkedYen(rate, 73)));
    EXPECT_EQ(returns.Text(Name("KAZEIHENKANZEROZEIKOMI", rate)), std::to_string(MarkedYen(rate, 81)));
    EXPECT_EQ(returns.Text(Name("MENZEIURIAGEHENKANZEINUKI", rate)), std::to_string(MarkedYen(rate, 97)));
  }
}

// ---------------------------------------------------------------------------
// Business types and the unattributed rest

TEST_F(DataSectionTest, WorkedEightPercentCase) {
  SetRate(0, 9, Yen(500));
  SetRate(0, 17, Yen(40));
  SetRate(0, 25, Yen(540));
  SetBusiness(0, 1, 24, Yen(300));
  SetBusiness(0, 1, 16, Yen(24));
  SetBusiness(0, 1, 8, Yen(324));
  const Written out = Write();
  ASSERT_EQ(out.result, 1);

  std::string sales8 =
      "\t\t<D020110>\r\n"
      "\t\t\t<KAZEIURIAGEZEINUKI8>500</KAZEIURIAGEZEINUKI8>\r\n"
      "\t\t\t<KAZEIURIAGEZEIGAKU8>40</KAZEIURIAGEZEIGAKU8>\r\n"
      "\t\t\t<KAZEIURIAGEZEIKOMI8>540</KAZEIURIAGEZEIKOMI8>\r\n"
      "\t\t\t<MENZEIURIAGEZEINUKI8></MENZEIURIAGEZEINUKI8>\r\n";
  EXPECT_NE(out.bytes.find(sales8), std::string::npos);

  std::string business8 = "\t\t<D020210>\r\n";
  const char* measures[] = {"ZEINUKI", "ZEIGAKU", "ZEIKOMI"};
  const char* typeOne[] = {"300", "24", "324"};
  for (int type = 1; type <= 6; ++type)
    for (int m = 0; m < 3; ++m) {
      const std::string name = "KAZEIURIAGE" + std::to_string(type) + "SHU" + measures[m] + "8";
      business8 += "\t\t\t<" + name + ">" + (type == 1 ? typeOne[m] : "") + "</" + name + ">\r\n";
    }
  business8 +=
      "\t\t\t<KAZEIURIAGEZEROZEINUKI8>200</KAZEIURIAGEZEROZEINUKI8>\r\n"
      "\t\t\t<KAZEIURIAGEZEROZEIGAKU8>16</KAZEIURIAGEZEROZEIGAKU8>\r\n"
      "\t\t\t<KAZEIURIAGEZEROZEIKOMI8>216</KAZEIURIAGEZEROZEIKOMI8>\r\n"
      "\t\t\t<MENZEIURIAGEZEINUKI8></MENZEIURIAGEZEINUKI8>\r\n"
      "\t\t</D020210>\r\n"
      "\t\t<D020211>\r\n";
  EXPECT_NE(out.bytes.find(business8), std::string::npos);

  // Nothing spills into the other rates or into the returns.
  const std::vector<Record> records = ParseRecords(out.bytes);
  for (const char* code : {"D020211", "D020212", "D020220", "D020221", "D020222"})
    for (const auto& [name, text] : Find(records, code).leaves) EXPECT_EQ(text, "") << code << " " << name;
}

TEST_F(DataSectionTest, RestIsFormedFromUnroundedAmountsAndRoundedOnce) {
  // Six types of 1.4 yen each are written as 1 yen, but the rest of a 10 yen
  // total is 10 - 8.4 = 1.6 yen, not 10 - 6.
  SetRate(1, 17, Yen(10));
  for (int type = 1; type <= 6; ++type) SetBusiness(1, type, 16, 14000);
  // At 3 %: nothing in total, half a yen attributed to type 6 returns.
  SetBusiness(2, 6, 32, 5000);

  struct Case {
    int kind;
    const char* typeText;
    const char* rest;
    const char* negativeRest;
  };
  for (const Case& c : {Case{0, "1", "2", "-1"}, Case{1, "1", "1", ""}, Case{2, "2", "2", "-1"}}) {
    facts_.roundingKind = c.kind;
    const std::vector<Record> records = Records();
    const Record& sales5 = Find(records, "D020211");
    for (int type = 1; type <= 6; ++type)
      EXPECT_EQ(sales5.Text("KAZEIURIAGE" + std::to_string(type) + "SHUZEIGAKU5"), c.typeText) << c.kind;
    EXPECT_EQ(sales5.Text("KAZEIURIAGEZEROZEIGAKU5"), c.rest) << c.kind;
    EXPECT_EQ(Find(records, "D020222").Text("KAZEIHENKANZEROZEIKOMI3"), c.negativeRest) << c.kind;
  }
}

TEST_F(DataSectionTest, EachTypeLeafReadsItsOwnRecordAndTypesBeyondTheTotalLeaveANegativeRest) {
  // The rate totals stay zero, so every rest is minus the sum of the types.
  auto marked = [](int rate, int type, int offset) { return (rate + 1) * 100000 + type * 1000 + offset; };
  for (int rate = 0; rate < 3; ++rate)
    for (int type = 1; type <= 6; ++type)
      for (int offset : {8, 16, 24, 32, 40, 48}) SetBusiness(rate, type, offset, Yen(marked(rate, type, offset)));

  const std::vector<Record> records = Records();
  const char* measures[] = {"ZEINUKI", "ZEIGAKU", "ZEIKOMI"};
  const int salesOffset[] = {24, 16, 8};
  const int returnsOffset[] = {48, 40, 32};
  for (int rate = 0; rate < 3; ++rate) {
    const Record& sales = Find(records, std::string("D02021") + "012"[rate]);
    const Record& returns = Find(records, std::string("D02022") + "012"[rate]);
    for (int m = 0; m < 3; ++m) {
      int64_t salesSum = 0, returnsSum = 0;
      for (int type = 1; type <= 6; ++type) {
        const std::string n = std::to_string(type) + "SHU" + measures[m];
        EXPECT_EQ(sales.Text(Name("KAZEIURIAGE" + n, rate)), std::to_string(marked(rate, type, salesOffset[m])));
        EXPECT_EQ(returns.Text(Name("KAZEIHENKAN" + n, rate)), std::to_string(marked(rate, type, returnsOffset[m])));
        salesSum += marked(rate, type, salesOffset[m]);
        returnsSum += marked(rate, type, returnsOffset[m]);
      }
      EXPECT_EQ(sales.Text(Name(std::string("KAZEIURIAGEZERO") + measures[m], rate)), std::to_string(-salesSum));
      EXPECT_EQ(returns.Text(Name(std::string("KAZEIHENKANZERO") + measures[m], rate)), std::to_string(-returnsSum));
    }
  }
}

// ---------------------------------------------------------------------------
// Failures

TEST_F(DataSectionTest, StopsAtTheFirstFailedWriteAndWritesNothingAfterIt) {
  // Figures in every kind of record, both refund statements filled.
  facts_.companyKind = 2;
  facts_.incomeLayout = 3;
  SetRate(0, 9, Yen(500));
  SetBusiness(0, 1, 24, Yen(300));
  aggregate_.goodsPurchases.bookAmount = Yen(1000);
  const Written whole = Write();
  ASSERT_EQ(whole.result, 1);

  std::vector<std::string> lines;
  for (size_t pos = 0; pos < whole.bytes.size();) {
    const size_t end = whole.bytes.find("\r\n", pos) + 2;
    lines.push_back(whole.bytes.substr(pos, end - pos));
    pos = end;
  }
  std::string prefix;
  for (size_t k = 1; k <= lines.size(); ++k) {
    const Written out = Write(test_support::FileFaultPlan().FailWrite(k));
    EXPECT_EQ(out.result, 0) << "write " << k << ": " << lines[k - 1];
    EXPECT_EQ(out.bytes, prefix) << "write " << k;
    prefix += lines[k - 1];
  }
}

TEST_F(DataSectionTest, RestOutsideTheArithmeticRangeFailsTheSectionInsteadOfWrapping) {
  // Each amount has its text; their sum (1.2 x 10^14 yen) is beyond what the
  // arithmetic carries, so no rest is written at all.
  SetBusiness(0, 1, 24, 600000000000000000);
  SetBusiness(0, 2, 24, 600000000000000000);
  Written out;
  EXPECT_NO_THROW(out = Write());
  EXPECT_EQ(out.result, 0);
  EXPECT_NE(out.bytes.find("<KAZEIURIAGE1SHUZEINUKI8>60000000000000</KAZEIURIAGE1SHUZEINUKI8>"), std::string::npos);
  EXPECT_EQ(out.bytes.find("ZERO"), std::string::npos);
  EXPECT_EQ(out.bytes.substr(out.bytes.size() - 2), "\r\n");
}

}  // namespace
