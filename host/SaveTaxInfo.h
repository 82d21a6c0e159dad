// StSaveTaxInfo: the consumption-tax return that the user entered and saved in
// the accounting product's own return screens, as ClSaveTaxShiryo delivers it
// (24576 bytes, zero where nothing was saved).
//
// The header fields come first. The amounts (signed 64-bit yen x 10 000) lie
// in blocks, one block layout per rate (8 %, 5 %, 3 %); kSavedAmountBlocks is
// the one table of where each named amount lies: its name is the document's
// leaf name followed by the rate digit ("KAZEIURIAGEZEINUKI8"), and
// SavedAmountOffset finds it. The refund-statement area holds three basis
// codes and sixteen amounts named "KANPU0" to "KANPU15".
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "host/ByteRecord.h"

namespace host {

struct StSaveTaxInfo : ByteRecord<24576> {
  static constexpr size_t kTaxationKind = 3;         // u8: 2 simplified, 1 general
  static constexpr uint8_t kSavedGeneral = 1, kSavedSimplified = 2;  // kTaxationKind
  static constexpr size_t kDeductionCode = 4;        // u8: deduction method + 1
  static constexpr size_t kSalesTaxChoice = 6;       // u8
  static constexpr size_t kPurchaseTaxChoice = 7;    // u8
  static constexpr size_t kTransitionalFlag = 8;     // u8
  static constexpr size_t kPeriodStart = 9;          // i32 yyyymmdd
  static constexpr size_t kPeriodEnd = 13;           // i32
  static constexpr size_t kBusinessYearStart = 17;   // i32
  static constexpr size_t kBusinessYearEnd = 21;     // i32
  static constexpr size_t kReturnStart = 29;         // i32
  static constexpr size_t kReturnEnd = 33;           // i32
  static constexpr size_t kClosingCode = 39;         // u8: closing pattern + 1

