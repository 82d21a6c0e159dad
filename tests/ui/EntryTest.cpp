// The program's start: without a script and without a terminal it says why it
// cannot run and stops at once; a script it cannot read stops it too.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/Files.h"
#include "tests/support/Program.h"
#include "tests/support/TempFolder.h"

namespace {

namespace fs = std::filesystem;

struct Outcome {
  int status;
  std::string output;
};

// One run of taxbridge_plus with no script unless `script` names one, its
// input empty, killed after 20 seconds.
Outcome RunTheProgram(const std::vector<std::string>& arguments, const std::string& script = "") {
  static const fs::path folder = test_support::NewTempFolder("tb-entry");
  const fs::path output = folder / "output.txt";
  Outcome out;
  out.status = test_support::RunProgram(test_support::ProgramFile(TAXBRIDGE_BINARY_DIR, "taxbridge_plus"), arguments,
                                        {{"TAXBRIDGE_SCRIPT", script}, {"TAXBRIDGE_TRANSCRIPT", ""}}, folder, output,
                                        20);
  out.output = test_support::ReadAll(output);
  return out;
}

TEST(Entry, WithNeitherScriptNorTerminalTheProgramStopsAndSaysWhy) {
  const Outcome o = RunTheProgram({});
#ifdef _WIN32
  // A Windows program always has its real windows: it goes on into the run,
  // which finds no installation here (status 3). (The suites run under Wine
  // without a display, where its message box comes back at once; the real
  // windows are driven under Xvfb by tests/windows/ui.sh.)
  EXPECT_EQ(o.status, 3) << o.output;
  EXPECT_EQ(o.output.find("no user interface"), std::string::npos) << o.output;
#else
  EXPECT_EQ(o.status, 2);
  EXPECT_NE(o.output.find("no user interface"), std::string::npos) << o.output;
#endif
}

TEST(Entry, AScriptThatCannotBeReadStopsTheProgram) {
  const fs::path missing = test_support::NewTempFolder("tb-entry-script") / "missing-script.txt";
  const Outcome o = RunTheProgram({}, missing.string());
  EXPECT_EQ(o.status, 2);
  EXPECT_NE(o.output.find("cannot read the script "), std::string::npos) << o.output;
  EXPECT_NE(o.output.find("missing-script.txt"), std::string::npos) << o.output;
}

TEST(Entry, VersionAndHelpNeedNoUserInterface) {
  EXPECT_EQ(RunTheProgram({"--version"}).status, 0);
  const Outcome help = RunTheProgram({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.output.find("TAXBRIDGE_SCRIPT"), std::string::npos);
}

}  // namespace
