// JournalTally: the journal of one data set added up by what the run asks of
// it, gathered while the data-set check reads every line anyway, so that
// the run's counting questions and its per-account sums need no read of
// their own.
//
// Counts: a search over journal lines names only the month number and each
// side's tax category (JournalColumns), so every line is counted under its
// month number, debit category and credit category: the number of lines,
// the lines with a side of each business type (a line counted once), and the
// rate flags its sides carry. A question about the lines a chain selects
// evaluates the chain once per counted combination instead of once per line,
// and gives the same answer as reading the lines.
//
// Side sums: every side is added up under its account, month number, debit
// or credit, rate and reduced mark (amount, tax and the number of sides).
// Sums over the months a chain of month conditions selects are then the same
// as those of reading the lines: the check has found the magnitudes of all
// sides' amounts and taxes together to stay below 9 x 10^18, so no sum of
// them, with any signs and in any order, can leave 64 bits.
//
// Return sides: every side of a tax category that makes a figure of the
// return (1-37) is also added up under its month number, debit or credit,
// category, business type and the rate it is taxed at: its own rate, or for
// a side without one the rate in force on the line's date. That is all the
// return's figures ask of a side besides its amount and tax, so they can be
// summed from these cells for any chain of month conditions.
//
// A tally can be written into bytes and read back (Serialize, Deserialize),
// so that the store can keep it beside the check's verdict (DataCheck.h).
//
// A tally describes the store as it was read. It is stale as soon as the
// store has changed (Store::DataVersion); a stale tally, one for another data
// set, or a part given up because the journal has too many combinations
// answers nothing, and the caller reads the journal instead.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/FindInfo.h"
#include "ledger/Store.h"

namespace ledger {

// Rate-presence flags of a journal side, as CheckExistSwkByZeiRate gives
// them: the 3 %, 5 %, standard 8 %, 10 % and reduced 8 % rates. A side
// without a rate carries none.
inline constexpr int32_t kRateFlag3 = 0x1;
inline constexpr int32_t kRateFlag5 = 0x2;
inline constexpr int32_t kRateFlag8 = 0x4;
inline constexpr int32_t kRateFlag10 = 0x8;
inline constexpr int32_t kRateFlagReduced8 = 0x40000;
// The flag of one side's rate (in hundredths of a per cent) and reduced mark.
int32_t RateFlagOfSide(int64_t rate, int64_t reduced);

class JournalTally {
 public:
  // Past these limits a part of the tally is given up: beyond the first, a
  // chain evaluated per combination would no longer be cheap; beyond the
  // second (accounts with sides, about 4 KiB of sums each), the sums would
  // take too much memory.
  static constexpr size_t kMaxCombinations = 65536;
  static constexpr size_t kMaxSideAccounts = 4096;

  // One side of a line, with values the check has found sound (categories
  // 0-255, business types 0-6, rates and reduced marks as the store allows).
  // `account` is the account's place in the list given to Begin.
  struct LineSide {
    size_t account = 0;
    int64_t amount = 0, tax = 0, category = 0, rate = 0, reduced = 0, businessType = 0;
  };

  // What the lines a chain selects add up to.
  struct Counts {
    uint64_t lines = 0;
    std::array<uint64_t, 7> withBusinessType{};  // lines with a side of business type 1 to 6 (0 unused)
    int32_t rateFlags = 0;                        // every flag of their sides
  };

  // The sides of one account, month number, side, rate and reduced mark.
  struct SideKey {
    int64_t account = 0;  // the account ID
    int32_t month = 0;
    int64_t rate = 0;
    bool debit = false;
    bool reduced = false;
  };
  struct SideSums {
    int64_t amount = 0;
    int64_t tax = 0;
    uint64_t sides = 0;
  };

