// The command line with which the accounting product starts a component:
// "window,message,function,path".
//
// window, message and function are decimal numbers; path is everything after
// the third comma, further commas included, and may be empty. The line counts
// as a host command line only when it holds at least three commas. Fields are
// stored as they are parsed, so a value read before a missing comma stays set
// (a window handle followed by nothing else is kept, say).
//
// The line is taken whole, whatever its length: a fixed output path is never
// cut.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace app {

struct HostCommandLine {
  long window = 0;             // the calling window's handle; 0 when none
  uint32_t message = 0;        // the message number posted at exit
  int16_t functionId = 1;      // 1 unless the caller gives another
  std::string fixedOutputPath; // empty unless the caller fixes the output file
};

// Decimal text to integer as the C runtime's atol does it: leading blanks, an
// optional sign, digits up to the first other byte; no digits give 0; a value
// beyond the range of long saturates.
long DecimalToLong(std::string_view text);

// Parses `text` into `line` field by field. Returns 1 when the text has the
// host form (three commas at least), else 0.
int ParseHostCommandLine(std::string_view text, HostCommandLine& line);

}  // namespace app
