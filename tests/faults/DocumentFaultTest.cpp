// Whole runs of the program on the demo company data, in this process, with
// the output document's file failing: the open, every single write (the k-th
// for every k the document has) and the close. Each run is started as the
// accounting product starts it (a calling window, a fixed output path), the
// script answering the dialog and every question.
//
// For each fault and each way of answering the questions the run must:
// ask exactly the section questions the failure calls for, in order (a
// failed write closes the file, so every later section fails too); follow
// the answer (No stops with result 2 and stores no settings; Yes to every
// question goes on writing, then tells the user the output failed, with
// result 2 and no settings: the file is incomplete); leave the file closed,
// holding exactly the lines written before the failing write; and post its
// result to the calling window. A failure of the REPORT end tag or of the
// close, after every section was written, is reported and fails the run.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "app/LinkApp.h"
#include "ledger/Import.h"
#include "ledger/Installation.h"
#include "ledger/Store.h"
#include "platform/CallerWindow.h"
#include "platform/File.h"
#include "tests/faults/FaultTally.h"
#include "tests/ui/UiTestSupport.h"
#include "tests/support/Files.h"
#include "tests/support/FaultyFile.h"
#include "tests/support/TempFolder.h"

namespace {

using test_support::ReadAll;

namespace fs = std::filesystem;
using test_support::FileFaultPlan;
using uitest::U8;

// The lines of a document, each with its CR LF.
std::vector<std::string> DocumentLines(const std::string& doc) {
  std::vector<std::string> lines;
  for (size_t start = 0; start < doc.size();) {
    size_t end = doc.find("\r\n", start);
    end = end == std::string::npos ? doc.size() : end + 2;
    lines.push_back(doc.substr(start, end - start));
    start = end;
  }
  return lines;
}


// The message boxes of the run, by what they say.
enum class Box { kImportNotice, kSystem, kBasic, kData, kCompleted, kOutputFailed, kOther };

Box KindOf(const std::string& transcriptLine) {
  struct Known {
    const char8_t* text;
    Box box;
  };
  static const Known kKnown[] = {
      {u8"輸入取引の本体分", Box::kImportNotice},
      {u8"システム情報の出力に失敗しました。", Box::kSystem},
      {u8"基本情報の出力に失敗しました。", Box::kBasic},
      {u8"連動情報の出力に失敗しました。", Box::kData},
      {u8"消費税情報の出力が終了しました。", Box::kCompleted},
      {u8"icon=information buttons=OK text=\"消費税情報の出力に失敗しました。", Box::kOutputFailed},
  };
  for (const Known& k : kKnown)
    if (transcriptLine.find(U8(k.text)) != std::string::npos) return k.box;
  return Box::kOther;
}

const char* Name(Box b) {
  switch (b) {
    case Box::kImportNotice: return "import-notice";
    case Box::kSystem: return "SYSTEM?";
    case Box::kBasic: return "BASIC?";
    case Box::kData: return "DATA?";
    case Box::kCompleted: return "completed";
    case Box::kOutputFailed: return "output-failed";
    case Box::kOther: return "other";
  }
  return "?";
}

std::string Names(const std::vector<Box>& boxes) {
  std::string s;
  for (Box b : boxes) s += std::string(s.empty() ? "" : " ") + Name(b);
  return "[" + s + "]";
}

// One of the four demo documents: a company and a method.
struct Case {
  const char* name;
  const char* user;     // selects the company
  const char* dialog;   // the script up to the run button
  int noticesBefore;    // boxes the run shows before the document (answered OK)
  const char* golden;   // the expected document when nothing fails
};

const Case kCases[] = {
    {"corporation-journal", "001", "click 1029\nkey F12\n", 1, "corporation_journal.xml"},
    {"corporation-saved-return", "001", "click 1031\nkey F12\n", 0, "corporation_saved_return.xml"},
    {"individual-journal", "002", "click 1029\ntype 1014 \"4\"\ntype 1016 \"12\"\nkey F12\n", 0,
     "individual_journal.xml"},
    {"individual-saved-return", "002", "click 1031\nkey F12\n", 0, "individual_saved_return.xml"},
};

struct Outcome {
  int exitStatus = -1;
  std::optional<int64_t> posted;
  std::vector<Box> boxes;  // after the notices before the document
  bool documentExists = false;
  std::string document;
  bool settingsStored = false;
  bool fileLeftOpen = false;
  size_t scriptLeft = 0;
  std::string transcript;
};

class DocumentFaults : public ::testing::Test {
 public:
  static void SetUpTestSuite() {
    // Some thousands of runs each flush the settings to disk: in memory when
    // the machine offers a memory file system, so that the flushes cost nothing.
    // (Linux only: on Windows "/dev/shm" is no full path, and the program
    // refuses an output path without its drive.)
#ifdef _WIN32
    dir_ = test_support::NewTempFolder("tb-document-faults");
#else
    dir_ = fs::is_directory("/dev/shm") ? test_support::NewTempFolder("tb-document-faults", "/dev/shm")
                                        : test_support::NewTempFolder("tb-document-faults");
#endif
    ASSERT_FALSE(dir_.empty());
    fs::create_directories(dir_ / "drive_c");
    fs::create_directories(dir_ / "out");
    std::ofstream(dir_ / "drives") << "C: \"" << (dir_ / "drive_c").string() << "\"\n";
    // Set before the program's file system is first used in this process.
    test_support::SetVariable("TAXBRIDGE_DRIVES", (dir_ / "drives").string());
    test_support::SetVariable("LEDGER_HOME", (dir_ / "home").string());
    test_support::SetVariable("TAXBRIDGE_RUNTIME_DIR", (dir_ / "run").string());
    ledger::InstallationSettings settings;
    settings.currentUser = "001";
    // The accounting product's settings folder, on the test's own C: drive
    // (Linux) or in the test's folder (Windows, whose C: is the machine's).
    settings.folder1 = test_support::WindowsPathOf(dir_ / "drive_c" / "taxbridge") + "\\";
    settings.returnProductName = "Halvern";
    std::string error;
    ASSERT_TRUE(ledger::Installation::Create((dir_ / "home").string(), settings, &error)) << error;
    auto store = ledger::Store::Open(ledger::Installation::DatabasePath((dir_ / "home").string()), &error);
    ASSERT_TRUE(store) << error;
    const ledger::ImportResult imported =
        ledger::ImportFolder(*store, (fs::path(TAXBRIDGE_SOURCE_DIR) / "demo" / "ledger").string(), false);
    ASSERT_TRUE(imported.ok) << imported.error;
  }
  static void TearDownTestSuite() { fs::remove_all(dir_); }

