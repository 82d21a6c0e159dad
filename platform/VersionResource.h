// The program file's version resource, as the home platform would show it in
// the file's properties. On Linux it is printed by `--version`.
//
// Each deliverable defines ProgramVersionResource() once (its strings differ by
// edition); the platform entry point prints it. Texts are UTF-8, because they
// are only ever shown on the Linux terminal.
#pragma once

namespace platform {

struct VersionResource {
  const char* fileVersion;      // fixed part, "20.0.1.0"
  const char* productVersion;   // fixed part, "20.0.1.0"
  const char* versionString;    // string table, "20.01.00"
  const char* internalName;     // the deliverable's name
  const char* originalFilename; // the deliverable's name with ".exe"
  const char* fileDescription;  // the product's display name
  const char* productName;      // the product's display name
};

const VersionResource& ProgramVersionResource();

}  // namespace platform
