// ledger: creates, fills, inspects and launches the accounting product's
// stand-in installation (LEDGER_HOME). See docs/ledger.md.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// (glibc's macro comes with the C headers above.)
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "host/HostTypes.h"
#include "ledger/CheckVerdict.h"
#include "ledger/Import.h"
#include "ledger/Installation.h"
#include "platform/CallerWindow.h"
#include "platform/Environment.h"
#include "tools/ledger/Launch.h"

namespace {

using ledger::Installation;
using ledger::Statement;
using ledger::Store;

constexpr uint32_t kRunResultMessage = 0x8001;  // the message number the component posts back

// The command's exit statuses (docs/ledger.md); `launch` exits with the
// launched program's result instead.
constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kBadCommandLine = 2;

void PrintUsage(std::FILE* out) {
  std::fprintf(out,
               "usage: ledger COMMAND ...  (installation folder: LEDGER_HOME, now %s)\n"
               "  init                         create an empty installation\n"
               "  import DIR [--replace]       load the CSV files of DIR in one transaction\n"
               "  select USER DATA_NO          make USER current with data DATA_NO selected\n"
               "  show                         summarise the data sets\n"
               "  launch EDITION [--function N] [--path P]\n"
               "                               start taxbridge_EDITION as its calling window\n"
               "  summary DATA_NO FIRST LAST   print the consumption-tax summary of months FIRST to LAST\n"
               "  generate DATA_NO LINES [ACCOUNTS DEPARTMENTS ASSETS]\n"
               "                               add a large deterministic data set\n"
               "  check DATA_NO                check a data set as the programs do before they use it,\n"
               "                               and remember a passing verdict (after edits by hand)\n",
               Installation::HomeFolder().c_str());
}

int Usage() {
  PrintUsage(stderr);
  return kBadCommandLine;
}

// A whole decimal number in [low, high]; nothing else.
bool ParseCount(const std::string& text, int64_t low, int64_t high, int64_t* value) {
  if (text.empty() || text.size() > 18 || text.find_first_not_of("0123456789") != std::string::npos) return false;
  const long long parsed = std::atoll(text.c_str());
  if (parsed < low || parsed > high) return false;
  *value = parsed;
  return true;
}

std::unique_ptr<Store> OpenStore() {
  std::string error;
  auto store = Store::Open(Installation::DatabasePath(Installation::HomeFolder()), &error);
  if (!store) std::fprintf(stderr, "ledger: %s\n", error.c_str());
  return store;
}

int Init() {
  const std::string folder = Installation::HomeFolder();
  ledger::InstallationSettings settings;
  settings.currentUser = "001";
  settings.folder0 = "";
  settings.folder1 = "C:\\taxbridge\\";
  settings.returnProductName = reinterpret_cast<const char*>(u8"Halvern 消費税申告");
  std::string error;
  if (!Installation::Create(folder, settings, &error)) {
    std::fprintf(stderr, "ledger: %s\n", error.c_str());
    return 1;
  }
  std::printf("created the installation in %s\n", folder.c_str());
  return 0;
}

int Import(const std::vector<std::string>& args) {
  if (args.empty() || args.size() > 2 || (args.size() == 2 && args[1] != "--replace")) return Usage();
  auto store = OpenStore();
  if (!store) return 1;
  const bool replace = args.size() > 1;
#if defined(__GLIBC__)
  // Storing a journal line opens and closes SQLite's small temporary tables
  // for the rate checks, and the page cache frees and takes pages as the
  // transaction grows; glibc would give the freed memory back to the system
  // and fault it in anew soon after, a sixth of a long import's time. Freed
  // memory is kept up to 32 MiB instead.
  mallopt(M_TRIM_THRESHOLD, 32 << 20);
#endif
  ledger::ImportResult result = ledger::ImportFolder(*store, args[0], replace);
  if (!result.ok) {
    std::fprintf(stderr, "ledger: nothing imported: %s\n", result.error.c_str());
    return 1;
  }
  for (const ledger::ImportedFile& file : result.files) {
    std::printf("%-18s %8d rows  (%s)\n", file.name.c_str(), file.rows, file.encoding.c_str());
  }
  std::printf("imported %d rows from %s\n", result.rows, args[0].c_str());
  for (const std::string& note : result.notes) std::printf("note: %s\n", note.c_str());
  return 0;
}

int Select(const std::vector<std::string>& args) {
  int64_t dataNo = 0;
  if (args.size() != 2 || !ParseCount(args[1], 1, 2147483647, &dataNo)) return Usage();
  auto store = OpenStore();
  if (!store) return 1;
  Statement user = store->Prepare("SELECT 1 FROM app_user WHERE user_id = ?1");
  user.Bind(1, args[0]);
  if (user.Step() != SQLITE_ROW) {
    std::fprintf(stderr, "ledger: there is no user %s (users come from users.csv)\n", args[0].c_str());
    return 1;
  }
  Statement known = store->Prepare("SELECT company_name FROM data_entry WHERE data_no = ?1");
  known.Bind(1, dataNo);
  if (known.Step() != SQLITE_ROW) {
    std::fprintf(stderr, "ledger: no data set has number %s\n", args[1].c_str());
    return 1;
  }
  Statement s = store->Prepare("UPDATE app_user SET selected_data_no = ?2 WHERE user_id = ?1");
  s.Bind(1, args[0]).Bind(2, dataNo);
  if (s.Step() != SQLITE_DONE) {
    std::fprintf(stderr, "ledger: the selection could not be stored (the database is busy or read-only)\n");
    return 1;
  }
  const std::string folder = Installation::HomeFolder();
  ledger::InstallationSettings settings;
  std::string error;
  if (!Installation::ReadSettings(folder, &settings, &error)) {
    std::fprintf(stderr, "ledger: %s\n", error.c_str());
    return 1;
  }
  settings.currentUser = args[0];
  if (!Installation::WriteSettings(folder, settings, &error)) {
    std::fprintf(stderr, "ledger: %s\n", error.c_str());
    return 1;
  }
  std::printf("user %s now works on data %s (%s)\n", args[0].c_str(), args[1].c_str(), known.Text(0).c_str());
  return 0;
}

int Show() {
  auto store = OpenStore();
  if (!store) return 1;
  ledger::InstallationSettings settings;
  std::string error;
  Installation::ReadSettings(Installation::HomeFolder(), &settings, &error);
  std::printf("installation %s, current user %s\n", Installation::HomeFolder().c_str(), settings.currentUser.c_str());
  Statement q = store->Prepare(
      "SELECT d.data_no, d.data_id, d.company_name, d.period_start, d.period_end, d.closing_day, d.company_kind, "
      "d.past_record, d.maintenance_lock, coalesce(t.tax_method, -1), "
      "(SELECT count(*) FROM account a WHERE a.data_id = d.data_id), "
      "(SELECT count(*) FROM department b WHERE b.data_id = d.data_id), "
      "(SELECT count(*) FROM journal_line j WHERE j.data_id = d.data_id), "
      "(SELECT count(*) FROM fixed_asset f WHERE f.data_id = d.data_id), "
      "(SELECT count(*) FROM saved_return s WHERE s.data_id = d.data_id) "
      "FROM data_entry d LEFT JOIN tax_settings t ON t.data_id = d.data_id ORDER BY d.data_no");
  static const char* kMethods[] = {"exempt", "simplified", "general"};
  while (q.Step() == SQLITE_ROW) {
    const int64_t method = q.Int(9);
    std::printf("%4lld %-8s %s\n     period %lld-%lld closing day %lld, %s, tax %s%s%s\n"
                "     %lld accounts, %lld departments, %lld journal lines, %lld assets%s\n",
                static_cast<long long>(q.Int(0)), q.Text(1).c_str(), q.Text(2).c_str(),
                static_cast<long long>(q.Int(3)), static_cast<long long>(q.Int(4)), static_cast<long long>(q.Int(5)),
                q.Int(6) <= 1 ? "corporation" : "individual", method < 0 ? "not set" : kMethods[method],
                q.Int(7) ? ", past-record data" : "", q.Int(8) ? ", under maintenance" : "",
                static_cast<long long>(q.Int(10)), static_cast<long long>(q.Int(11)),
                static_cast<long long>(q.Int(12)), static_cast<long long>(q.Int(13)),
                q.Int(14) ? ", saved return" : "");
  }
  Statement users = store->Prepare("SELECT user_id, selected_data_no FROM app_user ORDER BY user_id");
  while (users.Step() == SQLITE_ROW) {
    std::printf("user %s selects %s\n", users.Text(0).c_str(), users.IsNull(1) ? "nothing" : users.Text(1).c_str());
  }
  return 0;
}

int Launch(const std::vector<std::string>& args) {
  if (args.empty()) return Usage();
  const std::string edition = args[0];
  if (edition != "plus" && edition != "std" && edition != "lotus") {
    std::fprintf(stderr, "ledger: the edition is plus, std or lotus\n");
    return 2;
  }
  std::string function = "1";
  std::string path;
  for (size_t i = 1; i + 1 < args.size(); i += 2) {
    if (args[i] == "--function") function = args[i + 1];
    else if (args[i] == "--path") path = args[i + 1];
    else return Usage();
  }
  const std::string program = ledger_tool::ComponentPath(ledger_tool::ProgramFolder(), edition);
  if (!ledger_tool::IsStartable(program)) {
    std::fprintf(stderr, "ledger: %s is not there; build it first\n", program.c_str());
    return 2;
  }
  std::string error;
  auto window = platform::CallerWindow::Create(&error);
  if (!window) {
    std::fprintf(stderr, "ledger: cannot open the calling window: %s\n", error.c_str());
    return 2;
  }
  const std::string line = std::to_string(window->Handle()) + "," + std::to_string(kRunResultMessage) + "," +
                           function + "," + path;
  std::printf("launch %s %s\n", program.c_str(), line.c_str());
  std::fflush(stdout);
  const std::unique_ptr<ledger_tool::Child> child = ledger_tool::Child::Start(program, line, &error);
  if (!child) {
    std::fprintf(stderr, "ledger: %s\n", error.c_str());
    return 2;
  }
  std::optional<int64_t> result;
  std::optional<ledger_tool::Ending> ending;
  // On a terminal the launched program draws its windows on the same
  // screen: what the caller sees is held until the program has ended and
  // given the terminal back, so that no line lands inside a window. To a
  // file or a pipe every line goes out as it comes.
  const bool hold = ledger_tool::OutputIsTerminal();
  std::string held;
  auto say = [&](const std::string& line) {
    if (hold) {
      held += line;
    } else {
      std::fputs(line.c_str(), stdout);
      std::fflush(stdout);
    }
  };
  auto drain = [&](int timeoutMs) {
    while (auto event = window->Receive(timeoutMs)) {
      char line[160];
      switch (event->kind) {
        case platform::CallerWindowEvent::Kind::kEnable:
          std::snprintf(line, sizeof line, "caller window %s\n", event->enable ? "enabled" : "disabled");
          break;
        case platform::CallerWindowEvent::Kind::kForeground:
          std::snprintf(line, sizeof line, "caller window brought to the foreground\n");
          break;
        case platform::CallerWindowEvent::Kind::kPost:
          std::snprintf(line, sizeof line, "posted message %u, function %lld, result %lld\n", event->message,
                        static_cast<long long>(event->wparam), static_cast<long long>(event->lparam));
          if (event->message == kRunResultMessage) result = event->lparam;
          break;
      }
      say(line);
      timeoutMs = 0;
    }
  };
  // The window's calls are taken (on Windows its messages pumped) in steps
  // of at most 100 ms while the program runs.
  while (!ending) {
    drain(100);
    ending = child->Poll();
  }
  drain(0);
  std::fputs(held.c_str(), stdout);
  std::fflush(stdout);
  if (!result) {
    std::printf("no run result was posted; the program ended with status %d\n",
                ending->exited ? ending->status : 128 + ending->status);
    return ending->exited && ending->status != 0 ? ending->status : 2;
  }
  return static_cast<int>(*result);
}

int Generate(const std::vector<std::string>& args) {
  int64_t dataNo = 0, lines = 0, accounts = 200, departments = 10, assets = 1000;
  if (args.size() < 2 || args.size() > 5 || !ParseCount(args[0], 1, 2147483647, &dataNo) ||
      !ParseCount(args[1], 0, 4294967295, &lines) || (args.size() > 2 && !ParseCount(args[2], 2, 4294967295, &accounts)) ||
      (args.size() > 3 && !ParseCount(args[3], 0, 2147483647, &departments)) ||
      (args.size() > 4 && !ParseCount(args[4], 0, 4294967295, &assets))) {
    std::fprintf(stderr,
                 "ledger: generate takes whole numbers: DATA_NO (1 or more), LINES (0 or more), ACCOUNTS (2 or "
                 "more), DEPARTMENTS, ASSETS (0 or more)\n");
    return kBadCommandLine;
  }
  auto store = OpenStore();
  if (!store) return 1;
  {
    Statement taken = store->Prepare("SELECT 1 FROM data_entry WHERE data_no = ?1 OR data_id = ?2");
    taken.Bind(1, dataNo).Bind(2, "G" + std::to_string(dataNo));
    if (taken.Step() == SQLITE_ROW) {
      std::fprintf(stderr, "ledger: nothing generated: data number %lld (or data ID G%lld) exists already\n",
                   static_cast<long long>(dataNo), static_cast<long long>(dataNo));
      return kFailed;
    }
  }
  const std::string id = "G" + std::to_string(dataNo);
  std::string error;
  if (!ledger::EnsureCheckVerdicts(*store, &error) || !store->Exec("BEGIN", &error)) {
    std::fprintf(stderr, "ledger: nothing generated: the database is busy or read-only\n");
    return 1;
  }
  auto fail = [&](const std::string&) {
    std::fprintf(stderr, "ledger: nothing generated: the database refused a row (busy, read-only or full)\n");
    store->Exec("ROLLBACK");
    return 1;
  };
  Statement d = store->Prepare(
      "INSERT INTO data_entry VALUES (?1, ?2, ?3, 20230401, 20240331, 31, 1, 0, 0, 0, 0)");
  d.Bind(1, id).Bind(2, dataNo).Bind(3, "Generated " + std::to_string(dataNo));
  if (d.Step() != SQLITE_DONE) return fail(d.ErrorMessage());
  // Generated books come with a user to select them: 001, unless the
  // installation already has one of that name.
  Statement u = store->Prepare("INSERT OR IGNORE INTO app_user (user_id, name) VALUES ('001', 'generated')");
  if (u.Step() != SQLITE_DONE) return fail(u.ErrorMessage());
  Statement t = store->Prepare("INSERT INTO tax_settings VALUES (?1, 2, 0, 0, 0, 0, 5)");
  t.Bind(1, id);
  if (t.Step() != SQLITE_DONE) return fail(t.ErrorMessage());
  static const int64_t kClasses[] = {0x20200000, 0x40882000, 0x40882004, 0x40844000, 0x40440000,
                                     0x40884400, 0x40888000, 0x40848000, 0x10100000, 0x30100000};
  Statement a = store->Prepare("INSERT INTO account VALUES (?1, ?2, ?3, ?4, ?5, ?6, 0, 0, 0)");
  for (int64_t i = 1; i <= accounts; ++i) {
    a.Reset();
    a.Bind(1, id).Bind(2, i).Bind(3, std::to_string(1000 + i)).Bind(4, "Account " + std::to_string(i));
    a.Bind(5, kClasses[i % 10]).Bind(6, i % 3 == 0 ? 2 : 1);
    if (a.Step() != SQLITE_DONE) return fail(a.ErrorMessage());
  }
  Statement b = store->Prepare("INSERT INTO department VALUES (?1, ?2, ?3, ?4, 0, ?5)");
  for (int64_t i = 1; i <= departments; ++i) {
    b.Reset();
    b.Bind(1, id).Bind(2, i).Bind(3, "Dept " + std::to_string(i)).Bind(4, i % 3).Bind(5, 1 + i % 3);
    if (b.Step() != SQLITE_DONE) return fail(b.ErrorMessage());
  }
  Statement j = store->Prepare(
      "INSERT INTO journal_line VALUES (?1, ?2, ?3, ?4, ?5, NULL, ?6, ?7, ?8, ?9, 0, ?10, ?11, NULL, ?6, ?7, ?12, ?9, "
      "0, ?10, '')");
  static const int64_t kRates[] = {800, 500, 300, 0};
  uint64_t x = 88172645463325252ull;  // xorshift: the same data every time
  auto next = [&x] {
    x ^= x << 13;
    x ^= x >> 7;
    x ^= x << 17;
    return x;
  };
  for (int64_t i = 1; i <= lines; ++i) {
    const int64_t month = 1 + static_cast<int64_t>(next() % 12);
    const int64_t calendar = (month + 2) % 12 + 1;
    const int64_t year = calendar >= 4 ? 2023 : 2024;
    const int64_t date = year * 10000 + calendar * 100 + 1 + static_cast<int64_t>(next() % 28);
    const int64_t rate = kRates[next() % 4];
    const int64_t amount = static_cast<int64_t>(next() % 1000000) * 10000;
    j.Reset();
    j.Bind(1, id).Bind(2, i).Bind(3, date).Bind(4, month).Bind(5, 1 + static_cast<int64_t>(next() % accounts));
    j.Bind(6, amount).Bind(7, amount * rate / 10000).Bind(8, static_cast<int64_t>(next() % 40)).Bind(9, rate);
    j.Bind(10, static_cast<int64_t>(next() % 7)).Bind(11, 1 + static_cast<int64_t>(next() % accounts));
    j.Bind(12, static_cast<int64_t>(next() % 40));
    if (j.Step() != SQLITE_DONE) return fail(j.ErrorMessage());
  }
  Statement f = store->Prepare("INSERT INTO fixed_asset VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
  for (int64_t i = 1; i <= assets; ++i) {
    f.Reset();
    f.Bind(1, id).Bind(2, i).Bind(3, "Asset " + std::to_string(i)).Bind(4, i % 10 == 0 ? 9 : 1);
    f.Bind(5, 20230401 + static_cast<int64_t>(next() % 9) * 100).Bind(6, static_cast<int64_t>(next() % 10000000) * 10000);
    f.Bind(7, 1 + i % 2);
    if (f.Step() != SQLITE_DONE) return fail(f.ErrorMessage());
  }
  for (const std::string& note : ledger::RememberChecks(*store)) std::printf("note: %s\n", note.c_str());
  if (!store->Exec("COMMIT", &error)) return fail(error);
  std::printf("generated data %lld (%s): %lld lines, %lld accounts, %lld departments, %lld assets\n",
              static_cast<long long>(dataNo), id.c_str(), static_cast<long long>(lines),
              static_cast<long long>(accounts), static_cast<long long>(departments), static_cast<long long>(assets));
  return 0;
}

}  // namespace

int Check(const std::vector<std::string>& args) {
  int64_t dataNo = 0;
  if (args.size() != 1 || !ParseCount(args[0], 1, 2147483647, &dataNo)) return Usage();
  auto store = OpenStore();
  if (!store) return kFailed;
  Statement known = store->Prepare("SELECT data_id FROM data_entry WHERE data_no = ?1");
  known.Bind(1, dataNo);
  if (known.Step() != SQLITE_ROW) {
    std::fprintf(stderr, "ledger: no data set has number %s\n", args[0].c_str());
    return kFailed;
  }
  const std::string dataId = known.Text(0);
  known = Statement();
  std::string error, problem, notKept;
  if (!ledger::EnsureCheckVerdicts(*store, &error) || !store->Exec("BEGIN IMMEDIATE", &error)) {
    std::fprintf(stderr, "ledger: the database is busy or read-only: %s\n", error.c_str());
    return kFailed;
  }
  const int32_t status = ledger::CheckAndRemember(*store, dataId, &problem, &notKept);
  if (!store->Exec("COMMIT", &error)) {
    store->Exec("ROLLBACK");
    notKept = "the database refused it (" + error + ")";
  }
  if (status != host::kOk) {
    std::fprintf(stderr, "ledger: data number %s does not pass the check: %s\n", args[0].c_str(),
                 problem.empty() ? "the data set cannot be read" : problem.c_str());
    return kFailed;
  }
  std::printf("data number %s passes the check\n", args[0].c_str());
  if (!notKept.empty()) std::printf("note: the verdict is not remembered: %s\n", notKept.c_str());
  return kDone;
}

int Summary(const std::vector<std::string>& args);  // SummaryCommand.cpp

int main(int argc, char** argv) {
  // LEDGER_HOME and the link's folders mean what they meant here, also for
  // the program that `launch` starts.
  if (std::string error; !platform::AnchorPathVariables(&error)) {
    std::fprintf(stderr, "ledger: %s.\n", error.c_str());
    return 1;
  }
  if (argc < 2) return Usage();
  const std::string command = argv[1];
  if (command == "--help" || command == "-h" || command == "help") {
    PrintUsage(stdout);
    return kDone;
  }
  if (command == "--version") {
    std::printf("ledger (taxbridge %s)\n", TAXBRIDGE_VERSION_TEXT);
    return kDone;
  }
  const std::vector<std::string> args(argv + 2, argv + argc);
  if (command == "init") return Init();
  if (command == "import") return Import(args);
  if (command == "select") return Select(args);
  if (command == "show") return Show();
  if (command == "launch") return Launch(args);
  if (command == "generate") return Generate(args);
  if (command == "summary") return Summary(args);
  if (command == "check") return Check(args);
  return Usage();
}
