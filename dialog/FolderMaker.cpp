#include "dialog/FolderMaker.h"

#include <string>
#include <vector>

#include "dialog/PathRules.h"
#include "platform/ShiftJis.h"
#include "platform/WinPath.h"

namespace dialog {

bool CreateFolderLevels(platform::FileSystem& fs, std::string_view folder) {
  std::vector<std::string> created;
  return CreateFolderLevels(fs, folder, &created);
}

void RemoveFolderLevels(platform::FileSystem& fs, const std::vector<std::string>& folders) {
  for (auto it = folders.rbegin(); it != folders.rend(); ++it) fs.RemoveFolder(*it);
}

bool CreateFolderLevels(platform::FileSystem& fs, std::string_view folder, std::vector<std::string>* made) {
  made->clear();
  std::string target(folder);
  if (!path::AppendSeparator(target)) return false;
  const size_t root = platform::SkipRoot(target);
  if (root == std::string::npos) return false;

  std::vector<std::string> created;
  auto undo = [&] {
    RemoveFolderLevels(fs, created);
    return false;
  };
  for (size_t sep = platform::sjis::FindChar(target, '\\', root); sep != std::string::npos;
       sep = platform::sjis::FindChar(target, '\\', sep + 1)) {
    const std::string level = target.substr(0, sep);
    if (fs.PathIsFolder(level)) continue;
    if (fs.MakeFolder(level) != platform::PathStatus::kOk) return undo();
    created.push_back(level);
  }
  if (!fs.PathIsFolder(target)) return undo();
  *made = std::move(created);
  return true;
}

}  // namespace dialog
