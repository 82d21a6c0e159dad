#include "ledger/Import.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <functional>
#include <map>
#include <set>
#include <string_view>
#include <unordered_map>

#include "host/LedgerCore.h"
#include "host/SaveTaxInfo.h"
#include "ledger/CheckVerdict.h"
#include "ledger/Dates.h"
#include "ledger/LocalFiles.h"
#include "ledger/Text.h"
#include "platform/ShiftJis.h"

namespace ledger {

namespace {

// Reads CSV text handed in pieces of any size, as they come from the file,
// and hands on each row as soon as it is complete: nothing but the row being
// read is kept. A row is the fields of one record with the line it starts
// on; a quoted field may span lines, and blank lines give no row. The
// fields' strings are reused from row to row.
class CsvParser {
 public:
  struct Row {
    std::vector<std::string>& fields;  // the first `count` hold the row
    size_t count;
    int line;
  };

  template <class OnRow>
  void Feed(std::string_view data, OnRow&& onRow) {
    const char* p = data.data();
    const size_t n = data.size();
    size_t i = 0;
    while (i < n) {
      switch (state_) {
        case State::kQuoteInQuoted:
          // A quote inside quotes: doubled it stands for itself, else it
          // closed the field and the byte is read as outside quotes.
          if (p[i] == '"') {
            cur_ += '"';
            ++i;
            state_ = State::kQuoted;
          } else {
            state_ = State::kField;
          }
          break;
        case State::kAfterCr:
          if (p[i] == '\n') ++i;
          state_ = State::kField;
          break;
        case State::kQuoted: {
          size_t j = i;
          while (j < n && p[j] != '"') {
            if (p[j] == '\n') ++line_;
            ++j;
          }
          cur_.append(p + i, j - i);
          i = j;
          if (i < n) {
            ++i;
            state_ = State::kQuoteInQuoted;
          }
          break;
        }
        case State::kField: {
          size_t j = i;
          while (j < n && p[j] != ',' && p[j] != '\n' && p[j] != '\r' && p[j] != '"') ++j;
          if (j > i) {
            cur_.append(p + i, j - i);
            any_ = true;
            i = j;
          }
          if (i == n) break;
          const char c = p[i++];
          if (c == '"') {
            // Opens quotes at the start of a field only; elsewhere it is text.
            if (cur_.empty()) state_ = State::kQuoted;
            else cur_ += '"';
            any_ = true;
          } else if (c == ',') {
            EndField();
            any_ = true;
          } else {
            EndRow(onRow);
            rowLine_ = ++line_;
            if (c == '\r') state_ = State::kAfterCr;
          }
          break;
        }
      }
    }
  }

  // Hands on the last row when the text does not end in a line end. False
  // when the text ends inside quotes; `openLine` then names the row.
  template <class OnRow>
  bool Finish(OnRow&& onRow) {
    if (state_ == State::kQuoted) return false;
    EndRow(onRow);
    return true;
  }
  int openLine() const { return rowLine_; }

 private:
  enum class State { kField, kQuoted, kQuoteInQuoted, kAfterCr };

  void EndField() {
    if (count_ == fields_.size()) fields_.emplace_back();
    fields_[count_].swap(cur_);
    cur_.clear();
    ++count_;
  }
  template <class OnRow>
  void EndRow(OnRow&& onRow) {
    if (any_ || !cur_.empty()) {
      EndField();
      onRow(Row{fields_, count_, rowLine_});
    }
    count_ = 0;
    cur_.clear();
    any_ = false;
    state_ = State::kField;
  }

  std::vector<std::string> fields_;
  size_t count_ = 0;
  std::string cur_;
  bool any_ = false;
  int line_ = 1;
  int rowLine_ = 1;
  State state_ = State::kField;
};

constexpr std::string_view kBom = "\xEF\xBB\xBF";

}  // namespace

bool ParseCsv(const std::string& text, std::vector<std::vector<std::string>>* rows, std::vector<int>* lines,
              std::string* error) {
  CsvParser parser;
  auto keep = [&](const CsvParser::Row& row) {
    rows->emplace_back(row.fields.begin(), row.fields.begin() + static_cast<std::ptrdiff_t>(row.count));
    lines->push_back(row.line);
  };
  std::string_view view(text);
  if (view.starts_with(kBom)) view.remove_prefix(kBom.size());
  parser.Feed(view, keep);
  if (!parser.Finish(keep)) {
    *error = "line " + std::to_string(parser.openLine()) + ": a quoted field is not closed";
    return false;
  }
  return true;
}

std::optional<int64_t> ParseAmount(const std::string& text) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  int64_t whole = 0;
  size_t digits = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) {
    whole = whole * 10 + (text[i] - '0');
    // 10^14 yen and more does not fit; checked after every digit, so that
    // whole x 10 000 below cannot overflow.
    if (whole > 99'999'999'999'999) return std::nullopt;
  }
  int64_t fraction = 0;
  size_t decimals = 0;
  if (i < text.size() && text[i] == '.') {
    for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++decimals) {
      if (decimals == 4) return std::nullopt;
      fraction = fraction * 10 + (text[i] - '0');
    }
    if (decimals == 0) return std::nullopt;
  }
  if (i != text.size() || digits == 0) return std::nullopt;
  while (decimals++ < 4) fraction *= 10;
  const int64_t value = whole * 10000 + fraction;
  if (value >= 1'000'000'000'000'000'000) return std::nullopt;
  return negative ? -value : value;
}

const std::vector<std::string>& ImportFileNames() {
  static const std::vector<std::string> names = {"data.csv",  "tax_settings.csv", "accounts.csv", "departments.csv",
                                                 "users.csv", "journal.csv",      "assets.csv",   "saved_return.csv"};
  return names;
}

namespace {

// Whether `text` is well-formed UTF-8: no stray continuation byte, no cut or
// overlong sequence, no surrogate, nothing above U+10FFFF.
bool IsUtf8(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    size_t len = 0;
    uint32_t cp = 0;
    if (c < 0x80) {
      ++i;
      continue;
    } else if (c >= 0xC2 && c <= 0xDF) {
      len = 2;
      cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      len = 3;
      cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      len = 4;
      cp = c & 0x07;
    } else {
      return false;
    }
    if (i + len > text.size()) return false;
    for (size_t k = 1; k < len; ++k) {
      const auto t = static_cast<unsigned char>(text[i + k]);
      if ((t & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (t & 0x3F);
    }
    if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp <= 0xDFFF)) {
      return false;
    }
    i += len;
  }
  return true;
}

