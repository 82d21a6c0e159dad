#include "ledger/JournalTally.h"

#include <bit>

#include "host/HostTypes.h"
#include "ledger/Clause.h"
#include "ledger/rules/RuleSupport.h"

namespace ledger {

namespace {

// The month numbers in the period's order, and the rates of the rate classes.
constexpr int32_t kMonthNumbers[] = {1, 2, 3, 4, 5, 6, 15, 7, 8, 9, 10, 11, 12, 18};
constexpr int64_t kClassRates[] = {0, 300, 500, 800, 800, 1000};
constexpr size_t kReducedClass = 4;

// The rate class of a side; false for a rate the store does not allow.
bool RateClass(int64_t rate, int64_t reduced, size_t* rateClass) {
  switch (rate) {
    case 0: *rateClass = 0; break;
    case 300: *rateClass = 1; break;
    case 500: *rateClass = 2; break;
    case 800: *rateClass = reduced == 1 ? kReducedClass : 3; break;
    case 1000: *rateClass = 5; break;
    default: return false;
  }
  return reduced == 0 || *rateClass == kReducedClass;
}

}  // namespace

int32_t RateFlagOfSide(int64_t rate, int64_t reduced) {
  switch (rate) {
    case 300: return kRateFlag3;
    case 500: return kRateFlag5;
    case 800: return reduced == 1 ? kRateFlagReduced8 : reduced == 0 ? kRateFlag8 : 0;
    case 1000: return kRateFlag10;
    default: return 0;
  }
}

void JournalTally::Begin(const std::string& dataId, std::vector<int64_t> accountIds) {
  Clear();
  dataId_ = dataId;
  open_ = true;
  accountIds_ = std::move(accountIds);
  sideBlocks_.resize(accountIds_.size());
  sidesKept_ = true;
  combinations_.resize(1024);
}

size_t JournalTally::SlotFor(uint32_t key) const {
  // Fibonacci hashing: the top bits of the product pick the home slot, so
  // keys that differ only in the month (the top of the key) spread as well;
  // then the first slot from there holding the key or free.
  const size_t mask = combinations_.size() - 1;
  size_t at = static_cast<size_t>((uint64_t{key} * 0x9E3779B97F4A7C15ull) >>
                                  (64 - std::countr_zero(combinations_.size())));
  while (combinations_[at].key != 0 && combinations_[at].key != key) at = (at + 1) & mask;
  return at;
}

JournalTally::Combination& JournalTally::CombinationFor(uint32_t key) {
  // Kept at most half full: grown before a probe that might add a key.
  if (2 * (combinationCount_ + 1) > combinations_.size()) {
    std::vector<Combination> old(combinations_.size() * 2);
    old.swap(combinations_);
    for (const Combination& c : old)
      if (c.key != 0) combinations_[SlotFor(c.key)] = c;
  }
  Combination& c = combinations_[SlotFor(key)];
  if (c.key == 0) {
    c.key = key;
    ++combinationCount_;
  }
  return c;
}

void JournalTally::Add(int64_t month, const LineSide& debit, const LineSide& credit) {
  if (!open_) return;
  const uint32_t key = (static_cast<uint32_t>(month & 0xff) << 16 | static_cast<uint32_t>(debit.category & 0xff) << 8 |
                        static_cast<uint32_t>(credit.category & 0xff)) + 1;
  Combination& c = CombinationFor(key);
  if (combinationCount_ > kMaxCombinations) {
    Clear();
    return;
  }
  ++c.lines;
  if (debit.businessType > 0) ++c.withBusinessType[static_cast<size_t>(debit.businessType - 1)];
  if (credit.businessType > 0 && credit.businessType != debit.businessType)
    ++c.withBusinessType[static_cast<size_t>(credit.businessType - 1)];
  c.rateFlags |= RateFlagOfSide(debit.rate, debit.reduced) | RateFlagOfSide(credit.rate, credit.reduced);
  if (sidesKept_) {
    const int32_t order = rules::MonthOrder(static_cast<int32_t>(month));
    AddSide(static_cast<size_t>(order - 1), true, debit);
    AddSide(static_cast<size_t>(order - 1), false, credit);
  }
}

void JournalTally::AddSide(size_t month, bool debit, const LineSide& side) {
  size_t rateClass = 0;
  if (month >= kMonths || side.account >= sideBlocks_.size() || !RateClass(side.rate, side.reduced, &rateClass)) {
    sidesKept_ = false;  // nothing a sound line has: the sums cannot be trusted
    sideBlocks_ = std::vector<std::unique_ptr<SideBlock>>();
    return;
  }
  std::unique_ptr<SideBlock>& block = sideBlocks_[side.account];
  if (!block) {
    if (++sideAccounts_ > kMaxSideAccounts) {
      sidesKept_ = false;
      sideBlocks_ = std::vector<std::unique_ptr<SideBlock>>();
      return;
    }
    block = std::make_unique<SideBlock>();
  }
  // The check stops before the magnitudes of a side pass 9 x 10^18: no sum
  // here can leave 64 bits.
  SideSums& sums = (*block)[(month * 2 + (debit ? 0 : 1)) * kRateClasses + rateClass];
  sums.amount += side.amount;
  sums.tax += side.tax;
  ++sums.sides;
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
  combinations_ = std::vector<Combination>();
  combinationCount_ = 0;
  accountIds_ = std::vector<int64_t>();
  sideBlocks_ = std::vector<std::unique_ptr<SideBlock>>();
  sideAccounts_ = 0;
  sidesKept_ = false;
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
  for (const Combination& c : combinations_) {
    if (c.key == 0) continue;
    if (int32_t status = selects(c.key - 1, &selected); status != host::kOk) return status;
    if (!selected) continue;
    sum.lines += c.lines;
    for (size_t type = 1; type <= c.withBusinessType.size(); ++type)
      sum.withBusinessType[type] += c.withBusinessType[type - 1];
    sum.rateFlags |= c.rateFlags;
  }
  *counts = sum;
  return host::kOk;
}

bool JournalTally::ForEachSide(const std::function<bool(const SideKey&, const SideSums&)>& each) const {
  for (size_t account = 0; account < sideBlocks_.size(); ++account) {
    if (!sideBlocks_[account]) continue;
    const SideBlock& block = *sideBlocks_[account];
    for (size_t i = 0; i < block.size(); ++i) {
      if (block[i].sides == 0) continue;
      const size_t rateClass = i % kRateClasses, debitOrCredit = i / kRateClasses % 2, month = i / kRateClasses / 2;
      const SideKey key{.account = accountIds_[account],
                        .month = kMonthNumbers[month],
                        .rate = kClassRates[rateClass],
                        .debit = debitOrCredit == 0,
                        .reduced = rateClass == kReducedClass};
      if (!each(key, block[i])) return false;
    }
  }
  return true;
}

int32_t JournalTally::SelectedMonths(const StFINDINFO* chain, std::array<bool, 19>* months) {
  if (int32_t status = CheckChain(chain); status != host::kOk) return status;
  std::array<bool, 19> selected{};
  for (int64_t month = 1; month <= 18; ++month) {
    bool hit = false;
    // Every clause asks for its value, so a clause on anything but the month
    // refuses the chain whatever the month.
    const int32_t status = EvaluateCheckedChain(
        chain,
        [month](uint32_t item, uint16_t) -> std::optional<int64_t> {
          if (item == StFINDINFO::kItemMonthNumber) return month;
          return std::nullopt;
        },
        &hit);
    if (status != host::kOk) return status;
    selected[static_cast<size_t>(month)] = hit;
  }
  *months = selected;
  return host::kOk;
}

}  // namespace ledger
