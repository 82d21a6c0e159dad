// RefundBook: one company data set in a throw-away ledger installation, built
// account by account and line by line, and the refund passes run over it with
// a chosen period condition. Amounts are yen x 10 000 (Yen()).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "aggregate/Activity.h"
#include "aggregate/AggregationContext.h"
#include "aggregate/TaxAggregate.h"
#include "aggregate/TaxSettings.h"
#include "host/Records.h"
#include "ledger/testing/Fixture.h"

namespace refund_test {

constexpr int64_t Yen(int64_t yen) { return yen * 10000; }

constexpr const char* kDataId = "R0001";

// Chosen month numbers: first..last, then the single closing months (15, 18)
// joined by "or", as the run driver builds them.
struct Months {
  int16_t first = 1;
  int16_t last = 12;
  std::vector<int16_t> closings = {18};
};

class RefundBook {
 public:
  // A data set with the period April 2023 to March 2024 (month number 1 is
  // April; `periodEnd` may end it earlier) of company kind `kind` and income
  // layout `layout`.
  explicit RefundBook(int32_t kind, int32_t layout = 0, int32_t periodEnd = 20240331);

  RefundBook& Account(int64_t id, uint32_t classCode, int32_t balanceSide = 1, int32_t markA = 0, int32_t markB = 0);
  RefundBook& Department(int32_t code, int32_t deptClass, int32_t reference, int32_t incomeType);
  // A line of month number `month`; each side's account, amount, tax,
  // category and department (none when 0).
  struct Side {
    int64_t account = 0;
    int64_t amount = 0;
    int32_t category = 0;
    int64_t tax = 0;
    int32_t department = 0;
  };
  RefundBook& Line(int32_t month, const Side& debit, const Side& credit);
  RefundBook& Asset(int32_t date, int64_t amount, int64_t kind = 1, int32_t incomeType = 1);
  ledger::testing::Fixture& fixture() { return fixture_; }

  // Connects (once), reads the selected company record, builds the period
  // condition and runs the pass into `aggregate`. `closingPattern` and
  // `taxInclusive` override the record's closing pattern and byte 5 of the
  // tax settings when given.
  int32_t RunCorporate(const Months& months, bool taxInclusive = false,
                       std::optional<int32_t> closingPattern = std::nullopt);
  int32_t RunIndividual(const Months& months, bool taxInclusive = false,
                        std::optional<int32_t> closingPattern = std::nullopt);
  // The same passes told of their progress through `activity`, with no window.
  int32_t RunCorporate(const Months& months, aggregate::Activity& activity);
  int32_t RunIndividual(const Months& months, aggregate::Activity& activity);

  aggregate::TaxAggregate aggregate;

 private:
  bool Prepare(aggregate::AggregationContext& context, const Months& months, bool taxInclusive,
               std::optional<int32_t> closingPattern, StDATAINFO* record, aggregate::TaxSettings* settings);
  ledger::testing::Fixture fixture_;
  bool connected_ = false;
  int64_t nextLine_ = 1;
  int64_t nextAsset_ = 1;
};

}  // namespace refund_test
