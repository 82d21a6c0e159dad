// Import: loads company data from a folder of UTF-8 CSV files (the format is
// documented in docs/ledger-import.md) into the installation's database.
//
// Every file is optional; those present are read in a fixed order (data,
// tax_settings, accounts, departments, users, journal, assets, saved_return)
// inside one transaction. The first bad row stops the import with a message
// naming the file, the line and the field, and nothing of the import stays in
// the database. A data number that already exists is refused unless
// `replace` is set, which first removes that data set entirely.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ledger/Store.h"

namespace ledger {

struct ImportResult {
  bool ok = false;
  std::string error;  // UTF-8, "journal.csv line 12, field dr_amount: ..."
  int rows = 0;       // rows imported
};

ImportResult ImportFolder(Store& store, const std::string& folder, bool replace);

// Parses one CSV line set: exposed for tests. False with `error` on an
// unterminated quote.
bool ParseCsv(const std::string& text, std::vector<std::vector<std::string>>* rows, std::vector<int>* lines,
              std::string* error);

// "1234", "-12.5", "0.0001" yen -> yen x 10 000; nullopt when it is not a
// number of at most four decimals or does not fit below 10^18.
std::optional<int64_t> ParseAmount(const std::string& text);

}  // namespace ledger
