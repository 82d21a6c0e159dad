// The connection to the accounting product (a singleton reached by Inst()).
//
// A component sets its application type and data type, then Initiate opens
// the installation's company database; ExpSysLink then tells whether the
// selected data may be linked. DispMsg shows a message of the component in the
// product's own message box, with the placeholder "ES_APRPACKAGENAME" replaced
// by the return product's display name. LogOut, Terminate and Release close
// the connection, in that order; they are harmless on a connection that never
// opened.
#pragma once

#include <cstdint>
#include <string>

#include "host/HostTypes.h"

class ClSysEnvMgr {
 public:
  // The edition of the accounting product a component is built for.
  enum _AppType : int32_t {
    kAppStandard = 0,
    kAppPlus = 3,
    kAppLotus = 4,
  };
};

class ClAccConnect {
 public:
  static ClAccConnect* Inst();

  int32_t SetAppType(ClSysEnvMgr::_AppType appType);
  int32_t SetUseDataType(int32_t useDataType);
  // Opens the company database. Nonzero when it is missing or unreadable; the
  // product has then shown its own message saying which and why.
  int32_t Initiate();
  // 0: the selected data may be linked. 1: it is under maintenance (the user
  // has been told). Any other value: no data is selected, or the selection
  // names no data entry, or the connection is not open.
  int32_t ExpSysLink();
  // Shows `text` with `caption` and `style` (kMb* values) owned by `owner`
  // (0: none); answers the button pressed (kId* values).
  int32_t DispMsg(host::HostWnd owner, const char* text, const char* caption, uint32_t style);
  int32_t LogOut();
  int32_t Terminate();
  int32_t Release();

  // The caption the product uses for its own messages on behalf of the
  // component, and the window that owns them (0: none).
  void SetCaption(const std::string& caption) { caption_ = caption; }
  const std::string& Caption() const { return caption_; }
  void SetOwnerWindow(host::HostWnd owner) { ownerWindow_ = owner; }
  host::HostWnd OwnerWindow() const { return ownerWindow_; }

  ClSysEnvMgr::_AppType AppType() const { return appType_; }
  int32_t UseDataType() const { return useDataType_; }

 private:
  ClAccConnect() = default;
  std::string caption_;
  host::HostWnd ownerWindow_ = 0;
  ClSysEnvMgr::_AppType appType_ = ClSysEnvMgr::kAppStandard;
  int32_t useDataType_ = 0;
};
