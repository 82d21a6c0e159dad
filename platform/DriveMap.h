// The drive map: which Linux folder each Windows drive letter and network
// share stands for, as Wine keeps it. By default Z: is "/" and C: is the
// per-user folder ~/.taxbridge/drive_c (created when first needed); a map file
// adds drives and shares, changes them or removes them. docs/drive-map.md
// describes the file and how it is found (TAXBRIDGE_DRIVES).
//
// A DriveMap is an immutable value. The Linux file system
// (platform/FileSystem_posix.cpp) turns Windows paths into Linux paths with
// it; NewMappedFileSystem below builds one over a map.
//
// The drive map exists on Linux only (platform/DriveMap_posix.cpp): on
// Windows the paths are the machine's own and no map stands between them and
// the disk, so neither this header's functions nor the code that uses them
// are built there.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"

namespace platform {

// One drive letter or share and the Linux folder behind it.
struct DriveMapping {
  char letter = 0;         // 'A'..'Z' for a drive; 0 for a share
  std::string server;      // a share's server name (CP932), empty for a drive
  std::string share;       // a share's name (CP932), empty for a drive
  std::string hostRoot;    // absolute Linux folder, no trailing "/" unless it is "/"
  std::string realRoot;    // hostRoot with its links resolved, when it exists; else empty
  DriveType type = DriveType::kFixed;
  bool readOnly = false;   // nothing on it may be created, changed or removed

  // "C:" or "\\server\share" (CP932).
  std::string WindowsRoot() const;
};

class DriveMap {
 public:
  // Z: "/" and, when HOME is set, C: HOME/.taxbridge/drive_c; both fixed.
  static DriveMap Defaults(std::string_view home);

  // `base` changed by the lines of a map file (UTF-8 text). On a bad line the
  // result is nullopt and `error` names the line and what is wrong with it.
  static std::optional<DriveMap> Parse(std::string_view text, const DriveMap& base, std::string* error);

  // The map this process uses: the defaults, changed by the file that
  // TAXBRIDGE_DRIVES names, else by ~/.taxbridge/drives when it exists. A
  // file that is named but cannot be read or parsed is an error (nullopt and
  // `error`), never a silent fall-back to the defaults.
  static std::optional<DriveMap> FromEnvironment(std::string* error);

  // The drive for `letter` (either case), or null when it is not mapped.
  const DriveMapping* Drive(char letter) const;
  // The share \\server\share (CP932, any ASCII case), or null.
  const DriveMapping* Share(std::string_view server, std::string_view share) const;
  // The mapping whose folder holds the absolute, normalised Linux path
  // `host_path` most closely (the longest folder wins; a drive wins a tie
  // over a share, a letter over a later letter), or null. `rest` receives the
  // part of the path below that folder, without a leading "/".
  const DriveMapping* Covering(std::string_view host_path, std::string* rest) const;

  const std::vector<DriveMapping>& mappings() const { return mappings_; }

 private:
  void Put(DriveMapping mapping);
  void Remove(const DriveMapping& like);

  std::vector<DriveMapping> mappings_;  // drives in letter order, then shares
};

// Lexical normalisation of an absolute Linux path: "//", "." and ".." are
// resolved ("/.." stays "/"), no trailing "/" unless the path is "/".
std::string NormaliseHostPath(std::string_view path);

// The Linux file system seen through `map`. FileSystem::Default() is one of
// these over DriveMap::FromEnvironment().
std::unique_ptr<FileSystem> NewMappedFileSystem(DriveMap map);
// A file system whose drive map could not be had: every path fails with
// `problem` in its error, and Problem() tells it.
std::unique_ptr<FileSystem> NewUnusableFileSystem(std::string problem);

}  // namespace platform
