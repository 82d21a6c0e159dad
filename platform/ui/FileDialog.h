// The save-file dialog: the user picks the full path of a file to write.
// Texts and paths are Shift_JIS Windows paths. When the chosen name has no
// extension, the default extension is added after a ".".
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/ui/Window.h"

namespace platform::ui {

inline constexpr uint32_t kOfnOverwritePrompt = 0x00000002u;
inline constexpr uint32_t kOfnHideReadOnly = 0x00000004u;
inline constexpr uint32_t kOfnNoChangeDir = 0x00000008u;
inline constexpr uint32_t kOfnPathMustExist = 0x00000800u;
inline constexpr uint32_t kOfnFileMustExist = 0x00001000u;

struct SaveFileDialogOptions {
  Window* owner = nullptr;
  std::string defaultExtension;  // without the dot, e.g. "XML"
  std::string initialName;
  std::string initialFolder;
  std::string title;
  std::string filter;  // "Name|pattern|...||"
  uint32_t flags = 0;
};

// The chosen full path, or nothing when the user cancelled.
std::optional<std::string> RunSaveFileDialog(const SaveFileDialogOptions& options);

// The name as the dialog returns it: `name` with ".ext" added when its last
// path component has no extension (and a default extension is given).
std::string ApplyDefaultExtension(const std::string& name, const std::string& defaultExtension);

}  // namespace platform::ui
