// HostAccess: what the conditions dialog asks of the accounting host: the
// months of the accounting period, the product's folders and its tip manager.
//
// The running program uses SystemHostAccess(), which answers through the
// host's own objects (ClAccPeriod, ClFileMgr, ClToolTipMgr).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "dialog/MonthRange.h"

namespace platform::ui {
class Dialog;
}

namespace dialog {

class HostAccess {
 public:
  virtual ~HostAccess() = default;

  // The period's months: the first is the accounting month of the start date
  // (the closing day derived from the end date), the last the calendar month
  // of the end date (yyyymmdd integers). nullopt when the host's period object
  // cannot be had.
  virtual std::optional<PeriodMonths> PeriodMonthsOf(int32_t startDate, int32_t endDate) = 0;

  // The accounting product's folder of `kind` as the host gives it: 0 the
  // default output folder (may be empty), 1 the settings folder.
  virtual std::string AppFolderPath(int kind) = 0;

  // Installs a tooltip with `text` on control `controlId` of `dialog` through
  // the host's tip manager.
  virtual void InstallToolTip(platform::ui::Dialog& dialog, int controlId, std::string_view text) = 0;
};

HostAccess& SystemHostAccess();

}  // namespace dialog