  static void SelectUser(const char* user) {
    ledger::InstallationSettings settings;
    std::string error;
    ASSERT_TRUE(ledger::Installation::ReadSettings((dir_ / "home").string(), &settings, &error)) << error;
    settings.currentUser = user;
    ASSERT_TRUE(ledger::Installation::WriteSettings((dir_ / "home").string(), settings, &error)) << error;
  }

  // One whole run with `faults` on the output file; `answers` answer the
  // boxes that follow the notices before the document.
  static Outcome Run(const Case& c, const FileFaultPlan& faults, const std::vector<std::string>& answers) {
    const fs::path out = dir_ / "out" / "tax.xml";
    const fs::path settings = dir_ / "drive_c" / "taxbridge" / "taxbridge_plus.env";
    fs::remove(out);
    fs::remove(settings);
    std::string script = c.dialog;
    for (int i = 0; i < c.noticesBefore; ++i) script += "answer OK\n";
    for (const std::string& a : answers) script += "answer " + a + "\n";

    Outcome o;
    {
      std::string error;
      auto caller = platform::CallerWindow::Create(&error);
      EXPECT_TRUE(caller) << error;
      if (!caller) return o;
      const test_support::OpenFileProbe openFiles;
      const std::string windowsOut = test_support::WindowsPathOf(out);
      uitest::ScriptedUser user(script);
      {
        app::LinkApp app;
        app.SetCommandLine(std::to_string(caller->Handle()) + ",1025,1," + windowsOut);
        app.SetOutputFileFactory([faults] { return std::make_unique<test_support::FaultyFile>(faults); });
        app.StartRun();
        o.exitStatus = app.EndRun();
      }
      o.fileLeftOpen = openFiles.LeftOpen(out);
      while (auto e = caller->Receive(0))
        if (e->kind == platform::CallerWindowEvent::Kind::kPost) o.posted = e->lparam;
      o.scriptLeft = user.Remaining();
      o.transcript = user.Transcript();
      int skip = c.noticesBefore;
      for (const std::string& line : user.LinesStarting("messagebox")) {
        if (skip > 0) {
          --skip;
          continue;
        }
        o.boxes.push_back(KindOf(line));
      }
    }
    o.documentExists = fs::exists(out);
    o.document = ReadAll(out);
    o.settingsStored = fs::exists(settings);
    return o;
  }

