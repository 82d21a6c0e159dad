#include "aggregate/RunChecks.h"

#include <array>
#include <string>

#include "aggregate/RuleBinding.h"
#include "host/LedgerMsg.h"
#include "platform/ui/ShowMessage.h"

namespace aggregate {

namespace {

// Source position reported with the host's message for each failure; fixed
// codes, so that a user's report names the check that failed.
constexpr const char* kSourceId = "RunChecks.cpp";
constexpr int32_t kSixthRuleNotCreated = 3773;
constexpr int32_t kSixthCheckFailed = 3783;
constexpr int32_t kRateRuleNotCreated = 3729;
constexpr int32_t kRateCheckFailed = 3754;

constexpr int32_t kRateFlag10 = 0x8;
constexpr int32_t kRateFlagReduced8 = 0x40000;
constexpr int32_t kRateCheckMode = 1;

constexpr int32_t kFirstImportCategory = 31;
constexpr int32_t kLastImportCategory = 37;

constexpr const char* kCaption = "消費税";
constexpr const char* kSixthTypeBefore = "集計範囲に事業分類「第六種事業」の仕訳が存在します。\n「第六種事業」は、平成27年4月1日以降に開始する課税期間に適用される事業分類のため、処理できません。\n\n";
constexpr const char* kSixthTypeAfter = " の以下の機能にて事業分類を見直してください。\n\n・各種帳簿機能(簡易振替伝票入力等)\n※入力済みの伝票は、各帳簿画面の置換機能にて一括で変換することができます。";
constexpr const char* kNewRateRefusal = "集計範囲に税率「10%」または「8%(軽減)」の仕訳があるため、集計できません。\n\n※消費税率「10%」および軽減税率の仕訳の集計は、今後提供予定の連動コンポーネントにて対応します。";
constexpr const char* kImportNotice = "集計範囲の中に、輸入取引の本体分、国税分、地方税分が未確定の税区分(31,32,33,35,36,37)を使用している仕訳があります。\nこの仕訳の金額は、消費税申告書には集計されません。";

int32_t Report(int32_t status, int32_t failedLine) {
  if (status != host::kOk) return ClMsgMgr::Inst()->SetLastError(status, kSourceId, failedLine);
  return ClMsgMgr::Inst()->SetLastError(status, nullptr, 0);
}

bool IsFatal(int32_t status) { return ClMsgMgr::Inst()->CheckFatalErrorWithMsg(status, -1, 1, 0) != 0; }

// "category >= 31 and category <= 37" on one side of a line.
std::array<StFINDINFO, 2> ImportCategoryRange(uint16_t side) {
  return {StFINDINFO::Compare(StFINDINFO::kItemTaxCategory, side, StFINDINFO::kCompareAtLeast,
                              StFINDINFO::kValueNumber, kFirstImportCategory, StFINDINFO::kJoinAnd),
          StFINDINFO::Compare(StFINDINFO::kItemTaxCategory, side, StFINDINFO::kCompareAtMost,
                              StFINDINFO::kValueNumber, kLastImportCategory, StFINDINFO::kJoinLast)};
}

}  // namespace

int32_t CheckSixthBusinessType(const AggregationContext& context, int32_t businessType, int32_t* count) {
  std::unique_ptr<ClRuleShiwake> rule = CreateBoundRule<ClRuleShiwake>();
  if (!rule) return Report(host::kRuleNotCreated, kSixthRuleNotCreated);
  const int32_t status = rule->CheckExistSwkByJigyoBunrui(context.periodCondition.chain(), businessType, count);
  rule.reset();
  return Report(status, kSixthCheckFailed);
}

int32_t CheckNewRates(const AggregationContext& context, int32_t* flag, int16_t /*firstMonth*/,
                      int16_t /*lastMonth*/) {
  std::unique_ptr<ClRuleShiwake> rule = CreateBoundRule<ClRuleShiwake>();
  if (!rule) return Report(host::kRuleNotCreated, kRateRuleNotCreated);
  int32_t flags = 0;
  const int32_t status = rule->CheckExistSwkByZeiRate(context.periodCondition.chain(), &flags, kRateCheckMode);
  *flag = (flags & (kRateFlag10 | kRateFlagReduced8)) != 0 ? 1 : 0;
  rule.reset();
  return Report(status, kRateCheckFailed);
}

int32_t CheckUndeterminedImports(const AggregationContext& context) {
  const std::array<StFINDINFO, 2> debit = ImportCategoryRange(StFINDINFO::kSideDebit);
  const std::array<StFINDINFO, 2> credit = ImportCategoryRange(StFINDINFO::kSideCredit);
  const std::array<StFINDINFO, 2> sides = {StFINDINFO::Group(debit.data(), StFINDINFO::kJoinOr),
                                           StFINDINFO::Group(credit.data(), StFINDINFO::kJoinLast)};
  const std::array<StFINDINFO, 2> chain = {
      StFINDINFO::Group(sides.data(), StFINDINFO::kJoinAnd),
      StFINDINFO::Group(context.periodCondition.chain(), StFINDINFO::kJoinLast)};

  std::unique_ptr<ClRuleShiwake> rule = CreateBoundRule<ClRuleShiwake>();
  if (!rule) return 0;
  uint32_t count = 0;
  const int32_t status = rule->GetSwkCount(chain.data(), nullptr, &count);
  return status == host::kOk && count != 0 ? 1 : 0;
}

int RunPreAggregationChecks(const AggregationContext& context, platform::ui::Window* owner,
                            const RunCheckInput& input) {
  using platform::ui::ShowMessage;

  int32_t sixthCount = 0;
  if (IsFatal(CheckSixthBusinessType(context, kSixthBusinessType, &sixthCount))) return 2;
  if (sixthCount > 0 && input.settings.taxMethod() == TaxSettings::kSimplified &&
      input.startMonthFirstDate < kSixthBusinessTypeFrom) {
    const std::string text = std::string(kSixthTypeBefore) + std::string(input.programName) + kSixthTypeAfter;
    ShowMessage(owner, text, kCaption, platform::ui::kMbOk | platform::ui::kMbIconExclamation);
    return 1;
  }

  int32_t newRates = 0;
  if (IsFatal(CheckNewRates(context, &newRates, input.startMonth, input.endMonth))) return 2;
  if (newRates != 0) {
    ShowMessage(owner, kNewRateRefusal, kCaption, platform::ui::kMbOk | platform::ui::kMbIconExclamation);
    return 1;
  }

  if (input.settings.taxMethod() > TaxSettings::kSimplified && CheckUndeterminedImports(context) == 1)
    ShowMessage(owner, kImportNotice, kCaption, platform::ui::kMbOk | platform::ui::kMbIconInformation);
  return 0;
}

}  // namespace aggregate
