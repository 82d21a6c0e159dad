#include "report/SupportInfoSource.h"

#include "platform/FileSystem.h"
#include "platform/ui/ShowMessage.h"

namespace report {

bool ReadSupportInfo(const std::string& path, size_t maxBytes, std::string& data) {
  platform::FileBytes file = platform::FileSystem::Default().ReadWholeFile(path, maxBytes);
  if (!file.ok()) return false;
  data = std::move(file.bytes);
  return true;
}

void ShowSupportInfoOutOfMemory() {
  platform::ui::ShowMessage(nullptr, "ﾒﾓﾘが不足しています。", "消費税", platform::ui::kMbOk);
}

}  // namespace report
