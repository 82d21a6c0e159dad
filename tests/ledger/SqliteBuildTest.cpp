// The SQLite the programs are built with: the pinned amalgamation, compiled
// for one thread and the store's use; the statement's column reads on every
// storage class; and tools/sqlite/fetch.sh, which brings the sources, when
// the download fails or brings something else.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <stdlib.h>
#if !defined(_WIN32)
#include <sys/wait.h>  // the fetch script's run: Linux only
#endif

#include <filesystem>
#include <fstream>
#include <random>
#include <regex>
#include <sstream>
#include <string>

#include "ledger/Store.h"
#include "ledger/testing/Machine.h"

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteAll(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// A fresh folder, removed with the object.
struct TempFolder {
  fs::path path;
  TempFolder() {
    static int count = 0;
    for (;;) {
      path = fs::path(ledger::testing::TemporaryFolder()) /
             ("tb-sqlite-" + std::to_string(std::random_device{}()) + "-" + std::to_string(++count));
      if (fs::create_directory(path)) break;
    }
  }
  ~TempFolder() {
    std::error_code ec;
    fs::remove_all(path, ec);
  }
};

const char* kFetchScript = TAXBRIDGE_SOURCE_DIR "/tools/sqlite/fetch.sh";

// A value of the fetch script's pinned settings (NAME=value lines).
std::string Pinned(const std::string& name) {
  std::smatch m;
  const std::string script = ReadAll(kFetchScript);
  return std::regex_search(script, m, std::regex("\n" + name + "=([^\n]*)\n")) ? m[1].str() : "";
}

TEST(SqliteBuild, TheProgramsRunThePinnedAmalgamationWithItsOwnHeader) {
  EXPECT_EQ(std::string(sqlite3_libversion()), Pinned("SQLITE_VERSION"));
  // The header compiled in and the library linked are the same release: a
  // system library picked up beside our header would differ here.
  EXPECT_EQ(std::string(sqlite3_sourceid()), SQLITE_SOURCE_ID);
  EXPECT_EQ(sqlite3_libversion_number(), SQLITE_VERSION_NUMBER);
}

TEST(SqliteBuild, CompiledForOneThreadAndTheStoresUse) {
  EXPECT_EQ(sqlite3_threadsafe(), 0);
  for (const char* option : {"THREADSAFE=0", "DEFAULT_MEMSTATUS=0", "DQS=0", "OMIT_DEPRECATED", "OMIT_LOAD_EXTENSION",
                             "LIKE_DOESNT_MATCH_BLOBS", "DEFAULT_WAL_SYNCHRONOUS=1"})
    EXPECT_EQ(sqlite3_compileoption_used(option), 1) << option;

  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
  auto single = [db](const char* sql, std::string* error) -> std::string {
    sqlite3_stmt* stmt = nullptr;
    std::string answer;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK) {
      *error = sqlite3_errmsg(db);
    } else if (sqlite3_step(stmt) == SQLITE_ROW) {
      const unsigned char* text = sqlite3_column_text(stmt, 0);
      answer = text != nullptr ? reinterpret_cast<const char*>(text) : "NULL";
    }
    sqlite3_finalize(stmt);
    return answer;
  };
  std::string error;
  // A double-quoted word names a column, never a string.
  EXPECT_EQ(single("SELECT \"word\"", &error), "");
  EXPECT_TRUE(error.starts_with("no such column") && error.find("word") != std::string::npos) << error;
  error.clear();
  // A pattern never matches a blob, even one holding the same bytes as a
  // text it matches.
  EXPECT_EQ(single("SELECT (x'41' LIKE 'A') || ('A' LIKE 'A')", &error), "01");
  EXPECT_EQ(error, "");
  // No extension can be loaded, not even by SQL.
  EXPECT_EQ(single("SELECT load_extension('libm.so.6')", &error), "");
  EXPECT_EQ(error, "no such function: load_extension");
  sqlite3_close(db);
}

