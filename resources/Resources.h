// The program's resources as data: dialog templates 130 (conditions) and 131
// (progress) and the string table. Texts are Shift_JIS.
#pragma once

#include "platform/ui/DialogTemplate.h"
#include "resources/ResourceIds.h"

namespace resources {

// The template with `id`, or null when the program has none.
const platform::ui::DialogTemplate* FindDialogTemplate(int id);

// The string-table entry `id`, or null when there is none.
const char* LoadResourceString(int id);

}  // namespace resources
