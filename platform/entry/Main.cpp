// The program's entry point, as the home platform's framework provides it: it
// answers --version and --help from the version resource, and otherwise hands
// the command line to the application object.
#include <cstdio>
#include <cstring>

#include "platform/VersionResource.h"

namespace {

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
      "Usage: %s [WINDOW,MESSAGE,FUNCTION[,PATH]]\n"
      "       %s --version | --help\n\n"
      "Started by the accounting product (see `ledger launch`), the argument names the calling window,\n"
      "the message number to post the run result with, the function ID and, optionally, a fixed output path.\n"
      "Started alone, the program takes no argument.\n",
      v.internalName, v.internalName);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    PrintVersion();
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    PrintHelp();
    return 0;
  }
  std::fprintf(stderr, "%s: the run is not built yet in this version; only --version and --help work.\n",
               platform::ProgramVersionResource().internalName);
  return 2;
}
