// Store: the installation's company database (one SQLite file), its schema,
// and thin RAII wrappers for statements with bound parameters.
//
// Texts in the store are UTF-8; amounts are integers in yen x 10 000.
// Store::Open opens an existing database and checks that every table of the
// schema is there; Store::Create makes a new one. Errors come back as text in
// `error` (UTF-8), never as exceptions. A Statement streams its rows: nothing
// is read ahead. A Store and its Statements belong to the thread that opened
// it (the connection is opened without SQLite's own locking).
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ledger {

class Statement {
 public:
  Statement() = default;
  Statement(sqlite3* db, sqlite3_stmt* stmt) : db_(db), stmt_(stmt) {}
  Statement(Statement&& other) noexcept { *this = std::move(other); }
  Statement& operator=(Statement&& other) noexcept;
  ~Statement();

  bool valid() const { return stmt_ != nullptr; }
  // Parameters count from 1.
  Statement& Bind(int index, int64_t value);
  Statement& Bind(int index, std::string_view text);
  Statement& BindNull(int index);
  Statement& BindBlob(int index, std::string_view bytes);
  // SQLITE_ROW, SQLITE_DONE or an error code.
  int Step();
  void Reset();
  int64_t Int(int column) const { return sqlite3_column_int64(stmt_, column); }
  bool IsNull(int column) const { return sqlite3_column_type(stmt_, column) == SQLITE_NULL; }
  // Whether the column is stored as an integer, and then its value in
  // `value` (else 0), read with one call into the row (the connection is
  // used by one thread only, so the row's value may be read directly).
  bool IntegerAt(int column, int64_t* value) const {
    sqlite3_value* v = sqlite3_column_value(stmt_, column);
    const bool integer = sqlite3_value_type(v) == SQLITE_INTEGER;
    *value = integer ? sqlite3_value_int64(v) : 0;
    return integer;
  }
  bool IsText(int column) const { return sqlite3_column_type(stmt_, column) == SQLITE_TEXT; }
  std::string Text(int column) const;
  // A column's bytes as a blob, valid until the next Step or Reset.
  std::string_view Blob(int column) const;
  double Real(int column) const { return sqlite3_column_double(stmt_, column); }
  std::string ErrorMessage() const { return sqlite3_errmsg(db_); }

 private:
  sqlite3* db_ = nullptr;
  sqlite3_stmt* stmt_ = nullptr;
};

class Store {
 public:
  ~Store();
  Store(const Store&) = delete;
  Store& operator=(const Store&) = delete;

  // Opens an existing database; null with `error` set when the file is
  // missing, is not a database, or lacks a table of the schema.
  static std::unique_ptr<Store> Open(const std::string& path, std::string* error);
  // Creates a new database with the schema, in pages of kPageSize bytes;
  // refuses an existing file.
  static constexpr int kPageSize = 16384;
  static std::unique_ptr<Store> Create(const std::string& path, std::string* error);

  // An invalid Statement (and `error`) when the SQL does not compile.
  Statement Prepare(std::string_view sql, std::string* error = nullptr);
  // Runs SQL without results; false with `error` on failure.
  bool Exec(std::string_view sql, std::string* error = nullptr);
  sqlite3* handle() const { return db_; }

  // Where the database stands: two versions are equal only when no
  // connection, this one included, has committed a change between them.
  struct Version {
    int64_t others = 0;  // SQLite's data_version: commits of other connections
    int64_t own = 0;     // rows this connection has changed
    bool operator==(const Version&) const = default;
  };
  // Null when the store cannot say.
  std::optional<Version> DataVersion();
  const std::string& path() const { return path_; }

  // The tables every database must hold.
  static const std::vector<std::string>& TableNames();

 private:
  Store(sqlite3* db, std::string path) : db_(db), path_(std::move(path)) {}
  sqlite3* db_;
  std::string path_;
};

}  // namespace ledger