// The tax categories a journal side may carry (docs/tax-categories.md).
bool IsTaxCategory(int64_t code) { return (code >= 0 && code <= 7) || (code >= 21 && code <= 37); }

// Whether a text handed in pieces is well-formed UTF-8 throughout, as
// IsUtf8 of the whole would say: a character cut between two pieces waits
// for the rest.
class Utf8Check {
 public:
  void Feed(std::string_view piece) {
    if (!ok_) return;
    if (!carry_.empty()) {
      const size_t need = SequenceLength(static_cast<unsigned char>(carry_[0]));
      const size_t take = std::min(need - carry_.size(), piece.size());
      carry_.append(piece.substr(0, take));
      piece.remove_prefix(take);
      if (carry_.size() < need) return;
      ok_ = IsUtf8(carry_);
      carry_.clear();
      if (!ok_) return;
    }
    size_t cut = piece.size();
    for (size_t back = 1; back <= 3 && back <= piece.size(); ++back) {
      const auto c = static_cast<unsigned char>(piece[piece.size() - back]);
      if ((c & 0xC0) == 0x80) continue;
      if (SequenceLength(c) > back) cut = piece.size() - back;
      break;
    }
    ok_ = IsUtf8(piece.substr(0, cut));
    carry_.assign(piece.substr(cut));
  }
  // A character left unfinished at the end is not UTF-8.
  bool Finish() const { return ok_ && carry_.empty(); }

 private:
  static size_t SequenceLength(unsigned char c) {
    if (c < 0x80) return 1;
    if (c >= 0xC2 && c <= 0xDF) return 2;
    if (c >= 0xE0 && c <= 0xEF) return 3;
    if (c >= 0xF0 && c <= 0xF4) return 4;
    return 1;  // not a lead byte: IsUtf8 refuses it where it stands
  }
  bool ok_ = true;
  std::string carry_;
};

// Whether a text handed in pieces converts from CP932 throughout, as the
// conversion of the whole would say: a lead byte that ends a piece is
// converted with the byte that follows it.
class Cp932Check {
 public:
  void Feed(std::string_view piece) {
    if (!ok_ || piece.empty()) return;
    if (!carry_.empty()) {
      carry_ += piece[0];
      piece.remove_prefix(1);
      ok_ = Cp932ToUtf8(carry_).has_value();
      carry_.clear();
      if (!ok_) return;
    }
    size_t i = 0;
    while (i < piece.size()) i += platform::sjis::IsLeadByte(static_cast<unsigned char>(piece[i])) ? 2 : 1;
    const size_t cut = i == piece.size() ? piece.size() : piece.size() - 1;
    ok_ = Cp932ToUtf8(piece.substr(0, cut)).has_value();
    carry_.assign(piece.substr(cut));
  }
  bool Finish() const { return ok_ && (carry_.empty() || Cp932ToUtf8(carry_).has_value()); }

 private:
  bool ok_ = true;
  std::string carry_;
};

struct Failure {
  std::string message;
};

// An open import file, closed when its owner goes.
class Fd {
 public:
  explicit Fd(std::unique_ptr<local::InputFile> file) : file_(std::move(file)) {}
  local::InputFile& get() const { return *file_; }

 private:
  std::unique_ptr<local::InputFile> file_;
};

// Reads the file from its start, handing `onPiece(bytes, first)` one
// buffer-full at a time; the first piece holds at least the three bytes of a
// byte-order mark unless the file is shorter.
template <class OnPiece>
void ReadPieces(local::InputFile& file, const std::string& name, std::vector<char>& buffer, OnPiece&& onPiece) {
  std::string why;
  if (!file.Rewind(&why)) throw Failure{name + ": cannot be read: " + why};
  bool first = true;
  for (;;) {
    size_t have = 0;
    for (;;) {
      const int64_t n = file.Read(buffer.data() + have, buffer.size() - have, &why);
      if (n < 0) throw Failure{name + ": cannot be read: " + why};
      if (n == 0) break;
      have += static_cast<size_t>(n);
      if (!first || have >= kBom.size()) break;
    }
    if (have == 0) return;
    onPiece(std::string_view(buffer.data(), have), first);
    first = false;
  }
}

// Feeds the rows of the file `fd` to `onRow`, without its byte-order mark;
// false when the file ends inside quotes, `openLine` then naming that row.
template <class OnRow>
bool ReadRows(local::InputFile& fd, const std::string& name, std::vector<char>& buffer, OnRow&& onRow, int* openLine) {
  CsvParser parser;
  ReadPieces(fd, name, buffer, [&](std::string_view piece, bool first) {
    if (first && piece.starts_with(kBom)) piece.remove_prefix(kBom.size());
    parser.Feed(piece, onRow);
  });
  if (parser.Finish(onRow)) return true;
  *openLine = parser.openLine();
  return false;
}

