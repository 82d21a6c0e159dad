#include "ledger/JournalTally.h"

#include <bit>
#include <cstring>
#include <type_traits>

#include "host/HostTypes.h"
#include "ledger/Clause.h"
#include "ledger/rules/ReturnFigures.h"
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

// The taxed-at rate class of a side: its own rate, or the rate in force on
// the line's date for a side without one.
constexpr uint32_t kTaxedRateValues[] = {300, 500, 800, 800, 1000};
constexpr size_t kTaxedReduced = 3;
size_t TaxedRateClass(int64_t rate, int64_t reduced, int32_t date) {
  const uint32_t taxed = rate != 0 ? static_cast<uint32_t>(rate) : rules::RateInForce(date);
  switch (taxed) {
    case 300: return 0;
    case 500: return 1;
    case 800: return reduced == 1 ? kTaxedReduced : 2;
    default: return 4;
  }
}

// Little-endian bytes of the serialized tally.
class Writer {
 public:
  template <typename T>
  void Put(T value) {
    static_assert(std::is_integral_v<T>);
    for (size_t i = 0; i < sizeof(T); ++i) bytes_.push_back(static_cast<char>(static_cast<uint64_t>(value) >> (8 * i)));
  }
  void PutText(const std::string& text) {
    Put<uint32_t>(static_cast<uint32_t>(text.size()));
    bytes_ += text;
  }
  std::string& bytes() { return bytes_; }

 private:
  std::string bytes_;
};

class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}
  template <typename T>
  bool Get(T* value) {
    static_assert(std::is_integral_v<T>);
    if (bytes_.size() - at_ < sizeof(T)) return false;
    uint64_t v = 0;
    for (size_t i = 0; i < sizeof(T); ++i) v |= uint64_t{static_cast<unsigned char>(bytes_[at_ + i])} << (8 * i);
    at_ += sizeof(T);
    *value = static_cast<T>(v);
    return true;
  }
  bool GetText(std::string* text, size_t limit) {
    uint32_t size = 0;
    if (!Get(&size) || size > limit || bytes_.size() - at_ < size) return false;
    text->assign(bytes_.substr(at_, size));
    at_ += size;
    return true;
  }
  // Whether `count` items of `itemBytes` bytes each can still follow.
  bool Holds(uint64_t count, size_t itemBytes) const { return count <= (bytes_.size() - at_) / itemBytes; }
  bool AtEnd() const { return at_ == bytes_.size(); }

 private:
  std::string_view bytes_;
  size_t at_ = 0;
};

constexpr uint32_t kSerialMagic = 0x544A4254;  // "TBJT"
constexpr uint32_t kSerialLayout = 1;

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
  returnCells_.assign(kReturnCells, SideSums{});
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

