// The program's start: without a script and without a terminal it says why it
// cannot run and stops at once; a script it cannot read stops it too.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace {

struct Outcome {
  int status;
  std::string output;
};

Outcome RunProgram(const std::string& environment, const std::string& arguments = "") {
  const std::string command = "env -u TAXBRIDGE_SCRIPT -u TAXBRIDGE_TRANSCRIPT " + environment + " timeout 20 " +
                              TAXBRIDGE_BINARY_DIR "/bin/taxbridge_plus " + arguments + " </dev/null 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  Outcome out{-1, ""};
  if (!pipe) return out;
  std::array<char, 256> buffer{};
  while (fgets(buffer.data(), buffer.size(), pipe)) out.output += buffer.data();
  const int raw = pclose(pipe);
  out.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return out;
}

TEST(Entry, WithNeitherScriptNorTerminalTheProgramStopsAndSaysWhy) {
  const Outcome o = RunProgram("");
  EXPECT_EQ(o.status, 2);
  EXPECT_NE(o.output.find("no user interface"), std::string::npos) << o.output;
}

TEST(Entry, AScriptThatCannotBeReadStopsTheProgram) {
  const Outcome o = RunProgram("TAXBRIDGE_SCRIPT=/nonexistent/script.txt");
  EXPECT_EQ(o.status, 2);
  EXPECT_NE(o.output.find("cannot read the script /nonexistent/script.txt"), std::string::npos) << o.output;
}

TEST(Entry, VersionAndHelpNeedNoUserInterface) {
  EXPECT_EQ(RunProgram("", "--version").status, 0);
  const Outcome help = RunProgram("", "--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.output.find("TAXBRIDGE_SCRIPT"), std::string::npos);
}

}  // namespace
