// The refund statements KANPUH and KANPUK: which company gets which record,
// the basis codes, and the individual rows by income kind.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "DataDocument.h"
#include "aggregate/TaxAggregate.h"
#include "report/RefundStatement.h"

using aggregate::RefundLine;
using aggregate::TaxAggregate;

namespace {

using namespace report_data_test;
using report::DataSectionFacts;
using report::XmlWriter;

const char* const kIndividualRows[] = {
    "JIGYOSHIIRE1",         "JIGYOSHIIRE2",         "JIGYOHITSUYOU1",     "JIGYOHITSUYOU2",
    "JIGYOKOTEISHISAN1",    "JIGYOKOTEISHISAN2",    "FUDOUSANHITSUYOU1",  "FUDOUSANHITSUYOU2",
    "FUDOUSANKOTEISHISAN1", "FUDOUSANKOTEISHISAN2", "SONOTASHIIRE1",      "SONOTASHIIRE2",
    "SONOTAHITSUYOU1",      "SONOTAHITSUYOU2",      "SONOTAKOTEISHISAN1", "SONOTAKOTEISHISAN2",
};
const std::set<std::string> kDisabledRows = {"JIGYOKOTEISHISAN2", "FUDOUSANKOTEISHISAN2", "SONOTAKOTEISHISAN1",
                                             "SONOTAKOTEISHISAN2"};

class RefundStatementTest : public ::testing::Test {
 protected:
  void SetUp() override {
    facts_.aggregate = &aggregate_;
    facts_.taxMethod = 2;
    facts_.taxInclusive = 1;
  }

  // Both records, as WriteDataSection writes them.
  std::vector<Record> Write() {
    const Written out = WriteDocument([&](XmlWriter& w) {
      return report::WriteCorporateRefund(w, facts_) && report::WriteIndividualRefund(w, facts_) ? 1 : 0;
    });
    EXPECT_EQ(out.result, 1);
    bytes_ = out.bytes;
    return ParseRecords(out.bytes);
  }
  static bool AllEmpty(const Record& r) {
    for (const auto& leaf : r.leaves)
      if (!leaf.second.empty()) return false;
    return true;
  }
  // Gives each of the sixteen individual amounts its own whole-yen value.
  void FillIndividualLines() {
    RefundLine* lines[] = {&aggregate_.businessPurchases,     &aggregate_.businessExpenses,
                           &aggregate_.businessFixedAssets,   &aggregate_.realEstateExpenses,
                           &aggregate_.realEstateFixedAssets, &aggregate_.otherPurchases,
                           &aggregate_.otherExpenses,         &aggregate_.otherFixedAssets};
    for (int i = 0; i < 8; ++i) {
      lines[i]->bookAmount = Yen(100 * (2 * i + 1));
      lines[i]->nonQualifying = Yen(100 * (2 * i + 2));
      lines[i]->undeterminedImport = Yen(7);
    }
  }
  void FillCorporateLines() {
    aggregate_.goodsPurchases = {Yen(1000), Yen(200), 0};
    aggregate_.fixedAssetAcquisitions = Yen(5000);
  }

  TaxAggregate aggregate_;
  DataSectionFacts facts_;
  std::string bytes_;
};

TEST_F(RefundStatementTest, CorporationFillsKanpuhOnly) {
  aggregate_.goodsPurchases = {Yen(1000), Yen(200), Yen(50)};
  aggregate_.nonOperatingExpenses = {5050, 0, 0};     // 0.505 yen: rounds to 1 yen
  aggregate_.otherProfitLoss = {Yen(-30), 0, 0};
  aggregate_.fixedAssetAcquisitions = Yen(5000);
  FillIndividualLines();
  for (uint8_t kind : {0, 1}) {
    facts_.companyKind = kind;
    const std::vector<Record> records = Write();
    const std::string kanpuh =
        "\t\t<KANPUH>\r\n"
        "\t\t\t<KESSANZEIKUBUN>1</KESSANZEIKUBUN>\r\n"
        "\t\t\t<SHOHINSHIIRE1>1000</SHOHINSHIIRE1>\r\n"
        "\t\t\t<SHOHINSHIIRE2>200</SHOHINSHIIRE2>\r\n"
        "\t\t\t<HANBAIIPPAN1></HANBAIIPPAN1>\r\n"
        "\t\t\t<HANBAIIPPAN2></HANBAIIPPAN2>\r\n"
        "\t\t\t<EIGYOGAIHIYOU1>1</EIGYOGAIHIYOU1>\r\n"
        "\t\t\t<EIGYOGAIHIYOU2></EIGYOGAIHIYOU2>\r\n"
        "\t\t\t<SONOTASONEKI1>-30</SONOTASONEKI1>\r\n"
        "\t\t\t<SONOTASONEKI2></SONOTASONEKI2>\r\n"
        "\t\t\t<SHISANZEIKUBUN>1</SHISANZEIKUBUN>\r\n"
        "\t\t\t<KOTEISHISAN1>5000</KOTEISHISAN1>\r\n"
        "\t\t\t<KOTEISHISAN2></KOTEISHISAN2>\r\n"
        "\t\t\t<KURINOBESHISAN1></KURINOBESHISAN1>\r\n"
        "\t\t\t<KURINOBESHISAN2></KURINOBESHISAN2>\r\n"
        "\t\t\t<SONOTASISAN1></SONOTASISAN1>\r\n"
        "\t\t\t<SONOTASISAN2></SONOTASISAN2>\r\n"
        "\t\t</KANPUH>\r\n"
        "\t\t<KANPUK>\r\n";
    EXPECT_EQ(bytes_.substr(0, kanpuh.size()), kanpuh) << int(kind);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].leaves.size(), 17u);
    EXPECT_TRUE(AllEmpty(records[1])) << int(kind);
  }
}

