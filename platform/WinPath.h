// Text rules of Windows paths (CP932, "\" separators), with no file system
// access: the shell's PathSkipRootA and PathStripToRootA. Every scan is
// double-byte aware, so the trail byte 0x5C of a character such as "機" is
// never taken for a "\".
//
// Roots: "X:\" for a drive, "\\server\share" for a network share, "\" for
// the root of the current drive.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// PathSkipRootA: the offset of the first character after the root, or npos
// when the path does not start with a drive root "X:\" or a share root
// "\\server\share\" (a share with no "\" after its name has no rest to skip
// to, so it gives npos too).
//   "C:\out\tax.xml" -> 3, "\\srv\acc\tax.xml" -> 10, "out\tax.xml" -> npos.
size_t SkipRoot(std::string_view path);

// PathStripToRootA: cuts `path` down to its root and returns true; when the
// path holds no root ("out\tax.xml", "C:out", "") it is cut as far as it goes
// and false is returned.
//   "C:\out\tax.xml" -> "C:\", "\\srv\acc\x\y" -> "\\srv\acc", "\x" -> "\".
bool StripToRoot(std::string& path);

// True when `path` is a root as PathIsRootA tells it: "\", "X:\",
// "\\server" or "\\server\share" (without a further "\").
bool IsRoot(std::string_view path);

}  // namespace platform
