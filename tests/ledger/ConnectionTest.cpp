// The connection's answers, the settings objects and their cursor walks, the
// user, the folders and the product's messages, over a fixture installation.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "host/LedgerCommon.h"
#include "host/LedgerFiles.h"
#include "host/LedgerLink.h"
#include "host/LedgerMsg.h"
#include "ledger/HostMessages.h"
#include "platform/ui/Dialog.h"
#include "ledger/Text.h"
#include "ledger/testing/Fixture.h"

namespace {

using ledger::testing::Fixture;

// Captures the host's message boxes for the length of a test.
class MessageCapture {
 public:
  MessageCapture() {
    previous_ = ledger::SetHostMessageBox([this](host::HostWnd, const std::string& text, const std::string&,
                                                 uint32_t) {
      texts.push_back(text);  // Shift_JIS, as the narrow literals here
      return host::kIdOk;
    });
  }
  ~MessageCapture() { ledger::SetHostMessageBox(previous_); }
  std::vector<std::string> texts;

 private:
  ledger::HostMessageBox previous_;
};

void AddCompany(Fixture& f) {
  f.AddData({.dataId = "D0003", .dataNo = 3, .company = ledger::testing::U8(u8"北浜商事株式会社"), .closingPattern = 1});
  f.AddData({.dataId = "D0012", .dataNo = 12, .company = ledger::testing::U8(u8"南町工務店"), .periodStart = 20230101,
             .periodEnd = 20231231, .companyKind = 3, .incomeLayout = 3});
  f.AddTax("D0003", {.method = 2, .rounding = 1, .deduction = 1, .taxInclusive = 1, .rateCount = 5});
  f.AddUser("001", 7, 3);
}

TEST(ConnectionTest, InitiateNamesWhatIsWrongWithTheDatabase) {
  MessageCapture messages;
  {
    Fixture f;
    f.CloseDatabase();
    std::filesystem::remove(ledger::Installation::DatabasePath(f.folder()));
    EXPECT_NE(ClAccConnect::Inst()->Initiate(), 0);
    ASSERT_EQ(messages.texts.size(), 1u);
    EXPECT_NE(messages.texts[0].find("does not exist"), std::string::npos) << messages.texts[0];
  }
  {
    Fixture f;
    f.CloseDatabase();
    std::ofstream(ledger::Installation::DatabasePath(f.folder()), std::ios::trunc) << "not a database at all, "
                                                                                      "just text that is long enough";
    EXPECT_NE(ClAccConnect::Inst()->Initiate(), 0);
    EXPECT_NE(messages.texts.back().find("cannot be read"), std::string::npos) << messages.texts.back();
  }
  {
    Fixture f;
    f.Exec("DROP TABLE saved_amount");
    EXPECT_NE(ClAccConnect::Inst()->Initiate(), 0);
    EXPECT_NE(messages.texts.back().find("has no table saved_amount"), std::string::npos);
  }
  {
    Fixture f;
    std::filesystem::remove(ledger::Installation::SettingsPath(f.folder()));
    EXPECT_NE(ClAccConnect::Inst()->Initiate(), 0);
    EXPECT_NE(messages.texts.back().find("ledger.ini"), std::string::npos);
  }
  EXPECT_EQ(messages.texts.size(), 4u);
}

TEST(ConnectionTest, SystemLinkAnswersForEachSelection) {
  MessageCapture messages;
  Fixture f;
  AddCompany(f);
  f.AddData({.dataId = "D0020", .dataNo = 20, .company = ledger::testing::U8(u8"保守中商店"), .maintenanceLock = true});
  ASSERT_EQ(ClAccConnect::Inst()->Initiate(), 0);
  EXPECT_EQ(ClAccConnect::Inst()->ExpSysLink(), 0);
  EXPECT_TRUE(messages.texts.empty());

  f.Exec("UPDATE app_user SET selected_data_no = 20");
  EXPECT_EQ(ClAccConnect::Inst()->ExpSysLink(), 1);
  ASSERT_EQ(messages.texts.size(), 1u);
  EXPECT_NE(messages.texts[0].find("メンテナンス中"), std::string::npos);

  f.Exec("UPDATE app_user SET selected_data_no = 99");
  const int32_t missing = ClAccConnect::Inst()->ExpSysLink();
  EXPECT_NE(missing, 0);
  EXPECT_NE(missing, 1);
  EXPECT_NE(messages.texts.back().find("データ番号 99"), std::string::npos);

  f.Exec("UPDATE app_user SET selected_data_no = NULL");
  const int32_t none = ClAccConnect::Inst()->ExpSysLink();
  EXPECT_TRUE(none != 0 && none != 1);
  EXPECT_NE(messages.texts.back().find("選択されていません"), std::string::npos);

  ledger::InstallationSettings unknown = f.settings();
  unknown.currentUser = "999";
  f.SetSettings(unknown);
  ASSERT_TRUE(f.Connect());
  const int32_t stranger = ClAccConnect::Inst()->ExpSysLink();
  EXPECT_TRUE(stranger != 0 && stranger != 1);
  EXPECT_NE(messages.texts.back().find("999"), std::string::npos);

  ClAccConnect::Inst()->Release();
  const int32_t closed = ClAccConnect::Inst()->ExpSysLink();
  EXPECT_TRUE(closed != 0 && closed != 1);
  EXPECT_EQ(messages.texts.size(), 5u);
}

TEST(ConnectionTest, DispMsgNamesTheReturnProductOnCharacterBoundaries) {
  std::vector<std::string> shown;
  auto previous = ledger::SetHostMessageBox([&](host::HostWnd owner, const std::string& text,
                                                const std::string& caption, uint32_t style) {
    shown.push_back(caption + "|" + text + "|" +
                    std::to_string(owner) + "|" + std::to_string(style));
    return host::kIdYes;
  });
  Fixture f;
  ASSERT_TRUE(f.Connect());
  const int32_t answer = ClAccConnect::Inst()->DispMsg(42, "ES_APRPACKAGENAMEが正しくインストールされているか確認。\nES_APRPACKAGENAMEの最新版",
                                                       "消費税", host::kMbOk | host::kMbIconExclamation);
  EXPECT_EQ(answer, host::kIdYes);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], "消費税|Halvern 消費税申告が正しくインストールされているか確認。\nHalvern 消費税申告の最新版|42|48");
  ledger::SetHostMessageBox(previous);
}

