// The editing of one single-line edit box in the terminal: a Shift_JIS text,
// a caret and a selection (byte offsets on character boundaries), and the
// first character shown when the text is wider than the box.
//
// Typing replaces the selection, or inserts at the caret; it is refused whole
// (the call returns false and nothing changes) when a numeric edit would get
// anything but digits, or when the result would pass the edit's byte limit.
// Backspace and Delete take the selection, else one whole character.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform::ui::tty {

class EditLine {
 public:
  EditLine() = default;
  EditLine(std::string text, size_t limit, bool numeric);

  const std::string& text() const { return text_; }
  size_t caret() const { return caret_; }
  bool HasSelection() const { return selStart_ != selEnd_; }
  size_t selStart() const { return selStart_; }
  size_t selEnd() const { return selEnd_; }

  // Takes the text and selection the dialog holds (after a program change,
  // a focus move that selected all, ...). A selection puts the caret at its end.
  void Sync(std::string_view text, int selStart, int selEnd);

  bool Type(std::string_view cp932);
  bool Backspace();
  bool Delete();
  void Home();
  void End();
  void Left();
  void Right();
  void SelectAll();

  // First byte to show so that the caret stays inside `columns` (each byte
  // one column, a double-byte character two).
  size_t ScrollFor(size_t columns);

 private:
  size_t PrevChar(size_t at) const;
  size_t NextChar(size_t at) const;
  bool EraseSelection();

  std::string text_;
  size_t limit_ = 0;
  bool numeric_ = false;
  size_t caret_ = 0;
  size_t selStart_ = 0, selEnd_ = 0;
  size_t scroll_ = 0;
};

}  // namespace platform::ui::tty
