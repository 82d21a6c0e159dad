// Where a dialog template's windows and controls land on a character screen.
//
// The one rule from dialog units to cells: a column is 10/3 dialog units
// wide and a row 10.4 dialog units high (x * 3 / 10 columns, y * 5 / 52
// rows). Left edges are rounded down, right edges, tops and bottoms to the
// nearest cell; every control keeps at least one cell each way. A dialog
// takes its client area so computed plus a frame of one cell all round, the
// caption in its top edge. The conditions dialog (255 x 228 units) becomes
// 79 x 24 cells and the progress window (221 x 44) 68 x 6, so both fit an
// 80 x 24 terminal.
//
// On a screen the window is centred; when the screen is smaller, the window
// starts at the top left and slides just far enough that a given cell (the
// focused control) stays in view.
#pragma once

#include "platform/ui/DialogTemplate.h"
#include "platform/ui/tty/Canvas.h"

namespace platform::ui::tty {

int ColumnOf(int x);    // left edge
int ColumnEnd(int x);   // right edge (exclusive)
int RowOf(int y);

// A control's cells, relative to the dialog's client area.
Rect ControlCells(const ControlTemplate& c);
// The whole window (frame included) at (0, 0).
Rect WindowCells(const DialogTemplate& t);

// The window's top-left corner on a screen of `rows` x `cols`, keeping the
// cell `keep` (relative to the window, or row -1 for none) visible.
struct Origin {
  int row = 0, col = 0;
};
Origin PlaceWindow(int windowRows, int windowCols, int rows, int cols, int keepRow = -1, int keepCol = -1);

}  // namespace platform::ui::tty