// Int, IsNull, IntegerAt, Text and Real of one row against SQLite's own
// answers for the same values, the conversions read in different orders.
// (SQLite may report another type once a value has been converted, a blob
// read as text, say; so the type is asked before any conversion.)
TEST(SqliteBuild, ColumnReadsGiveSqlitesConversionsOnEveryStorageClass) {
  TempFolder folder;
  std::string error;
  std::unique_ptr<ledger::Store> store = ledger::Store::Create((folder.path / "c.db").string(), &error);
  ASSERT_NE(store, nullptr) << error;
  const char* values = "NULL, 0, -9223372036854775808, 9223372036854775807, 2.9, -2.9, 1e300, '12abc', ' 42', '',"
                       " x'3132', '\xe6\xb6\x88\xe8\xb2\xbb'";
  constexpr int kColumns = 12;
  const std::string sql = std::string("SELECT ") + values;

  int type[kColumns];
  int64_t integer[kColumns];
  std::string text[kColumns];
  double real[kColumns];
  {
    sqlite3_stmt* reference = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(store->handle(), sql.c_str(), -1, &reference, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(reference), SQLITE_ROW);
    for (int c = 0; c < kColumns; ++c) {
      type[c] = sqlite3_column_type(reference, c);
      integer[c] = sqlite3_column_int64(reference, c);
      const unsigned char* t = sqlite3_column_text(reference, c);
      text[c] = t != nullptr ? std::string(reinterpret_cast<const char*>(t)) : std::string();
      real[c] = sqlite3_column_double(reference, c);
    }
    sqlite3_finalize(reference);
  }
  for (int order = 0; order < 3; ++order) {
    ledger::Statement q = store->Prepare(sql, &error);
    ASSERT_TRUE(q.valid()) << error;
    ASSERT_EQ(q.Step(), SQLITE_ROW);
    for (int c = 0; c < kColumns; ++c) {
      SCOPED_TRACE("column " + std::to_string(c) + ", order " + std::to_string(order));
      EXPECT_EQ(q.IsNull(c), type[c] == SQLITE_NULL);
      EXPECT_EQ(q.IsText(c), type[c] == SQLITE_TEXT);
      int64_t value = -1;
      EXPECT_EQ(q.IntegerAt(c, &value), type[c] == SQLITE_INTEGER);
      EXPECT_EQ(value, type[c] == SQLITE_INTEGER ? integer[c] : 0);
      // Text first, the integer first, or the integer read twice around the
      // text: no conversion may change what another one answers.
      if (order == 0) {
        EXPECT_EQ(q.Text(c), text[c]);
        EXPECT_EQ(q.Int(c), integer[c]);
      } else {
        EXPECT_EQ(q.Int(c), integer[c]);
        EXPECT_EQ(q.Text(c), text[c]);
        if (order == 2) {
          EXPECT_EQ(q.Int(c), integer[c]);
        }
      }
      EXPECT_EQ(q.IsNull(c), type[c] == SQLITE_NULL);
      EXPECT_EQ(q.Real(c), real[c]);
    }
  }
}

// The fetch script run with PATH limited to `bin` (fakes of npm and curl)
// and the tools it needs; status and what it printed.
struct Fetch {
  int status;
  std::string output;
};

Fetch RunFetch(const fs::path& bin, const fs::path& dest) {
  // The real tools the script uses, linked into the fake PATH.
  for (const char* tool : {"bash", "sh", "sha256sum", "cut", "tar", "gzip", "mkdir", "mktemp", "rm", "mv", "touch",
                           "cat", "sed", "dirname"}) {
    const fs::path link = bin / tool;
    if (fs::exists(link)) continue;
    for (const char* dir : {"/usr/bin", "/bin"}) {
      if (fs::exists(fs::path(dir) / tool)) {
        fs::create_symlink(fs::path(dir) / tool, link);
        break;
      }
    }
  }
  const fs::path out = bin.parent_path() / "fetch.out";
  const std::string command = "PATH='" + bin.string() + "' bash '" + kFetchScript + "' '" + dest.string() + "' >'" +
                              out.string() + "' 2>&1";
  const int rc = std::system(command.c_str());
#if defined(_WIN32)
  return {rc, ReadAll(out)};
#else
  return {WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, ReadAll(out)};
#endif
}

void FakeTool(const fs::path& bin, const std::string& name, const std::string& body) {
  fs::create_directories(bin);
  WriteAll(bin / name, "#!/bin/sh\n" + body + "\n");
  fs::permissions(bin / name, fs::perms::owner_all);
}

