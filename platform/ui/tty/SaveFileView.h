// The save-file dialog on the terminal: the folder it is in, a listing of
// that folder (its parent "..", sub-folders ending in "\", then the files the
// filter lets through), a file name field, the file type and the Save and
// Cancel buttons.
//
// Keys (Key()): Tab and Shift+Tab move between the name field, the listing
// and the buttons; Up and Down move in the listing; Enter on a folder opens
// it, on a file takes it; Space on a file copies its name into the field;
// Enter in the name field or on Save confirms; Escape or Cancel cancels. A
// name with "*" or "?" becomes the listing's filter instead; a name that is
// an existing folder opens it.
//
// Paths are Windows paths in Shift_JIS, mapped through a FileSystem; the
// view never changes the process's current folder. CheckChoice() applies the
// dialog's flags to the confirmed name (the folder and, when asked, the file
// must exist; an existing file needs a Yes when asked) and says what the
// user must be told, if anything.
#pragma once

#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/tty/Canvas.h"
#include "platform/ui/tty/EditLine.h"
#include "platform/ui/tty/KeyInput.h"

namespace platform::ui::tty {

class SaveFileView {
 public:
  // kUnwritable: a character typed into the name has no Shift_JIS form.
  enum class Step { kNone, kConfirm, kCancel, kRefused, kUnwritable };
  struct Check {
    std::string problem;   // Shift_JIS; not empty: the choice is refused with this message
    std::string question;  // Shift_JIS; not empty: ask this (Yes/No) before taking the choice
  };
  struct Entry {
    std::string name;  // Shift_JIS
    bool folder = false;
  };

  explicit SaveFileView(const SaveFileDialogOptions& options, FileSystem& fs = FileSystem::Default());

  Step Key(const KeyPress& key);
  Check CheckChoice() const;
  // The confirmed path: the name field, joined to the folder unless it is a
  // full path; without the default extension (the framework adds it).
  std::string Chosen() const;

  const std::string& folder() const { return folder_; }
  const std::vector<Entry>& entries() const { return entries_; }
  const std::string& name() const { return name_.text(); }
  const std::string& listError() const { return listError_; }

  void Paint(Canvas& canvas, int* cursorRow, int* cursorCol);

 private:
  void Open(std::string folder);
  void Refresh();
  bool Matches(const std::string& name) const;
  Step Confirm();
  Step Activate();

  SaveFileDialogOptions options_;
  FileSystem& fs_;
  std::string folder_;                 // ends in "\"
  std::vector<std::string> patterns_;  // "*.xml"
  std::string filterName_;
  std::vector<Entry> entries_;
  std::string listError_;
  EditLine name_;
  int focus_ = 0;  // 0 name, 1 listing, 2 Save, 3 Cancel
  int selected_ = 0;
  int top_ = 0;
};

}  // namespace platform::ui::tty
