// Import: loads company data from a folder of CSV files (the format is
// documented in docs/ledger-import.md) into the installation's database.
//
// Each file is read as UTF-8 when it starts with a UTF-8 byte-order mark or is
// valid UTF-8 throughout, else as Shift_JIS (CP932) when it is valid CP932
// throughout; a file that is neither is refused at its first field that is
// neither. A `.csv` file of the folder whose name is not one of the import
// files (names match exactly: "JOURNAL.CSV" is not "journal.csv") is refused
// before anything is read.
//
// Every file is optional; those present are read in a fixed order (data,
// tax_settings, accounts, departments, users, journal, assets, saved_return)
// inside one transaction. The first bad row stops the import with a message
// naming the file, the line and the field, and nothing of the import stays in
// the database. A file is read as it streams in, row by row: a first pass
// checks its encoding and shape (quotes closed, header, field counts), the
// next stores its rows, so memory does not grow with the files' size. A
// data number, and a user, that already exists is refused
// unless `replace` is set, which first removes that data set entirely (and
// overwrites the user). A row that repeats the key of another row, of the same
// file or already stored, is refused naming the key; no message carries the
// database's own wording.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ledger/Store.h"

namespace ledger {

// One import file that was read: its name, the rows it gave and the
// encoding it was read in ("UTF-8" or "Shift_JIS").
struct ImportedFile {
  std::string name;
  int rows = 0;
  std::string encoding;
};

struct ImportResult {
  bool ok = false;
  std::string error;  // UTF-8, "journal.csv line 12, field dr_amount: ..."
  int rows = 0;       // rows imported
  std::vector<ImportedFile> files;  // in the order read
  // After the rows are in, every data set without a remembered check is
  // checked (CheckVerdict.h): what the check refused, or why its verdict
  // could not be kept. The import stands either way.
  std::vector<std::string> notes;
};

// Checks every data set of the store that has no remembered verdict and
// remembers those that pass; the notes of ImportResult.
std::vector<std::string> RememberChecks(Store& store);

// The names of the import files, in the order they are read.
const std::vector<std::string>& ImportFileNames();

ImportResult ImportFolder(Store& store, const std::string& folder, bool replace);

// Parses one CSV line set: exposed for tests. False with `error` on an
// unterminated quote.
bool ParseCsv(const std::string& text, std::vector<std::vector<std::string>>* rows, std::vector<int>* lines,
              std::string* error);

// "1234", "-12.5", "0.0001" yen -> yen x 10 000; nullopt when it is not a
// number of at most four decimals or does not fit below 10^18.
std::optional<int64_t> ParseAmount(const std::string& text);

}  // namespace ledger
