// The script file under hostile text. A script error ends the process, so
// each damaged script runs in a child process that keeps showing a dialog, a
// message box and the save-file dialog until the script gives out: the child
// must end with status 2 and the error as the transcript's last line, never
// with a signal or by running on. Texts typed by well-formed scripts come
// back in the transcript exactly as the script wrote them.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "platform/ui/Backend.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/ShowMessage.h"
#include "platform/ui/script/ScriptBackend.h"
#include "resources/Resources.h"
#include "tests/hostile/Hostile.h"
#include "tests/support/Files.h"

namespace {

using test_support::ReadAll;

namespace fs = std::filesystem;
namespace ui = platform::ui;
using hostile::Rng;

// UTF-8 pieces a user may type: ASCII, the escapes the script knows, and
// Japanese text that Shift_JIS holds (one of whose codes has the trail byte "\").
const std::vector<std::string> kPieces = {"a", "Z", "4", " ", "\"", "\\", "\n", "\t", "/", ",",
                                          reinterpret_cast<const char*>(u8"消費税"),
                                          reinterpret_cast<const char*>(u8"ｱｶﾞ"),
                                          reinterpret_cast<const char*>(u8"表")};

std::string Escaped(const std::string& utf8) {
  std::string out;
  for (char c : utf8) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      default: out += c;
    }
  }
  return out;
}

std::string Line(Rng& rng) {
  static const std::vector<std::string> kKeys = {"Enter", "Escape", "Tab", "Space", "F12", "Shift+Tab", "Ctrl+Alt+F12"};
  static const std::vector<std::string> kAnswers = {"OK", "Cancel", "Yes", "No"};
  static const std::vector<std::string> kIds = {"1014", "1016", "1029", "1031", "1", "2", "1018", "65535", "-1"};
  std::string text;
  for (int n = static_cast<int>(rng.Below(5)); n > 0; --n) text += rng.Pick(kPieces);
  switch (rng.Below(7)) {
    case 0: return "click " + rng.Pick(kIds);
    case 1: return "type " + rng.Pick(kIds) + " \"" + Escaped(text) + "\"";
    case 2: return "key " + rng.Pick(kKeys);
    case 3: return "answer " + rng.Pick(kAnswers);
    case 4: return rng.OneIn(3) ? "save cancel" : "save \"C:\\out\\" + Escaped(text) + ".xml\"";
    case 5: return "# " + text;
    default: return std::string(rng.Below(3), ' ');
  }
}

// Shows windows until the script ends the process; never returns.
[[noreturn]] void RunUntilTheScriptGivesOut(const std::string& script, const fs::path& transcriptPath) {
  alarm(10);  // a script that never gives out is a hang: the parent sees SIGALRM
  std::ofstream transcript(transcriptPath, std::ios::binary);
  ui::script::ScriptBackend backend(script, transcript, "hostile-script");
  ui::InstallBackend(&backend);
  for (;;) {
    ui::Dialog dialog(resources::FindDialogTemplate(resources::kConditionDialog));
    dialog.DoModal();
    ui::ShowMessage(nullptr, "q", "c", ui::kMbYesNoCancel);
    ui::SaveFileDialogOptions options;
    options.title = "t";
    ui::RunSaveFileDialog(options);
  }
}

TEST(HostileScript, DamagedScriptsEndTheRunWithStatusTwoAndAnError) {
  const fs::path dir = fs::temp_directory_path() / ("tb-hostile-script-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const fs::path transcript = dir / "transcript.txt";
  Rng rng(0x5C1);
  long cases = 0;
  for (int i = 0; i < hostile::Heavy(hostile::kCases / 10); ++i, ++cases) {
    std::string script;
    for (int n = static_cast<int>(rng.Below(12)); n > 0; --n) script += Line(rng) + (rng.OneIn(4) ? "\r\n" : "\n");
    if (rng.OneIn(4)) script = rng.Bytes(80);
    else if (rng.OneIn(2)) script = hostile::Mutate(rng, script);

    std::fflush(nullptr);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      // Keep the child's complaints out of the test's output.
      std::freopen("/dev/null", "w", stderr);
      RunUntilTheScriptGivesOut(script, transcript);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0) << " on script:\n"
                                   << script;
    ASSERT_EQ(WEXITSTATUS(status), ui::script::kScriptErrorExitStatus) << script;
    const std::string text = ReadAll(transcript);
    ASSERT_FALSE(text.empty());
    const size_t last = text.rfind('\n', text.size() - 2);
    const std::string lastLine = text.substr(last == std::string::npos ? 0 : last + 1);
    EXPECT_TRUE(lastLine.starts_with("error ")) << lastLine;
    if (HasFailure()) break;
  }
  fs::remove_all(dir);

  // Well-formed typing: the transcript shows the text as the script wrote it.
  for (int i = 0; i < hostile::kCases; ++i, ++cases) {
    std::string text;
    for (int n = static_cast<int>(rng.Below(8)); n > 0; --n) text += rng.Pick(kPieces);
    std::ostringstream out;
    {
      ui::script::ScriptBackend backend("type 1014 \"" + Escaped(text) + "\"\nkey Escape\n", out, "round-trip");
      ui::InstallBackend(&backend);
      ui::Dialog dialog(resources::FindDialogTemplate(resources::kConditionDialog));
      dialog.DoModal();
      ui::InstallBackend(nullptr);
      EXPECT_EQ(backend.RemainingActions(), 0u);
    }
    EXPECT_NE(out.str().find("\ninput type 1014 \"" + Escaped(text) + "\"\n"), std::string::npos)
        << Escaped(text) << "\n"
        << out.str();
    if (HasFailure()) break;
  }
  hostile::ReportCases("script", cases);
}

}  // namespace
