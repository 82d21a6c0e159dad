// The accounting product's settings objects, its accounting period and its
// user: the host classes through which the system reads one company data set.
//
// A settings object belongs to the host (ClSetMgr hands it out and keeps it);
// the caller binds it with AttachSetMgr and SetCurDataID before use and never
// deletes it. A cursor is a 32-bit handle from GetCursor (or GetDatCursor),
// made ready, walked, and released; a walk answers kOk for each record it
// delivers and a nonzero status (kEndOfWalk) when there is none left.
// Every operation answers a HostStatus; out-arguments are left untouched on
// failure unless stated.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "host/FindInfo.h"
#include "host/HostTypes.h"
#include "host/Records.h"

class ClSetMgr;

// The accounting period of a data set: dates yyyymmdd, a closing day (1 to 31;
// 31 is the month end) and its months. An accounting month is named by the
// calendar month in which it closes: with closing day 20, month 4 runs from
// March 21 to April 20. A month number counts the period's months from 1;
// 15 is the interim closing (the sixth month's closing entries) and 18 the
// year-end closing (the last month's). A period may be 1 to 12 months long and
// may start or end inside a month (a short first year); the months at its
// edges are then cut to the period.
class ClAccPeriod {
 public:
  ClAccPeriod() = default;
  virtual ~ClAccPeriod() = default;

  // Sets the period; the closing day stays as it was (month end at first).
  int32_t SetPeriod(int32_t startDate, int32_t endDate);
  // The closing day implied by an end date: its day, or 31 when it is the
  // last day of its month. A closing day past a month's last day (30 in
  // February) closes that month on its last day.
  int32_t GetClosingDayByEndDate(int32_t endDate, int16_t* closingDay) const;
  int32_t SetClosingDay(int16_t closingDay);
  // The accounting month (calendar month 1-12) that `date` belongs to.
  int32_t GetAMonthByDate(int32_t date, int16_t* month) const;
  int32_t GetPeriod(int32_t* startDate, int32_t* endDate) const;
  // First and last date of accounting month `month` (1-12) within the
  // period; kNotFound when the period has no such month. `reserved` is 0.
  int32_t GetPeriodByAMonth(int16_t month, int32_t* fromDate, int32_t* toDate, int32_t reserved) const;
  // First and last date of month number `monthNumber` (1 to the period's
  // month count, 15, 18); a closing month answers its closing date twice.
  int32_t GetPeriodByMonthKind(int16_t monthNumber, int32_t* fromDate, int32_t* toDate, int32_t reserved) const;

  // The number of months of the period (0 before SetPeriod).
  int32_t MonthCount() const;

 private:
  // The first and last date of the period's month with index `index` (from 0).
  bool MonthRange(int32_t index, int32_t* fromDate, int32_t* toDate) const;
  int32_t startDate_ = 0;
  int32_t endDate_ = 0;
  int16_t closingDay_ = 31;
};

// The user signed on to the accounting product and the data set they selected.
class ClSysUser {
 public:
  virtual ~ClSysUser() = default;
  // The current user's ID (at most 64 bytes) into `out`, NUL-terminated.
  int32_t GetCurUserID(char* out, size_t capacity);
  // The user's selection: a group number and the selected data number.
  int32_t GetSelectedNo(int32_t* groupNo, int32_t* dataNo);
};

// What every settings object has: its binding to the settings manager and the
// current data set. An object given no data ID works on the data set the
// current user has selected.
class ClSetBase {
 public:
  virtual ~ClSetBase() = default;
  int32_t AttachSetMgr(ClSetMgr* setMgr);
  int32_t SetCurDataID(const char* dataId);

 protected:
  // The data ID the object works on: the one set, else the selected one.
  int32_t ResolveDataID(std::string* dataId) const;

 private:
  ClSetMgr* setMgr_ = nullptr;
  std::string dataId_;
};

// Settings kind 5: the data entries and the selected company.
class ClSetData : public ClSetBase {
 public:
  ClSetData();
  ~ClSetData() override;
  // The entry of the user's selected data number.
  int32_t GetSelectedInfo(StDATAINFO* info);
  // A new period object of the selected entry (closing day set); the caller
  // deletes it. `*period` must be null on entry.
  int32_t GetAccPeriod(ClAccPeriod** period);
  // A walk over every data entry, by data number. `sortType` is 0.
  int32_t GetDatCursor(int32_t* cursor);
  int32_t ReadyDat(int32_t cursor, int32_t sortType);
  int32_t WalkDat(int32_t cursor, StDATAINFO* info);
  int32_t ReleaseDatCursor(int32_t cursor);

  struct Cursors;

 private:
  std::unique_ptr<Cursors> cursors_;
};

// Settings kind 4: consumption-tax settings of the current data.
class ClSetShohizei : public ClSetBase {
 public:
  int32_t Get(StSHOHIZEIINFO* info);
  // The number of tax rates of the data (at least 3); 0 when it cannot be read.
  int32_t GetTaxRateCount();
};

// Settings kind 1: the accounts of the current data, walked by code.
class ClSetKamoku : public ClSetBase {
 public:
  ClSetKamoku();
  ~ClSetKamoku() override;
  int32_t GetCursor(int32_t* cursor);
  int32_t ReadyCursor(int32_t cursor);
  int32_t ReleaseCursor(int32_t cursor);
  // The next account that satisfies `chain` (null or an empty chain selects
  // every account) into `record`.
  int32_t WalkFind(const StFINDINFO* chain, StKAMOKUINFO* record, int32_t cursor);

  struct Cursors;

 private:
  std::unique_ptr<Cursors> cursors_;
};

// Settings kind 2: the departments of the current data, walked by code.
class ClSetBumon : public ClSetBase {
 public:
  ClSetBumon();
  ~ClSetBumon() override;
  // The number of departments. `reserved` is 0.
  int32_t GetBmnCount(int32_t* count, int32_t reserved);
  int32_t GetCursor(int32_t* cursor);
  int32_t ReadyCursor(int32_t cursor);
  int32_t Walk(StBUMONINFO* record, int32_t cursor);
  int32_t ReleaseCursor(int32_t cursor);
  // The department with `code` into `record` (the cursor is only checked).
  int32_t GetInfoByCode(int32_t code, StBUMONINFO* record, int32_t cursor);

  struct Cursors;

 private:
  std::unique_ptr<Cursors> cursors_;
};
