// The product's folders (a singleton reached by Inst()).
//
// GetAppFolderPath answers a folder of the installation as a Windows path in
// Shift_JIS, exactly as configured (callers append a file name directly, so a
// configured folder ends with "\"). Kind 0 is the output folder and may be
// configured empty; kind 1 is the product's own folder. Other kinds are
// kBadArgument; a folder longer than the buffer is kBadArgument and leaves
// `out` empty.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/HostTypes.h"

class ClFileMgr {
 public:
  static ClFileMgr* Inst();
  int32_t GetAppFolderPath(int32_t kind, char* out, size_t capacity);

 private:
  ClFileMgr() = default;
};
