#include "dialog/SettingsFile.h"

#include <vector>

#include "dialog/FolderMaker.h"
#include "dialog/MonthRange.h"
#include "platform/ShiftJis.h"

namespace dialog {

namespace {

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// Position of the first line of `text` that begins with `key`, or npos.
size_t FindKeyLine(std::string_view text, std::string_view key) {
  for (size_t pos = 0; pos < text.size();) {
    if (StartsWith(text.substr(pos), key)) return pos;
    const size_t lf = text.find('\n', pos);
    if (lf == std::string_view::npos) break;
    pos = lf + 1;
  }
  return std::string_view::npos;
}

enum class ReadResult { kOk, kMissing, kFailed };

// Reads the whole file: kMissing when there is no such file, kFailed when it
// exists but cannot be read whole.
ReadResult ReadWhole(platform::FileSystem& fs, std::string_view path, std::string& contents) {
  platform::FileBytes file = fs.ReadWholeFile(path);
  if (file.status == platform::PathStatus::kFileNotFound || file.status == platform::PathStatus::kPathNotFound) {
    return ReadResult::kMissing;
  }
  if (!file.ok() || file.truncated) return ReadResult::kFailed;  // never act on part of a file
  contents = std::move(file.bytes);
  return ReadResult::kOk;
}

}  // namespace

std::string FormatSettingsKey(const SettingsKey& key) {
  return key.userId + "/" + std::to_string(key.dataNo1) + "/" + std::to_string(key.dataNo2) + ":";
}

std::string FormatSettingsValue(const SettingsEntry& entry) {
  return std::to_string(entry.method) + "/" + std::to_string(entry.startMonth) + "/" +
         std::to_string(entry.endMonth) + "/" + entry.outputPath + "\n";
}

std::optional<SettingsEntry> ParseSettingsValue(std::string_view value) {
  size_t cuts[3];
  size_t from = 0;
  for (size_t& cut : cuts) {
    cut = platform::sjis::FindChar(value, '/', from);
    if (cut == std::string_view::npos) return std::nullopt;
    from = cut + 1;
  }
  SettingsEntry entry;
  entry.method = DecimalValue(value.substr(0, cuts[0]));
  entry.startMonth = DecimalValue(value.substr(cuts[0] + 1, cuts[1] - cuts[0] - 1));
  entry.endMonth = DecimalValue(value.substr(cuts[1] + 1, cuts[2] - cuts[1] - 1));
  entry.outputPath = std::string(value.substr(cuts[2] + 1));
  return entry;
}

SettingsFile::SettingsFile(platform::FileSystem& fs, std::string folder, std::string fileName)
    : fs_(fs), folder_(std::move(folder)), path_(folder_ + fileName) {}

std::optional<SettingsEntry> SettingsFile::Read(const SettingsKey& key) const {
  std::string text;
  if (ReadWhole(fs_, path_, text) != ReadResult::kOk) return std::nullopt;
  const std::string k = FormatSettingsKey(key);
  const size_t line = FindKeyLine(text, k);
  if (line == std::string::npos) return std::nullopt;
  const size_t begin = line + k.size();
  const size_t lf = text.find('\n', begin);
  return ParseSettingsValue(std::string_view(text).substr(begin, lf == std::string::npos ? std::string::npos : lf - begin));
}

bool SettingsFile::Write(const SettingsKey& key, const SettingsEntry& entry) {
  const std::string k = FormatSettingsKey(key);
  // Folders made for the file are removed again when the file cannot be
  // stored: a failed write leaves the disk as it found it.
  std::vector<std::string> made;
  if (!fs_.PathIsFolder(folder_) && !CreateFolderLevels(fs_, folder_, &made)) return false;
  auto fail = [&] {
    RemoveFolderLevels(fs_, made);
    return false;
  };

  std::string old;
  switch (ReadWhole(fs_, path_, old)) {
    case ReadResult::kOk: break;
    case ReadResult::kMissing: old.clear(); break;
    case ReadResult::kFailed: return fail();  // never replace what could not be read
  }
  // Keep every line of other keys as it is; drop every line of this key (an
  // older program may have left more than one).
  std::string text;
  text.reserve(old.size() + k.size() + entry.outputPath.size() + 16);
  for (size_t pos = 0; pos < old.size();) {
    const size_t lf = old.find('\n', pos);
    const size_t next = lf == std::string::npos ? old.size() : lf + 1;
    const std::string_view line = std::string_view(old).substr(pos, next - pos);
    if (!StartsWith(line, k)) text.append(line);
    pos = next;
  }
  if (!text.empty() && text.back() != '\n') text.push_back('\n');  // a last line without its LF
  text += k;
  text += FormatSettingsValue(entry);

  const std::string temp = path_ + ".new";
  if (fs_.WriteFileAtomically(temp, text) != platform::PathStatus::kOk ||
      fs_.RenameFile(temp, path_) != platform::PathStatus::kOk) {
    fs_.RemoveFile(temp);
    return fail();
  }
  return true;
}

}  // namespace dialog