  static fs::path dir_;
};
fs::path DocumentFaults::dir_;

// What a run must show and leave, compared with what it did; empty when the
// run behaved.
std::string Mismatch(const Outcome& o, const std::vector<Box>& boxes, int result, bool documentExists,
                     const std::string& document) {
  std::string why;
  if (o.boxes != boxes) why += " boxes " + Names(o.boxes) + " expected " + Names(boxes) + ";";
  if (o.exitStatus != result) why += " exit status " + std::to_string(o.exitStatus) + ";";
  if (o.posted != std::optional<int64_t>(result))
    why += " posted " + (o.posted ? std::to_string(*o.posted) : std::string("nothing")) + ";";
  if (o.documentExists != documentExists) why += documentExists ? " no document;" : " a document was made;";
  if (o.document != document) {
    const std::vector<std::string> got = DocumentLines(o.document), want = DocumentLines(document);
    size_t first = 0;
    while (first < got.size() && first < want.size() && got[first] == want[first]) ++first;
    why += " the document holds " + std::to_string(got.size()) + " lines, expected " + std::to_string(want.size()) +
           ", first difference at line " + std::to_string(first + 1) + ": \"" +
           (first < got.size() ? got[first] : std::string("(end)")) + "\";";
  }
  if (o.settingsStored != (result == 0)) why += o.settingsStored ? " settings stored;" : " settings not stored;";
  if (o.fileLeftOpen) why += " a file was left open;";
  if (o.scriptLeft != 0) why += " " + std::to_string(o.scriptLeft) + " answers unused;";
  return why;
}

// The questions a failing write in `first`'s section calls for: that
// section's and every later one's.
std::vector<Box> QuestionsFrom(Box first) {
  std::vector<Box> all = {Box::kSystem, Box::kBasic, Box::kData};
  while (all.front() != first) all.erase(all.begin());
  return all;
}

// Runs one fault with every way of answering its questions: No at the first,
// at the second, ... and Yes to all. True when every run behaved.
bool TryEveryAnswer(const Case& c, const FileFaultPlan& faults, const std::string& label, Box first,
                    const std::string& kept, bool documentExists) {
  const std::vector<Box> questions = QuestionsFrom(first);
  bool behaved = true;
  for (size_t no = 0; no <= questions.size(); ++no) {
    std::vector<std::string> answers(no, "Yes");
    std::vector<Box> boxes(questions.begin(), questions.begin() + static_cast<long>(std::min(no + 1, questions.size())));
    const int result = 2;
    if (no < questions.size()) {
      answers.push_back("No");
    } else {
      answers.push_back("OK");
      boxes.push_back(Box::kOutputFailed);
    }
    const Outcome o = DocumentFaults::Run(c, faults, answers);
    const std::string why = Mismatch(o, boxes, result, documentExists, kept);
    EXPECT_EQ(why, "") << c.name << ", " << label << ", No at question " << no + 1 << "\n" << o.transcript;
    behaved = behaved && why.empty();
  }
  return behaved;
}

TEST_F(DocumentFaults, EveryWriteTheOpenAndTheCloseOfEachDemoDocument) {
  for (const Case& c : kCases) {
    SelectUser(c.user);
    ASSERT_FALSE(HasFatalFailure());
    FaultTally tally(std::string("document-") + c.name);

    // Nothing fails: the expected document, the completion message, result 0.
    const Outcome clean = Run(c, FileFaultPlan(), {"OK"});
    const std::string golden = ReadAll(fs::path(TAXBRIDGE_SOURCE_DIR) / "tests" / "golden" / "expected" / c.golden);
    ASSERT_EQ(Mismatch(clean, {Box::kCompleted}, 0, true, golden), "") << c.name << "\n" << clean.transcript;
    const std::vector<std::string> lines = DocumentLines(clean.document);

    // Write k is line k: find where each section begins.
    auto lineOf = [&](const char* text) {
      for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i] == text) return i + 1;
      ADD_FAILURE() << c.name << ": no line " << text;
      return lines.size();
    };
    const size_t basic = lineOf("\t<BASIC>\r\n"), data = lineOf("\t<DATA>\r\n"), last = lines.size();
    ASSERT_EQ(lines.back(), "</REPORT>\r\n");
    ASSERT_LT(basic, data);

    std::string kept;  // lines 1 to k-1
    for (size_t k = 1; k <= last; ++k) {
      const FileFaultPlan faults = FileFaultPlan().FailWrite(k);
      const std::string label = "write " + std::to_string(k) + " of " + std::to_string(last);
      bool behaved;
      if (k == last) {
        // The REPORT end tag: every section was written, the document is not finished.
        const Outcome o = Run(c, faults, {"OK"});
        const std::string why = Mismatch(o, {Box::kOutputFailed}, 2, true, kept);
        EXPECT_EQ(why, "") << c.name << ", " << label << "\n" << o.transcript;
        behaved = why.empty();
      } else {
        const Box first = k < basic ? Box::kSystem : k < data ? Box::kBasic : Box::kData;
        behaved = TryEveryAnswer(c, faults, label, first, kept, true);
      }
      tally.Tried(behaved);
      kept += lines[k - 1];
    }
    // A write number beyond the document never comes.
    EXPECT_EQ(Mismatch(Run(c, FileFaultPlan().FailWrite(last + 1), {"OK"}), {Box::kCompleted}, 0, true, golden), "");

    // The file cannot be created: no file, and every section asks.
    tally.Tried(TryEveryAnswer(c, FileFaultPlan().FailOpen(), "open", Box::kSystem, "", false));

    // The close fails after the whole document was written.
    const Outcome closed = Run(c, FileFaultPlan().FailClose(), {"OK"});
    const std::string why = Mismatch(closed, {Box::kOutputFailed}, 2, true, golden);
    EXPECT_EQ(why, "") << c.name << ", close\n" << closed.transcript;
    tally.Tried(why.empty());

    EXPECT_EQ(tally.survived(), tally.tried()) << c.name;
    EXPECT_EQ(tally.tried(), last + 2) << c.name;
  }
}

}  // namespace
