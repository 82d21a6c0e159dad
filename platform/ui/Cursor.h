// The wait cursor (hourglass). BeginWaitCursor and EndWaitCursor nest;
// RestoreWaitCursor shows it again after something (a message box) replaced it.
#pragma once

namespace platform::ui {

void BeginWaitCursor();
void EndWaitCursor();
void RestoreWaitCursor();
// True while at least one BeginWaitCursor is not yet ended.
bool IsWaitCursorShown();

}  // namespace platform::ui
