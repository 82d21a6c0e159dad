#include "dialog/ConditionValidator.h"

#include "dialog/FolderMaker.h"
#include "dialog/PathRules.h"

namespace dialog {

namespace {

constexpr const char* kMonthRefused = "集計期間に誤りがあります。\n\n集計期間を設定しなおしてください。";
constexpr const char* kPathEmpty = "データ出力先が指定されていません。\n\n出力先を指定してください。";
constexpr const char* kPathCharacters = "データの出力先に不正な文字が含まれています。\n\n出力先を再入力してください。";
constexpr const char* kDriveRefused = "ドライブ名が有効でありません。\n\n有効なドライブを指定してください。";
constexpr const char* kNoFileName = "ファイル名が指定されていません。";
constexpr const char* kCreateFolder = "指定されたフォルダは存在しません。\n\n作成してもよろしいですか？";
constexpr const char* kCreateFailed = "フォルダの作成に失敗しました。\n\n出力先を再入力してください。";
constexpr const char* kOverwrite = "同名のファイルが存在します。\n\n上書きしてもよろしいですか？";

bool DriveAccepted(std::string_view path, platform::FileSystem& fs) {
  if (path::IsUnc(path)) {
    const std::optional<size_t> root = path::UncShareRootLength(path);
    return root && fs.HasAccess(path.substr(0, *root), platform::AccessMode::kReadWrite);
  }
  const std::optional<char> letter = path::DriveLetter(path);
  if (!letter) return false;
  const std::string root = std::string(1, *letter) + ":\\";
  switch (fs.DriveTypeOf(root)) {
    case platform::DriveType::kUnknown:
    case platform::DriveType::kCdRom:
    case platform::DriveType::kRamDisk:
      return false;
    case platform::DriveType::kRemovable:
    case platform::DriveType::kFixed:
    case platform::DriveType::kRemote:
      return fs.HasAccess(root, platform::AccessMode::kReadWrite);
    case platform::DriveType::kNoRoot:
      return true;
  }
  return true;
}

bool FolderExists(std::string_view path, platform::FileSystem& fs) {
  const std::optional<std::string> folder = path::FolderOf(path);
  return folder && (folder->empty() || fs.PathIsFolder(*folder));
}

// Something that is neither a file nor a folder: a device, a named pipe, a
// socket. Nothing can be written there as a file.
bool IsDevice(std::string_view path, platform::FileSystem& fs) {
  const uint32_t attributes = fs.FileAttributesOf(path);
  return attributes != platform::kInvalidFileAttributes && (attributes & platform::kAttributeDevice) != 0;
}

}  // namespace

FocusField ValidateOutputPath(std::string_view path, bool pathFixed, platform::FileSystem& fs, ValidationPrompts& prompts) {
  auto refuse = [&](const char* text) {
    prompts.Refuse(text);
    return FocusField::OutputPath;
  };
  if (path.empty()) return refuse(kPathEmpty);
  if (path::HasInvalidCharacters(path)) return refuse(kPathCharacters);
  if (!DriveAccepted(path, fs)) return refuse(kDriveRefused);
  if (path::FileNamePart(path).empty()) return refuse(kNoFileName);

  const std::string_view folder = path::FolderPart(path);
  if (!folder.empty() && !FolderExists(path, fs)) {
    if (!prompts.Ask(kCreateFolder)) return FocusField::OutputPath;
    if (folder.size() > path::kMaxPath || !CreateFolderLevels(fs, folder)) return refuse(kCreateFailed);
  }

  // A device, a named pipe or a socket names no file the document could be
  // written to (a pipe nobody reads would hold the run for ever). The name
  // is refused as a folder's is, whether the user typed it or the caller
  // fixed it.
  if (IsDevice(path, fs)) return refuse(kNoFileName);
  if (!pathFixed) {
    if (fs.PathIsFolder(path)) return refuse(kNoFileName);
    if (fs.PathExists(path) && !prompts.Ask(kOverwrite)) return FocusField::OutputPath;
  }
  return FocusField::None;
}

FocusField ValidateConditions(const ConditionValues& values, const PeriodMonths& period, bool pathFixed,
                              platform::FileSystem& fs, ValidationPrompts& prompts) {
  const int32_t start = DecimalValue(values.startMonthText);
  const int32_t end = DecimalValue(values.endMonthText);
  switch (CheckMonthRange(start, end, period)) {
    case MonthField::None: break;
    case MonthField::Start: prompts.Refuse(kMonthRefused); return FocusField::StartMonth;
    case MonthField::End: prompts.Refuse(kMonthRefused); return FocusField::EndMonth;
  }
  return ValidateOutputPath(values.outputPath, pathFixed, fs, prompts);
}

}  // namespace dialog
