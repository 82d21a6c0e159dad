// The table of display texts and element names: its positions, its texts and
// the position arithmetic the writers rely on.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "report/ElementNameTable.h"

namespace {

using report::ElementNameTable;

std::string At(int p) { return ElementNameTable::At(p); }

TEST(ElementNameTable, EveryRangeStartsAndEndsWhereItShould) {
  struct Range {
    int first, last;
    const char* firstName;
    const char* lastName;
  };
  const Range ranges[] = {
      {14, 27, "GYOUMUPREFIX", "SHIIREZEIGAKUKEISAN"},
      {28, 40, "KAZEIURIAGEZEINUKI8", "HIKAZEISHISANHENKANZEINUKI8"},
      {41, 53, "KAZEIURIAGEZEINUKI5", "HIKAZEISHISANHENKANZEINUKI5"},
      {54, 66, "KAZEIURIAGEZEINUKI3", "HIKAZEISHISANHENKANZEINUKI3"},
      {67, 98, "SHIIREKAZEIZEINUKI8", "YUNYUHENKANTIHO8"},
      {99, 124, "SHIIREKAZEIZEINUKI5", "YUNYUHENKANTIHO5"},
      {125, 148, "SHIIREKAZEIZEINUKI3", "YUNYUHENKANKYOTUUZEIGAKU3"},
      {149, 154, "KASHIDAOREZEINUKI8", "KASHIDAOREKAISHUZEIKOMI8"},
      {155, 160, "KASHIDAOREZEINUKI5", "KASHIDAOREKAISHUZEIKOMI5"},
      {161, 166, "KASHIDAOREZEINUKI3", "KASHIDAOREKAISHUZEIKOMI3"},
      {167, 171, "GIMUMENJOKAZEI8", "KAZEIGYOMUYOTENYO8"},
      {172, 176, "GIMUMENJOKAZEI5", "KAZEIGYOMUYOTENYO5"},
      {177, 181, "GIMUMENJOKAZEI3", "KAZEIGYOMUYOTENYO3"},
      {182, 197, "KESSANZEIKUBUN", "SONOTASISAN2"},
      {198, 214, "KESSANZEIKUBUN", "SONOTAKOTEISHISAN2"},
      {215, 236, "KAZEIURIAGE1SHUZEINUKI8", "MENZEIURIAGEZEINUKI8"},
      {237, 258, "KAZEIURIAGE1SHUZEINUKI5", "MENZEIURIAGEZEINUKI5"},
      {259, 280, "KAZEIURIAGE1SHUZEINUKI3", "MENZEIURIAGEZEINUKI3"},
      {281, 302, "KAZEIHENKAN1SHUZEINUKI8", "MENZEIURIAGEHENKANZEINUKI8"},
      {303, 324, "KAZEIHENKAN1SHUZEINUKI5", "MENZEIURIAGEHENKANZEINUKI5"},
      {325, 346, "KAZEIHENKAN1SHUZEINUKI3", "MENZEIURIAGEHENKANZEINUKI3"},
      {347, 352, "KASHIDAOREZEINUKI8", "KASHIDAOREKAISHUZEIKOMI8"},
      {353, 358, "KASHIDAOREZEINUKI5", "KASHIDAOREKAISHUZEIKOMI5"},
      {359, 364, "KASHIDAOREZEINUKI3", "KASHIDAOREKAISHUZEIKOMI3"},
  };
  for (const Range& r : ranges) {
    EXPECT_EQ(At(r.first), r.firstName) << r.first;
    EXPECT_EQ(At(r.last), r.lastName) << r.last;
  }
  EXPECT_EQ(ElementNameTable::kSize, 365);
  EXPECT_EQ(At(29), "KAZEIURIAGEZEIGAKU8");
  EXPECT_EQ(At(76), "TOKUTEISHIIREKAZEIZEINUKI8");
  EXPECT_EQ(At(82), "YUNYUSHIIRETIHO8");
  EXPECT_EQ(At(183), "SHOHINSHIIRE1");
  EXPECT_EQ(At(191), "SHISANZEIKUBUN");
  EXPECT_EQ(At(199), "JIGYOSHIIRE1");
}

TEST(ElementNameTable, DisplayTextsAreShiftJisAndNamesPlainUpperCase) {
  EXPECT_EQ(At(0), "\x96\xC6\x90\xC5");  // exempt
  EXPECT_EQ(At(6), "\x88\xEA\x8A\x87\x94\xE4\x97\xE1\x94\x7A\x95\xAA\x95\xFB\x8E\xAE");
  EXPECT_EQ(At(13), "\x91\xE6\x98\x5A\x8E\xED\x8E\x96\x8B\xC6\x20\x95\x73\x93\xAE\x8E\x59\x8B\xC6");
  for (int p = 0; p < ElementNameTable::kDisplayTextCount; ++p) {
    ASSERT_NE(ElementNameTable::At(p), nullptr) << p;
    EXPECT_GE(static_cast<unsigned char>(At(p)[0]), 0x81) << p;
  }
  std::set<std::string> dataLeaves;
  for (int p = ElementNameTable::kDisplayTextCount; p < ElementNameTable::kSize; ++p) {
    ASSERT_NE(ElementNameTable::At(p), nullptr) << p;
    const std::string name = At(p);
    ASSERT_FALSE(name.empty()) << p;
    for (char c : name) EXPECT_TRUE((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) << p << " " << name;
    if (p >= ElementNameTable::kSales) dataLeaves.insert(name);
  }
  // Texts held twice: the exempt-sales names, KESSANZEIKUBUN and the bad-debt names.
  EXPECT_EQ(At(31), At(236));
  EXPECT_EQ(At(38), At(302));
  EXPECT_EQ(At(182), At(198));
  for (int i = 0; i < 18; ++i) EXPECT_EQ(At(149 + i), At(347 + i)) << i;
  EXPECT_EQ(dataLeaves.size(), 365u - 28u - 6u - 1u - 18u);
}

TEST(ElementNameTable, ReverseChargeAndLocalTaxLeavesExistOnlyWhereTheyShould) {
  auto count = [](int first, int last, const char* part) {
    int n = 0;
    for (int p = first; p <= last; ++p) n += std::strstr(ElementNameTable::At(p), part) != nullptr;
    return n;
  };
  EXPECT_EQ(count(67, 98, "TOKUTEI"), 6);
  EXPECT_EQ(count(99, 124, "TOKUTEI"), 0);
  EXPECT_EQ(count(125, 148, "TOKUTEI"), 0);
  EXPECT_EQ(count(67, 98, "TIHO"), 2);
  EXPECT_EQ(count(99, 124, "TIHO"), 2);
  EXPECT_EQ(count(125, 148, "TIHO"), 0);
}

TEST(ElementNameTable, RecordsCoverTheDataLeavesInWritingOrder) {
  const auto& records = ElementNameTable::DataRecords();
  std::vector<std::string> codes;
  for (const auto& r : records) codes.push_back(r.code);
  const std::vector<std::string> expected = {
      "D020110", "D020111", "D020112", "D020120", "D020121", "D020122", "D020130", "D020131",
      "D020132", "D02200",  "D02201",  "D02202",  "D020210", "D020211", "D020212", "D020220",
      "D020221", "D020222", "D020230", "D020231", "D020232", "KANPUH",  "KANPUK"};
  EXPECT_EQ(codes, expected);
  for (size_t i = 0; i < records.size(); ++i) {
    EXPECT_EQ(std::strlen(records[i].code), i >= 9 && i <= 11 ? 6u : i >= 21 ? 6u : 7u) << records[i].code;
  }

  // Each leaf position belongs to exactly one record.
  std::vector<int> owners(ElementNameTable::kSize, 0);
  for (const auto& r : records) {
    for (int p = r.first; p < r.first + r.count; ++p) ++owners[static_cast<size_t>(p)];
  }
  for (int p = 0; p < ElementNameTable::kSize; ++p) EXPECT_EQ(owners[static_cast<size_t>(p)], p < 28 ? 0 : 1) << p;

  // The rate records' leaves all end in the rate digit named by the code's last digit.
  for (const auto& r : records) {
    const std::string code = r.code;
    if (code[0] != 'D') continue;
    const char rate = "853"[code.back() - '0'];
    for (int p = r.first; p < r.first + r.count; ++p) EXPECT_EQ(At(p).back(), rate) << code << " " << At(p);
  }
}

TEST(ElementNameTable, ComputedPositionsFindTheirNames) {
  const char* measures[] = {"ZEINUKI", "ZEIGAKU", "ZEIKOMI"};
  struct Group {
    int first;
    const char* subject;
    const char* rate;
    const char* exempt;
  };
  for (const Group& g : {Group{215, "KAZEIURIAGE", "8", "MENZEIURIAGEZEINUKI"},
                         Group{237, "KAZEIURIAGE", "5", "MENZEIURIAGEZEINUKI"},
                         Group{259, "KAZEIURIAGE", "3", "MENZEIURIAGEZEINUKI"},
                         Group{281, "KAZEIHENKAN", "8", "MENZEIURIAGEHENKANZEINUKI"},
                         Group{303, "KAZEIHENKAN", "5", "MENZEIURIAGEHENKANZEINUKI"},
                         Group{325, "KAZEIHENKAN", "3", "MENZEIURIAGEHENKANZEINUKI"}}) {
    for (int n = 1; n <= 6; ++n) {
      for (int m = 0; m < 3; ++m) {
        const int p = ElementNameTable::BusinessTypeLeaf(g.first, n, m);
        EXPECT_EQ(p, g.first + 3 * (n - 1) + m);
        EXPECT_EQ(At(p), std::string(g.subject) + std::to_string(n) + "SHU" + measures[m] + g.rate);
      }
    }
    for (int m = 0; m < 3; ++m) {
      EXPECT_EQ(At(ElementNameTable::BusinessZeroLeaf(g.first, m)),
                std::string(g.subject) + "ZERO" + measures[m] + g.rate);
    }
    EXPECT_EQ(At(ElementNameTable::BusinessExemptLeaf(g.first)), std::string(g.exempt) + g.rate);
  }
  EXPECT_EQ(ElementNameTable::CorporateRefundLeaf(0), 182);
  EXPECT_EQ(At(ElementNameTable::CorporateRefundLeaf(15)), "SONOTASISAN2");
  EXPECT_EQ(ElementNameTable::IndividualRefundLeaf(0), 198);
  EXPECT_EQ(At(ElementNameTable::IndividualRefundLeaf(16)), "SONOTAKOTEISHISAN2");
  EXPECT_EQ(At(ElementNameTable::IndividualRefundLeaf(7)), "FUDOUSANHITSUYOU1");
}

TEST(ElementNameTableDeathTest, OutOfRangeLookupsStopTheProgram) {
  EXPECT_DEATH(ElementNameTable::At(365), "position 365");
  EXPECT_DEATH(ElementNameTable::At(-1), "position -1");
  EXPECT_DEATH(ElementNameTable::BusinessTypeLeaf(216, 1, 0), "216");
  EXPECT_DEATH(ElementNameTable::BusinessTypeLeaf(215, 7, 0), "business type 7");
  EXPECT_DEATH(ElementNameTable::BusinessZeroLeaf(215, 3), "measure 3");
  EXPECT_DEATH(ElementNameTable::CorporateRefundLeaf(16), "16");
  EXPECT_DEATH(ElementNameTable::IndividualRefundLeaf(17), "17");
}

}  // namespace