TEST(ConnectionTest, SelectedCompanyRecordAndDataWalk) {
  Fixture f;
  AddCompany(f);
  ASSERT_TRUE(f.Connect());
  auto* data = dynamic_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(kSetKindData, 1));
  ASSERT_NE(data, nullptr);
  StDATAINFO info;
  ASSERT_EQ(data->GetSelectedInfo(&info), 0);
  const host::RecordView v = info.view();
  EXPECT_EQ(v.Text(StDATAINFO::kDataId, StDATAINFO::kDataIdWidth), "D0003");
  EXPECT_EQ(v.I32(StDATAINFO::kDataNo), 3);
  EXPECT_EQ(v.Text(StDATAINFO::kCompanyName, StDATAINFO::kCompanyNameWidth), "北浜商事株式会社");
  EXPECT_EQ(v.I32(StDATAINFO::kPeriodStart), 20230401);
  EXPECT_EQ(v.I32(StDATAINFO::kPeriodEnd), 20240331);
  EXPECT_EQ(v.I32(StDATAINFO::kClosingPattern), 1);
  EXPECT_EQ(v.I16(StDATAINFO::kPastRecord), 0);

  std::vector<int32_t> numbers;
  int32_t cursor = 0;
  ASSERT_EQ(data->GetDatCursor(&cursor), 0);
  ASSERT_EQ(data->ReadyDat(cursor, 0), 0);
  StDATAINFO walked;
  int32_t status = 0;
  while ((status = data->WalkDat(cursor, &walked)) == 0) numbers.push_back(walked.view().I32(StDATAINFO::kDataNo));
  EXPECT_EQ(status, host::kEndOfWalk);
  EXPECT_EQ(walked.view().U8(StDATAINFO::kCompanyKind), 3);
  EXPECT_EQ(walked.view().U8(StDATAINFO::kIncomeLayout), 3);
  EXPECT_EQ(numbers, (std::vector<int32_t>{3, 12}));
  EXPECT_EQ(data->ReleaseDatCursor(cursor), 0);
  EXPECT_EQ(data->WalkDat(cursor, &walked), host::kBadCursor);

  ClAccPeriod* period = nullptr;
  ASSERT_EQ(data->GetAccPeriod(&period), 0);
  int32_t from = 0, to = 0;
  EXPECT_EQ(period->GetPeriodByMonthKind(12, &from, &to, 0), 0);
  EXPECT_EQ(to, 20240331);
  delete period;
}

