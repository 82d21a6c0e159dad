// Search-clause chains made of input bytes: up to four chains of up to 64
// clauses, each clause 34 record bytes and one byte that may point its nested
// chain at any chain of the pool (itself included). Every chain is answered
// and the three entry points agree on whether it is sound.
#include <array>
#include <cstring>
#include <optional>
#include <string>

#include "bench/fuzz/FuzzMain.h"
#include "host/HostTypes.h"
#include "ledger/Clause.h"

using C = StFINDINFO;

void FuzzOne(const uint8_t* data, size_t size) {
  constexpr size_t kChains = 4;
  static std::array<std::array<C, C::kMaxChainClauses>, kChains> pool;
  for (auto& chain : pool) chain.fill(C());
  size_t at = 0;
  for (size_t k = 0; k < kChains && at < size; ++k) {
    const size_t length = 1 + data[at++] % C::kMaxChainClauses;
    for (size_t j = 0; j < length && at + C::kSize + 1 <= size; ++j) {
      host::RecordView v = pool[k][j].view();
      for (size_t b = 0; b < C::kSize; ++b) v.SetU8(b, data[at + b]);
      const uint8_t link = data[at + C::kSize];
      pool[k][j].nested = link < 0x80 ? &pool[link % kChains][0] : nullptr;
      at += C::kSize + 1;
    }
  }
  const int64_t value = size ? static_cast<int8_t>(data[size - 1]) : 0;
  auto values = [value](uint32_t item, uint16_t) -> std::optional<int64_t> {
    if (item == C::kItemGroup) return std::nullopt;
    return value;
  };
  auto columns = [](uint32_t item, uint16_t side) -> std::optional<std::string> {
    if (item == C::kItemTaxCategory) return side == C::kSideDebit ? "dr" : "cr";
    if (item == C::kItemMonthNumber || item == C::kItemAccountClass || item == C::kItemAcquisitionDate) return "v";
    return std::nullopt;
  };
  for (size_t k = 0; k < kChains; ++k) {
    const int32_t check = ledger::CheckChain(&pool[k][0]);
    bool selected = false;
    ledger::SqlCondition sql;
    FUZZ_CHECK(check == host::kOk || check == host::kBadArgument);
    FUZZ_CHECK(ledger::EvaluateChain(&pool[k][0], values, &selected) == check);
    FUZZ_CHECK(ledger::ChainToSql(&pool[k][0], columns, 1, &sql) == check);
  }
}