TEST_F(RefundStatementTest, WhoGetsWhichRecord) {
  FillCorporateLines();
  FillIndividualLines();
  struct Case {
    uint8_t kind;
    uint8_t method;
    bool corporate, individual;
  };
  const Case cases[] = {
      {3, 2, false, true}, {4, 2, false, true}, {2, 2, true, true}, {9, 2, true, true},
      {0, 1, false, false}, {0, 0, false, false}, {3, 1, false, false}, {2, 0, false, false},
  };
  for (const Case& c : cases) {
    facts_.companyKind = c.kind;
    facts_.taxMethod = c.method;
    facts_.incomeLayout = 3;
    const std::vector<Record> records = Write();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].code, "KANPUH");
    EXPECT_EQ(records[0].leaves.size(), 16u);
    EXPECT_EQ(records[1].code, "KANPUK");
    EXPECT_EQ(records[1].leaves.size(), 17u);
    EXPECT_EQ(records[0].Text("SHOHINSHIIRE1"), c.corporate ? "1000" : "") << int(c.kind) << "/" << int(c.method);
    EXPECT_EQ(records[1].Text("JIGYOSHIIRE1"), c.individual ? "100" : "") << int(c.kind) << "/" << int(c.method);
    EXPECT_EQ(AllEmpty(records[0]), !c.corporate);
    EXPECT_EQ(AllEmpty(records[1]), !c.individual);
  }
}

TEST_F(RefundStatementTest, BasisCodesFollowTheBookingAndAreTestedBeforeRounding) {
  facts_.companyKind = 2;
  facts_.incomeLayout = 1;
  facts_.roundingKind = 1;

  // Nothing at all: both codes empty.
  std::vector<Record> records = Write();
  EXPECT_EQ(records[0].Text("KESSANZEIKUBUN"), "");
  EXPECT_EQ(records[0].Text("SHISANZEIKUBUN"), "");
  EXPECT_EQ(records[1].Text("KESSANZEIKUBUN"), "");

  // 0.3 yen cut off to nothing still carries the code; so does a deferred
  // asset alone, and a suppressed individual row.
  aggregate_.goodsPurchases.bookAmount = 3000;
  aggregate_.deferredAssetAcquisitions = Yen(70);
  aggregate_.realEstateExpenses.bookAmount = Yen(80);
  for (uint8_t inclusive : {1, 0}) {
    facts_.taxInclusive = inclusive;
    const std::string code = inclusive ? "1" : "2";
    records = Write();
    EXPECT_EQ(records[0].Text("SHOHINSHIIRE1"), "");
    EXPECT_EQ(records[0].Text("KESSANZEIKUBUN"), code);
    EXPECT_EQ(records[0].Text("SHISANZEIKUBUN"), code);
    EXPECT_EQ(records[0].Text("KURINOBESHISAN1"), "70");
    EXPECT_EQ(records[1].Text("FUDOUSANHITSUYOU1"), "");
    EXPECT_EQ(records[1].Text("JIGYOSHIIRE1"), "0");
    EXPECT_EQ(records[1].Text("KESSANZEIKUBUN"), code);
  }

  // The profit-and-loss code ignores the assets and the asset code the lines.
  aggregate_.goodsPurchases.bookAmount = 0;
  aggregate_.goodsPurchases.undeterminedImport = Yen(5);
  records = Write();
  EXPECT_EQ(records[0].Text("KESSANZEIKUBUN"), "");
  aggregate_.deferredAssetAcquisitions = 0;
  aggregate_.sellingAdminExpenses.nonQualifying = 1;
  records = Write();
  EXPECT_EQ(records[0].Text("KESSANZEIKUBUN"), "2");
  EXPECT_EQ(records[0].Text("SHISANZEIKUBUN"), "");
}

