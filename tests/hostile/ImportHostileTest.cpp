// The CSV import under hostile files: the CSV reader's round trip over
// generated rows, amounts at the edge of what the store holds, and whole
// imports of the demo company with one file damaged, each of which must
// either load or stop with a message naming the file, leaving nothing behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "ledger/Import.h"
#include "ledger/Store.h"
#include "tests/hostile/Hostile.h"
#include "tests/support/Decimal.h"
#include "tests/support/Files.h"
#include "tests/support/TempFolder.h"

namespace {

using test_support::ReadAll;

namespace fs = std::filesystem;
using hostile::Rng;

std::string CsvField(const std::string& field, bool alone) {
  if (field.empty()) return alone ? "\"\"" : "";
  if (field.find_first_of(",\"\r\n") == std::string::npos) return field;
  std::string out = "\"";
  for (char c : field) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

TEST(HostileCsv, GeneratedRowsReadBackWithTheirLineNumbers) {
  Rng rng(0xC5F);
  long cases = 0;
  for (int i = 0; i < hostile::kCases; ++i, ++cases) {
    std::vector<std::vector<std::string>> rows(1 + rng.Below(6));
    std::string text = rng.OneIn(4) ? "\xEF\xBB\xBF" : "";
    std::vector<int> lines;
    int line = 1;
    for (auto& row : rows) {
      row.resize(1 + rng.Below(5));
      for (auto& f : row) f = rng.OneIn(3) ? rng.From("a,\"\r\n 1", 6) : rng.From("xyz019-.", 6);
      lines.push_back(line);
      for (size_t k = 0; k < row.size(); ++k) {
        const std::string field = CsvField(row[k], row.size() == 1);
        text += (k ? "," : "") + field;
        for (char c : field) line += c == '\n';
      }
      text += rng.OneIn(2) ? "\n" : "\r\n";
      ++line;
    }
    if (rng.OneIn(3)) text.erase(text.size() - (text.ends_with("\r\n") ? 2 : 1));  // no line end at the end
    std::vector<std::vector<std::string>> got;
    std::vector<int> gotLines;
    std::string error;
    ASSERT_TRUE(ledger::ParseCsv(text, &got, &gotLines, &error)) << error;
    ASSERT_EQ(got, rows) << text;
    ASSERT_EQ(gotLines, lines) << text;

    // Damaged text: read or refused with the line of the open quote.
    const std::string bad = rng.OneIn(4) ? rng.Bytes(100) : hostile::Mutate(rng, text);
    got.clear();
    gotLines.clear();
    if (ledger::ParseCsv(bad, &got, &gotLines, &error)) {
      ASSERT_EQ(got.size(), gotLines.size());
      for (size_t k = 1; k < gotLines.size(); ++k) ASSERT_LT(gotLines[k - 1], gotLines[k]);
    } else {
      EXPECT_TRUE(error.starts_with("line ")) << error;
    }
  }
  hostile::ReportCases("csv", cases);
}

// The amount of decimal text in yen x 10 000, worked out exactly on its
// digits; nullopt when it is no amount or its size reaches 10^18.
std::optional<int64_t> ReferenceAmount(const std::string& text) {
  using test_support::Decimal;
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  const size_t first = i;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
  if (i == first) return std::nullopt;
  const Decimal whole = Decimal::FromDigits(std::string_view(text).substr(first, i - first));
  std::string fraction;
  if (i < text.size() && text[i] == '.') {
    for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
      if (fraction.size() == 4) return std::nullopt;
      fraction += text[i];
    }
    if (fraction.empty()) return std::nullopt;
  }
  if (i != text.size()) return std::nullopt;
  fraction.resize(4, '0');
  const Decimal value = whole * Decimal::Of(10000) + Decimal::FromDigits(fraction);
  if (value >= Decimal::Of(1'000'000'000'000'000'000)) return std::nullopt;
  return (negative ? -value : value).ToInt64();
}

TEST(HostileCsv, AmountsAreExactOrRefusedUpToTheSixtyFourBitLimit) {
  Rng rng(0xA40);
  long cases = 0;
  std::vector<std::string> edges = {"99999999999999",   "99999999999999.9999", "100000000000000", "999999999999999",
                                    "9999999999999999", "922337203685477",     "922337203685477.5807",
                                    "-99999999999999.9999", "-100000000000000", "0.0001", "-0", "+1.", ".5"};
  for (int i = 0; i < hostile::kCases; ++i, ++cases) {
    std::string text;
    if (i < static_cast<int>(edges.size())) {
      text = edges[i];
    } else {
      text = (rng.OneIn(3) ? "-" : "") + rng.From("0123456789", 1 + rng.Below(20));
      if (rng.OneIn(2)) text += "." + rng.From("0123456789", 6);
      if (rng.OneIn(5)) text = hostile::Mutate(rng, text, 2);
    }
    ASSERT_EQ(ledger::ParseAmount(text), ReferenceAmount(text)) << "\"" << text << "\"";
  }
  hostile::ReportCases("amounts", cases);
}

int64_t Count(ledger::Store& store, const std::string& table) {
  ledger::Statement q = store.Prepare("SELECT count(*) FROM " + table);
  return q.Step() == SQLITE_ROW ? q.Int(0) : -1;
}

// Values that make a field wrong in one way or another.
const std::vector<std::string> kBadValues = {
    "", "-1", "0", "2147483648", "99999999999999999999", "0x7fffffff", "0x", "1e5", " 1", "1 ", "\xEF\xBC\x92",
    "20240230", "19000100", "30000101", "9223372036854775807", "-9223372036854775808", "999999999999999",
    "8R", "\"", "\xFF\xFE", "\xE2\x80\xA8", std::string(100, 'x'), "\xF0\x9F\x98\x80"};

TEST(HostileImport, DamagedDemoFilesLoadOrStopWithTheirNameAndLeaveNothing) {
  const fs::path demo = fs::path(TAXBRIDGE_SOURCE_DIR) / "demo" / "ledger";
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(demo)) files[entry.path().filename().string()] = ReadAll(entry.path());
  ASSERT_FALSE(files.empty());
  const fs::path dir = test_support::NewTempFolder("tb-hostile-import");
  ASSERT_FALSE(dir.empty());
  for (const auto& [name, contents] : files) std::ofstream(dir / name, std::ios::binary) << contents;