bool IsAscii(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// One import file being imported, read row by row: the fields of the row at
// hand by header name or column, with errors that name the file, line and
// field. The file's shape (quotes closed, header, field counts) and encoding
// were checked before its first row is handed on.
class CsvFile {
 public:
  CsvFile(std::string name, const std::vector<std::string>& header, Fd fd, bool shiftJis, std::vector<char>& buffer)
      : name_(std::move(name)), header_(header), fd_(std::move(fd)), shiftJis_(shiftJis), buffer_(buffer) {}

  int line() const { return line_; }
  // Messages from here on name the row of `line`.
  void SetLine(int line) { line_ = line; }
  const std::string& name() const { return name_; }

  std::string Where(const std::string& field) const {
    return name_ + " line " + std::to_string(line_) + (field.empty() ? "" : ", field " + field);
  }
  std::string Where(size_t column) const { return Where(header_[column]); }
  bool Has(const std::string& field) const { return std::find(header_.begin(), header_.end(), field) != header_.end(); }
  const std::string& Text(const std::string& field) const {
    static const std::string kNone;
    for (size_t i = 0; i < header_.size(); ++i) {
      if (header_[i] == field) return (*fields_)[i];
    }
    return kNone;
  }
  const std::string& Text(size_t column) const { return (*fields_)[column]; }

  // Calls `body()` for every row after the header, the row at hand then
  // being the one read. A Failure thrown by `body` ends the reading.
  template <class Body>
  void ForEachRow(Body&& body) {
    bool header = true;
    auto onRow = [&](const CsvParser::Row& row) {
      line_ = row.line;
      if (header) {
        header = false;
        return;
      }
      // Checked before, and again in case the file changed since.
      if (row.count != header_.size()) {
        throw Failure{name_ + " line " + std::to_string(row.line) + ": " + std::to_string(row.count) +
                      " fields where the header has " + std::to_string(header_.size())};
      }
      if (shiftJis_) {
        for (size_t i = 0; i < row.count; ++i) {
          std::string& field = row.fields[i];
          if (IsAscii(field)) continue;
          auto converted = Cp932ToUtf8(field);
          if (!converted) {
            throw Failure{Where(i) + ": holds bytes that are neither UTF-8 nor Shift_JIS text"};
          }
          field = std::move(*converted);
        }
      }
      fields_ = &row.fields;
      body();
    };
    int openLine = 0;
    if (!ReadRows(fd_.get(), name_, buffer_, onRow, &openLine)) {
      throw Failure{name_ + " line " + std::to_string(openLine) + ": a quoted field is not closed"};
    }
  }

 private:
  std::string name_;
  const std::vector<std::string>& header_;
  Fd fd_;
  bool shiftJis_;
  std::vector<char>& buffer_;
  const std::vector<std::string>* fields_ = nullptr;
  int line_ = 0;
};


class Importer {
 public:
  Importer(Store& store, std::string folder, bool replace)
      : store_(store), folder_(std::move(folder)), replace_(replace) {}

  int rows = 0;
  std::vector<ImportedFile> files;

  void Run() {
    if (!local::IsFolder(folder_)) throw Failure{folder_ + " is not a folder"};
    RefuseUnknownFiles();
    bool any = false;
    for (const std::string& file : ImportFileNames()) {
      std::optional<CsvFile> csv = Load(file);
      if (!csv) continue;
      any = true;
      const int before = rows;
      const std::string name = file;
      if (name == "data.csv") Data(*csv);
      else if (name == "tax_settings.csv") Tax(*csv);
      else if (name == "accounts.csv") Accounts(*csv);
      else if (name == "departments.csv") Departments(*csv);
      else if (name == "users.csv") Users(*csv);
      else if (name == "journal.csv") Journal(*csv);
      else if (name == "assets.csv") Assets(*csv);
      else SavedReturn(*csv);
      files.push_back({name, rows - before, encoding_});
    }
    if (!any) throw Failure{folder_ + " holds none of the import files (data.csv, journal.csv, ...)"};
  }

 private:
  // A file named like CSV that is no import file would be left out without
  // a word, and the books would look complete without it.
  void RefuseUnknownFiles() {
    std::vector<std::string> unknown;
    std::vector<std::string> entries;
    std::string why;
    if (!local::ListFolder(folder_, &entries, &why)) throw Failure{folder_ + ": cannot be listed: " + why};
    for (const std::string& name : entries) {
      if (name.size() < 4) continue;
      std::string suffix = name.substr(name.size() - 4);
      for (char& c : suffix) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      if (suffix != ".csv") continue;
      const auto& known = ImportFileNames();
      if (std::find(known.begin(), known.end(), name) == known.end()) unknown.push_back(name);
    }
    if (unknown.empty()) return;
    std::sort(unknown.begin(), unknown.end());
    std::string names, known;
    for (const auto& n : unknown) names += (names.empty() ? "" : ", ") + n;
    for (const auto& n : ImportFileNames()) known += (known.empty() ? "" : ", ") + n;
    throw Failure{names + (unknown.size() == 1 ? " is not an import file" : " are not import files") +
                  "; the import files are " + known + " (names in lower case)"};
  }

  // The file's text as UTF-8, and in `encoding_` which encoding it was read in.
  // Names the first field that is neither UTF-8 nor Shift_JIS. Field
  // boundaries hold in both encodings: no byte of a double-byte Shift_JIS
  // character is a comma, a quote or a line end.
  [[noreturn]] void RefuseBadField(const std::string& name, local::InputFile& fd) {
    const std::vector<std::string>& header = Headers().at(name);
    int openLine = 0;
    auto check = [&](const CsvParser::Row& row) {
      for (size_t i = 0; i < row.count; ++i) {
        const std::string& field = row.fields[i];
        if (IsUtf8(field) || Cp932ToUtf8(field)) continue;
        const std::string fieldName = i < header.size() ? header[i] : "number " + std::to_string(i + 1);
        throw Failure{name + " line " + std::to_string(row.line) + ", field " + fieldName +
                      ": holds bytes that are neither UTF-8 nor Shift_JIS text"};
      }
    };
    // An open quote anywhere is named before any field.
    if (!ReadRows(fd, name, buffer_, [](const CsvParser::Row&) {}, &openLine) ||
        !ReadRows(fd, name, buffer_, check, &openLine)) {
      throw Failure{name + " line " + std::to_string(openLine) + ": a quoted field is not closed"};
    }
    throw Failure{name + ": mixes UTF-8 and Shift_JIS text; save the whole file in one of them"};
  }


  static const std::map<std::string, std::vector<std::string>>& Headers() {
    static const std::map<std::string, std::vector<std::string>> headers = {
        {"data.csv",
         {"data_no", "data_id", "company_name", "period_start", "period_end", "closing_day", "closing_pattern",
          "past_record", "company_kind", "income_layout", "maintenance_lock"}},
        {"tax_settings.csv",
         {"data_no", "tax_method", "rounding", "deduction_method", "main_business_type", "tax_inclusive",
          "rate_count"}},
        {"accounts.csv",
         {"data_no", "account_id", "code", "name", "class_code", "balance_side", "list_excluded", "sum_mark_a",
          "sum_mark_b"}},
        {"departments.csv", {"data_no", "code", "name", "class", "reference", "income_type"}},
        {"users.csv", {"user_id", "name", "selected_group", "selected_data_no"}},
        {"journal.csv",
         {"data_no", "line_no", "date", "month_no", "dr_account", "dr_department", "dr_amount", "dr_tax",
          "dr_category", "dr_rate", "dr_business_type", "cr_account", "cr_department", "cr_amount", "cr_tax",
          "cr_category", "cr_rate", "cr_business_type", "description"}},
        {"assets.csv",
         {"data_no", "asset_no", "name", "kind", "acquisition_date", "acquisition_amount", "income_type"}},
        {"saved_return.csv", {"data_no", "field", "value"}},
    };
    return headers;
  }

  // The import file of that name, open for reading; none when the folder
  // has no file of that name. Only a plain file that lies in the folder
  // itself is read: a link (which may lead anywhere), a folder, a pipe or a
  // device under an import file's name is refused, never followed or waited
  // on.
  std::optional<Fd> OpenImportFile(const std::string& name, const std::string& path) {
    std::unique_ptr<local::InputFile> file;
    std::string why;
    switch (local::InputFile::Open(path, &file, &why)) {
      case local::InputFile::Opened::kOk: return Fd(std::move(file));
      case local::InputFile::Opened::kMissing: return std::nullopt;
      case local::InputFile::Opened::kLink:
        throw Failure{name + ": is a link; only the files of " + folder_ + " itself are read"};
      case local::InputFile::Opened::kNotPlain: throw Failure{name + ": is not a plain file"};
      case local::InputFile::Opened::kFailed: break;
    }
    throw Failure{name + ": cannot be opened: " + why};
  }

  // Opens an import file and checks it whole before any row is used: one
  // pass reads its shape (quotes closed, the header, the field count of
  // every row) while checking that it is UTF-8; a file that is not is read
  // once more to check that it is Shift_JIS. Nothing of the rows is kept.
  std::optional<CsvFile> Load(const std::string& name) {
    std::optional<Fd> fd = OpenImportFile(name, local::InFolder(folder_, name));
    if (!fd) return std::nullopt;
    const std::vector<std::string>& expected = Headers().at(name);
    Utf8Check utf8;
    bool bom = false;
    size_t rowCount = 0;
    bool headerOk = false;
    int badLine = 0;
    size_t badCount = 0;
    auto shape = [&](const CsvParser::Row& row) {
      if (rowCount++ == 0) {
        headerOk = row.count == expected.size() && std::equal(expected.begin(), expected.end(), row.fields.begin());
      } else if (badLine == 0 && row.count != expected.size()) {
        badLine = row.line;
        badCount = row.count;
      }
    };
    CsvParser parser;
    ReadPieces(fd->get(), name, buffer_, [&](std::string_view piece, bool first) {
      utf8.Feed(piece);
      if (first && piece.starts_with(kBom)) {
        bom = true;
        piece.remove_prefix(kBom.size());
      }
      parser.Feed(piece, shape);
    });
    const bool closed = parser.Finish(shape);

    bool shiftJis = false;
    if (bom || utf8.Finish()) {
      encoding_ = "UTF-8";
      if (!utf8.Finish()) RefuseBadField(name, fd->get());
    } else {
      Cp932Check cp932;
      ReadPieces(fd->get(), name, buffer_, [&](std::string_view piece, bool) { cp932.Feed(piece); });
      if (!cp932.Finish()) RefuseBadField(name, fd->get());
      encoding_ = "Shift_JIS";
      shiftJis = true;
    }
    if (!closed) {
      throw Failure{name + " line " + std::to_string(parser.openLine()) + ": a quoted field is not closed"};
    }
    if (rowCount == 0) throw Failure{name + ": no header line"};
    if (!headerOk) {
      std::string want;
      for (const auto& h : expected) want += (want.empty() ? "" : ",") + h;
      throw Failure{name + " line 1: the header must be " + want};
    }
    if (badLine != 0) {
      throw Failure{name + " line " + std::to_string(badLine) + ": " + std::to_string(badCount) +
                    " fields where the header has " + std::to_string(expected.size())};
    }
    return CsvFile(name, expected, std::move(*fd), shiftJis, buffer_);
  }


  // Field readers.
  // A field is named by its header name or its column.
  template <class Field>
  static int64_t Int(const CsvFile& f, const Field& field, int64_t min, int64_t max,
                     std::optional<int64_t> blank = std::nullopt) {
    const std::string& text = f.Text(field);
    if (text.empty() && blank) return *blank;
    size_t used = 0;
    int64_t value = 0;
    try {
      const int base = text.starts_with("0x") || text.starts_with("0X") ? 16 : 10;
      value = std::stoll(text, &used, base);
    } catch (...) {
      used = 0;
    }
    if (text.empty() || used != text.size()) throw Failure{f.Where(field) + ": \"" + text + "\" is not a whole number"};
    if (value < min || value > max) {
      throw Failure{f.Where(field) + ": " + text + " is outside " + std::to_string(min) + " to " + std::to_string(max)};
    }
    return value;
  }
  template <class Field>
  static int32_t Date(const CsvFile& f, const Field& field) {
    const auto value = static_cast<int32_t>(Int(f, field, 19000101, 29991231));
    if (!dates::IsValid(value)) throw Failure{f.Where(field) + ": " + std::to_string(value) + " is not a date"};
    return value;
  }
  template <class Field>
  static std::string Text(const CsvFile& f, const Field& field, size_t maxChars, bool required = true) {
    const std::string& text = f.Text(field);
    if (required && text.empty()) throw Failure{f.Where(field) + ": must not be empty"};
    auto sjis = Utf8ToCp932(text);
    if (!sjis) throw Failure{f.Where(field) + ": not UTF-8 text that Shift_JIS can hold"};
    if (Cp932ToUtf8(*sjis)->size() != text.size() || CharCount(text) > maxChars) {
      throw Failure{f.Where(field) + ": longer than " + std::to_string(maxChars) + " characters"};
    }
    return text;
  }
  static size_t CharCount(const std::string& utf8) {
    size_t n = 0;
    for (unsigned char c : utf8) n += (c & 0xC0) != 0x80;
    return n;
  }
  template <class Field>
  static int64_t Amount(const CsvFile& f, const Field& field) {
    static const std::string kZero = "0";
    auto value = ParseAmount(f.Text(field).empty() ? kZero : f.Text(field));
    if (!value) {
      throw Failure{f.Where(field) + ": \"" + f.Text(field) +
                    "\" is not an amount in yen with at most four decimals below 10^14"};
    }
    return *value;
  }

  // The data ID of the row's data number. The data sets stay as they are
  // while the files after data.csv are read, so the last answer is kept.
  const std::string& DataId(const CsvFile& f) {
    const int64_t no = Int(f, "data_no", 1, 2147483647);
    if (lastDataNo_ == no) return lastDataId_;
    Statement& q = Cached("SELECT data_id FROM data_entry WHERE data_no = ?1");
    q.Bind(1, no);
    if (q.Step() != SQLITE_ROW) throw Failure{f.Where("data_no") + ": no data set has number " + std::to_string(no)};
    lastDataId_ = q.Text(0);
    lastDataNo_ = no;
    return lastDataId_;
  }

  // The rows' own checks come first, so a refusal here is a rule the checks
  // above have missed: it is named in the import's terms, never in the
  // database's own words.
  // A table whose key is checked by the store alone passes `repeatedKey`,
  // the message for a row whose key is there already (from an earlier row of
  // the file or from before).
  void Insert(const CsvFile& f, Statement& s, const std::function<std::string()>& repeatedKey = {}) {
    const int rc = s.Step();
    if (rc != SQLITE_DONE) {
      const int code = sqlite3_extended_errcode(store_.handle());
      s.Reset();
      if (repeatedKey && code == SQLITE_CONSTRAINT_PRIMARYKEY) throw Failure{repeatedKey()};
      throw Failure{f.Where("") + ": " + StoreRefusal(code)};
    }
    s.Reset();
    ++rows;
  }

  std::string StoreRefusal() const { return StoreRefusal(sqlite3_extended_errcode(store_.handle())); }
  static std::string StoreRefusal(int code) {
    switch (code) {
      case SQLITE_CONSTRAINT_UNIQUE:
      case SQLITE_CONSTRAINT_PRIMARYKEY:
        return "the row repeats the key of a row that is already there";
      case SQLITE_CONSTRAINT_CHECK:
      case SQLITE_CONSTRAINT_NOTNULL:
        return "a value is outside what the company data allows";
      case SQLITE_CONSTRAINT_FOREIGNKEY:
        return "the row names an account, department or data set that is not there";
      default:
        return "the company database could not store the row (error " + std::to_string(code) + ")";
    }
  }

  // Refuses the row when `key` was given by an earlier row of the file.
  static void Once(const CsvFile& f, std::map<std::string, int>& seen, const std::string& key,
                   const std::string& field, const std::string& what) {
    auto [it, fresh] = seen.emplace(key, f.line());
    if (!fresh) {
      throw Failure{f.Where(field) + ": " + what + " is given twice (line " + std::to_string(it->second) +
                    " gives it first)"};
    }
  }

  // Whether the query with text parameters `params` finds a row.
  bool Found(const std::string& sql, std::initializer_list<std::string_view> params,
             std::initializer_list<int64_t> numbers = {}) {
    Statement& q = Cached(sql);
    int index = 1;
    for (const auto& p : params) q.Bind(index++, p);
    for (int64_t n : numbers) q.Bind(index++, n);
    const bool found = q.Step() == SQLITE_ROW;
    q.Reset();
    return found;
  }

  // The statement of `sql`, prepared once for the whole import and reset
  // for each use.
  Statement& Cached(const std::string& sql) {
    auto it = cached_.find(sql);
    if (it == cached_.end()) it = cached_.emplace(sql, Prepare(sql)).first;
    it->second.Reset();
    return it->second;
  }

  Statement Prepare(const std::string& sql) {
    std::string error;
    Statement s = store_.Prepare(sql, &error);
    if (!s.valid()) throw Failure{"internal: " + error};
    return s;
  }

  void Data(CsvFile& f) {
    Statement insert = Prepare("INSERT INTO data_entry VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11)");
    Statement exists = Prepare("SELECT data_id FROM data_entry WHERE data_no = ?1");
    Statement remove = Prepare("DELETE FROM data_entry WHERE data_no = ?1");
    std::map<std::string, int> numbers, ids;
    f.ForEachRow([&] {
      const int64_t no = Int(f, "data_no", 1, 2147483647);
      Once(f, numbers, std::to_string(no), "data_no", "data number " + std::to_string(no));
      exists.Reset();
      exists.Bind(1, no);
      if (exists.Step() == SQLITE_ROW) {
        if (!replace_) {
          throw Failure{f.Where("data_no") + ": data number " + std::to_string(no) +
                        " already exists (import with --replace to replace it)"};
        }
        remove.Reset();
        remove.Bind(1, no);
        if (remove.Step() != SQLITE_DONE) throw Failure{f.Where("") + ": " + StoreRefusal()};
      }
      const std::string id = Text(f, "data_id", 15);
      if (id.find_first_not_of("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz_-") != std::string::npos) {
        throw Failure{f.Where("data_id") + ": \"" + id + "\" may hold letters, digits, _ and - only"};
      }
      Once(f, ids, id, "data_id", "data ID " + id);
      exists.Reset();
      if (Found("SELECT 1 FROM data_entry WHERE data_id = ?1", {id})) {
        throw Failure{f.Where("data_id") + ": data ID " + id + " is already used by another data number"};
      }
      if (const std::string kind = f.Text("company_kind"); kind == "2") {
        throw Failure{f.Where("company_kind") + ": 2 is no company kind (0 or 1 corporation, 3 or 4 individual)"};
      }
      const int32_t start = Date(f, "period_start");
      const int32_t end = Date(f, "period_end");
      if (end < start) throw Failure{f.Where("period_end") + ": ends before period_start"};
      ClAccPeriod period;
      period.SetPeriod(start, end);
      period.SetClosingDay(static_cast<int16_t>(Int(f, "closing_day", 1, 31)));
      if (period.MonthCount() > 12) throw Failure{f.Where("period_end") + ": the period is longer than 12 months"};
      insert.Bind(1, id).Bind(2, no).Bind(3, Text(f, "company_name", 80)).Bind(4, start).Bind(5, end);
      insert.Bind(6, Int(f, "closing_day", 1, 31)).Bind(7, Int(f, "closing_pattern", 0, 1, 0));
      insert.Bind(8, Int(f, "past_record", 0, 1, 0)).Bind(9, Int(f, "company_kind", 0, 4));
      insert.Bind(10, Int(f, "income_layout", 0, 3, 0)).Bind(11, Int(f, "maintenance_lock", 0, 1, 0));
      Insert(f, insert);
    });
  }

  void Tax(CsvFile& f) {
    Statement insert = Prepare("INSERT INTO tax_settings VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
    std::map<std::string, int> seen;
    f.ForEachRow([&] {
      const std::string dataId = DataId(f);
      Once(f, seen, dataId, "data_no", "the tax settings of data number " + f.Text("data_no"));
      if (Found("SELECT 1 FROM tax_settings WHERE data_id = ?1", {dataId})) {
        throw Failure{f.Where("data_no") + ": data number " + f.Text("data_no") +
                      " has tax settings already (import its data.csv row with --replace to replace the data set)"};
      }
      insert.Bind(1, dataId).Bind(2, Int(f, "tax_method", 0, 2)).Bind(3, Int(f, "rounding", 0, 2, 0));
      insert.Bind(4, Int(f, "deduction_method", 0, 1, 0)).Bind(5, Int(f, "main_business_type", 0, 6, 0));
      insert.Bind(6, Int(f, "tax_inclusive", 0, 1, 0)).Bind(7, Int(f, "rate_count", 3, 16, 5));
      Insert(f, insert);
    });
  }

  void Accounts(CsvFile& f) {
    Statement insert = Prepare("INSERT INTO account VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)");
    f.ForEachRow([&] {
      const std::string dataId = DataId(f);
      const int64_t id = Int(f, "account_id", 1, 4294967295);
      const std::string code = Text(f, "code", 15);
      if (Found("SELECT 1 FROM account WHERE data_id = ?1 AND account_id = ?2", {dataId}, {id})) {
        throw Failure{f.Where("account_id") + ": data number " + f.Text("data_no") + " has an account " +
                      std::to_string(id) + " already"};
      }
      if (Found("SELECT 1 FROM account WHERE data_id = ?1 AND code = ?2", {dataId, code})) {
        throw Failure{f.Where("code") + ": data number " + f.Text("data_no") + " has an account with code \"" + code +
                      "\" already"};
      }
      insert.Bind(1, dataId).Bind(2, id).Bind(3, code);
      insert.Bind(4, Text(f, "name", 30)).Bind(5, Int(f, "class_code", 0, 4294967295));
      insert.Bind(6, Int(f, "balance_side", 1, 2)).Bind(7, Int(f, "list_excluded", 0, 1, 0));
      insert.Bind(8, Int(f, "sum_mark_a", 0, 255, 0)).Bind(9, Int(f, "sum_mark_b", 0, 255, 0));
      Insert(f, insert);
    });
  }

  void Departments(CsvFile& f) {
    Statement insert = Prepare("INSERT INTO department VALUES (?1, ?2, ?3, ?4, ?5, ?6)");
    f.ForEachRow([&] {
      const std::string dataId = DataId(f);
      const int64_t code = Int(f, "code", 1, 2147483647);
      if (Found("SELECT 1 FROM department WHERE data_id = ?1 AND code = ?2", {dataId}, {code})) {
        throw Failure{f.Where("code") + ": data number " + f.Text("data_no") + " has a department " +
                      std::to_string(code) + " already"};
      }
      insert.Bind(1, dataId).Bind(2, code).Bind(3, Text(f, "name", 29));
      insert.Bind(4, Int(f, "class", 0, 255, 0)).Bind(5, Int(f, "reference", -2147483648LL, 2147483647, 0));
      insert.Bind(6, Int(f, "income_type", 0, 255, 1));
      Insert(f, insert);
    });
  }

  void Users(CsvFile& f) {
    Statement insert = Prepare("INSERT OR REPLACE INTO app_user VALUES (?1, ?2, ?3, ?4)");
    Statement known = Prepare("SELECT 1 FROM data_entry WHERE data_no = ?1");
    std::map<std::string, int> seen;
    f.ForEachRow([&] {
      const std::string user = Text(f, "user_id", 64);
      Once(f, seen, user, "user_id", "user " + user);
      if (!replace_ && Found("SELECT 1 FROM app_user WHERE user_id = ?1", {user})) {
        throw Failure{f.Where("user_id") + ": user " + user + " already exists (import with --replace to replace it)"};
      }
      insert.Bind(1, user).Bind(2, Text(f, "name", 40, false));
      insert.Bind(3, Int(f, "selected_group", 0, 2147483647, 0));
      if (f.Text("selected_data_no").empty()) {
        insert.BindNull(4);
      } else {
        const int64_t no = Int(f, "selected_data_no", 1, 2147483647);
        known.Reset();
        known.Bind(1, no);
        if (known.Step() != SQLITE_ROW) {
          throw Failure{f.Where("selected_data_no") + ": no data set has number " + std::to_string(no)};
        }
        insert.Bind(4, no);
      }
      Insert(f, insert);
    });
  }

  struct DataFacts {
    ClAccPeriod period;
  };

  void Journal(CsvFile& f) {
    // The columns of journal.csv; each side's seven follow its first.
    enum : size_t { kDataNo = 0, kLineNo = 1, kDate = 2, kMonthNo = 3, kDebit = 4, kCredit = 11, kDescription = 18 };
    enum : size_t { kAccount = 0, kDepartment, kAmount, kTax, kCategory, kRate, kBusinessType };
    Statement insert = Prepare(
        "INSERT INTO journal_line VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, "
        "?17, ?18, ?19, ?20, ?21)");
    Statement account = Prepare("SELECT account_id FROM account WHERE data_id = ?1 AND code = ?2");
    Statement department = Prepare("SELECT 1 FROM department WHERE data_id = ?1 AND code = ?2");
    Statement facts = Prepare("SELECT period_start, period_end, closing_day FROM data_entry WHERE data_id = ?1");
    // Per data set its period and the dates of its month numbers, worked
    // out once: month number n covers months[n - 1] (none when from > to).
    struct Facts {
      ClAccPeriod period;
      int32_t start = 0, end = 0;
      std::vector<std::pair<int32_t, int32_t>> months;
    };
    std::map<std::string, Facts, std::less<>> periods;
    // The accounts (by code) and departments of the data set at hand that
    // rows have named so far: they stay as they are while the journal is
    // read, and there are at most as many as the data set has.
    std::string namesOf;
    std::unordered_map<std::string, int64_t> accountIds;
    std::set<int64_t> departments;
    static const std::map<std::string, std::pair<int, int>, std::less<>> kRates = {
        {"", {0, 0}}, {"0", {0, 0}}, {"3", {300, 0}}, {"5", {500, 0}}, {"8", {800, 0}}, {"8R", {800, 1}}, {"10", {1000, 0}}};
    f.ForEachRow([&] {
      const std::string& dataId = DataId(f);
      auto known = periods.find(dataId);
      if (known == periods.end()) {
        facts.Reset();
        facts.Bind(1, dataId);
        facts.Step();
        known = periods.emplace(dataId, Facts()).first;
        Facts& made = known->second;
        made.period.SetPeriod(static_cast<int32_t>(facts.Int(0)), static_cast<int32_t>(facts.Int(1)));
        made.period.SetClosingDay(static_cast<int16_t>(facts.Int(2)));
        made.period.GetPeriod(&made.start, &made.end);
        for (int32_t n = 1; n <= made.period.MonthCount(); ++n) {
          int32_t from = 0, to = 0;
          if (made.period.GetPeriodByMonthKind(static_cast<int16_t>(n), &from, &to, 0) != 0) from = 1, to = 0;
          made.months.emplace_back(from, to);
        }
      }
      const ClAccPeriod& period = known->second.period;
      if (namesOf != dataId) {
        namesOf = dataId;
        accountIds.clear();
        departments.clear();
      }
      const int32_t date = Date(f, kDate);
      if (date < known->second.start || date > known->second.end) {
        throw Failure{f.Where(kDate) + ": outside the data set's period"};
      }
      int64_t monthNo = 0;
      for (size_t n = 0; n < known->second.months.size(); ++n) {
        const auto [from, to] = known->second.months[n];
        if (date >= from && date <= to) monthNo = static_cast<int64_t>(n + 1);
      }
      if (!f.Text(kMonthNo).empty()) {
        const int64_t given = Int(f, kMonthNo, 1, 18);
        int32_t from = 0, to = 0;
        const bool closing = given == 15 || given == 18;
        if (!closing && given != monthNo) {
          throw Failure{f.Where(kMonthNo) + ": the date falls in month number " + std::to_string(monthNo)};
        }
        if (closing && (period.GetPeriodByMonthKind(static_cast<int16_t>(given == 15 ? 6 : period.MonthCount()), &from,
                                                    &to, 0) != 0 ||
                        date < from || date > to)) {
          throw Failure{f.Where(kMonthNo) + ": closing month " + std::to_string(given) +
                        " takes dates of the month it closes only"};
        }
        if (!closing && given > 12) throw Failure{f.Where(kMonthNo) + ": must be 1-12, 15 or 18"};
        monthNo = given;
      }
      // A line number given before, in this file or earlier, is refused by
      // the table's key when the row is stored.
      const int64_t lineNo = Int(f, kLineNo, 1, 4294967295);
      insert.Bind(1, dataId).Bind(2, lineNo).Bind(3, date).Bind(4, monthNo);
      int index = 5;
      for (const size_t side : {kDebit, kCredit}) {
        const std::string& code = f.Text(side + kAccount);
        auto id = accountIds.find(code);
        if (id == accountIds.end()) {
          account.Reset();
          account.Bind(1, dataId).Bind(2, code);
          if (account.Step() != SQLITE_ROW) {
            throw Failure{f.Where(side + kAccount) + ": no account has code \"" + code + "\""};
          }
          id = accountIds.emplace(code, account.Int(0)).first;
        }
        insert.Bind(index++, id->second);
        if (f.Text(side + kDepartment).empty()) {
          insert.BindNull(index++);
        } else {
          const int64_t departmentCode = Int(f, side + kDepartment, 1, 2147483647);
          if (!departments.contains(departmentCode)) {
            department.Reset();
            department.Bind(1, dataId).Bind(2, departmentCode);
            if (department.Step() != SQLITE_ROW) {
              throw Failure{f.Where(side + kDepartment) + ": no department has code " +
                            std::to_string(departmentCode)};
            }
            departments.insert(departmentCode);
          }
          insert.Bind(index++, departmentCode);
        }
        insert.Bind(index++, Amount(f, side + kAmount));
        insert.Bind(index++, Amount(f, side + kTax));
        const int64_t category = Int(f, side + kCategory, 0, 255, 0);
        if (!IsTaxCategory(category)) {
          throw Failure{f.Where(side + kCategory) + ": " + std::to_string(category) +
                        " is no tax category (0-7 or 21-37, docs/tax-categories.md)"};
        }
        insert.Bind(index++, category);
        const std::string& rate = f.Text(side + kRate);
        auto it = kRates.find(rate);
        if (it == kRates.end()) {
          throw Failure{f.Where(side + kRate) + ": \"" + rate + "\" is not 0, 3, 5, 8, 8R or 10"};
        }
        insert.Bind(index++, it->second.first);
        insert.Bind(index++, it->second.second);
        insert.Bind(index++, Int(f, side + kBusinessType, 0, 6, 0));
      }
      insert.Bind(index, Text(f, kDescription, 60, false));
      Insert(f, insert, [&] {
        return f.Where(kLineNo) + ": data number " + f.Text(kDataNo) + " has a journal line " +
               std::to_string(lineNo) + " already";
      });
    });
  }

  void Assets(CsvFile& f) {
    Statement insert = Prepare("INSERT INTO fixed_asset VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
    f.ForEachRow([&] {
      const std::string dataId = DataId(f);
      const int64_t no = Int(f, "asset_no", 1, 4294967295);
      if (Found("SELECT 1 FROM fixed_asset WHERE data_id = ?1 AND asset_no = ?2", {dataId}, {no})) {
        throw Failure{f.Where("asset_no") + ": data number " + f.Text("data_no") + " has an asset " +
                      std::to_string(no) + " already"};
      }
      insert.Bind(1, dataId).Bind(2, no).Bind(3, Text(f, "name", 19));
      insert.Bind(4, Int(f, "kind", 0, 4294967295)).Bind(5, Date(f, "acquisition_date"));
      insert.Bind(6, Amount(f, "acquisition_amount")).Bind(7, Int(f, "income_type", 0, 32767, 1));
      Insert(f, insert);
    });
  }

  void SavedReturn(CsvFile& f) {
    static const std::vector<std::string> kHeader = {
        "taxation_kind", "deduction_method", "sales_tax_choice", "purchase_tax_choice", "transitional_flag",
        "period_start", "period_end", "year_start", "year_end", "return_start", "return_end", "closing_pattern",
        "refund_individual_basis", "refund_corporate_pl_basis", "refund_corporate_asset_basis"};
    static const std::vector<std::string> kRequired = {"taxation_kind", "period_start", "period_end", "year_start",
                                                       "year_end", "return_start", "return_end"};
    struct Saved {
      std::map<std::string, int64_t> header;
      std::vector<std::pair<std::string, int64_t>> amounts;
      std::vector<int> amountLines;
      std::map<std::string, int> lines;  // the line that gives each field
      int firstLine = 0;
    };
    std::map<std::string, Saved> byData;
    f.ForEachRow([&] {
      const std::string dataId = DataId(f);
      Saved& saved = byData[dataId];
      if (saved.header.empty() && saved.amounts.empty()) saved.firstLine = f.line();
      const std::string field = f.Text("field");
      Once(f, saved.lines, field, "field", "the saved return's " + field + " of data number " + f.Text("data_no"));
      const bool isHeader = std::find(kHeader.begin(), kHeader.end(), field) != kHeader.end();
      if (isHeader) {
        const bool isDate = field.find("start") != std::string::npos || field.find("end") != std::string::npos;
        const bool isChoice = field == "deduction_method" || field == "closing_pattern";
        saved.header[field] = isDate             ? Date(f, "value")
                              : field == "taxation_kind" ? Int(f, "value", 1, 2)
                              : isChoice         ? Int(f, "value", 0, 1)
                                                 : Int(f, "value", 0, 255);
      } else if (host::SavedAmountOffset(field) != 0) {
        saved.amounts.emplace_back(field, Amount(f, "value"));
        saved.amountLines.push_back(f.line());
      } else {
        throw Failure{f.Where("field") + ": \"" + field + "\" is neither a header field nor a saved amount name"};
      }
    });
    Statement remove = Prepare("DELETE FROM saved_return WHERE data_id = ?1");
    Statement amount = Prepare("INSERT INTO saved_amount VALUES (?1, ?2, ?3)");
    for (auto& [dataId, saved] : byData) {
      f.SetLine(saved.firstLine);
      for (const std::string& field : kRequired) {
        if (!saved.header.contains(field)) throw Failure{f.Where("field") + ": the saved return lacks " + field};
      }
      remove.Reset();
      remove.Bind(1, dataId);
      remove.Step();
      std::string sql = "INSERT INTO saved_return (data_id";
      std::string values = ") VALUES (?1";
      int index = 2;
      for (const auto& [field, value] : saved.header) {
        sql += ", " + field;
        values += ", ?" + std::to_string(index++);
      }
      Statement insert = Prepare(sql + values + ")");
      insert.Bind(1, dataId);
      index = 2;
      for (const auto& [field, value] : saved.header) insert.Bind(index++, value);
      Insert(f, insert);
      for (size_t k = 0; k < saved.amounts.size(); ++k) {
        f.SetLine(saved.amountLines[k]);
        amount.Bind(1, dataId).Bind(2, saved.amounts[k].first).Bind(3, saved.amounts[k].second);
        Insert(f, amount);
      }
    }
  }

  Store& store_;
  std::string folder_;
  bool replace_;
  std::string encoding_;  // of the file being loaded
  std::vector<char> buffer_ = std::vector<char>(size_t{1} << 18);  // one read of an import file
  std::unordered_map<std::string, Statement> cached_;
  int64_t lastDataNo_ = 0;  // no data number is 0
  std::string lastDataId_;
};

}  // namespace

std::vector<std::string> RememberChecks(Store& store) {
  std::vector<std::string> notes;
  Statement q = store.Prepare(
      "SELECT data_id, data_no FROM data_entry WHERE data_id NOT IN (SELECT data_id FROM data_check) ORDER BY data_no");
  if (!q.valid()) return {"the data sets' checks could not be remembered: the database has no verdict table"};
  std::vector<std::pair<std::string, int64_t>> unchecked;
  while (q.Step() == SQLITE_ROW) unchecked.emplace_back(q.Text(0), q.Int(1));
  for (const auto& [dataId, dataNo] : unchecked) {
    std::string problem, notKept;
    const std::string which = "data number " + std::to_string(dataNo);
    if (CheckAndRemember(store, dataId, &problem, &notKept) != host::kOk)
      notes.push_back(which + " does not pass the check the programs make before they use it: " + problem);
    else if (!notKept.empty())
      notes.push_back(which + " is sound, but its check is made again at every start: " + notKept);
  }
  return notes;
}

ImportResult ImportFolder(Store& store, const std::string& folder, bool replace) {
  ImportResult result;
  std::string error;
  if (!EnsureCheckVerdicts(store, &error)) {
    result.error = "the company database is busy (another program is writing it) or read-only";
    return result;
  }
  if (!store.Exec("BEGIN IMMEDIATE", &error)) {
    result.error = "the company database is busy (another program is writing it) or read-only";
    return result;
  }
  Importer importer(store, folder, replace);
  try {
    importer.Run();
  } catch (const Failure& failure) {
    store.Exec("ROLLBACK");
    result.error = failure.message;
    return result;
  }
  result.notes = RememberChecks(store);
  if (!store.Exec("COMMIT", &error)) {
    store.Exec("ROLLBACK");
    result.error = "the import could not be stored (the disk is full, or the database is busy or read-only)";
    return result;
  }
  result.ok = true;
  result.rows = importer.rows;
  result.files = importer.files;
  return result;
}

}  // namespace ledger
