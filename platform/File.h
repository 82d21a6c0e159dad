// File: the home platform's file object, as the system writes its output
// document through it.
//
// A File is opened for writing by a path (created, or truncated when it
// exists), written in whole byte runs and closed. Every operation answers with
// a FileResult value; nothing is thrown. A File that is not open refuses every
// write. Closing a File that is not open does nothing and succeeds. The
// destructor closes an open file and drops the result.
//
// The path is the system's own (Shift_JIS bytes). HostPathOf is the one place
// where such a path becomes a path of the machine the program runs on.
//
// FileFaultPlan lets a test make the open, the k-th write (counting from 1
// over the File's whole life) or the close fail as the file system would. The
// plan is a value held by the File it was given to; no other File sees it.
#pragma once

#include <cstdint>
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
// machine through the drive map (ToHostPath of platform/FileSystem.h, for
// writing): a drive that is not mapped, a read-only drive, a name Windows does
// not allow or one that cannot be converted is refused with a message. A path
// without a drive is taken on the current drive, so "/tmp/out.xml" is the
// Linux /tmp/out.xml while the current folder is on Z:.
HostPath HostPathOf(std::string_view systemPath);

// Failures a test arranges for one File.
class FileFaultPlan {
 public:
  FileFaultPlan& FailOpen() { failOpen_ = true; return *this; }
  // The write with this number (1 = the first write of the File) fails.
  FileFaultPlan& FailWrite(uint64_t number) { failWrite_ = number; return *this; }
  FileFaultPlan& FailClose() { failClose_ = true; return *this; }

  bool failsOpen() const { return failOpen_; }
  bool failsWrite(uint64_t number) const { return failWrite_ != 0 && failWrite_ == number; }
  bool failsClose() const { return failClose_; }

 private:
  bool failOpen_ = false;
  uint64_t failWrite_ = 0;
  bool failClose_ = false;
};

class File {
 public:
  File() = default;
  explicit File(FileFaultPlan faults) : faults_(faults) {}
  ~File();

  File(const File&) = delete;
  File& operator=(const File&) = delete;

  // Opens `path` for writing only: created when absent, truncated when
  // present. Fails when the File is already open.
  FileResult OpenForWrite(std::string_view path);

  // Writes all of `bytes` or fails. A failed write leaves the file open; the
  // caller decides whether to close it.
  FileResult Write(std::string_view bytes);

  // Closes the file. A failure is still a close: the File is no longer open.
  FileResult Close();

  bool isOpen() const { return fd_ >= 0; }
  // The host path of the open (or last opened) file.
  const std::string& hostPath() const { return hostPath_; }
  // Number of Write calls made on this File, failed ones included.
  uint64_t writeCount() const { return writes_; }

 private:
  int fd_ = -1;
  std::string hostPath_;
  uint64_t writes_ = 0;
  FileFaultPlan faults_;
};

}  // namespace platform
