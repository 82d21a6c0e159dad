#include "platform/ui/Cursor.h"

#include "platform/ui/Backend.h"

namespace platform::ui {
namespace {
int waitDepth = 0;
}  // namespace

void BeginWaitCursor() {
  if (waitDepth++ == 0) CurrentBackend().WaitCursorChanged(true);
}

void EndWaitCursor() {
  if (waitDepth > 0 && --waitDepth == 0) CurrentBackend().WaitCursorChanged(false);
}

// The cursor shape is the only state, and nothing here replaces it, so
// restoring changes nothing that can be seen.
void RestoreWaitCursor() {}

bool IsWaitCursorShown() { return waitDepth > 0; }

}  // namespace platform::ui
