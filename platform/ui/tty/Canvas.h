// A grid of terminal cells that the backend paints a whole screen into before
// it goes to the terminal. Painting is clipped to the grid: nothing written
// outside it lands anywhere, and a double-width glyph that would straddle
// the right edge of a clip area is left out (a blank stands in its place).
//
// Each cell holds a glyph (or is the right half of the double-width glyph to
// its left), a set of attributes and, for frames, a line-drawing mark that
// the terminal draws with its own line characters. Lines() gives the grid as
// plain text, as a person reading the screen would copy it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/ui/tty/CellText.h"

namespace platform::ui::tty {

// Attributes. Colours only ever add to what the other attributes show.
inline constexpr uint32_t kNormal = 0;
inline constexpr uint32_t kReverse = 1u << 0;
inline constexpr uint32_t kBold = 1u << 1;
inline constexpr uint32_t kDim = 1u << 2;
inline constexpr uint32_t kUnderline = 1u << 3;
inline constexpr uint32_t kColorWindow = 1u << 8;   // a window's face
inline constexpr uint32_t kColorCaption = 1u << 9;  // a window's caption bar
inline constexpr uint32_t kColorAlert = 1u << 10;   // the icon mark of a warning
inline constexpr uint32_t kColorBusy = 1u << 11;    // the busy mark and the filled part of bars

enum class Line : uint8_t { kNone, kHorizontal, kVertical, kTopLeft, kTopRight, kBottomLeft, kBottomRight };

struct Cell {
  std::string glyph = " ";
  int width = 1;            // 2: double width; 0: the right half of the cell to its left
  uint32_t attr = kNormal;
  Line line = Line::kNone;

  bool operator==(const Cell&) const = default;
};

struct Rect {
  int row = 0, col = 0, rows = 0, cols = 0;
  int bottom() const { return row + rows; }
  int right() const { return col + cols; }
  bool Contains(int r, int c) const { return r >= row && r < bottom() && c >= col && c < right(); }
};

class Canvas {
 public:
  Canvas(int rows, int cols);

  int rows() const { return rows_; }
  int cols() const { return cols_; }
  const Cell& at(int row, int col) const { return cells_[static_cast<size_t>(row) * cols_ + col]; }

  // Writes `run` from (row, col) on, inside [clipLeft, clipRight) of that
  // row and the grid. Mnemonic glyphs get underlined. Returns the column after the text.
  int Text(int row, int col, const GlyphRun& run, uint32_t attr, int clipLeft = 0, int clipRight = 1 << 20);
  // Fills the rectangle with blanks of `attr`.
  void Fill(const Rect& r, uint32_t attr);
  // A frame on the edges of `r`; `title` is written into its top edge.
  void Frame(const Rect& r, uint32_t attr, const GlyphRun& title = {}, uint32_t titleAttr = kNormal);
  // Adds `attr` to every cell of `r` (the reverse video of a selection, say).
  void AddAttr(const Rect& r, uint32_t attr);

  // The grid as text, one string per row (double-width glyphs once, frames
  // as "+", "-" and "|"), trailing blanks kept.
  std::vector<std::string> Lines() const;

 private:
  Cell& mut(int row, int col) { return cells_[static_cast<size_t>(row) * cols_ + col]; }
  void Put(int row, int col, const Cell& cell);

  int rows_, cols_;
  std::vector<Cell> cells_;
};

}  // namespace platform::ui::tty