void JournalTally::Add(int64_t month, int32_t date, const LineSide& debit, const LineSide& credit) {
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
  const int32_t order = rules::MonthOrder(static_cast<int32_t>(month));
  if (order < 1) {
    Clear();  // no month a sound line has
    return;
  }
  for (const LineSide* side : {&debit, &credit}) {
    if (side->category < 0 || side->category >= static_cast<int64_t>(kReturnCategories)) continue;  // no figure
    if (side->businessType < 0 || side->businessType >= static_cast<int64_t>(kBusinessTypes)) {
      Clear();
      return;
    }
    const size_t cell =
        (((static_cast<size_t>(order - 1) * 2 + (side == &debit ? 0 : 1)) * kReturnCategories +
          static_cast<size_t>(side->category)) * kBusinessTypes + static_cast<size_t>(side->businessType)) *
            kTaxedRates +
        TaxedRateClass(side->rate, side->reduced, date);
    SideSums& sums = returnCells_[cell];
    sums.amount += side->amount;
    sums.tax += side->tax;
    ++sums.sides;
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
  returnCells_ = std::vector<SideSums>();
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

void JournalTally::ForEachReturnSide(const std::function<void(const ReturnSideKey&, const SideSums&)>& each) const {
  for (size_t cell = 0; cell < returnCells_.size(); ++cell) {
    if (returnCells_[cell].sides == 0) continue;
    size_t rest = cell;
    const size_t rateClass = rest % kTaxedRates;
    rest /= kTaxedRates;
    const size_t businessType = rest % kBusinessTypes;
    rest /= kBusinessTypes;
    const size_t category = rest % kReturnCategories;
    rest /= kReturnCategories;
    const size_t debitOrCredit = rest % 2, month = rest / 2;
    const ReturnSideKey key{.month = kMonthNumbers[month],
                            .debit = debitOrCredit == 0,
                            .category = static_cast<uint8_t>(category),
                            .businessType = static_cast<uint8_t>(businessType),
                            .rate = kTaxedRateValues[rateClass],
                            .reduced = rateClass == kTaxedReduced};
    each(key, returnCells_[cell]);
  }
}

// Layout: magic, layout, the data ID, the account IDs, the combinations
// (count, then key, flags, lines and the six business-type counts of each),
// whether side sums were kept and then each account's block (its place and
// every cell), then every return cell. Cells without sides are left out.
std::string JournalTally::Serialize() const {
  Writer w;
  w.Put(kSerialMagic);
  w.Put(kSerialLayout);
  w.PutText(dataId_);
  w.Put<uint64_t>(accountIds_.size());
  for (int64_t id : accountIds_) w.Put(id);
  w.Put<uint64_t>(combinationCount_);
  for (const Combination& c : combinations_) {
    if (c.key == 0) continue;
    w.Put(c.key);
    w.Put(c.rateFlags);
    w.Put(c.lines);
    for (uint64_t n : c.withBusinessType) w.Put(n);
  }
  auto putCells = [&w](const SideSums* cells, size_t count) {
    uint64_t used = 0;
    for (size_t i = 0; i < count; ++i) used += cells[i].sides != 0;
    w.Put(used);
    for (size_t i = 0; i < count; ++i) {
      if (cells[i].sides == 0) continue;
      w.Put<uint32_t>(static_cast<uint32_t>(i));
      w.Put(cells[i].amount);
      w.Put(cells[i].tax);
      w.Put(cells[i].sides);
    }
  };
  w.Put<uint8_t>(sidesKept_ ? 1 : 0);
  if (sidesKept_) {
    w.Put<uint64_t>(sideAccounts_);
    for (size_t place = 0; place < sideBlocks_.size(); ++place) {
      if (!sideBlocks_[place]) continue;
      w.Put<uint64_t>(place);
      putCells(sideBlocks_[place]->data(), sideBlocks_[place]->size());
    }
  }
  putCells(returnCells_.data(), returnCells_.size());
  return std::move(w.bytes());
}

bool JournalTally::Deserialize(std::string_view bytes) {
  Clear();
  Reader r(bytes);
  uint32_t magic = 0, layout = 0;
  if (!r.Get(&magic) || magic != kSerialMagic || !r.Get(&layout) || layout != kSerialLayout) return false;
  std::string dataId;
  uint64_t accounts = 0, combinations = 0;
  if (!r.GetText(&dataId, 64) || dataId.empty() || !r.Get(&accounts) || !r.Holds(accounts, 8)) return false;
  Begin(dataId, {});
  accountIds_.resize(accounts);
  for (int64_t& id : accountIds_) r.Get(&id);
  sideBlocks_.resize(accountIds_.size());
  if (!r.Get(&combinations) || combinations > kMaxCombinations || !r.Holds(combinations, 64)) return Fail();
  for (uint64_t i = 0; i < combinations; ++i) {
    uint32_t key = 0;
    Combination read;
    r.Get(&key);
    r.Get(&read.rateFlags);
    r.Get(&read.lines);
    for (uint64_t& n : read.withBusinessType) r.Get(&n);
    if (key == 0) return Fail();
    Combination& c = CombinationFor(key);
    if (c.lines != 0 || c.rateFlags != 0) return Fail();  // a key twice
    read.key = key;
    c = read;
  }
  auto getCells = [&r](SideSums* cells, size_t count) {
    uint64_t used = 0;
    if (!r.Get(&used) || used > count || !r.Holds(used, 28)) return false;
    for (uint64_t i = 0; i < used; ++i) {
      uint32_t at = 0;
      SideSums sums;
      r.Get(&at);
      r.Get(&sums.amount);
      r.Get(&sums.tax);
      r.Get(&sums.sides);
      if (at >= count || sums.sides == 0 || cells[at].sides != 0) return false;
      cells[at] = sums;
    }
    return true;
  };
  uint8_t kept = 0;
  if (!r.Get(&kept) || kept > 1) return Fail();
  sidesKept_ = kept == 1;
  if (sidesKept_) {
    uint64_t blocks = 0;
    if (!r.Get(&blocks) || blocks > accountIds_.size() || blocks > kMaxSideAccounts) return Fail();
    for (uint64_t i = 0; i < blocks; ++i) {
      uint64_t place = 0;
      if (!r.Get(&place) || place >= sideBlocks_.size() || sideBlocks_[place]) return Fail();
      sideBlocks_[place] = std::make_unique<SideBlock>();
      if (!getCells(sideBlocks_[place]->data(), sideBlocks_[place]->size())) return Fail();
    }
    sideAccounts_ = blocks;
  } else {
    sideBlocks_ = std::vector<std::unique_ptr<SideBlock>>();
  }
  if (!getCells(returnCells_.data(), returnCells_.size()) || !r.AtEnd()) return Fail();
  return true;
}

bool JournalTally::Fail() {
  Clear();
  return false;
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
