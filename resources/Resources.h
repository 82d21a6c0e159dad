// The program's resources as data: dialog templates 130 (conditions) and 131
// (progress) and the string table. Texts are Shift_JIS.
#pragma once

#include <span>

#include "platform/ui/DialogTemplate.h"
#include "resources/ResourceIds.h"

namespace resources {

struct ResourceString {
  int id;
  const char* text;  // Shift_JIS
};

// Every dialog template and every string-table entry of the program, in ID
// order. The Windows programs' resource script is written from these
// (tools/resource-script), so the real windows and the other backends are
// built from one description.
std::span<const platform::ui::DialogTemplate> DialogTemplates();
std::span<const ResourceString> StringTable();

// The template with `id`, or null when the program has none.
const platform::ui::DialogTemplate* FindDialogTemplate(int id);

// The string-table entry `id`, or null when there is none.
const char* LoadResourceString(int id);

}  // namespace resources
