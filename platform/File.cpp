#include "platform/File.h"

namespace platform {

HostPath HostPathOf(std::string_view systemPath) {
  if (systemPath.empty()) return HostPath{PathStatus::kInvalidName, {}, "no output path was given"};
  return FileSystem::Default().ToHostPath(systemPath, /*for_writing=*/true);
}

}  // namespace platform