TEST(ConnectionTest, TaxSettingsFollowTheBoundData) {
  Fixture f;
  AddCompany(f);
  ASSERT_TRUE(f.Connect());
  auto* tax = dynamic_cast<ClSetShohizei*>(ClDataMgr::Inst()->GetSetObject(kSetKindShohizei, 1));
  ASSERT_NE(tax, nullptr);
  StSHOHIZEIINFO settings;
  ASSERT_EQ(tax->Get(&settings), 0);
  EXPECT_EQ(settings.view().U8(StSHOHIZEIINFO::kTaxMethod), 2);
  EXPECT_EQ(settings.view().U8(StSHOHIZEIINFO::kRounding), 1);
  EXPECT_EQ(settings.view().U8(StSHOHIZEIINFO::kDeductionMethod), 1);
  EXPECT_EQ(settings.view().U8(StSHOHIZEIINFO::kTaxInclusive), 1);
  EXPECT_EQ(tax->GetTaxRateCount(), 5);
  // Data 12 has no tax settings: the object bound to it says so.
  ASSERT_EQ(tax->AttachSetMgr(ClDataMgr::Inst()->GetSetMgr()), 0);
  ASSERT_EQ(tax->SetCurDataID("D0012"), 0);
  EXPECT_EQ(tax->Get(&settings), host::kNotFound);
  EXPECT_EQ(tax->GetTaxRateCount(), 0);
  ASSERT_EQ(tax->SetCurDataID("D0003"), 0);
  EXPECT_EQ(tax->GetTaxRateCount(), 5);
  EXPECT_EQ(ClDataMgr::Inst()->GetSetObject(3, 1), nullptr);
}

