// The product's rule objects: they walk and sum the books of one data set.
//
// A rule is created by the caller (new; deleted through its virtual
// destructor) and bound before use, in this order: AttachSetMgr, SetCurDataID,
// AttachOptLink. An unbound rule answers kNotBound and never reads anything.
// Walks go ready, next..., finish: MoveNext answers kOk for each record and
// kEndOfWalk after the last; any other value is an error. Clause chains are
// StFINDINFO arrays (host/FindInfo.h); a malformed chain is kBadArgument.
// Amounts are signed 64-bit yen x 10 000.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "host/FindInfo.h"
#include "host/HostTypes.h"
#include "host/Records.h"
#include "host/SaveTaxInfo.h"
#include "host/TaxReportRecords.h"

class ClSetMgr;
class ClOptLink;

// Display and order records of journal walks; the system passes none.
struct StSWKDISPINFO;
struct StSWKORDERINFO;

class ClRuleBase {
 public:
  virtual ~ClRuleBase();
  int32_t AttachSetMgr(ClSetMgr* setMgr);
  int32_t SetCurDataID(const char* dataId);
  int32_t AttachOptLink(ClOptLink* optLink);

 protected:
  ClRuleBase();
  // kOk when all three bindings were made, else kNotBound.
  int32_t CheckBound() const;
  const std::string& CurDataID() const { return dataId_; }

 private:
  ClSetMgr* setMgr_ = nullptr;
  std::string dataId_;
  ClOptLink* optLink_ = nullptr;
};

// Consumption-tax summary rows: one row per account with lines at a rate.
class ClRuleShohizei : public ClRuleBase {
 public:
  ClRuleShohizei();
  ~ClRuleShohizei() override;
  // sumType 2; the first and last month numbers; the rate in hundredths of a
  // percent; secondRate null; taxTreatment the tax-inclusive byte
  // (StSHOHIZEIINFO byte 5); the three reserved values 0.
  int32_t MoveReady(int16_t sumType, const int16_t* firstMonth, const int16_t* lastMonth, const uint32_t* rate,
                    const uint32_t* secondRate, uint8_t taxTreatment, int32_t reserved1, int32_t reserved2,
                    int32_t reserved3);
  int32_t GetSumInfoCount(uint32_t* count);
  int32_t MoveNext(StTAXSUMINFO* row);
  int32_t MoveFinish();

  struct Walk;

 private:
  std::unique_ptr<Walk> walk_;
};

// Journal lines: counts, walks and existence checks under a clause chain.
class ClRuleShiwake : public ClRuleBase {
 public:
  ClRuleShiwake();
  ~ClRuleShiwake() override;
  int32_t GetSwkCount(const StFINDINFO* chain, const StSWKDISPINFO* display, uint32_t* count);
  // cursorType 4: every selected line, by line number.
  int32_t MoveReady(const StFINDINFO* chain, const StSWKORDERINFO* order, const StSWKDISPINFO* display,
                    int32_t cursorType);
  int32_t MoveNext(StSWKTINFO* line);
  int32_t MoveFinish();
  // The number of selected lines with a side of business type `businessType`.
  int32_t CheckExistSwkByJigyoBunrui(const StFINDINFO* chain, int32_t businessType, int32_t* count);
  // Flags of the rates present on the selected lines (bit 0x8: 10 %, bit
  // 0x40000: reduced 8 %; the others as the ledger documents). mode is 1.
  int32_t CheckExistSwkByZeiRate(const StFINDINFO* chain, int32_t* flags, int32_t mode);

  struct Walk;

 private:
  std::unique_ptr<Walk> walk_;
};

// Account sums by month slot, per account and per account-class heading.
class ClRuleKamoku : public ClRuleBase {
 public:
  ClRuleKamoku();
  ~ClRuleKamoku() override;
  // baseSumType 1; deptSumType 0, or 4 with a department of class 1 or 2;
  // displayType 0; the period condition; a department or null; pastType 0.
  int32_t MoveReady(int16_t baseSumType, int16_t deptSumType, int16_t displayType, const StFINDINFO* period,
                    const StBUMONINFO* department, int16_t pastType);
  int32_t GetSumCount(uint32_t* count);
  int32_t SetMovePos(uint32_t position);
  int32_t MoveNext(StKAMOKUSUMINFO* record);
  int32_t MoveFinish();

  struct Walk;

 private:
  std::unique_ptr<Walk> walk_;
};

// Fixed and deferred assets under a chain on the acquisition date.
class ClRuleGenkashokyaku : public ClRuleBase {
 public:
  ClRuleGenkashokyaku();
  ~ClRuleGenkashokyaku() override;
  int32_t MoveReady(const StFINDINFO* chain, int16_t sortType, int16_t sumType);
  int32_t GetCount(int32_t* count);
  int32_t Move(int32_t index, StKOTEISHISANINFO* asset, StKOTEINENINFO* yearly, StKOTEITSUKIINFO* monthly);
  int32_t MoveFinish();

  struct Walk;

 private:
  std::unique_ptr<Walk> walk_;
};

// The figures of the consumption-tax return by rate and business type.
class ClRuleShohizeiShinkoku : public ClRuleBase {
 public:
  ClRuleShohizeiShinkoku();
  ~ClRuleShohizeiShinkoku() override;
  // Adds the amounts of the lines within `period` into `rateTotals` (one
  // record per rate index, as many as GetTaxRateCount) and `businessTotals`
  // (six per rate), whose rates and business types the caller has preset.
  int32_t SumTax(uint8_t taxMethod, const StFINDINFO* period, StTAXREPORTRATEINFO* rateTotals,
                 StTAXREPORTBUSINESSTYPEINFO* businessTotals);
};

// The saved consumption-tax return of the data set.
class ClSaveTaxShiryo : public ClRuleBase {
 public:
  ClSaveTaxShiryo();
  ~ClSaveTaxShiryo() override;
  int32_t RefreshCache();
  // Fills `info`; nonzero when the data set has no saved return.
  int32_t GetTaxSaveInfo(StSaveTaxInfo* info);
};
