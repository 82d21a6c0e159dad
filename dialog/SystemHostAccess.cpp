// The dialog's view of the accounting host, through the host's own objects.
#include <memory>
#include <new>
#include <vector>

#include "dialog/HostAccess.h"
#include "host/Host.h"
#include "platform/ui/Dialog.h"

namespace dialog {

namespace {

class HostObjects : public HostAccess {
 public:
  std::optional<PeriodMonths> PeriodMonthsOf(int32_t startDate, int32_t endDate) override {
    std::unique_ptr<ClAccPeriod> period(new (std::nothrow) ClAccPeriod());
    if (!period) return std::nullopt;
    int16_t closingDay = 0;
    int16_t first = 0;
    if (period->SetPeriod(startDate, endDate) != host::kOk ||
        period->GetClosingDayByEndDate(endDate, &closingDay) != host::kOk ||
        period->SetClosingDay(closingDay) != host::kOk || period->GetAMonthByDate(startDate, &first) != host::kOk) {
      return std::nullopt;
    }
    // The last month is the calendar month of the end date; a period that
    // crosses a year end gives it as month + 100, of which the months keep the
    // month itself.
    int32_t last = (endDate / 100) % 100;
    if (last < first) last += 100;
    return PeriodMonths{first, last % 100};
  }

  std::string AppFolderPath(int kind) override {
    for (size_t capacity : {size_t{260}, size_t{4096}, size_t{65536}}) {
      std::vector<char> buffer(capacity, '\0');
      const int32_t status = ClFileMgr::Inst()->GetAppFolderPath(kind, buffer.data(), buffer.size());
      if (status == host::kOk) return std::string(buffer.data());
      if (status != host::kBadArgument) break;  // a longer buffer will not help
    }
    return std::string();
  }

  void InstallToolTip(platform::ui::Dialog& dialog, int controlId, std::string_view text) override {
    const std::string tip(text);
    const StTOOLTIPINFO table[] = {{controlId, tip.c_str()}};
    ClToolTipMgr tips;
    tips.Init(&dialog, table, 1);
  }
};

}  // namespace

HostAccess& SystemHostAccess() {
  static HostObjects host;
  return host;
}

}  // namespace dialog