  static constexpr size_t kRefundIndividualBasis = 9865;  // u8
  static constexpr size_t kRefundCorporatePlBasis = 9866; // u8
  static constexpr size_t kRefundCorporateAssetBasis = 9867;  // u8
  static constexpr size_t kRefundAmountCount = 16;
  static constexpr size_t RefundAmount(size_t k) { return 9868 + 8 * k; }  // k = 0..15
};
static_assert(sizeof(StSaveTaxInfo) == 24576);

// One block of saved amounts: its leaves in order, the spacing between them,
// and the offset of its first amount for each rate (0 where the rate has none).
struct SavedAmountBlock {
  const char* const* leaves;
  size_t count;
  size_t stride;
  std::array<size_t, 3> first;  // 8 %, 5 %, 3 %
};

namespace saved_leaves {
inline constexpr const char* kSales[] = {
    "KAZEIURIAGEZEINUKI", "KAZEIURIAGEZEIGAKU", "KAZEIURIAGEZEIKOMI", "MENZEIURIAGEZEINUKI",
    "HIKAZEIURIAGEYUUKAZEINUKI", "HIKAZEIURIAGEYUUKAIGAIZEINUKI", "KAZEIURIAGEHENKANZEINUKI",
    "KAZEIURIAGEHENKANZEIGAKU", "KAZEIURIAGEHENKANZEIKOMI", "MENZEIURIAGEHENKANZEINUKI",
    "HIKAZEIURIAGEHENKANZEINUKI", "HIKAZEISHISANYUSHUTSUZEINUKI"};
inline constexpr const char* kPurchases[] = {
    "SHIIREKAZEIZEINUKI",   "SHIIREKAZEIZEIGAKU",   "SHIIREKAZEIZEIKOMI",
    "SHIIREHIKAZEIZEINUKI", "SHIIREHIKAZEIZEIGAKU", "SHIIREHIKAZEIZEIKOMI",
    "SHIIREKYOTUUZEINUKI",  "SHIIREKYOTUUZEIGAKU",  "SHIIREKYOTUUZEIKOMI"};
inline constexpr const char* kPurchaseReturns[] = {
    "SHIIREHENKANKAZEIZEINUKI",   "SHIIREHENKANKAZEIZEIGAKU",   "SHIIREHENKANKAZEIZEIKOMI",
    "SHIIREHENKANHIKAZEIZEINUKI", "SHIIREHENKANHIKAZEIZEIGAKU", "SHIIREHENKANHIKAZEIZEIKOMI",
    "SHIIREHENKANKYOTUUZEINUKI",  "SHIIREHENKANKYOTUUZEIGAKU",  "SHIIREHENKANKYOTUUZEIKOMI"};
inline constexpr const char* kBadDebts[] = {"KASHIDAOREZEINUKI",     "KASHIDAOREZEIGAKU",     "KASHIDAOREZEIKOMI",
                                            "KASHIDAOREKAISHUZEINUKI", "KASHIDAOREKAISHUZEIGAKU",
                                            "KASHIDAOREKAISHUZEIKOMI"};
inline constexpr const char* kAdjustments[] = {"GIMUMENJOKAZEI", "KAZEIURIAGEWARIAIHENDO", "KAZEIGYOMUYOTENYO"};
inline constexpr const char* kExemptionAdjustments[] = {"GIMUMENJOHIKAZEI", "GIMUMENJOKYOTUU"};
inline constexpr const char* kSalesByType[] = {
    "KAZEIURIAGE1SHUZEINUKI", "KAZEIURIAGE1SHUZEIGAKU", "KAZEIURIAGE1SHUZEIKOMI", "KAZEIURIAGE2SHUZEINUKI",
    "KAZEIURIAGE2SHUZEIGAKU", "KAZEIURIAGE2SHUZEIKOMI", "KAZEIURIAGE3SHUZEINUKI", "KAZEIURIAGE3SHUZEIGAKU",
    "KAZEIURIAGE3SHUZEIKOMI", "KAZEIURIAGE4SHUZEINUKI", "KAZEIURIAGE4SHUZEIGAKU", "KAZEIURIAGE4SHUZEIKOMI",
    "KAZEIURIAGE5SHUZEINUKI", "KAZEIURIAGE5SHUZEIGAKU", "KAZEIURIAGE5SHUZEIKOMI"};
inline constexpr const char* kReturnsByType[] = {
    "KAZEIHENKAN1SHUZEINUKI", "KAZEIHENKAN1SHUZEIGAKU", "KAZEIHENKAN1SHUZEIKOMI", "KAZEIHENKAN2SHUZEINUKI",
    "KAZEIHENKAN2SHUZEIGAKU", "KAZEIHENKAN2SHUZEIKOMI", "KAZEIHENKAN3SHUZEINUKI", "KAZEIHENKAN3SHUZEIGAKU",
    "KAZEIHENKAN3SHUZEIKOMI", "KAZEIHENKAN4SHUZEINUKI", "KAZEIHENKAN4SHUZEIGAKU", "KAZEIHENKAN4SHUZEIKOMI",
    "KAZEIHENKAN5SHUZEINUKI", "KAZEIHENKAN5SHUZEIGAKU", "KAZEIHENKAN5SHUZEIKOMI"};
inline constexpr const char* kSixthSales[] = {"KAZEIURIAGE6SHUZEINUKI", "KAZEIURIAGE6SHUZEIGAKU",
                                              "KAZEIURIAGE6SHUZEIKOMI"};
inline constexpr const char* kSixthReturns[] = {"KAZEIHENKAN6SHUZEINUKI", "KAZEIHENKAN6SHUZEIGAKU",
                                                "KAZEIHENKAN6SHUZEIKOMI"};
inline constexpr const char* kImportLocal[] = {"YUNYUSHIIRETIHO", "YUNYUHENKANTIHO"};
inline constexpr const char* kSpecifiedPurchases[] = {
    "TOKUTEISHIIREKAZEIZEINUKI",       "TOKUTEISHIIREHIKAZEIZEINUKI",       "TOKUTEISHIIREKYOTUUZEINUKI",
    "TOKUTEISHIIREHENKANKAZEIZEINUKI", "TOKUTEISHIIREHENKANHIKAZEIZEINUKI", "TOKUTEISHIIREHENKANKYOTUUZEINUKI"};
inline constexpr const char* kImportTax[] = {"YUNYUSHIIREKAZEIZEIGAKU", "YUNYUSHIIREHIKAZEIZEIGAKU",
                                             "YUNYUSHIIREKYOTUUZEIGAKU"};
inline constexpr const char* kImportReturnTax[] = {"YUNYUHENKANKAZEIZEIGAKU", "YUNYUHENKANHIKAZEIZEIGAKU",
                                                   "YUNYUHENKANKYOTUUZEIGAKU"};
}  // namespace saved_leaves

#define TAXBRIDGE_SAVED_BLOCK(leaves, stride, a, b, c) \
  SavedAmountBlock { leaves, std::size(leaves), stride, { a, b, c } }
inline constexpr SavedAmountBlock kSavedAmountBlocks[] = {
    TAXBRIDGE_SAVED_BLOCK(saved_leaves::kSales, 8, 12515, 573, 669),
    TAXBRIDGE_SAVED_BLOCK(saved_leaves::kPurchases, 8, 12707, 765, 1061),
    TAXBRIDGE_SAVED_BLOCK(saved_leaves::kPurchaseReturns, 8, 12859, 917, 1213),
    TAXBRIDGE_SAVED_BLOCK(saved_leaves::kBadDebts, 8, 13299, 1357, 1405),
    TAXBRIDGE_SAVED_BLOCK(saved_leaves::kAdjustments, 8, 12467, 485, 509),
    TAXBRIDGE_SAVED_BLOCK(saved_leaves::kExemptionAdjustments, 8, 13955, 2068, 2084),
    TAXBRIDGE_SAVED_BLOCK(saved_leaves::kSalesByType, 8, 13395, 1453, 1573),
    TAXBRIDGE_SAVED_BLOCK(saved_leaves::kReturnsByType, 8, 13635, 1693, 1813),
    TAXBRIDGE_SAVED_BLOCK(saved_leaves::kSixthSales, 8, 14067, 14043, 14019),
    TAXBRIDGE_SAVED_BLOCK(saved_leaves::kSixthReturns, 8, 14163, 14139, 14115),
    TAXBRIDGE_SAVED_BLOCK(saved_leaves::kImportLocal, 8, 13987, 2104, 0),
    TAXBRIDGE_SAVED_BLOCK(saved_leaves::kSpecifiedPurchases, 8, 14243, 0, 0),
    TAXBRIDGE_SAVED_BLOCK(saved_leaves::kImportTax, 24, 12787, 845, 1141),
    TAXBRIDGE_SAVED_BLOCK(saved_leaves::kImportReturnTax, 24, 12939, 997, 1293),
};
#undef TAXBRIDGE_SAVED_BLOCK

inline constexpr char kSavedRateDigits[3] = {'8', '5', '3'};

// The offset of the saved amount named `name` ("KAZEIURIAGEZEINUKI8",
// "KANPU12"), or 0 when no amount has that name.
constexpr size_t SavedAmountOffset(std::string_view name) {
  if (name.starts_with("KANPU")) {
    std::string_view digits = name.substr(5);
    if (digits.empty() || digits.size() > 2 || (digits.size() == 2 && digits[0] == '0')) return 0;
    size_t k = 0;
    for (char c : digits) {
      if (c < '0' || c > '9') return 0;
      k = k * 10 + static_cast<size_t>(c - '0');
    }
    return k < StSaveTaxInfo::kRefundAmountCount ? StSaveTaxInfo::RefundAmount(k) : 0;
  }
  if (name.empty()) return 0;
  const char digit = name.back();
  const std::string_view leaf = name.substr(0, name.size() - 1);
  for (size_t rate = 0; rate < 3; ++rate) {
    if (kSavedRateDigits[rate] != digit) continue;
    for (const SavedAmountBlock& block : kSavedAmountBlocks) {
      if (block.first[rate] == 0) continue;
      for (size_t i = 0; i < block.count; ++i) {
        if (leaf == block.leaves[i]) return block.first[rate] + i * block.stride;
      }
    }
  }
  return 0;
}

}  // namespace host

// The host's records are named at global scope, as the host classes are.
using host::StSaveTaxInfo;
