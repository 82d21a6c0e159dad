// The product's error reporting (a singleton reached by Inst()).
//
// SetLastError records a status with the source position that reported it
// and answers the status, so a caller can pass it on. CheckFatalErrorWithMsg
// decides whether a status is fatal: kOk and kEndOfWalk are not; every other
// status is, and the product then shows its message for it (with the recorded
// source position) unless told not to.
#pragma once

#include <cstdint>
#include <string>

#include "host/HostTypes.h"

class ClMsgMgr {
 public:
  static ClMsgMgr* Inst();

  // `sourceFile` may be null; `line` may be 0.
  int32_t SetLastError(int32_t status, const char* sourceFile, int32_t line);
  // 1 when `status` is fatal, else 0. `detail` is -1 (no detail code);
  // `showMessage` nonzero shows the message owned by `owner` (0: none).
  int32_t CheckFatalErrorWithMsg(int32_t status, int32_t detail, int32_t showMessage, host::HostWnd owner);

  // The last recorded error.
  int32_t LastStatus() const { return lastStatus_; }
  const std::string& LastSourceFile() const { return lastSourceFile_; }
  int32_t LastLine() const { return lastLine_; }

  // The product's message (Shift_JIS) for a status.
  static std::string MessageFor(int32_t status);

 private:
  ClMsgMgr() = default;
  int32_t lastStatus_ = 0;
  std::string lastSourceFile_;
  int32_t lastLine_ = 0;
};
