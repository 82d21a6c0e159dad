// Where SupportInfoFile meets the platform: reading the file's raw bytes and
// telling the user that no memory could be had for its block.
#pragma once

#include <cstddef>
#include <string>

namespace report {

// Reads at most `maxBytes` raw bytes of the file at `path` (a Windows path,
// relative to the current directory when it has no folder) into `data`.
// False when the file does not open.
bool ReadSupportInfo(const std::string& path, size_t maxBytes, std::string& data);

// Shows "ﾒﾓﾘが不足しています。" in the framework's message box with an OK button.
void ShowSupportInfoOutOfMemory();

}  // namespace report
