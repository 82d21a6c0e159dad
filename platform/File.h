// File: the home platform's file object, as the system writes its output
// document through it.
//
// A File is opened for writing by a path (created, or truncated when it
// exists), written in whole byte runs and closed. Every operation answers with
// a FileResult value; nothing is thrown. A File that is not open refuses every
// write. Closing a File that is not open does nothing and succeeds. The
// destructor closes an open file and drops the result.
//
// File is an interface: FileSystem::NewFile() (platform/FileSystem.h) gives
// the platform's own, whose paths go through that file system; a test may
// hand the system one that fails where it is told to
// (tests/support/FaultyFile.h).
//
// The path is the system's own (Shift_JIS bytes). HostPathOf is the one place
// where such a path becomes a path of the machine the program runs on.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/FileSystem.h"

namespace platform {

// Outcome of a file operation: ok, or failed with a message for the user.
class FileResult {
 public:
  static FileResult Ok() { return FileResult(); }
  static FileResult Fail(std::string message) { return FileResult(std::move(message)); }

  bool ok() const { return ok_; }
  const std::string& message() const { return message_; }

 private:
  FileResult() = default;
  explicit FileResult(std::string message) : ok_(false), message_(std::move(message)) {}

  bool ok_ = true;
  std::string message_;
};

// Turns a path of the system (a Windows path in Shift_JIS) into a path on this
// machine through FileSystem::Default(), for writing: a drive that is not
// mapped, a read-only drive, a name Windows does not allow or one that cannot
// be converted is refused with a message. A path without a drive is taken on
// the current drive, so on Linux "/tmp/out.xml" is the Linux /tmp/out.xml
// while the current folder is on Z:. On Windows the path is the machine's
// own and is given back as it is, once its names pass the same checks.
HostPath HostPathOf(std::string_view systemPath);

class File {
 public:
  File() = default;
  // Closes the file when it is open.
  virtual ~File() = default;

  File(const File&) = delete;
  File& operator=(const File&) = delete;

  // Opens `path` for writing only: created when absent, truncated when
  // present. Only a regular file is opened: a folder, a device, a named pipe
  // or a socket of that name is refused before anything is written. Fails
  // when the File is already open.
  virtual FileResult OpenForWrite(std::string_view path) = 0;

  // Writes all of `bytes` or fails. A failed write leaves the file open; the
  // caller decides whether to close it.
  virtual FileResult Write(std::string_view bytes) = 0;

  // Closes the file. A failure is still a close: the File is no longer open.
  virtual FileResult Close() = 0;

  virtual bool isOpen() const = 0;
  // The host path of the open (or last opened) file.
  virtual const std::string& hostPath() const = 0;
  // Number of Write calls made on this File, failed ones included.
  virtual uint64_t writeCount() const = 0;
};

}  // namespace platform
