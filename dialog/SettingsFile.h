// SettingsFile: the per-user file that remembers the last conditions chosen
// for each company data set, one file per deliverable ("taxbridge_plus.env")
// in the accounting product's settings folder.
//
// The file is Shift_JIS text, one entry per line, each line ending in a single
// LF, no header. An entry is a key followed at once by its value:
//   key   "%s/%d/%d:"     user ID, first and second selected data number
//   value "%ld/%d/%d/%s"  method, start month, end month, output path
// e.g. "001/3/12:0/4/9/C:\out\tax.xml". The path comes last and may itself
// hold "/". Entries stand in the order last written.
//
// A key is matched only at the start of a line, so user "001" never takes or
// removes the entry of user "1001". Writing replaces the file in one step (a
// new file written beside it and renamed over it): when anything fails the old
// file is left exactly as it was.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/FileSystem.h"

namespace dialog {

struct SettingsKey {
  std::string userId;
  int32_t dataNo1 = 0;
  int32_t dataNo2 = 0;
};

struct SettingsEntry {
  int32_t method = 0;
  int32_t startMonth = 0;
  int32_t endMonth = 0;
  std::string outputPath;
};

std::string FormatSettingsKey(const SettingsKey& key);
// The value with its line end.
std::string FormatSettingsValue(const SettingsEntry& entry);
// The entry of a value (without its line end); nullopt when it has fewer than
// the three "/" that end the method and the months.
std::optional<SettingsEntry> ParseSettingsValue(std::string_view value);

class SettingsFile {
 public:
  // `folder` is the settings folder as the accounting product gives it; the
  // file's path is that folder followed directly by `fileName`.
  SettingsFile(platform::FileSystem& fs, std::string folder, std::string fileName);

  const std::string& FilePath() const { return path_; }

  // The entry stored under `key`; nullopt when there is none or the file
  // cannot be read.
  std::optional<SettingsEntry> Read(const SettingsKey& key) const;

  // Stores `entry` under `key` as the file's last line, dropping any older
  // line of that key; creates the folder (level by level) and the file when
  // missing. False when the settings could not be stored; the file is then
  // unchanged, and no new file or folder of this attempt is left behind.
  bool Write(const SettingsKey& key, const SettingsEntry& entry);

 private:
  platform::FileSystem& fs_;
  std::string folder_;
  std::string path_;
};

}  // namespace dialog