TEST(SqliteFetch, KeepsCheckedSourcesWithoutDownloadingAndStopsOnAnythingElse) {
#if defined(_WIN32)
  GTEST_SKIP() << "tools/sqlite/fetch.sh is a shell script of the Linux build; the Windows build is cross-compiled there";
#endif
  const fs::path sources = TAXBRIDGE_SQLITE_DIR;
  ASSERT_TRUE(fs::exists(sources / "sqlite3.c") && fs::exists(sources / "sqlite3.h"));
  const std::string tarball = Pinned("PACKAGE") + "-" + Pinned("VERSION") + ".tgz";

  {  // Both files there and checked: no download is tried, nothing changes.
    TempFolder t;
    const fs::path dest = t.path / "dest";
    fs::create_directories(dest);
    fs::copy_file(sources / "sqlite3.c", dest / "sqlite3.c");
    fs::copy_file(sources / "sqlite3.h", dest / "sqlite3.h");
    const fs::path marker = t.path / "downloaded";
    FakeTool(t.path / "bin", "npm", "touch '" + marker.string() + "'; exit 1");
    FakeTool(t.path / "bin", "curl", "touch '" + marker.string() + "'; exit 1");
    const Fetch f = RunFetch(t.path / "bin", dest);
    EXPECT_EQ(f.status, 0) << f.output;
    EXPECT_EQ(f.output, "");
    EXPECT_FALSE(fs::exists(marker));
    EXPECT_EQ(fs::file_size(dest / "sqlite3.c"), fs::file_size(sources / "sqlite3.c"));
  }
  {  // A changed source and a package whose tarball is not the pinned one:
     // the script names the tarball and its hash and replaces nothing.
    TempFolder t;
    const fs::path dest = t.path / "dest";
    fs::create_directories(dest / "package/deps/sqlite3");
    WriteAll(dest / "sqlite3.c", "changed\n");
    fs::copy_file(sources / "sqlite3.h", dest / "sqlite3.h");
    WriteAll(dest / "package/deps/sqlite3/sqlite3.c", "not sqlite\n");
    WriteAll(dest / "package/deps/sqlite3/sqlite3.h", "not sqlite\n");
    // npm pack writes the tarball into the folder it runs in.
    FakeTool(t.path / "bin", "npm",
             "tar -czf \"$PWD/" + tarball + "\" -C '" + dest.string() + "' package/deps/sqlite3");
    FakeTool(t.path / "bin", "curl", "exit 22");
    const Fetch f = RunFetch(t.path / "bin", dest);
    EXPECT_EQ(f.status, 1) << f.output;
    EXPECT_NE(f.output.find("the tarball of " + Pinned("PACKAGE") + "@" + Pinned("VERSION") + " (from npm pack"),
              std::string::npos)
        << f.output;
    EXPECT_NE(f.output.find("not the pinned " + Pinned("TARBALL_SHA256")), std::string::npos) << f.output;
    EXPECT_EQ(ReadAll(dest / "sqlite3.c"), "changed\n");
  }
  {  // npm fails and curl fails: the script says it cannot download, and from where.
    TempFolder t;
    const fs::path dest = t.path / "dest";
    FakeTool(t.path / "bin", "npm", "echo 'npm error network' >&2; exit 1");
    FakeTool(t.path / "bin", "curl", "echo 'curl: (6) Could not resolve host' >&2; exit 6");
    const Fetch f = RunFetch(t.path / "bin", dest);
    EXPECT_EQ(f.status, 1) << f.output;
    EXPECT_NE(f.output.find("cannot download " + Pinned("PACKAGE") + "@" + Pinned("VERSION")), std::string::npos)
        << f.output;
    EXPECT_NE(f.output.find("curl from https://registry.npmjs.org/"), std::string::npos) << f.output;
    EXPECT_NE(f.output.find("npm error network"), std::string::npos) << f.output;
    EXPECT_NE(f.output.find("Could not resolve host"), std::string::npos) << f.output;
    EXPECT_FALSE(fs::exists(dest / "sqlite3.c"));
  }
  {  // npm is missing and curl brings a page that is no tarball.
    TempFolder t;
    const fs::path dest = t.path / "dest";
    FakeTool(t.path / "bin", "curl", "while [ $# -gt 1 ]; do [ \"$1\" = -o ] && echo '<html>' >\"$2\"; shift; done");
    const Fetch f = RunFetch(t.path / "bin", dest);
    EXPECT_EQ(f.status, 1) << f.output;
    EXPECT_NE(f.output.find("(from https://registry.npmjs.org/"), std::string::npos) << f.output;
    EXPECT_NE(f.output.find("not the pinned"), std::string::npos) << f.output;
    EXPECT_FALSE(fs::exists(dest / "sqlite3.c"));
  }
}

}  // namespace
