// JournalTally: the journal of one data set counted by what a journal search
// can name, gathered while the data-set check reads every line anyway, so
// that the run's counting and presence questions need no read of their own.
//
// A search over journal lines names only the month number and each side's
// tax category (JournalColumns), so every line is tallied under its month
// number, debit category and credit category: the number of lines, the lines
// with a side of each business type (a line counted once), and the rate flags
// its sides carry. A question about the lines a chain selects evaluates the
// chain once per tallied combination instead of once per line, and gives the
// same answer as reading the lines.
//
// A tally describes the store as it was read. It is stale as soon as the
// store has changed (Store::DataVersion); a stale tally, one for another data
// set, or one given up because the journal has too many combinations
// answers nothing, and the caller reads the journal instead.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

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
  // Beyond this many combinations of month and categories the tally is given
  // up: evaluating a chain per combination would no longer be cheap.
  static constexpr size_t kMaxCombinations = 65536;

  // What the lines a chain selects add up to.
  struct Counts {
    uint64_t lines = 0;
    std::array<uint64_t, 7> withBusinessType{};  // lines with a side of business type 0 to 6
    int32_t rateFlags = 0;                        // every flag of their sides
  };

  // Starts a tally of `dataId`'s journal.
  void Begin(const std::string& dataId);
  // Counts one line (values as the check has found them sound: month 1-12,
  // 15 or 18, categories 0-255, business types 0-6).
  void Add(int64_t month, int64_t drCategory, int64_t crCategory, int64_t drBusinessType, int64_t crBusinessType,
           int32_t rateFlags);
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

 private:
  struct Combination {
    uint64_t lines = 0;
    std::array<uint64_t, 7> withBusinessType{};
    int32_t rateFlags = 0;
  };
  std::string dataId_;
  std::unordered_map<uint32_t, Combination> combinations_;  // by month << 16 | debit << 8 | credit
  std::optional<Store::Version> version_;
  bool open_ = false;  // between Begin and Seal, and not given up
};

}  // namespace ledger
