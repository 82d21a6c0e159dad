// What the programs' own sources must never do, checked on the sources: start
// a shell or any program looked up through PATH, build SQL with a value pasted
// between quotes, or name their own functions like the macros of <windows.h>. Only the `ledger launch` command starts a program,
// by its full path and without a shell. Test code is not audited.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Hit {
  std::string file;
  int line;
  std::string text;
};

// Every line of the programs' sources that matches `pattern`.
std::vector<Hit> Find(const std::regex& pattern) {
  std::vector<Hit> hits;
  for (const char* folder : {"app", "dialog", "aggregate", "report", "host", "resources", "platform", "ledger", "tools"}) {
    for (const auto& e : fs::recursive_directory_iterator(fs::path(TAXBRIDGE_SOURCE_DIR) / folder)) {
      const std::string ext = e.path().extension().string();
      if (!e.is_regular_file() || (ext != ".cpp" && ext != ".h")) continue;
      const std::string rel = fs::relative(e.path(), TAXBRIDGE_SOURCE_DIR).string();
      if (rel.starts_with("ledger/testing/")) continue;  // the tests' fixture builder
      std::ifstream in(e.path());
      int number = 0;
      for (std::string line; std::getline(in, line);) {
        ++number;
        const size_t comment = line.find("//");
        const std::string code = comment == std::string::npos ? line : line.substr(0, comment);
        if (std::regex_search(code, pattern)) hits.push_back({rel, number, line});
      }
    }
  }
  return hits;
}

std::string Shown(const std::vector<Hit>& hits) {
  std::string s;
  for (const Hit& h : hits) s += "\n  " + h.file + ":" + std::to_string(h.line) + ": " + h.text;
  return s;
}

TEST(SourceAudit, NoShellIsEverStarted) {
  const std::vector<Hit> shells = Find(std::regex(
      R"((^|[^A-Za-z0-9_.>])(system|popen|execlp|execvp|execvpe|posix_spawnp|wordexp)\s*\(|/bin/sh|"sh"\s*,)"));
  EXPECT_TRUE(shells.empty()) << Shown(shells);
  // The one program start: the launcher runs the program by its full path
  // (tools/ledger/Launch_posix.cpp; on Windows CreateProcessA with the name).
  const std::vector<Hit> starts = Find(std::regex(R"(\b(execl|execv|execve|fork|posix_spawn)\s*\()"));
  for (const Hit& h : starts) EXPECT_EQ(h.file, "tools/ledger/Launch_posix.cpp") << Shown({h});
  EXPECT_FALSE(starts.empty());
}

TEST(SourceAudit, SqlValuesAreBoundNeverPastedIntoTheText) {
  // A quoted SQL literal glued to a value: "... = '" + value + "'".
  const std::vector<Hit> pasted = Find(std::regex(R"('"\s*\+|\+\s*"')"));
  EXPECT_TRUE(pasted.empty()) << Shown(pasted);
  const std::vector<Hit> formatted = Find(std::regex(R"(sqlite3_(mprintf|vmprintf|snprintf)\s*\()"));
  EXPECT_TRUE(formatted.empty()) << Shown(formatted);
}

TEST(SourceAudit, NoOwnFunctionIsNamedLikeAWindowsMacro) {
  // <windows.h> turns these names into their A or W forms, so a function of
  // the project's own by one of them is renamed behind its callers' backs in
  // the Windows build. The Windows implementations call the W forms by name.
  const std::vector<Hit> macros = Find(std::regex(
      R"(\b(MessageBox|CreateDirectory|RemoveDirectory|DeleteFile|CopyFile|MoveFile|GetDriveType|GetProfileString|)"
      R"(WriteProfileString|GetPrivateProfileString|WritePrivateProfileString|SetWindowText|GetWindowText|PostMessage|)"
      R"(SendMessage|GetCurrentDirectory|SetCurrentDirectory|GetModuleFileName|CreateFile|GetTempPath|GetUserName|)"
      R"(LoadString|GetMessage|DispatchMessage|CreateWindow|FindWindow|DrawText|GetObject|ReplaceFile)\s*\()"));
  EXPECT_TRUE(macros.empty()) << Shown(macros);
}

}  // namespace
