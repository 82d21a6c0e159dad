// The refund statements' class table as the passes read it: the groups, the
// expense group of the per-department pass, and the two account lists'
// chains drawn from it.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "aggregate/RefundRules.h"
#include "aggregate/TaxSummaryPass.h"

using aggregate::AccountClassCodes;
using aggregate::CorporateListClassCodes;
using aggregate::DepartmentListClassCodes;
using aggregate::FindRefundClass;
using aggregate::GroupOfClass;
using aggregate::IsIndividualExpenseClass;
using aggregate::RefundGroup;

namespace {

TEST(RefundClasses, ACorporateListClassIsExactlyADepartmentListClassWithACorporateRow) {
  const auto corporate = CorporateListClassCodes();
  const auto department = DepartmentListClassCodes();
  const std::set<uint32_t> corporateSet(corporate.begin(), corporate.end());
  const std::set<uint32_t> departmentSet(department.begin(), department.end());
  // No class is listed twice in a chain.
  EXPECT_EQ(corporateSet.size(), corporate.size());
  EXPECT_EQ(departmentSet.size(), department.size());
  for (uint32_t code : department) {
    ASSERT_NE(FindRefundClass(code), nullptr) << std::hex << code;
    EXPECT_EQ(corporateSet.count(code) == 1, GroupOfClass(code) != RefundGroup::kNone) << std::hex << code;
    // Every listed class feeds one of the per-department groups.
    EXPECT_NE(GroupOfClass(code) == RefundGroup::kPurchase, IsIndividualExpenseClass(code)) << std::hex << code;
  }
  EXPECT_TRUE(std::includes(departmentSet.begin(), departmentSet.end(), corporateSet.begin(), corporateSet.end()));
}

TEST(RefundClasses, TheListKindsAnswerTheTablesChainsAndUnknownCodesBelongNowhere) {
  const auto corporate = AccountClassCodes(aggregate::kCorporateAccountList);
  const auto department = AccountClassCodes(aggregate::kDepartmentAccountList);
  EXPECT_TRUE(std::equal(corporate.begin(), corporate.end(), CorporateListClassCodes().begin(),
                         CorporateListClassCodes().end()));
  EXPECT_TRUE(std::equal(department.begin(), department.end(), DepartmentListClassCodes().begin(),
                         DepartmentListClassCodes().end()));
  // Both chains open with the purchase heading, as the host's lists do.
  EXPECT_EQ(corporate.front(), 0x40884400u);
  EXPECT_EQ(department.front(), 0x40884400u);

  for (uint32_t code : {0u, 0x10100000u, 0x40888000u, 0x80100000u, 0x40884401u}) {
    EXPECT_EQ(FindRefundClass(code), nullptr) << std::hex << code;
    EXPECT_EQ(GroupOfClass(code), RefundGroup::kNone) << std::hex << code;
    EXPECT_FALSE(IsIndividualExpenseClass(code)) << std::hex << code;
  }
  // The one class outside the corporate rows is a per-department expense.
  EXPECT_EQ(GroupOfClass(0x40844080), RefundGroup::kNone);
  EXPECT_TRUE(IsIndividualExpenseClass(0x40844080));
  EXPECT_EQ(GroupOfClass(0x40882004), RefundGroup::kSellingAdmin);
  EXPECT_EQ(GroupOfClass(0x40440080), RefundGroup::kOther);
  EXPECT_FALSE(IsIndividualExpenseClass(0x20200040));
}

}  // namespace
