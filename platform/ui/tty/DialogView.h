// Paints one dialog, as it stands, onto a canvas: its frame with the caption,
// then every visible control in template order at the cells of Layout.h.
//
// What a person sees of each control: labels and static texts (left, centred
// or right as their style says, the mnemonic underlined); group boxes as
// frames with their title; radio buttons "(*)" / "( )"; check boxes "[x]" /
// "[ ]"; push buttons "[ text ]"; edits "[text]" with the selection in
// reverse video while they have the focus; the help mark "(?)"; progress bars
// filled with "#" in proportion to their position. Disabled controls are
// dimmed and lose their brackets; the focused control is in reverse video, a
// focused push button also shows "[> text <]", and the terminal cursor stands
// on it (at the caret in an edit). Colours only repeat these signs.
#pragma once

#include <map>
#include <vector>

#include "platform/ui/Dialog.h"
#include "platform/ui/tty/Canvas.h"
#include "platform/ui/tty/EditLine.h"
#include "platform/ui/tty/Layout.h"

namespace platform::ui::tty {

// The terminal's editing state of each edit box, kept across paints.
using EditLines = std::map<const Control*, EditLine>;

struct PaintedDialog {
  Rect window;                // on the canvas
  int cursorRow = -1, cursorCol = -1;  // -1: no cursor in this dialog
  struct Hit {
    Rect cells;
    int id;
  };
  std::vector<Hit> hits;      // where each clickable control is, for the mouse
};

// The edit line of an edit box, brought up to the control's text and selection.
EditLine& EditLineOf(EditLines& edits, const Control& edit);

// Paints `dialog` with its window's top-left corner at `origin`.
PaintedDialog PaintDialog(Canvas& canvas, const Dialog& dialog, EditLines& edits, Origin origin);

// The window's size in cells, frame included, and the cell (relative to the
// window) that must stay in view: the focused control's.
Rect DialogWindow(const Dialog& dialog);
void FocusCell(const Dialog& dialog, int* row, int* col);

}  // namespace platform::ui::tty
