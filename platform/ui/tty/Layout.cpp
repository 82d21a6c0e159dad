#include "platform/ui/tty/Layout.h"

#include <algorithm>

namespace platform::ui::tty {

int ColumnOf(int x) { return x * 3 / 10; }
int ColumnEnd(int x) { return (x * 3 + 5) / 10; }
int RowOf(int y) { return (y * 10 + 52) / 104; }

Rect ControlCells(const ControlTemplate& c) {
  Rect r;
  r.col = ColumnOf(c.x);
  r.row = RowOf(c.y);
  r.cols = std::max(1, ColumnEnd(c.x + c.cx) - r.col);
  r.rows = std::max(1, RowOf(c.y + c.cy) - r.row);
  return r;
}

Rect WindowCells(const DialogTemplate& t) {
  return Rect{0, 0, std::max(1, RowOf(t.cy)) + 2, std::max(1, ColumnEnd(t.cx)) + 2};
}

namespace {
// One axis: centred when it fits, else slid so that `keep` is inside.
int PlaceAxis(int size, int screen, int keep) {
  if (size <= screen) return (screen - size) / 2;
  int at = 0;
  if (keep >= 0 && keep >= screen) at = screen - 1 - keep;
  return std::max(at, screen - size);
}
}  // namespace

Origin PlaceWindow(int windowRows, int windowCols, int rows, int cols, int keepRow, int keepCol) {
  return Origin{PlaceAxis(windowRows, rows, keepRow), PlaceAxis(windowCols, cols, keepCol)};
}

}  // namespace platform::ui::tty
