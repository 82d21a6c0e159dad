// The printed consumption-tax summary: the figures of a known book, the
// month numbers it chooses, and its refusals.
#include <cstdio>
#include <filesystem>

#include "Book.h"
#include "ledger/rules/Summary.h"
#include "tests/support/Files.h"
#include "tests/support/TempFolder.h"

namespace ledger_rules_test {
namespace {

using ledger::rules::FormatYen;

std::string Print(int32_t dataNo, int32_t first, int32_t last, bool* ok, std::string* error) {
  // Printed into a file of the test's own, then read back whole.
  const std::filesystem::path folder = test_support::NewTempFolder("tb-summary");
  const std::filesystem::path file = folder / "summary.txt";
  std::FILE* out = folder.empty() ? nullptr : std::fopen(file.string().c_str(), "wb");
  if (out == nullptr) {
    *ok = false;
    *error = "the test cannot write " + file.string();
    return {};
  }
  *ok = ledger::rules::PrintSummary(dataNo, first, last, out, error);
  std::fclose(out);
  const std::string printed = test_support::ReadAll(file);
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  return printed;
}

// The line of `printed` that starts (after blanks) with `label`.
std::string LineOf(const std::string& printed, const std::string& label) {
  size_t at = printed.find("  " + label);
  if (at == std::string::npos) return {};
  return printed.substr(at, printed.find('\n', at) - at);
}

TEST(SummaryTest, AmountsPrintAsYenWithTheirFraction) {
  EXPECT_EQ(FormatYen(0), "0");
  EXPECT_EQ(FormatYen(Yen(1234567)), "1,234,567");
  EXPECT_EQ(FormatYen(-Yen(1000) - 5000), "-1,000.5");
  EXPECT_EQ(FormatYen(1), "0.0001");
  EXPECT_EQ(FormatYen(Yen(999)), "999");
}

TEST(SummaryTest, PrintsTheFiguresTypesTaxRowsAndAccountSumsOfTheMonths) {
  Book book;
  book.Account(1, "100", 0x10100000, 1);
  book.Account(2, "500", 0x40888000, 2);
  book.Line(20140410, 1, Side{1, Yen(324)}, Side{2, Yen(300), Yen(24), 1, 800, 1});
  book.Line(20140410, 1, Side{1, Yen(216)}, Side{2, Yen(200), Yen(16), 1, 800});
  book.Line(20140510, 2, Side{1, Yen(1000)}, Side{2, Yen(1000), 0, 4, 800});
  book.Line(20140610, 3, Side{1, Yen(105)}, Side{2, Yen(100), Yen(5), 1, 500});
  book.Line(20150331, 18, Side{1, Yen(7)}, Side{2, Yen(7), 0, 2, 800});
  bool ok = false;
  std::string error;
  const std::string printed = Print(1, 4, 3, &ok, &error);
  ASSERT_TRUE(ok) << error;
  EXPECT_NE(printed.find("month numbers 1 to 12 and the year-end closing (18)"), std::string::npos) << printed;
  EXPECT_NE(LineOf(printed, "Taxable sales, without tax").find(" 500 "), std::string::npos) << printed;
  EXPECT_NE(LineOf(printed, "Taxable sales, with tax").find(" 540 "), std::string::npos);
  EXPECT_NE(LineOf(printed, "Non-taxable sales of securities (x20)").find(" 1,000 "), std::string::npos);
  EXPECT_NE(LineOf(printed, "Export-exempt sales").find(" 7 "), std::string::npos);  // the year-end closing
  EXPECT_NE(LineOf(printed, "Type 1").find("324"), std::string::npos);
  EXPECT_NE(LineOf(printed, "Not attributed to a type").find("216"), std::string::npos);
  EXPECT_NE(printed.find("Tax summary rows at 5 %"), std::string::npos);
  EXPECT_NE(LineOf(printed, "500          A500").find(" 5 "), std::string::npos) << printed;
  EXPECT_NE(printed.find("class 40888000"), std::string::npos);

  // April to June: no year-end closing, and the 5 % sale of June is in.
  const std::string spring = Print(1, 4, 6, &ok, &error);
  ASSERT_TRUE(ok) << error;
  EXPECT_NE(spring.find("month numbers 1 to 3\n"), std::string::npos) << spring;
  EXPECT_EQ(LineOf(spring, "Export-exempt sales").find(" 7 "), std::string::npos);
}

TEST(SummaryTest, RefusesUnknownDataAndMonthsOutsideThePeriodAndPrintsNothing) {
  Book book;
  bool ok = true;
  std::string error;
  EXPECT_EQ(Print(9, 4, 3, &ok, &error), "");
  EXPECT_FALSE(ok);
  EXPECT_NE(error.find("no data set number 9"), std::string::npos);
  EXPECT_EQ(Print(1, 13, 3, &ok, &error), "");
  EXPECT_FALSE(ok);
  EXPECT_EQ(Print(1, 3, 4, &ok, &error), "");  // March comes after April in an April-March period
  EXPECT_FALSE(ok);
  EXPECT_NE(error.find("comes before"), std::string::npos) << error;
}

}  // namespace
}  // namespace ledger_rules_test
