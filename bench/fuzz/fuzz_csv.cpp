// The CSV reader of the import and its amount reader.
#include <string>
#include <vector>

#include "bench/fuzz/FuzzMain.h"
#include "ledger/Import.h"

void FuzzOne(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<std::vector<std::string>> rows;
  std::vector<int> lines;
  std::string error;
  if (ledger::ParseCsv(text, &rows, &lines, &error)) {
    FUZZ_CHECK(rows.size() == lines.size());
    for (size_t i = 1; i < lines.size(); ++i) FUZZ_CHECK(lines[i - 1] < lines[i]);
    for (const auto& row : rows) {
      for (const auto& field : row) {
        if (auto amount = ledger::ParseAmount(field)) {
          FUZZ_CHECK(*amount < 1'000'000'000'000'000'000 && *amount > -1'000'000'000'000'000'000);
        }
      }
    }
  } else {
    FUZZ_CHECK(error.rfind("line ", 0) == 0);
  }
}
