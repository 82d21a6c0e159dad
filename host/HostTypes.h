// Types and status codes shared by every host class.
//
// Every host operation that can fail answers a signed 32-bit status: 0 is
// success; a walk answers 0 for each record it delivers and kEndOfWalk after
// the last one; a rule object that cannot be created is reported as
// kRuleNotCreated. The other nonzero values below are the host's own reasons
// for a failure; ClMsgMgr turns each into the host's message.
#pragma once

#include <cstdint>

namespace host {

// A window as the accounting product numbers it: the decimal handle a calling
// program passes on the command line (platform::ui::WindowHandle). 0 is "no
// window".
using HostWnd = long;

enum HostStatus : int32_t {
  kOk = 0,
  kEndOfWalk = 5000,
  kRuleNotCreated = -1001,
  kNotConnected = -1100,      // no company database is open (Initiate was not called or failed)
  kNotBound = -1101,          // the object has no settings manager or no current data
  kNotFound = -1102,          // no record answers the request (data ID, code, month)
  kBadArgument = -1103,       // a null pointer, an unknown kind, a malformed search clause
  kStoreFailed = -1104,       // the company database could not be read
  kBadCursor = -1105,         // a cursor handle that was not handed out or was released
  kNotReady = -1106,          // a walk step before its ready step
  kNotBuilt = -1107,          // an operation this installation does not provide yet
};

// Message box styles and answers, with the values of the Windows API, as the
// host's DispMsg and the system's own message boxes take them.
inline constexpr uint32_t kMbOk = 0x0;
inline constexpr uint32_t kMbYesNo = 0x4;
inline constexpr uint32_t kMbIconExclamation = 0x30;
inline constexpr uint32_t kMbIconInformation = 0x40;
inline constexpr int32_t kIdOk = 1;
inline constexpr int32_t kIdYes = 6;
inline constexpr int32_t kIdNo = 7;

}  // namespace host
