#include "platform/Profile.h"

// On Linux the file is read through the drive map and its text read by the
// same rules as GetPrivateProfileStringA (Profile.cpp).

#include "platform/FileSystem.h"

namespace platform {

std::optional<std::string> ReadProfileValue(std::string_view section, std::string_view key, std::string_view file) {
  const FileBytes bytes = FileSystem::Default().ReadWholeFile(file);
  if (!bytes.ok() || bytes.truncated) return std::nullopt;
  return FindProfileValue(bytes.bytes, section, key);
}

}  // namespace platform
