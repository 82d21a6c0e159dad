// ClRuleGenkashokyaku: the fixed and deferred assets selected by a chain on
// the acquisition date, by asset number.
//
// MoveReady reads the selected assets (the assets of a data set are few; the
// walk keeps them) and Move delivers one by index. Besides the asset record
// (number, name, kind, acquisition date and amount, income type) Move fills
// the two side buffers as far as this installation keeps depreciation data:
// the yearly record holds the asset number (u32 at 0), the acquisition date
// (i32 at 4) and the book value at the start of the year (i64 at 8, the
// acquisition amount: no depreciation is booked); the monthly record holds the
// asset number (u32 at 0) and is otherwise zero.
#include <string>
#include <vector>

#include "host/LedgerRules.h"
#include "ledger/Text.h"
#include "ledger/rules/RuleSupport.h"
#include "platform/ShiftJis.h"

using ledger::Statement;
using ledger::Store;
namespace rules = ledger::rules;
using A = StKOTEISHISANINFO;

struct ClRuleGenkashokyaku::Walk {
  std::vector<StKOTEISHISANINFO> assets;
  bool ready = false;
};

ClRuleGenkashokyaku::ClRuleGenkashokyaku() : walk_(std::make_unique<Walk>()) {}
ClRuleGenkashokyaku::~ClRuleGenkashokyaku() = default;

int32_t ClRuleGenkashokyaku::MoveReady(const StFINDINFO* chain, int16_t sortType, int16_t sumType) {
  if (int32_t status = CheckBound(); status != host::kOk) return status;
  walk_->assets.clear();
  walk_->ready = false;
  if (sortType != 0 || sumType != 0) return host::kBadArgument;
  ledger::SqlCondition condition;
  if (int32_t status = ledger::ChainToSql(chain, ledger::AssetColumns, 2, &condition); status != host::kOk) {
    return status;
  }
  Store* store = nullptr;
  if (int32_t status = rules::OpenData(CurDataID(), &store); status != host::kOk) return status;
  Statement q = store->Prepare(
      "SELECT asset_no, name, kind, acquisition_date, acquisition_amount, income_type FROM fixed_asset "
      "WHERE data_id = ?1 AND " +
      condition.where + " ORDER BY asset_no");
  if (!q.valid()) return host::kStoreFailed;
  q.Bind(1, CurDataID());
  rules::BindCondition(q, condition, 2);
  int rc;
  while ((rc = q.Step()) == SQLITE_ROW) {
    auto name = ledger::Utf8ToCp932(q.Text(1));
    if (!name) return host::kStoreFailed;
    StKOTEISHISANINFO asset;
    host::RecordView v = asset.view();
    v.SetU32(A::kAssetNo, static_cast<uint32_t>(q.Int(0)));
    v.SetText(A::kName, A::kNameWidth, platform::sjis::CutToWholeChars(*name, A::kNameWidth - 1));
    v.SetU32(A::kKind, static_cast<uint32_t>(q.Int(2)));
    v.SetI32(A::kAcquisitionDate, static_cast<int32_t>(q.Int(3)));
    v.SetI64(A::kAcquisitionAmount, q.Int(4));
    v.SetI16(A::kIncomeType, static_cast<int16_t>(q.Int(5)));
    walk_->assets.push_back(asset);
  }
  if (rc != SQLITE_DONE) {
    walk_->assets.clear();
    return host::kStoreFailed;
  }
  walk_->ready = true;
  return host::kOk;
}

int32_t ClRuleGenkashokyaku::GetCount(int32_t* count) {
  if (int32_t status = CheckBound(); status != host::kOk) return status;
  if (count == nullptr) return host::kBadArgument;
  if (!walk_->ready) return host::kNotReady;
  *count = static_cast<int32_t>(walk_->assets.size());
  return host::kOk;
}

int32_t ClRuleGenkashokyaku::Move(int32_t index, StKOTEISHISANINFO* asset, StKOTEINENINFO* yearly,
                                  StKOTEITSUKIINFO* monthly) {
  if (int32_t status = CheckBound(); status != host::kOk) return status;
  if (asset == nullptr || yearly == nullptr || monthly == nullptr) return host::kBadArgument;
  if (!walk_->ready) return host::kNotReady;
  if (index < 0 || static_cast<size_t>(index) >= walk_->assets.size()) return host::kNotFound;
  *asset = walk_->assets[static_cast<size_t>(index)];
  const host::RecordView a = asset->view();
  *yearly = StKOTEINENINFO();
  yearly->view().SetU32(0, a.U32(A::kAssetNo));
  yearly->view().SetI32(4, a.I32(A::kAcquisitionDate));
  yearly->view().SetI64(8, a.I64(A::kAcquisitionAmount));
  *monthly = StKOTEITSUKIINFO();
  monthly->view().SetU32(0, a.U32(A::kAssetNo));
  return host::kOk;
}

int32_t ClRuleGenkashokyaku::MoveFinish() {
  if (int32_t status = CheckBound(); status != host::kOk) return status;
  const bool wasReady = walk_->ready;
  walk_->assets.clear();
  walk_->ready = false;
  return wasReady ? host::kOk : host::kNotReady;
}
