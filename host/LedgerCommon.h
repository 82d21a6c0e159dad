// The accounting product's managers: the settings manager that hands out the
// settings objects of the open data, the data manager (the way in), the link
// manager with its option link, and the tooltip manager of a dialog.
//
// ClDataMgr and ClLinkMgr are singletons reached by Inst(); the objects they
// hand out belong to them and live for the whole run.
#pragma once

#include <cstdint>
#include <memory>

#include "host/HostTypes.h"
#include "host/LedgerCore.h"
#include "host/Records.h"

namespace platform::ui {
class Dialog;
}

// Kinds of settings object.
inline constexpr int32_t kSetKindKamoku = 1;    // ClSetKamoku
inline constexpr int32_t kSetKindBumon = 2;     // ClSetBumon
inline constexpr int32_t kSetKindShohizei = 4;  // ClSetShohizei
inline constexpr int32_t kSetKindData = 5;      // ClSetData

class ClSetMgr {
 public:
  ClSetMgr();
  virtual ~ClSetMgr();
  // The settings object of `kind` (the flag is 1), or null for an unknown kind
  // or when no company database is open.
  ClSetBase* GetSetObject(int32_t kind, int32_t flag);

  struct Objects;

 private:
  std::unique_ptr<Objects> objects_;
};

class ClDataMgr {
 public:
  static ClDataMgr* Inst();
  ClSetMgr* GetSetMgr();
  // Same as GetSetMgr()->GetSetObject(kind, flag).
  ClSetBase* GetSetObject(int32_t kind, int32_t flag);
  ClSysUser* GetSysUserObject();

 private:
  ClDataMgr() = default;
  ClSetMgr setMgr_;
  ClSysUser sysUser_;
};

// The option link: the link options a rule object is attached to.
class ClOptLink {
 public:
  virtual ~ClOptLink() = default;
};

class ClLinkMgr {
 public:
  static ClLinkMgr* Inst();
  ClOptLink* GetOptLink();

 private:
  ClLinkMgr() = default;
  ClOptLink optLink_;
};

// Tooltips of one dialog: Init attaches each entry's text to its control of
// `dialog`. Fails (kBadArgument, attaching nothing) when the dialog is null or
// lacks a control of the table.
class ClToolTipMgr {
 public:
  ClToolTipMgr() = default;
  virtual ~ClToolTipMgr() = default;
  int32_t Init(platform::ui::Dialog* dialog, const StTOOLTIPINFO* table, int32_t count);
};