TEST_F(RefundStatementTest, IncomeKindChoosesTheIndividualRows) {
  FillIndividualLines();
  facts_.companyKind = 3;
  // Rows written with their amounts, by income kind.
  const std::set<std::string> business = {"JIGYOSHIIRE1", "JIGYOSHIIRE2", "JIGYOHITSUYOU1", "JIGYOHITSUYOU2",
                                          "JIGYOKOTEISHISAN1"};
  const std::set<std::string> realEstate = {"FUDOUSANHITSUYOU1", "FUDOUSANHITSUYOU2", "FUDOUSANKOTEISHISAN1"};
  std::set<std::string> everyEnabled;
  for (const char* row : kIndividualRows)
    if (!kDisabledRows.count(row)) everyEnabled.insert(row);

  const std::pair<uint8_t, std::set<std::string>> cases[] = {
      {1, business}, {2, realEstate}, {3, everyEnabled}, {0, everyEnabled}, {4, everyEnabled}, {255, everyEnabled}};
  for (const auto& [income, kept] : cases) {
    facts_.incomeLayout = income;
    const Record kanpuk = Write()[1];
    ASSERT_EQ(kanpuk.leaves.size(), 17u);
    EXPECT_EQ(kanpuk.leaves[0].first, "KESSANZEIKUBUN");
    EXPECT_EQ(kanpuk.leaves[0].second, "1");
    for (int i = 0; i < 16; ++i) {
      EXPECT_EQ(kanpuk.leaves[i + 1].first, kIndividualRows[i]);
      const std::string expected = kept.count(kIndividualRows[i]) ? std::to_string(100 * (i + 1)) : "";
      EXPECT_EQ(kanpuk.leaves[i + 1].second, expected) << "income kind " << int(income) << " " << kIndividualRows[i];
    }
  }
}

TEST_F(RefundStatementTest, EnabledIndividualRowsReadZeroAndRoundByMagnitude) {
  facts_.companyKind = 4;
  facts_.incomeLayout = 3;
  Record kanpuk = Write()[1];
  EXPECT_EQ(kanpuk.Text("KESSANZEIKUBUN"), "");
  for (const char* row : kIndividualRows) EXPECT_EQ(kanpuk.Text(row), kDisabledRows.count(row) ? "" : "0") << row;

  // 0.3 yen cut off reads "0", yet the basis code is written.
  aggregate_.businessExpenses.bookAmount = 3000;
  facts_.roundingKind = 1;
  kanpuk = Write()[1];
  EXPECT_EQ(kanpuk.Text("JIGYOHITSUYOU1"), "0");
  EXPECT_EQ(kanpuk.Text("KESSANZEIKUBUN"), "1");

  aggregate_.otherExpenses.nonQualifying = -25000;  // -2.5 yen
  for (const auto& [kind, text] : {std::pair{0, "-3"}, std::pair{1, "-2"}, std::pair{2, "-3"}}) {
    facts_.roundingKind = kind;
    kanpuk = Write()[1];
    EXPECT_EQ(kanpuk.Text("SONOTAHITSUYOU2"), text) << kind;
    EXPECT_EQ(kanpuk.Text("KESSANZEIKUBUN"), "1");
  }
}

TEST_F(RefundStatementTest, ApplicableRecordWithoutAResultFails) {
  facts_.aggregate = nullptr;
  facts_.companyKind = 0;
  Written out = WriteDocument([&](XmlWriter& w) { return report::WriteCorporateRefund(w, facts_); });
  EXPECT_EQ(out.result, 0);
  EXPECT_EQ(out.bytes, "");
  // A record that does not apply needs no figures.
  out = WriteDocument([&](XmlWriter& w) { return report::WriteIndividualRefund(w, facts_); });
  EXPECT_EQ(out.result, 1);
}

}  // namespace