TEST(ConnectionTest, AccountWalkFollowsTheClassChainAndChainChanges) {
  Fixture f;
  AddCompany(f);
  f.AddAccount("D0003", {.id = 1, .code = "510", .name = ledger::testing::U8(u8"仕入高"), .classCode = 0x20200000});
  f.AddAccount("D0003", {.id = 2, .code = "520", .name = ledger::testing::U8(u8"外注費"), .classCode = 0x20200040, .listExcluded = 1});
  f.AddAccount("D0003", {.id = 3, .code = "700", .name = ledger::testing::U8(u8"雑収入"), .classCode = 0x40888000, .balanceSide = 2});
  f.AddAccount("D0003", {.id = 4, .code = "710", .name = ledger::testing::U8(u8"受取利息"), .classCode = 0x40848000, .balanceSide = 2});
  f.AddAccount("D0012", {.id = 1, .code = "511", .name = ledger::testing::U8(u8"他社の仕入"), .classCode = 0x20200000});
  ASSERT_TRUE(f.Connect());
  auto* accounts = dynamic_cast<ClSetKamoku*>(ClDataMgr::Inst()->GetSetObject(kSetKindKamoku, 1));
  ASSERT_NE(accounts, nullptr);
  using C = StFINDINFO;
  C chain[2] = {C::Compare(C::kItemAccountClass, 0, C::kCompareEqual, C::kValueCode, 0x40888000, C::kJoinOr),
                C::Compare(C::kItemAccountClass, 0, C::kCompareEqual, C::kValueCode, 0x20200000, C::kJoinLast)};
  int32_t cursor = 0;
  ASSERT_EQ(accounts->GetCursor(&cursor), 0);
  StKAMOKUINFO record;
  EXPECT_EQ(accounts->WalkFind(chain, &record, cursor), host::kNotReady);
  ASSERT_EQ(accounts->ReadyCursor(cursor), 0);
  std::vector<std::string> codes;
  while (accounts->WalkFind(chain, &record, cursor) == 0) {
    codes.push_back(record.view().Text(StKAMOKUINFO::kCode, StKAMOKUINFO::kCodeWidth));
  }
  EXPECT_EQ(codes, (std::vector<std::string>{"510", "700"}));

  // Ready again, everything, then narrow the chain midway: the walk goes on
  // after the last account delivered.
  ASSERT_EQ(accounts->ReadyCursor(cursor), 0);
  C all[1];
  ASSERT_EQ(accounts->WalkFind(all, &record, cursor), 0);
  EXPECT_EQ(record.view().U32(StKAMOKUINFO::kAccountId), 1u);
  ASSERT_EQ(accounts->WalkFind(all, &record, cursor), 0);
  EXPECT_EQ(record.view().U8(StKAMOKUINFO::kListExcluded), 1);
  EXPECT_EQ(record.view().U32(StKAMOKUINFO::kClassCode), 0x20200040u);
  C credit[1] = {C::Compare(C::kItemAccountClass, 0, C::kCompareEqual, C::kValueCode, 0x40848000, C::kJoinLast)};
  ASSERT_EQ(accounts->WalkFind(credit, &record, cursor), 0);
  EXPECT_EQ(record.view().Text(StKAMOKUINFO::kCode, StKAMOKUINFO::kCodeWidth), "710");
  EXPECT_EQ(record.view().U8(StKAMOKUINFO::kBalanceSide), 2);
  EXPECT_EQ(accounts->WalkFind(credit, &record, cursor), host::kEndOfWalk);

  C broken[1] = {C::Compare(C::kItemMonthNumber, 0, C::kCompareEqual, C::kValueMonth, 1, C::kJoinLast)};
  EXPECT_EQ(accounts->WalkFind(broken, &record, cursor), host::kBadArgument);
  EXPECT_EQ(accounts->ReleaseCursor(cursor), 0);
  EXPECT_EQ(accounts->ReleaseCursor(cursor), host::kBadCursor);
}

TEST(ConnectionTest, DepartmentsCountWalkAndLookUp) {
  Fixture f;
  AddCompany(f);
  f.AddDepartment("D0012", {.code = 2, .name = ledger::testing::U8(u8"賃貸部門"), .deptClass = 1, .reference = 0, .incomeType = 3});
  f.AddDepartment("D0012", {.code = 1, .name = ledger::testing::U8(u8"工事部門"), .deptClass = 2, .reference = 5, .incomeType = 1});
  ASSERT_TRUE(f.Connect());
  auto* departments = dynamic_cast<ClSetBumon*>(ClDataMgr::Inst()->GetSetObject(kSetKindBumon, 1));
  ASSERT_NE(departments, nullptr);
  int32_t count = -1;
  ASSERT_EQ(departments->GetBmnCount(&count, 0), 0);
  EXPECT_EQ(count, 0);  // the selected data 3 has none
  ASSERT_EQ(departments->SetCurDataID("D0012"), 0);
  ASSERT_EQ(departments->GetBmnCount(&count, 0), 0);
  EXPECT_EQ(count, 2);
  int32_t cursor = 0;
  ASSERT_EQ(departments->GetCursor(&cursor), 0);
  ASSERT_EQ(departments->ReadyCursor(cursor), 0);
  StBUMONINFO record;
  ASSERT_EQ(departments->Walk(&record, cursor), 0);
  EXPECT_EQ(record.view().I32(StBUMONINFO::kCode), 1);
  EXPECT_EQ(record.view().I32(StBUMONINFO::kReference), 5);
  ASSERT_EQ(departments->Walk(&record, cursor), 0);
  EXPECT_EQ(record.view().U8(StBUMONINFO::kClass), 1);
  EXPECT_EQ(record.view().U8(StBUMONINFO::kIncomeType), 3);
  EXPECT_EQ(departments->Walk(&record, cursor), host::kEndOfWalk);
  ASSERT_EQ(departments->GetInfoByCode(1, &record, cursor), 0);
  EXPECT_EQ(record.view().Text(StBUMONINFO::kName, StBUMONINFO::kNameWidth), "工事部門");
  EXPECT_EQ(departments->GetInfoByCode(9, &record, cursor), host::kNotFound);
  EXPECT_EQ(departments->GetInfoByCode(1, &record, cursor + 100), host::kBadCursor);
  EXPECT_EQ(departments->ReleaseCursor(cursor), 0);
}

