#include "platform/ui/FileDialog.h"

#include "platform/ShiftJis.h"
#include "platform/ui/Backend.h"

namespace platform::ui {

std::string ApplyDefaultExtension(const std::string& name, const std::string& defaultExtension) {
  if (defaultExtension.empty() || name.empty()) return name;
  const size_t sep = sjis::FindLastOf(name, "\\/:");
  const size_t start = sep == std::string::npos ? 0 : sep + 1;
  if (start >= name.size()) return name;  // a folder, not a file name
  if (sjis::FindChar(name, '.', start) != std::string::npos) return name;
  return name + "." + defaultExtension;
}

std::optional<std::string> RunSaveFileDialog(const SaveFileDialogOptions& options) {
  std::optional<std::string> chosen = CurrentBackend().SaveFile(options);
  if (!chosen) return std::nullopt;
  return ApplyDefaultExtension(*chosen, options.defaultExtension);
}

}  // namespace platform::ui