  Rng rng(0x1B0);
  long cases = 0, loaded = 0;
  for (int i = 0; i < 100; ++i, ++cases) {
    auto damaged = files.begin();
    std::advance(damaged, static_cast<std::ptrdiff_t>(rng.Below(files.size())));
    std::string text = damaged->second;
    if (rng.OneIn(2)) {
      // One field of one row set to a bad value.
      std::vector<size_t> starts = {0};
      for (size_t k = 0; k < text.size(); ++k) {
        if (text[k] == ',' || text[k] == '\n') starts.push_back(k + 1);
      }
      const size_t at = starts[1 + rng.Below(starts.size() - 1)];
      const size_t end = std::min(text.find_first_of(",\n", at), text.size());
      text.replace(at, end - at, kBadValues[rng.Below(kBadValues.size())]);
    } else {
      text = hostile::Mutate(rng, text, 4);
    }
    std::ofstream(dir / damaged->first, std::ios::binary) << text;
    std::string error;
    auto store = ledger::Store::Create(":memory:", &error);
    ASSERT_TRUE(store) << error;
    const ledger::ImportResult result = ledger::ImportFolder(*store, dir.string(), false);
    std::ofstream(dir / damaged->first, std::ios::binary) << damaged->second;
    if (result.ok) {
      ++loaded;
      EXPECT_GT(result.rows, 0);
      continue;
    }
    // The message says which file, and nothing of the import stays.
    bool named = false;
    for (const auto& [name, contents] : files) named = named || result.error.starts_with(name);
    EXPECT_TRUE(named) << result.error;
    for (const std::string& table : ledger::Store::TableNames()) {
      if (table != "ledger_meta") {
        EXPECT_EQ(Count(*store, table), 0) << table << " after: " << result.error;
      }
    }
    if (HasFailure()) break;
  }
  fs::remove_all(dir);
  EXPECT_GT(loaded, 0);
  EXPECT_LT(loaded, cases);
  hostile::ReportCases("csv-import", cases);
}

}  // namespace
