#include "ledger/Import.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>

#include "host/LedgerCore.h"
#include "host/SaveTaxInfo.h"
#include "ledger/CheckVerdict.h"
#include "ledger/Dates.h"
#include "ledger/Text.h"

namespace ledger {

bool ParseCsv(const std::string& text, std::vector<std::vector<std::string>>* rows, std::vector<int>* lines,
              std::string* error) {
  size_t i = text.starts_with("\xEF\xBB\xBF") ? 3 : 0;
  int line = 1;
  std::vector<std::string> row;
  std::string field;
  bool inQuotes = false;
  bool any = false;
  int rowLine = 1;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (inQuotes) {
      if (c == '"') {
        if (i + 1 < text.size() && text[i + 1] == '"') {
          field += '"';
          ++i;
        } else {
          inQuotes = false;
        }
      } else {
        if (c == '\n') ++line;
        field += c;
      }
      continue;
    }
    if (c == '"' && field.empty()) {
      inQuotes = true;
      any = true;
    } else if (c == ',') {
      row.push_back(field);
      field.clear();
      any = true;
    } else if (c == '\n' || c == '\r') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      if (any || !field.empty()) {
        row.push_back(field);
        rows->push_back(row);
        lines->push_back(rowLine);
      }
      row.clear();
      field.clear();
      any = false;
      rowLine = ++line;
    } else {
      field += c;
      any = true;
    }
  }
  if (inQuotes) {
    *error = "line " + std::to_string(rowLine) + ": a quoted field is not closed";
    return false;
  }
  if (any || !field.empty()) {
    row.push_back(field);
    rows->push_back(row);
    lines->push_back(rowLine);
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

// One file being imported: its rows by header name, with errors that name
// the file, line and field.
class CsvFile {
 public:
  CsvFile(std::string name, std::vector<std::string> header, std::vector<std::vector<std::string>> rows,
          std::vector<int> lines)
      : name_(std::move(name)), header_(std::move(header)), rows_(std::move(rows)), lines_(std::move(lines)) {}

  size_t size() const { return rows_.size(); }
  int line() const { return lines_[row_]; }
  int LineOf(size_t row) const { return lines_[row]; }
  void Select(size_t row) { row_ = row; }
  const std::string& name() const { return name_; }

  std::string Where(const std::string& field) const {
    return name_ + " line " + std::to_string(lines_[row_]) + (field.empty() ? "" : ", field " + field);
  }
  bool Has(const std::string& field) const {
    for (const auto& h : header_) {
      if (h == field) return true;
    }
    return false;
  }
  std::string Text(const std::string& field) const {
    for (size_t i = 0; i < header_.size(); ++i) {
      if (header_[i] == field) return rows_[row_][i];
    }
    return {};
  }

 private:
  std::string name_;
  std::vector<std::string> header_;
  std::vector<std::vector<std::string>> rows_;
  std::vector<int> lines_;
  size_t row_ = 0;
};

struct Failure {
  std::string message;
};

class Importer {
 public:
  Importer(Store& store, std::string folder, bool replace)
      : store_(store), folder_(std::move(folder)), replace_(replace) {}

  int rows = 0;
  std::vector<ImportedFile> files;

  void Run() {
    if (!std::filesystem::is_directory(folder_)) throw Failure{folder_ + " is not a folder"};
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
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder_, ec)) {
      const std::string name = entry.path().filename().string();
      if (name.size() < 4) continue;
      std::string suffix = name.substr(name.size() - 4);
      for (char& c : suffix) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      if (suffix != ".csv") continue;
      const auto& known = ImportFileNames();
      if (std::find(known.begin(), known.end(), name) == known.end()) unknown.push_back(name);
    }
    if (ec) throw Failure{folder_ + ": cannot be listed: " + ec.message()};
    if (unknown.empty()) return;
    std::sort(unknown.begin(), unknown.end());
    std::string names, known;
    for (const auto& n : unknown) names += (names.empty() ? "" : ", ") + n;
    for (const auto& n : ImportFileNames()) known += (known.empty() ? "" : ", ") + n;
    throw Failure{names + (unknown.size() == 1 ? " is not an import file" : " are not import files") +
                  "; the import files are " + known + " (names in lower case)"};
  }

  // The file's text as UTF-8, and in `encoding_` which encoding it was read in.
  std::string Decode(const std::string& name, const std::string& bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF") || IsUtf8(bytes)) {
      encoding_ = "UTF-8";
      if (!IsUtf8(bytes)) RefuseBadField(name, bytes);
      return bytes;
    }
    if (auto converted = Cp932ToUtf8(bytes)) {
      encoding_ = "Shift_JIS";
      return *converted;
    }
    RefuseBadField(name, bytes);
    return {};
  }

  // Names the first field that is neither UTF-8 nor Shift_JIS. Field
  // boundaries hold in both encodings: no byte of a double-byte Shift_JIS
  // character is a comma, a quote or a line end.
  [[noreturn]] void RefuseBadField(const std::string& name, const std::string& bytes) {
    std::vector<std::vector<std::string>> rows;
    std::vector<int> lines;
    std::string error;
    if (!ParseCsv(bytes, &rows, &lines, &error)) throw Failure{name + " " + error};
    const std::vector<std::string>& header = Headers().at(name);
    for (size_t r = 0; r < rows.size(); ++r) {
      for (size_t i = 0; i < rows[r].size(); ++i) {
        const std::string& field = rows[r][i];
        if (IsUtf8(field) || Cp932ToUtf8(field)) continue;
        const std::string fieldName = i < header.size() ? header[i] : "number " + std::to_string(i + 1);
        throw Failure{name + " line " + std::to_string(lines[r]) + ", field " + fieldName +
                      ": holds bytes that are neither UTF-8 nor Shift_JIS text"};
      }
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

  // The bytes of one import file, none when the folder has no file of that
  // name. Only a plain file that lies in the folder itself is read: a link
  // (which may lead anywhere), a folder, a pipe or a device under an import
  // file's name is refused, never followed or waited on.
  std::optional<std::string> ReadImportFile(const std::string& name, const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
      if (errno == ENOENT) return std::nullopt;
      if (errno == ELOOP) throw Failure{name + ": is a link; only the files of " + folder_ + " itself are read"};
      throw Failure{name + ": cannot be opened: " + std::strerror(errno)};
    }
    struct stat st{};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      ::close(fd);
      throw Failure{name + ": is not a plain file"};
    }
    std::string bytes;
    char buffer[65536];
    for (;;) {
      const ssize_t n = ::read(fd, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        const int e = errno;
        ::close(fd);
        throw Failure{name + ": cannot be read: " + std::strerror(e)};
      }
      if (n == 0) break;
      bytes.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return bytes;
  }

  std::optional<CsvFile> Load(const std::string& name) {
    const std::optional<std::string> read = ReadImportFile(name, folder_ + "/" + name);
    if (!read) return std::nullopt;
    const std::string text = Decode(name, *read);
    std::vector<std::vector<std::string>> rows;
    std::vector<int> lines;
    std::string error;
    if (!ParseCsv(text, &rows, &lines, &error)) throw Failure{name + " " + error};
    if (rows.empty()) throw Failure{name + ": no header line"};
    const std::vector<std::string>& expected = Headers().at(name);
    if (rows[0] != expected) {
      std::string want;
      for (const auto& h : expected) want += (want.empty() ? "" : ",") + h;
      throw Failure{name + " line 1: the header must be " + want};
    }
    std::vector<std::string> header = rows[0];
    rows.erase(rows.begin());
    lines.erase(lines.begin());
    for (size_t i = 0; i < rows.size(); ++i) {
      if (rows[i].size() != header.size()) {
        throw Failure{name + " line " + std::to_string(lines[i]) + ": " + std::to_string(rows[i].size()) +
                      " fields where the header has " + std::to_string(header.size())};
      }
    }
    return CsvFile(name, header, rows, lines);
  }

  // Field readers.
  static int64_t Int(const CsvFile& f, const std::string& field, int64_t min, int64_t max,
                     std::optional<int64_t> blank = std::nullopt) {
    const std::string text = f.Text(field);
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
  static int32_t Date(const CsvFile& f, const std::string& field) {
    const auto value = static_cast<int32_t>(Int(f, field, 19000101, 29991231));
    if (!dates::IsValid(value)) throw Failure{f.Where(field) + ": " + std::to_string(value) + " is not a date"};
    return value;
  }
  static std::string Text(const CsvFile& f, const std::string& field, size_t maxChars, bool required = true) {
    const std::string text = f.Text(field);
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
  static int64_t Amount(const CsvFile& f, const std::string& field) {
    auto value = ParseAmount(f.Text(field).empty() ? "0" : f.Text(field));
    if (!value) {
      throw Failure{f.Where(field) + ": \"" + f.Text(field) +
                    "\" is not an amount in yen with at most four decimals below 10^14"};
    }
    return *value;
  }

  std::string DataId(const CsvFile& f) {
    const int64_t no = Int(f, "data_no", 1, 2147483647);
    Statement q = store_.Prepare("SELECT data_id FROM data_entry WHERE data_no = ?1");
    q.Bind(1, no);
    if (q.Step() != SQLITE_ROW) throw Failure{f.Where("data_no") + ": no data set has number " + std::to_string(no)};
    return q.Text(0);
  }

  // The rows' own checks come first, so a refusal here is a rule the checks
  // above have missed: it is named in the import's terms, never in the
  // database's own words.
  void Insert(const CsvFile& f, Statement& s) {
    const int rc = s.Step();
    if (rc != SQLITE_DONE) {
      s.Reset();
      throw Failure{f.Where("") + ": " + StoreRefusal()};
    }
    s.Reset();
    ++rows;
  }

  std::string StoreRefusal() const {
    switch (sqlite3_extended_errcode(store_.handle())) {
      case SQLITE_CONSTRAINT_UNIQUE:
      case SQLITE_CONSTRAINT_PRIMARYKEY:
        return "the row repeats the key of a row that is already there";
      case SQLITE_CONSTRAINT_CHECK:
      case SQLITE_CONSTRAINT_NOTNULL:
        return "a value is outside what the company data allows";
      case SQLITE_CONSTRAINT_FOREIGNKEY:
        return "the row names an account, department or data set that is not there";
      default:
        return "the company database could not store the row (error " +
               std::to_string(sqlite3_extended_errcode(store_.handle())) + ")";
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
  bool Found(const std::string& sql, std::initializer_list<std::string> params, std::initializer_list<int64_t> numbers = {}) {
    Statement q = Prepare(sql);
    int index = 1;
    for (const auto& p : params) q.Bind(index++, p);
    for (int64_t n : numbers) q.Bind(index++, n);
    return q.Step() == SQLITE_ROW;
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
    for (size_t r = 0; r < f.size(); ++r) {
      f.Select(r);
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
    }
  }

  void Tax(CsvFile& f) {
    Statement insert = Prepare("INSERT INTO tax_settings VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
    std::map<std::string, int> seen;
    for (size_t r = 0; r < f.size(); ++r) {
      f.Select(r);
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
    }
  }

  void Accounts(CsvFile& f) {
    Statement insert = Prepare("INSERT INTO account VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)");
    for (size_t r = 0; r < f.size(); ++r) {
      f.Select(r);
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
    }
  }

  void Departments(CsvFile& f) {
    Statement insert = Prepare("INSERT INTO department VALUES (?1, ?2, ?3, ?4, ?5, ?6)");
    for (size_t r = 0; r < f.size(); ++r) {
      f.Select(r);
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
    }
  }

  void Users(CsvFile& f) {
    Statement insert = Prepare("INSERT OR REPLACE INTO app_user VALUES (?1, ?2, ?3, ?4)");
    Statement known = Prepare("SELECT 1 FROM data_entry WHERE data_no = ?1");
    std::map<std::string, int> seen;
    for (size_t r = 0; r < f.size(); ++r) {
      f.Select(r);
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
    }
  }

  struct DataFacts {
    ClAccPeriod period;
  };

  void Journal(CsvFile& f) {
    Statement insert = Prepare(
        "INSERT INTO journal_line VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, "
        "?17, ?18, ?19, ?20, ?21)");
    Statement account = Prepare("SELECT account_id FROM account WHERE data_id = ?1 AND code = ?2");
    Statement department = Prepare("SELECT 1 FROM department WHERE data_id = ?1 AND code = ?2");
    Statement facts = Prepare("SELECT period_start, period_end, closing_day FROM data_entry WHERE data_id = ?1");
    std::map<std::string, ClAccPeriod> periods;
    for (size_t r = 0; r < f.size(); ++r) {
      f.Select(r);
      const std::string dataId = DataId(f);
      if (!periods.contains(dataId)) {
        facts.Reset();
        facts.Bind(1, dataId);
        facts.Step();
        ClAccPeriod& p = periods[dataId];
        p.SetPeriod(static_cast<int32_t>(facts.Int(0)), static_cast<int32_t>(facts.Int(1)));
        p.SetClosingDay(static_cast<int16_t>(facts.Int(2)));
      }
      const ClAccPeriod& period = periods[dataId];
      const int32_t date = Date(f, "date");
      int32_t start = 0, end = 0;
      period.GetPeriod(&start, &end);
      if (date < start || date > end) throw Failure{f.Where("date") + ": outside the data set's period"};
      int16_t month = 0;
      period.GetAMonthByDate(date, &month);
      int64_t monthNo = 0;
      for (int32_t n = 1; n <= period.MonthCount(); ++n) {
        int32_t from = 0, to = 0;
        if (period.GetPeriodByMonthKind(static_cast<int16_t>(n), &from, &to, 0) == 0 && date >= from && date <= to) {
          monthNo = n;
        }
      }
      if (!f.Text("month_no").empty()) {
        const int64_t given = Int(f, "month_no", 1, 18);
        int32_t from = 0, to = 0;
        const bool closing = given == 15 || given == 18;
        if (!closing && given != monthNo) {
          throw Failure{f.Where("month_no") + ": the date falls in month number " + std::to_string(monthNo)};
        }
        if (closing && (period.GetPeriodByMonthKind(static_cast<int16_t>(given == 15 ? 6 : period.MonthCount()), &from,
                                                    &to, 0) != 0 ||
                        date < from || date > to)) {
          throw Failure{f.Where("month_no") + ": closing month " + std::to_string(given) +
                        " takes dates of the month it closes only"};
        }
        if (!closing && given > 12) throw Failure{f.Where("month_no") + ": must be 1-12, 15 or 18"};
        monthNo = given;
      }
      const int64_t lineNo = Int(f, "line_no", 1, 4294967295);
      if (Found("SELECT 1 FROM journal_line WHERE data_id = ?1 AND line_no = ?2", {dataId}, {lineNo})) {
        throw Failure{f.Where("line_no") + ": data number " + f.Text("data_no") + " has a journal line " +
                      std::to_string(lineNo) + " already"};
      }
      insert.Bind(1, dataId).Bind(2, lineNo).Bind(3, date).Bind(4, monthNo);
      int index = 5;
      for (const std::string side : {"dr_", "cr_"}) {
        account.Reset();
        account.Bind(1, dataId).Bind(2, f.Text(side + "account"));
        if (account.Step() != SQLITE_ROW) {
          throw Failure{f.Where(side + "account") + ": no account has code \"" + f.Text(side + "account") + "\""};
        }
        insert.Bind(index++, account.Int(0));
        if (f.Text(side + "department").empty()) {
          insert.BindNull(index++);
        } else {
          const int64_t code = Int(f, side + "department", 1, 2147483647);
          department.Reset();
          department.Bind(1, dataId).Bind(2, code);
          if (department.Step() != SQLITE_ROW) {
            throw Failure{f.Where(side + "department") + ": no department has code " + std::to_string(code)};
          }
          insert.Bind(index++, code);
        }
        insert.Bind(index++, Amount(f, side + "amount"));
        insert.Bind(index++, Amount(f, side + "tax"));
        const int64_t category = Int(f, side + "category", 0, 255, 0);
        if (!IsTaxCategory(category)) {
          throw Failure{f.Where(side + "category") + ": " + std::to_string(category) +
                        " is no tax category (0-7 or 21-37, docs/tax-categories.md)"};
        }
        insert.Bind(index++, category);
        const std::string rate = f.Text(side + "rate");
        static const std::map<std::string, std::pair<int, int>> kRates = {
            {"", {0, 0}}, {"0", {0, 0}}, {"3", {300, 0}}, {"5", {500, 0}}, {"8", {800, 0}}, {"8R", {800, 1}},
            {"10", {1000, 0}}};
        auto it = kRates.find(rate);
        if (it == kRates.end()) throw Failure{f.Where(side + "rate") + ": \"" + rate + "\" is not 0, 3, 5, 8, 8R or 10"};
        insert.Bind(index++, it->second.first);
        insert.Bind(index++, it->second.second);
        insert.Bind(index++, Int(f, side + "business_type", 0, 6, 0));
      }
      insert.Bind(index, Text(f, "description", 60, false));
      Insert(f, insert);
    }
  }

  void Assets(CsvFile& f) {
    Statement insert = Prepare("INSERT INTO fixed_asset VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
    for (size_t r = 0; r < f.size(); ++r) {
      f.Select(r);
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
    }
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
      std::vector<size_t> amountRows;
      std::map<std::string, int> lines;  // the line that gives each field
      size_t firstRow = 0;
    };
    std::map<std::string, Saved> byData;
    for (size_t r = 0; r < f.size(); ++r) {
      f.Select(r);
      const std::string dataId = DataId(f);
      Saved& saved = byData[dataId];
      if (saved.header.empty() && saved.amounts.empty()) saved.firstRow = r;
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
        saved.amountRows.push_back(r);
      } else {
        throw Failure{f.Where("field") + ": \"" + field + "\" is neither a header field nor a saved amount name"};
      }
    }
    Statement remove = Prepare("DELETE FROM saved_return WHERE data_id = ?1");
    Statement amount = Prepare("INSERT INTO saved_amount VALUES (?1, ?2, ?3)");
    for (auto& [dataId, saved] : byData) {
      f.Select(saved.firstRow);
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
        f.Select(saved.amountRows[k]);
        amount.Bind(1, dataId).Bind(2, saved.amounts[k].first).Bind(3, saved.amounts[k].second);
        Insert(f, amount);
      }
    }
  }

  Store& store_;
  std::string folder_;
  bool replace_;
  std::string encoding_;  // of the file being loaded
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
