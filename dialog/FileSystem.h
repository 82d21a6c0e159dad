// FileSystem: the file and folder operations the conditions dialog and the
// settings file need, on Windows paths given as Shift_JIS bytes.
//
// The running program uses SystemFileSystem(), which answers through the
// platform's path and file services. The interface exists so that the rules
// built on it (folder creation, the settings writer, the output path checks)
// can be driven against a file system that fails where a test tells it to.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/DriveMap.h"

namespace platform {
class FileSystem;
}

namespace dialog {

using platform::DriveType;

enum class ReadResult { Ok, Missing, Failed };

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // True when a file or a folder of that name exists.
  virtual bool Exists(std::string_view path) = 0;
  // True when the path names an existing folder (a trailing "\" is allowed).
  virtual bool IsDirectory(std::string_view path) = 0;
  // True when the path names something that is neither a file nor a folder:
  // a device, a named pipe, a socket. Nothing can be written there as a file.
  virtual bool IsDevice(std::string_view path) = 0;
  // Creates one folder whose parent exists; false when it cannot.
  virtual bool CreateDirectory(std::string_view path) = 0;
  // Removes one empty folder.
  virtual bool RemoveDirectory(std::string_view path) = 0;
  virtual DriveType GetDriveType(std::string_view root) = 0;
  // True when the path exists and may be read and written.
  virtual bool CanReadWrite(std::string_view path) = 0;
  // The temporary folder as the system gives it (usually ending in "\"); ""
  // when there is none.
  virtual std::string TempFolder() = 0;

  // Reads a whole file. Missing: no such file; Failed: it exists but cannot be read.
  virtual ReadResult ReadFile(std::string_view path, std::string& contents) = 0;
  // Creates or truncates a file and writes `contents` whole; false on any
  // failure (the file may then hold part of the contents).
  virtual bool WriteFile(std::string_view path, std::string_view contents) = 0;
  // Renames `from` over `to`, replacing `to` when it exists, in one step.
  virtual bool ReplaceFile(std::string_view from, std::string_view to) = 0;
  virtual bool RemoveFile(std::string_view path) = 0;
};

// The file system of the running program.
FileSystem& SystemFileSystem();
// The same over another platform file system (a test's, with a fault plan);
// `machine` must outlive the result.
std::unique_ptr<FileSystem> FileSystemOn(const platform::FileSystem& machine);

}  // namespace dialog
