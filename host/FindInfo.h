// StFINDINFO: one clause of a search-clause chain, the condition by which the
// host's settings and rule objects select accounts, journal lines and assets.
//
// The clause is the host's 34-byte record (offsets below); the clauses of one
// chain follow one another in an array and the chain ends at the first clause
// whose joiner is kJoinLast. A group clause (item kItemGroup) stands for a whole
// nested chain: it holds a pointer to that chain's first clause in `nested`
// (the record's own 32-bit address field at kNestedAddress stays zero, as a
// 64-bit pointer does not fit it). "and" binds tighter than "or":
// a and b or c and d selects (a and b) or (c and d).
//
// A chain is read-only to the host. The host refuses (kBadArgument) a chain
// longer than kMaxChainClauses or nested deeper than kMaxNesting, an unknown
// item, comparison, value type or joiner, and a group without a nested chain.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/ByteRecord.h"

namespace host {

struct StFINDINFO : ByteRecord<34> {
  // Byte offsets of the record.
  static constexpr size_t kItem = 0;            // u32
  static constexpr size_t kSide = 4;            // u16: item 3 only, 1 debit, 2 credit
  static constexpr size_t kComparison = 6;      // u16
  static constexpr size_t kValueType = 10;      // u16
  static constexpr size_t kValue = 18;          // 16 bits (value type 2) or 32 bits
  static constexpr size_t kNestedAddress = 26;  // 32-bit address field: always zero here
  static constexpr size_t kJoiner = 30;         // u16

  // Items.
  static constexpr uint32_t kItemTaxCategory = 3;       // tax category of one side of a journal line
  static constexpr uint32_t kItemAccountClass = 16;     // account class code
  static constexpr uint32_t kItemMonthNumber = 17;      // month number of a journal line (1-12, 15, 18)
  static constexpr uint32_t kItemAcquisitionDate = 203; // acquisition date of an asset, yyyymmdd
  static constexpr uint32_t kItemGroup = 999;           // a nested chain

  static constexpr uint16_t kSideNone = 0;
  static constexpr uint16_t kSideDebit = 1;
  static constexpr uint16_t kSideCredit = 2;

  // Comparisons: the record's value compared with the clause's value.
  static constexpr uint16_t kCompareNone = 0;     // group clauses
  static constexpr uint16_t kCompareEqual = 1;
  static constexpr uint16_t kCompareAtLeast = 4;
  static constexpr uint16_t kCompareLessThan = 5;
  static constexpr uint16_t kCompareAtMost = 6;

  static constexpr uint16_t kValueNone = 0;       // group clauses
  static constexpr uint16_t kValueMonth = 2;      // 16-bit month number
  static constexpr uint16_t kValueNumber = 3;     // 32-bit number: tax category, date yyyymmdd
  static constexpr uint16_t kValueCode = 19;      // 32-bit code (account class code)

  static constexpr uint16_t kJoinLast = 0;
  static constexpr uint16_t kJoinAnd = 1;
  static constexpr uint16_t kJoinOr = 2;

  static constexpr size_t kMaxChainClauses = 64;
  static constexpr size_t kMaxNesting = 8;

  // The first clause of the nested chain of a group clause; null otherwise.
  const StFINDINFO* nested = nullptr;

  uint32_t Item() const { return view().U32(kItem); }
  uint16_t Side() const { return view().U16(kSide); }
  uint16_t Comparison() const { return view().U16(kComparison); }
  uint16_t ValueType() const { return view().U16(kValueType); }
  uint16_t Joiner() const { return view().U16(kJoiner); }
  // The value as the value type lays it out: a signed 16-bit month number, a
  // signed 32-bit number or an unsigned 32-bit code.
  int64_t Value() const {
    switch (ValueType()) {
      case kValueMonth: return view().I16(kValue);
      case kValueCode: return view().U32(kValue);
      default: return view().I32(kValue);
    }
  }
  void SetJoiner(uint16_t joiner) { view().SetI16(kJoiner, static_cast<int16_t>(joiner)); }

  // Zero-fills the clause (record and pointer).
  void Clear() { *this = StFINDINFO(); }

  // A comparison clause; the value is written in the width its type gives.
  static StFINDINFO Compare(uint32_t item, uint16_t side, uint16_t comparison, uint16_t valueType, int64_t value,
                            uint16_t joiner) {
    StFINDINFO c;
    RecordView v = c.view();
    v.SetU32(kItem, item);
    v.SetI16(kSide, static_cast<int16_t>(side));
    v.SetI16(kComparison, static_cast<int16_t>(comparison));
    v.SetI16(kValueType, static_cast<int16_t>(valueType));
    if (valueType == kValueMonth) {
      v.SetI16(kValue, static_cast<int16_t>(value));
    } else {
      v.SetU32(kValue, static_cast<uint32_t>(value));
    }
    v.SetI16(kJoiner, static_cast<int16_t>(joiner));
    return c;
  }
  // A group clause standing for the chain that starts at `first`.
  static StFINDINFO Group(const StFINDINFO* first, uint16_t joiner) {
    StFINDINFO c;
    c.view().SetU32(kItem, kItemGroup);
    c.view().SetI16(kJoiner, static_cast<int16_t>(joiner));
    c.nested = first;
    return c;
  }
};

}  // namespace host

// The host's records are named at global scope, as the host classes are.
using host::StFINDINFO;
