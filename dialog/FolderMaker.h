// CreateFolderLevels: makes a folder and every missing folder above it, one
// level at a time, below the path's root (drive "X:\" or UNC share
// "\\server\share\").
//
// All or nothing: when the folder cannot be made (no root, a path too long for
// the system, a level that cannot be created, or the folder still missing at
// the end), the folders this call created are removed again, deepest first,
// and the result is false. Folders that existed before are never touched.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"

namespace dialog {

bool CreateFolderLevels(platform::FileSystem& fs, std::string_view folder);
// The same; on success `created` receives the folders this call made,
// outermost first, so that a caller whose later step fails can remove them.
bool CreateFolderLevels(platform::FileSystem& fs, std::string_view folder, std::vector<std::string>* created);
// Removes `folders` (as CreateFolderLevels gives them), deepest first; a
// folder that is no longer empty stays.
void RemoveFolderLevels(platform::FileSystem& fs, const std::vector<std::string>& folders);

}  // namespace dialog
