// PathRules: the rules the conditions dialog and the settings writer apply to
// Windows paths given as Shift_JIS bytes ("C:\out\tax.xml", "\\server\share\x.xml").
//
// Every scan is double-byte aware: the trail byte of a double-byte character
// ("機能" ends in 0x5C) is never taken for "\" or for any other single-byte
// character. These are pure text operations; nothing here touches the disk.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace dialog::path {

// The longest path the system hands to the file system, terminating NUL included.
constexpr size_t kMaxPath = 260;

// Appends "\" to a folder path unless its last character already is one (a
// path ending in a double-byte character always gets it). Fails, leaving
// `folder` unchanged, when the result with its terminating NUL would not fit in
// kMaxPath bytes.
bool AppendSeparator(std::string& folder);

// Everything up to and including the last "\" ("" when there is none).
std::string_view FolderPart(std::string_view path);
// Everything after the last "\" (the whole path when there is none).
std::string_view FileNamePart(std::string_view path);

// How browsing splits a path into the initial folder and file name: at the
// last "\", or when there is none at the last ":"; the separator stays with the
// folder. A path with neither is all file name.
struct BrowseSplit {
  std::string folder;
  std::string fileName;
};
BrowseSplit SplitForBrowse(std::string_view path);

// True when the path begins with "\\" (a UNC path).
bool IsUnc(std::string_view path);

// Length of the share root of a UNC path, "\\server\share\" including the "\"
// that follows the share name; nullopt when the path is not UNC or has no "\"
// after a non-empty server and share name.
std::optional<size_t> UncShareRootLength(std::string_view path);

// True when the path holds a character an output path may not hold. The text
// examined is the path without its leading "\\" for a UNC path, else the text
// after its first ":" (the whole path when it has none); from the second
// character of that text on, a second "\\" or any of / : , ; * ? " > < | is refused.
bool HasInvalidCharacters(std::string_view path);

// The drive letter of a non-UNC path as an upper-case letter A-Z, or nullopt
// when its first character is not a letter.
std::optional<char> DriveLetter(std::string_view path);

// The drive and folder of `path` as a folder path ending in "\" ("" when the
// path has no folder part); nullopt when the separator cannot be appended.
std::optional<std::string> FolderOf(std::string_view path);

}  // namespace dialog::path