TEST(ConnectionTest, UserFoldersAndMessages) {
  Fixture f;
  AddCompany(f);
  ledger::InstallationSettings settings = f.settings();
  settings.folder0 = "";
  settings.folder1 = ledger::testing::U8(u8"C:\\会計\\");
  f.SetSettings(settings);
  ASSERT_TRUE(f.Connect());
  char user[65] = "x";
  ASSERT_EQ(ClDataMgr::Inst()->GetSysUserObject()->GetCurUserID(user, sizeof user), 0);
  EXPECT_STREQ(user, "001");
  int32_t group = 0, dataNo = 0;
  ASSERT_EQ(ClDataMgr::Inst()->GetSysUserObject()->GetSelectedNo(&group, &dataNo), 0);
  EXPECT_EQ(group, 7);
  EXPECT_EQ(dataNo, 3);

  char folder[260] = "stale";
  ASSERT_EQ(ClFileMgr::Inst()->GetAppFolderPath(0, folder, sizeof folder), 0);
  EXPECT_STREQ(folder, "");
  ASSERT_EQ(ClFileMgr::Inst()->GetAppFolderPath(1, folder, sizeof folder), 0);
  EXPECT_STREQ(folder, "C:\\会計\\");
  EXPECT_EQ(std::string(folder).size(), 8u);  // Shift_JIS: two bytes a kanji
  char tiny[4] = "abc";
  EXPECT_NE(ClFileMgr::Inst()->GetAppFolderPath(1, tiny, sizeof tiny), 0);
  EXPECT_STREQ(tiny, "");
  EXPECT_NE(ClFileMgr::Inst()->GetAppFolderPath(2, folder, sizeof folder), 0);

  MessageCapture messages;
  ClMsgMgr* msg = ClMsgMgr::Inst();
  EXPECT_EQ(msg->SetLastError(host::kRuleNotCreated, "Check.cpp", 3773), host::kRuleNotCreated);
  EXPECT_EQ(msg->CheckFatalErrorWithMsg(0, -1, 1, 0), 0);
  EXPECT_EQ(msg->CheckFatalErrorWithMsg(host::kEndOfWalk, -1, 1, 0), 0);
  EXPECT_TRUE(messages.texts.empty());
  EXPECT_EQ(msg->CheckFatalErrorWithMsg(host::kRuleNotCreated, -1, 1, 0), 1);
  ASSERT_EQ(messages.texts.size(), 1u);
  EXPECT_NE(messages.texts[0].find("Check.cpp:3773"), std::string::npos) << messages.texts[0];
  EXPECT_EQ(msg->CheckFatalErrorWithMsg(host::kStoreFailed, -1, 0, 0), 1);
  EXPECT_EQ(messages.texts.size(), 1u);
}

}  // namespace

namespace {

TEST(ConnectionTest, ToolTipsGoOnTheDialogsControlsOrNowhere) {
  static const platform::ui::ControlTemplate controls[] = {
      {platform::ui::ControlKind::Static, 1032, "?", 0, 0, 10, 10, 0}};
  const platform::ui::DialogTemplate tmpl{900, "tips", 9, "MS UI Gothic", 100, 100, 0, controls};
  platform::ui::Dialog dialog(&tmpl);
  ASSERT_TRUE(dialog.Create());
  ClToolTipMgr tips;
  const StTOOLTIPINFO good[1] = {{1032, "help"}};
  const StTOOLTIPINFO bad[2] = {{1032, "other"}, {1099, "missing"}};
  EXPECT_NE(tips.Init(nullptr, good, 1), 0);
  EXPECT_NE(tips.Init(&dialog, bad, 2), 0);
  EXPECT_EQ(dialog.Item(1032).ToolTip(), "");  // nothing attached from a refused table
  EXPECT_EQ(tips.Init(&dialog, good, 1), 0);
  EXPECT_EQ(dialog.Item(1032).ToolTip(), "help");
}

}  // namespace
