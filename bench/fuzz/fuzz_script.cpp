// The script file: the backend answers a dialog, a message box and the
// save-file dialog in turn until the script gives out, which ends the process
// with status 2 (so each input runs in a process of its own). A crash, a
// signal or a hang is a finding; the exit is not.
#define TAXBRIDGE_FUZZ_ONE_PER_PROCESS 1

#include <sstream>
#include <string>

#include "bench/fuzz/FuzzMain.h"
#include "platform/ui/Backend.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/ShowMessage.h"
#include "platform/ui/script/ScriptBackend.h"
#include "resources/Resources.h"

namespace ui = platform::ui;

void FuzzOne(const uint8_t* data, size_t size) {
  std::ostringstream transcript;
  ui::script::ScriptBackend backend(std::string(reinterpret_cast<const char*>(data), size), transcript, "fuzz");
  ui::InstallBackend(&backend);
  std::freopen("/dev/null", "w", stderr);
  for (;;) {
    ui::Dialog dialog(resources::FindDialogTemplate(resources::kConditionDialog));
    dialog.DoModal();
    ui::ShowMessage(nullptr, "q", "c", ui::kMbYesNoCancel);
    ui::SaveFileDialogOptions options;
    ui::RunSaveFileDialog(options);
  }
}
