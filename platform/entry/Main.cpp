// The program's entry point, as the home platform's framework provides it: it
// answers --version and --help from the version resource; otherwise it chooses
// the user interface, hands the argument text to the application object as
// its command line, runs StartRun and then EndRun, ends the user interface,
// prints the completed run's document (platform/ExitReport.h) and exits with
// EndRun's status.
//
// The user interface is the script backend when TAXBRIDGE_SCRIPT is set, else
// the platform's interactive one (platform/entry/ProgramStart.h: the terminal
// on Linux when standard input and output are one). Without either, nothing
// could ever answer the program, so it says why and stops at once.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "platform/ExitReport.h"
#include "platform/FileSystem.h"
#include "platform/VersionResource.h"
#include "platform/ui/Application.h"
#include "platform/ui/Backend.h"
#include "platform/Encoding.h"
#include "platform/Environment.h"
#include "platform/FileSystem.h"
#include "platform/ui/ShowMessage.h"
#include "platform/ui/script/ScriptBackend.h"
#include "platform/entry/ProgramStart.h"

namespace {

constexpr int kCannotRun = 2;

void PrintVersion() {
  const platform::VersionResource& v = platform::ProgramVersionResource();
  std::printf("%s %s\n", v.internalName, v.versionString);
  std::printf("FileVersion: %s\nProductVersion: %s\nInternalName: %s\nOriginalFilename: %s\n", v.fileVersion,
              v.productVersion, v.internalName, v.originalFilename);
  std::printf("FileDescription: %s\nProductName: %s\n", v.fileDescription, v.productName);
}

void PrintHelp() {
  const platform::VersionResource& v = platform::ProgramVersionResource();
  std::printf(
      "Usage: %s WINDOW,MESSAGE,FUNCTION,[PATH]\n"
      "       %s\n"
      "       %s --version | --help\n\n"
      "Started by the accounting product (see `ledger launch`), the one argument names the calling window\n"
      "(its decimal handle), the message number to post the run result with, the function ID and a fixed\n"
      "output path. The comma after FUNCTION is required even when no path follows (\"1234,32769,1,\");\n"
      "everything after it, further commas included, is the path. A line with fewer than three commas\n"
      "does not name a calling window: the program runs as if started alone and posts no result.\n"
      "Started alone, the program takes no argument.\n\n"
      "When a run completes, the program prints the Linux path of the document it wrote on standard\n"
      "output, after the terminal is given back. The exit status is the run result: 0 completed,\n"
      "1 stopped by the user or refused, 2 failed, 3 the company data could not be opened.\n\n"
      "Environment:\n"
      "  TAXBRIDGE_SCRIPT      run unattended: every user action comes from this script file\n"
      "  TAXBRIDGE_TRANSCRIPT  append everything shown to this file (default: standard output)\n"
      "Without a script the program needs a terminal, where it runs interactively (keys: see README.md).\n",
      v.internalName, v.internalName, v.internalName);
}

// The document a completed run wrote, as the Linux path a user of this
// machine can open (the Windows path only when the drive map cannot give
// one): one line on standard output.
void PrintCompletedDocument(const platform::ui::Application& app) {
  const auto* report = dynamic_cast<const platform::ExitReport*>(&app);
  if (report == nullptr) return;
  const std::string document = report->CompletedDocument();
  if (document.empty()) return;
  const std::optional<std::string> shown = platform::entry::ShownDocumentPath(document);
  if (!shown) return;
  std::printf("%s\n", shown->c_str());
  std::fflush(stdout);
}

// `utf8` as Shift_JIS for a message box; a character that Shift_JIS cannot
// hold (in a file name, say) is shown as "?" rather than losing the message.
std::string ShownInBox(const std::string& utf8) {
  if (auto whole = platform::Utf8ToCp932(utf8)) return *whole;
  std::string shown;
  for (size_t i = 0; i < utf8.size();) {
    const unsigned char lead = static_cast<unsigned char>(utf8[i]);
    const size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    auto one = platform::Utf8ToCp932(std::string_view(utf8).substr(i, length));
    shown += one ? *one : "?";
    i += length;
  }
  return shown;
}

int CannotRun(const std::string& why) {
  std::fprintf(stderr, "%s: %s\n", platform::ProgramVersionResource().internalName, why.c_str());
  return kCannotRun;
}

}  // namespace

// Each program defines TheApplication() with its own application object. This
// weak fallback is only linked into a program that lacks one, and it refuses
// to run rather than pretend to.
namespace platform::ui {
[[gnu::weak]] Application& TheApplication() {
  std::fprintf(stderr, "%s: this build has no application object; the run cannot start.\n",
               platform::ProgramVersionResource().internalName);
  std::exit(kCannotRun);
}
}  // namespace platform::ui

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    PrintVersion();
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    PrintHelp();
    return 0;
  }

  // Paths named by the environment mean what they meant where the program
  // was started, whatever folder the run moves to later.
  if (std::string error; !platform::AnchorPathVariables(&error)) return CannotRun(error + ".");

  // The command line as the home platform hands it over: the argument text
  // without the program name, in Shift_JIS.
  std::string commandLineError;
  const auto commandLine = platform::entry::CommandLineText(argc, argv, &commandLineError);
  if (!commandLine) return CannotRun(commandLineError + ".");

  std::unique_ptr<platform::ui::Backend> backend;
  const char* script = std::getenv("TAXBRIDGE_SCRIPT");
  if (script && *script) {
    std::string error;
    backend = platform::ui::script::ScriptBackend::FromEnvironment(&error);
    if (!backend) return CannotRun(error + ".");
  } else {
    std::string error;
    backend = platform::entry::OpenInteractiveBackend(&error);
    if (!backend) return CannotRun(error + ".");
  }
  platform::ui::InstallBackend(backend.get());

  // Every path of the run goes through the drive map. When it cannot be had
  // (the named map is missing or has a bad line), nothing the run could show
  // would name the real cause, so the program says it here, before any
  // dialog, and stops.
  if (const std::string problem = platform::FileSystem::Default().Problem(); !problem.empty()) {
    const std::string text = "ドライブの対応表が使えないため、プログラムを開始できません。\n\n" + ShownInBox(problem);
    platform::ui::ShowMessage(nullptr, text, platform::ProgramVersionResource().internalName,
                              platform::ui::kMbOk | platform::ui::kMbIconError);
    platform::ui::InstallBackend(nullptr);
    backend.reset();
    return CannotRun(problem + ".");
  }

  platform::ui::Application& app = platform::ui::TheApplication();
  app.SetCommandLine(*commandLine);
  app.StartRun();
  const int status = app.EndRun();
  platform::ui::InstallBackend(nullptr);
  backend.reset();  // gives the terminal back before the process ends
  PrintCompletedDocument(app);
  return status;
}
