#include "ledger/JournalTally.h"

#include "host/HostTypes.h"
#include "ledger/Clause.h"

namespace ledger {

int32_t RateFlagOfSide(int64_t rate, int64_t reduced) {
  switch (rate) {
    case 300: return kRateFlag3;
    case 500: return kRateFlag5;
    case 800: return reduced == 1 ? kRateFlagReduced8 : reduced == 0 ? kRateFlag8 : 0;
    case 1000: return kRateFlag10;
    default: return 0;
  }
}

void JournalTally::Begin(const std::string& dataId) {
  Clear();
  dataId_ = dataId;
  open_ = true;
}

void JournalTally::Add(int64_t month, int64_t drCategory, int64_t crCategory, int64_t drBusinessType,
                       int64_t crBusinessType, int32_t rateFlags) {
  if (!open_) return;
  const uint32_t key = static_cast<uint32_t>(month & 0xff) << 16 | static_cast<uint32_t>(drCategory & 0xff) << 8 |
                       static_cast<uint32_t>(crCategory & 0xff);
  auto [at, added] = combinations_.try_emplace(key);
  if (added && combinations_.size() > kMaxCombinations) {
    Clear();
    return;
  }
  Combination& c = at->second;
  ++c.lines;
  ++c.withBusinessType[static_cast<size_t>(drBusinessType)];
  if (crBusinessType != drBusinessType) ++c.withBusinessType[static_cast<size_t>(crBusinessType)];
  c.rateFlags |= rateFlags;
}

void JournalTally::Seal(std::optional<Store::Version> version) {
  if (!open_ || !version) {
    Clear();
    return;
  }
  open_ = false;
  version_ = version;
}

void JournalTally::Clear() {
  dataId_.clear();
  combinations_.clear();
  version_.reset();
  open_ = false;
}

bool JournalTally::Answers(const std::string& dataId, const std::optional<Store::Version>& version) const {
  return version_ && version && *version_ == *version && dataId_ == dataId;
}

int32_t JournalTally::Select(const StFINDINFO* chain, Counts* counts) const {
  if (int32_t status = CheckChain(chain); status != host::kOk) return status;
  auto selects = [chain](uint32_t key, bool* selected) {
    const int64_t month = key >> 16, debit = (key >> 8) & 0xff, credit = key & 0xff;
    return EvaluateCheckedChain(
        chain,
        [&](uint32_t item, uint16_t side) -> std::optional<int64_t> {
          if (item == StFINDINFO::kItemMonthNumber) return month;
          if (item == StFINDINFO::kItemTaxCategory) return side == StFINDINFO::kSideDebit ? debit : credit;
          return std::nullopt;
        },
        selected);
  };
  // An empty journal still refuses what a journal search cannot name.
  bool selected = false;
  if (int32_t status = selects(1u << 16, &selected); status != host::kOk) return status;
  Counts sum;
  for (const auto& [key, c] : combinations_) {
    if (int32_t status = selects(key, &selected); status != host::kOk) return status;
    if (!selected) continue;
    sum.lines += c.lines;
    for (size_t type = 0; type < c.withBusinessType.size(); ++type)
      sum.withBusinessType[type] += c.withBusinessType[type];
    sum.rateFlags |= c.rateFlags;
  }
  *counts = sum;
  return host::kOk;
}

}  // namespace ledger