  // Starts a tally of `dataId`'s journal, whose lines name the accounts
  // `accountIds`.
  void Begin(const std::string& dataId, std::vector<int64_t> accountIds);
  // Adds one line of month number `month` (1-12, 15 or 18) dated `date`
  // (yyyymmdd).
  void Add(int64_t month, int32_t date, const LineSide& debit, const LineSide& credit);
  // Ends the tally: it answers from now on while the store's data version is
  // `version`. Without a version (the store changed during the read) it
  // answers nothing.
  void Seal(std::optional<Store::Version> version);
  void Clear();

  // Whether the tally answers for `dataId` with the store at `version`.
  bool Answers(const std::string& dataId, const std::optional<Store::Version>& version) const;
  // Adds up the combinations `chain` selects. kBadArgument for a chain that
  // names anything but months and tax categories, or is malformed.
  int32_t Select(const StFINDINFO* chain, Counts* counts) const;
  // Whether the side sums were kept; ForEachSide calls `each` for every key
  // with sides, in no particular order, until it returns false (and then
  // returns false).
  bool HasSides() const { return sidesKept_; }
  bool ForEachSide(const std::function<bool(const SideKey&, const SideSums&)>& each) const;

  // The month numbers (index 1 to 18) `chain` selects, for a chain of month
  // conditions only; kBadArgument for one that names anything else.
  static int32_t SelectedMonths(const StFINDINFO* chain, std::array<bool, 19>* months);

  // The sides of one month number, side, category, business type and rate
  // taxed at (hundredths of a per cent, never 0; `reduced` only with 800).
  struct ReturnSideKey {
    int32_t month = 0;
    bool debit = false;
    uint8_t category = 0;
    uint8_t businessType = 0;
    uint32_t rate = 0;
    bool reduced = false;
  };
  // Calls `each` for every return cell with sides, in no particular order.
  void ForEachReturnSide(const std::function<void(const ReturnSideKey&, const SideSums&)>& each) const;

  // The tally as bytes, and back. Deserialize answers false, and leaves the
  // tally cleared, for bytes that are not a whole tally of this layout; a
  // tally read back answers from the store only once sealed.
  std::string Serialize() const;
  bool Deserialize(std::string_view bytes);
  // The data set the tally was begun for.
  const std::string& dataId() const { return dataId_; }

 private:
  struct Combination {
    uint32_t key = 0;  // month << 16 | debit category << 8 | credit category, plus one; 0 for a free slot
    int32_t rateFlags = 0;
    uint64_t lines = 0;
    std::array<uint64_t, 6> withBusinessType{};  // business types 1 to 6
  };
  // An account's sums by month (in the period's order), side and rate class
  // (no rate, 3 %, 5 %, standard 8 %, reduced 8 %, 10 %).
  static constexpr size_t kMonths = 14, kRateClasses = 6;
  using SideBlock = std::array<SideSums, kMonths * 2 * kRateClasses>;
  // The return cells: by month (in the period's order), side, category 0-37,
  // business type 0-6 and taxed-at rate class (3 %, 5 %, standard 8 %,
  // reduced 8 %, 10 %).
  static constexpr size_t kReturnCategories = 38, kBusinessTypes = 7, kTaxedRates = 5;
  static constexpr size_t kReturnCells = kMonths * 2 * kReturnCategories * kBusinessTypes * kTaxedRates;

  size_t SlotFor(uint32_t key) const;
  bool Fail();  // clears the tally, answers false
  Combination& CombinationFor(uint32_t key);
  void AddSide(size_t month, bool debit, const LineSide& side);

  std::string dataId_;
  // Open addressing: a power-of-two table kept at most half full.
  std::vector<Combination> combinations_;
  size_t combinationCount_ = 0;
  std::vector<int64_t> accountIds_;
  std::vector<std::unique_ptr<SideBlock>> sideBlocks_;  // by account place, made on its first side
  size_t sideAccounts_ = 0;
  bool sidesKept_ = false;
  std::vector<SideSums> returnCells_;  // kReturnCells once begun
  std::optional<Store::Version> version_;
  bool open_ = false;  // between Begin and Seal, and not given up
};

}  // namespace ledger
