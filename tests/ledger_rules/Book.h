// Book: a small company data set in a temporary ledger installation (the
// ledger's test fixture), built row by row so that every figure a test
// expects is known. The installation is opened as the process's connection
// for the book's lifetime.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/Host.h"
#include "ledger/Store.h"
#include "ledger/testing/Fixture.h"

namespace ledger_rules_test {

constexpr int64_t Yen(int64_t yen) { return yen * 10000; }

// One side of a journal line.
struct Side {
  uint32_t account = 0;
  int64_t amount = 0;  // x 10 000
  int64_t tax = 0;     // x 10 000
  int category = 0;
  int rate = 0;
  int businessType = 0;
  int department = 0;  // 0: none
  int reduced = 0;
};

class Book {
 public:
  static constexpr const char* kDataId = "C001";

  // A corporation (kind 0) with the period April 2014 to March 2015 under
  // general taxation, rate count 5.
  Book();
  ~Book();

  void Exec(const std::string& sql);

  void Account(uint32_t id, const std::string& code, uint32_t classCode, int balanceSide, int markA = 0,
               int markB = 0);
  void Department(int code, int deptClass, int reference, int incomeType = 1);
  // A line; its number is the next free one.
  void Line(int32_t date, int monthNo, const Side& debit, const Side& credit);
  void Asset(uint32_t no, uint32_t kind, int32_t date, int64_t amount, int incomeType = 1);

  // A rule of type T bound to the book's data set.
  template <class T>
  std::unique_ptr<T> Bound() {
    auto rule = std::make_unique<T>();
    Bind(*rule);
    return rule;
  }
  void Bind(ClRuleBase& rule);

 private:
  ledger::testing::Fixture fixture_;
  int64_t nextLine_ = 1;
};

// A period condition: month numbers first..last, and an extra single month
// number (15 or 18) joined by "or" when nonzero.
std::vector<StFINDINFO> Months(int first, int last, int extra = 0);

}  // namespace ledger_rules_test
