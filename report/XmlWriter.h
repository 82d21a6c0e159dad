// XmlWriter: writes the output document line by line, straight to a file.
//
// The writer owns the document's syntax and nothing of its vocabulary. Each
// call formats one line and writes it at once:
//   start tag    <TAB * depth> "<" name [attributes] ">" CR LF
//   end tag      <TAB * depth> "</" name ">" CR LF
//   text element <TAB * depth> "<" name [attributes] ">" text "</" name ">" CR LF
// where each attribute is " " name "=" '"' value '"'. Empty text gives the start
// tag directly followed by the end tag; the self-closing form is never used.
// Text and attribute values are escaped (& > < " ' become entities, all other
// bytes, Shift_JIS included, pass unchanged); names are written as given. The
// writer converts no encoding and adds no byte-order mark.
//
// An attribute is written only when both its name and its value are given
// (non-null, with a non-empty name); the second is considered only when the
// first was written.
//
// The file object belongs to the caller: the writer only opens and closes the
// file through it. Results follow the system's rules: OpenOutput gives 0 or -1,
// the write calls give 1 (written) or 0 (failed). A failed write closes the
// file and every later write fails; a file that could not be created fails
// every write. CloseOutput closes and detaches; a second call does nothing.
// lastError() tells why the first failure since OpenOutput happened.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/File.h"

namespace report {

// What a write call answers, and with it every section and record writer of
// the document (SYSTEM, BASIC, DATA, the refund statements): 1 written, 0
// failed. The values are the system's own and are compared as integers.
enum WriteResult : int { kWriteFailed = 0, kWritten = 1 };

class XmlWriter {
 public:
  XmlWriter() = default;
  ~XmlWriter();

  XmlWriter(const XmlWriter&) = delete;
  XmlWriter& operator=(const XmlWriter&) = delete;

  // Attaches `file` and opens `path` through it for writing (created or
  // truncated). 0 when opened; -1 when either is missing or the file cannot
  // be created (the writer then stays attached and every write fails).
  int16_t OpenOutput(platform::File* file, std::string_view path);

  // Closes the attached file, if any, and detaches it. 0, or -1 when the file
  // was open and closing it failed (its last bytes may not have reached it).
  int16_t CloseOutput();

  int WriteRaw(std::string_view text);
  int WriteStartTag(std::string_view name, int depth, const char* attr1Name = nullptr,
                    const char* attr1Value = nullptr, const char* attr2Name = nullptr,
                    const char* attr2Value = nullptr);
  int WriteElement(std::string_view name, std::string_view text, int depth, const char* attr1Name = nullptr,
                   const char* attr1Value = nullptr, const char* attr2Name = nullptr,
                   const char* attr2Value = nullptr);
  int WriteEndTag(std::string_view name, int depth);

  // The escaped form of `text`, which ends at its first NUL byte if it has one.
  static std::string EscapeText(std::string_view text);

  const std::string& outputPath() const { return path_; }
  bool attached() const { return file_ != nullptr; }
  // True once an open or a write has failed since the last OpenOutput.
  bool failed() const { return failed_; }
  const std::string& lastError() const { return lastError_; }

 private:
  void Fail(const std::string& message);
  void BeginLine(int depth);
  void AppendAttributes(const char* attr1Name, const char* attr1Value, const char* attr2Name,
                        const char* attr2Value);
  static void AppendEscaped(std::string& out, std::string_view text);

  platform::File* file_ = nullptr;
  std::string path_;
  std::string line_;  // reused for every line; grows to the longest line
  bool failed_ = false;
  std::string lastError_;
};

}  // namespace report
