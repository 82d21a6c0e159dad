// Text rules of Windows paths (CP932), with no file system access. Every scan
// is double-byte aware, so the trail byte 0x5C of a character such as "機" is
// never taken for a "\".
//
// Two sets of rules live here, as on the home platform:
// - the shell's (PathSkipRootA, PathStripToRootA, PathIsRootA), which know
//   only "\" as a separator. Roots: "X:\" for a drive, "\\server\share"
//   for a network share, "\" for the root of the current drive.
// - the file system's (SplitWindowsPath and the names below), which take "/"
//   like "\", resolve "." and ".." in the text without climbing above the
//   root, drop a name's trailing dots and blanks, and refuse names holding
//   < > : " | ? * or control characters.
// Which folder of the machine a drive or share stands for is not a text
// rule: platform/DriveMap.h says it on Linux.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

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

// A Windows path as the file system resolves it: the drive or share it is on
// and the names below that root.
struct WindowsPathParts {
  char letter = 0;                 // 'A'..'Z' for a drive; 0 for a share
  std::string server;              // the share's server and name (as written) when letter is 0
  std::string share;
  std::vector<std::string> names;  // none of them "", "." or ".."; none ends in "." or " "
};

// Why a path could not be taken apart.
enum class WindowsPathProblem {
  kNone,
  kNoShare,        // "\\server" or "\\server\" without a share
  kNeedsCurrent,   // "name" or "\name", and no current folder was given
  kForbiddenName,  // a name holds a character Windows does not allow
};

// Takes `path` apart. A path without a drive or share ("name", "\name") is
// taken on `current`, the current folder as a Windows path with its root
// ("C:\out", "\\srv\acc\x"), or "" when there is none; "C:name" is taken in
// `current` when that is on drive C:, else at the drive's root. On
// kForbiddenName `forbidden` (when given) receives the name. `path` must not
// be empty or hold a NUL byte (the caller says what is wrong with those).
WindowsPathProblem SplitWindowsPath(std::string_view path, std::string_view current, WindowsPathParts* parts,
                                    std::string* forbidden = nullptr);

// True when SplitWindowsPath takes `path` on the current folder: it has
// neither a drive nor a share ("name", "\\name"), or it is "C:name".
bool UsesCurrentFolder(std::string_view path);

// A root as GetDriveTypeA takes it: "X:", "X:\", "\\server\share" or
// "\\server\share\" ("/" like "\"). False for anything else; on true,
// either `parts->letter` or its server and share are set, and it has no names.
bool ParseDriveRoot(std::string_view root, WindowsPathParts* parts);

// True when `name` (one name of a path) holds a character that Windows does
// not allow in a name: a control character, < > : " | ? * or "\" and "/",
// or a double-byte character cut in two at its end.
bool IsForbiddenName(std::string_view name);

}  // namespace platform
