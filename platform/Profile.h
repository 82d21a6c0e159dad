// Reading of profile (INI) files the way the home platform's
// GetPrivateProfileStringA reads them.
//
// A profile is CP932 text of "[section]" lines, "key=value" lines and comment
// lines whose first non-blank character is ";". Lines end in CR LF, LF or CR.
// Section and key names match without regard to ASCII case; blanks around
// names and values are ignored, and one pair of matching quotes (" or ')
// around a value is removed. A key line without "=" has an empty value. Text
// after a value is part of the value (there are no trailing comments). A file
// that starts with a UTF-8 or UTF-16LE byte-order mark is read as that
// encoding and its text converted to CP932.
//
// The file is named by a Windows path (CP932), mapped through the drive map;
// a relative path is taken from the current directory.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The value of `key` in `section`, whole; nullopt when the file cannot be
// read, or the section or the key is absent. An empty value gives "".
std::optional<std::string> ReadProfileValue(std::string_view section, std::string_view key, std::string_view file);

// GetPrivateProfileStringA for one key: the value, or `default_value` (with
// trailing blanks removed) when there is none, cut to at most `size` - 1 bytes
// as the caller's buffer of `size` bytes would hold it (never in the middle
// of a double-byte character). `size` 0 gives "".
std::string ReadProfileString(std::string_view section, std::string_view key, std::string_view default_value,
                              size_t size, std::string_view file);

// The same reading over profile text already in memory (CP932), for callers
// that hold the file's bytes.
std::optional<std::string> FindProfileValue(std::string_view text, std::string_view section, std::string_view key);

}  // namespace platform
