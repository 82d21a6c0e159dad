#include "ledger/Store.h"

#include "ledger/LocalFiles.h"
#include "ledger/Schema.h"

namespace ledger {

Statement& Statement::operator=(Statement&& other) noexcept {
  if (this != &other) {
    if (stmt_ != nullptr) sqlite3_finalize(stmt_);
    db_ = other.db_;
    stmt_ = other.stmt_;
    other.stmt_ = nullptr;
  }
  return *this;
}

Statement::~Statement() {
  if (stmt_ != nullptr) sqlite3_finalize(stmt_);
}

Statement& Statement::Bind(int index, int64_t value) {
  sqlite3_bind_int64(stmt_, index, value);
  return *this;
}

Statement& Statement::Bind(int index, std::string_view text) {
  sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  return *this;
}

Statement& Statement::BindBlob(int index, std::string_view bytes) {
  sqlite3_bind_blob64(stmt_, index, bytes.data(), bytes.size(), SQLITE_TRANSIENT);
  return *this;
}

std::string_view Statement::Blob(int column) const {
  const void* p = sqlite3_column_blob(stmt_, column);
  if (p == nullptr) return {};
  return std::string_view(static_cast<const char*>(p), static_cast<size_t>(sqlite3_column_bytes(stmt_, column)));
}

Statement& Statement::BindNull(int index) {
  sqlite3_bind_null(stmt_, index);
  return *this;
}

int Statement::Step() { return stmt_ == nullptr ? SQLITE_MISUSE : sqlite3_step(stmt_); }

void Statement::Reset() {
  if (stmt_ == nullptr) return;
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
}

std::string Statement::Text(int column) const {
  const unsigned char* p = sqlite3_column_text(stmt_, column);
  if (p == nullptr) return {};
  return std::string(reinterpret_cast<const char*>(p), static_cast<size_t>(sqlite3_column_bytes(stmt_, column)));
}

Store::~Store() { sqlite3_close(db_); }

std::optional<Store::Version> Store::DataVersion() {
  Statement q = Prepare("PRAGMA data_version");
  if (q.Step() != SQLITE_ROW) return std::nullopt;
  return Version{q.Int(0), sqlite3_total_changes64(db_)};
}

const std::vector<std::string>& Store::TableNames() {
  static const std::vector<std::string> names = {"ledger_meta", "data_entry", "app_user",    "tax_settings",
                                                 "account",     "department", "journal_line", "fixed_asset",
                                                 "saved_return", "saved_amount"};
  return names;
}

namespace {

// A connection and its statements are used by one thread only, so SQLite's
// own locking around every call (each step and each column read) is left
// out: it costs more than reading the column does.
sqlite3* OpenHandle(const std::string& path, int flags, std::string* error) {
  // SQLite takes its file names in UTF-8, whatever the machine names its
  // files in.
  const std::optional<std::string> name = local::SqliteFileName(path);
  if (!name) {
    if (error != nullptr) *error = "the name is not text of this machine's encoding";
    return nullptr;
  }
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(name->c_str(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
    if (error != nullptr) *error = db != nullptr ? sqlite3_errmsg(db) : "out of memory";
    sqlite3_close(db);
    return nullptr;
  }
  sqlite3_busy_timeout(db, 5000);
  sqlite3_extended_result_codes(db, 1);
  return db;
}

}  // namespace

std::unique_ptr<Store> Store::Open(const std::string& path, std::string* error) {
  if (!local::Exists(path)) {
    if (error != nullptr) *error = "the company database " + path + " does not exist";
    return nullptr;
  }
  sqlite3* db = OpenHandle(path, SQLITE_OPEN_READWRITE, error);
  if (db == nullptr) {
    if (error != nullptr) *error = "the company database " + path + " cannot be opened: " + *error;
    return nullptr;
  }
  std::unique_ptr<Store> store(new Store(db, path));
  std::string why;
  if (!store->Exec("PRAGMA foreign_keys = ON", &why)) {
    if (error != nullptr) *error = "the company database " + path + " cannot be read: " + why;
    return nullptr;
  }
  Statement table = store->Prepare("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = ?1", &why);
  if (!table.valid()) {
    if (error != nullptr) *error = "the company database " + path + " cannot be read: " + why;
    return nullptr;
  }
  for (const std::string& name : TableNames()) {
    table.Reset();
    table.Bind(1, name);
    if (table.Step() != SQLITE_ROW) {
      if (error != nullptr) *error = "the company database " + path + " cannot be read: " + table.ErrorMessage();
      return nullptr;
    }
    if (table.Int(0) != 1) {
      if (error != nullptr) *error = "the company database " + path + " has no table " + name;
      return nullptr;
    }
  }
  Statement version = store->Prepare("SELECT value FROM ledger_meta WHERE key = 'schema_version'", &why);
  if (!version.valid() || version.Step() != SQLITE_ROW || version.Text(0) != kSchemaVersion) {
    if (error != nullptr) *error = "the company database " + path + " is not of schema version " + kSchemaVersion;
    return nullptr;
  }
  return store;
}

std::unique_ptr<Store> Store::Create(const std::string& path, std::string* error) {
  if (local::Exists(path)) {
    if (error != nullptr) *error = path + " already exists";
    return nullptr;
  }
  sqlite3* db = OpenHandle(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, error);
  if (db == nullptr) {
    if (error != nullptr) *error = "cannot create " + path + ": " + *error;
    return nullptr;
  }
  std::unique_ptr<Store> store(new Store(db, path));
  std::string why;
  // Pages of 16 KiB: every journal statement reads a data set's lines straight
  // through, and larger pages take a quarter of the reads from the file that
  // the default 4 KiB pages take. (A page size is set before the first table;
  // databases made earlier keep theirs.)
  if (!store->Exec(std::string("PRAGMA page_size = ") + std::to_string(kPageSize) + ";BEGIN;" + kSchemaSql + CheckVerdictSql() + "COMMIT;",
                   &why)) {
    if (error != nullptr) *error = "cannot create the schema in " + path + ": " + why;
    store.reset();
    local::RemoveFile(path);
    return nullptr;
  }
  return store;
}

Statement Store::Prepare(std::string_view sql, std::string* error) {
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &stmt, nullptr) != SQLITE_OK) {
    if (error != nullptr) *error = sqlite3_errmsg(db_);
    sqlite3_finalize(stmt);
    return Statement();
  }
  return Statement(db_, stmt);
}

bool Store::Exec(std::string_view sql, std::string* error) {
  char* message = nullptr;
  std::string text(sql);
  if (sqlite3_exec(db_, text.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    if (error != nullptr) *error = message != nullptr ? message : sqlite3_errmsg(db_);
    sqlite3_free(message);
    return false;
  }
  return true;
}

}  // namespace ledger
