// The whole document of the return-values method through the run driver: the
// sections in order, the questions after a failed section and their answers,
// and the saved return read from the host.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <memory>
#include <string>

#include "app/LinkApp.h"
#include "app/RunFacts.h"
#include "host/Records.h"
#include "host/SaveTaxInfo.h"
#include "ledger/testing/Fixture.h"
#include "tests/ui/UiTestSupport.h"
#include "tests/support/Files.h"

namespace {

using test_support::ReadAll;

namespace fs = std::filesystem;
using uitest::ScriptedUser;
using uitest::U8;

constexpr int64_t Yen(int64_t yen) { return yen * 10000; }

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

size_t Count(const std::string& s, const std::string& what) {
  size_t n = 0;
  for (size_t pos = s.find(what); pos != std::string::npos; pos = s.find(what, pos + 1)) ++n;
  return n;
}

const std::string kSystemQuestion = U8(u8"システム情報の出力に失敗しました。");
const std::string kBasicQuestion = U8(u8"基本情報の出力に失敗しました。");
const std::string kDataQuestion = U8(u8"連動情報の出力に失敗しました。");

class SavedReturnReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("tb-saved-report-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    path_ = (dir_ / "out.xml").string();
    saved_ = std::make_unique<StSaveTaxInfo>();
    const host::RecordView v = saved_->view();
    v.SetU8(StSaveTaxInfo::kTaxationKind, 1);
    v.SetI32(StSaveTaxInfo::kBusinessYearStart, 20140401);
    v.SetI32(StSaveTaxInfo::kBusinessYearEnd, 20150331);
    v.SetI64(12515, Yen(1112000));  // KAZEIURIAGEZEINUKI8
    v.SetI64(9868, Yen(720000));    // statement amount 0
    v.SetU8(9865, 2);
    company_.view().SetU8(StDATAINFO::kCompanyKind, 3);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // The run's facts of the company holding `saved`, under general taxation.
  app::RunFacts Facts(std::unique_ptr<StSaveTaxInfo> saved) const {
    app::RunFacts facts;
    facts.company = company_;
    facts.taxSettings.view().SetU8(StSHOHIZEIINFO::kTaxMethod, 2);
    facts.savedReturn = std::move(saved);
    return facts;
  }

  // Runs the return-values method of a LinkApp from the facts holding the
  // saved return, with `answers` for its questions: 1 completed, else 0, the
  // run result it gives in runResult_.
  int Run(const std::string& answers, const std::string& path) {
    ScriptedUser user(answers);
    const app::StepResult result = app_.WriteSavedReturnDocumentFrom(Facts(std::move(saved_)), nullptr, path);
    runResult_ = app::RunResultOf(result);
    transcript_ = user.Transcript();
    EXPECT_EQ(user.Remaining(), 0u) << transcript_;
    return result == app::StepResult::kCompleted ? 1 : 0;
  }

  fs::path dir_;
  std::string path_;
  std::unique_ptr<StSaveTaxInfo> saved_;
  StDATAINFO company_;
  app::LinkApp app_;
  int32_t runResult_ = -1;
  std::string transcript_;
};

TEST_F(SavedReturnReportTest, TheWholeDocumentInOrderWithoutAQuestion) {
  ASSERT_EQ(Run("", path_), 1);
  EXPECT_EQ(runResult_, 0);
  EXPECT_EQ(transcript_.find("messagebox"), std::string::npos) << transcript_;
  const std::string doc = ReadAll(path_);
  EXPECT_EQ(doc.rfind("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<REPORT>\r\n\t<SYSTEM>\r\n", 0), 0u);
  const size_t basic = doc.find("\t</SYSTEM>\r\n\t<BASIC>\r\n");
  const size_t data = doc.find("\t</BASIC>\r\n\t<DATA>\r\n");
  ASSERT_NE(basic, std::string::npos);
  ASSERT_NE(data, std::string::npos);
  EXPECT_LT(basic, data);
  EXPECT_TRUE(EndsWith(doc, "\t\t</KANPUK>\r\n\t</DATA>\r\n</REPORT>\r\n"));
  // BASIC in its saved-return form; DATA with the data's company kind.
  EXPECT_NE(doc.find("\t\t<JIGYOUNENDOFROM>20140401</JIGYOUNENDOFROM>\r\n"), std::string::npos);
  EXPECT_NE(doc.find("\t\t\t<KAZEIURIAGEZEINUKI8>1112000</KAZEIURIAGEZEINUKI8>\r\n"), std::string::npos);
  EXPECT_NE(doc.find("\t\t<KANPUK>\r\n\t\t\t<KESSANZEIKUBUN>2</KESSANZEIKUBUN>\r\n"
                     "\t\t\t<JIGYOSHIIRE1>720000</JIGYOSHIIRE1>\r\n"),
            std::string::npos);
  EXPECT_NE(doc.find("\t\t<KANPUH>\r\n\t\t\t<KESSANZEIKUBUN></KESSANZEIKUBUN>\r\n"), std::string::npos);
}

TEST_F(SavedReturnReportTest, AfterAFailedDataSectionYesAndNoBothFail) {
  struct Case {
    const char* answer;
    size_t boxes;  // Yes: the question, then the output-failed message
  };
  const std::string failed = U8(u8"icon=information buttons=OK text=\"消費税情報の出力に失敗しました。");
  for (const Case c : {Case{"Yes", 2}, Case{"No", 1}}) {
    SetUp();
    // A securities amount whose twentyfold does not fit fails DATA before it
    // starts.
    saved_->view().SetI64(12547, std::numeric_limits<int64_t>::max() / 10);
    app::LinkApp fresh;
    ScriptedUser user(std::string("answer ") + c.answer + "\n" + (c.boxes == 2 ? "answer OK\n" : ""));
    const app::StepResult result = fresh.WriteSavedReturnDocumentFrom(Facts(std::move(saved_)), nullptr, path_);
    EXPECT_NE(result, app::StepResult::kCompleted) << c.answer;
    EXPECT_EQ(app::RunResultOf(result), 2) << c.answer;
    const std::string transcript = user.Transcript();
    EXPECT_EQ(Count(transcript, "messagebox"), c.boxes) << transcript;
    EXPECT_EQ(Count(transcript, kDataQuestion), 1u) << transcript;
    EXPECT_EQ(Count(transcript, failed), c.boxes - 1) << transcript;
    EXPECT_NE(transcript.find(U8(u8"caption=\"消費税\" icon=exclamation buttons=Yes/No")), std::string::npos)
        << transcript;
    // The document is closed with the REPORT end tag either way, and holds no DATA.
    const std::string doc = ReadAll(path_);
    EXPECT_TRUE(EndsWith(doc, "\t</BASIC>\r\n</REPORT>\r\n")) << c.answer;
    EXPECT_EQ(doc.find("<DATA>"), std::string::npos);
  }
}

TEST_F(SavedReturnReportTest, AFileThatCannotBeCreatedAsksFromTheSystemSectionOn) {
  const std::string missing = (dir_ / "no-such-folder" / "out.xml").string();
  // No stops at the first question.
  EXPECT_EQ(Run("answer No\n", missing), 0);
  EXPECT_EQ(runResult_, 2);
  EXPECT_EQ(Count(transcript_, "messagebox"), 1u);
  EXPECT_EQ(Count(transcript_, kSystemQuestion), 1u) << transcript_;
  EXPECT_FALSE(fs::exists(missing));

  // Yes to each: every section fails in turn and asks its own question, and
  // the run fails all the same.
  app::LinkApp fresh;
  ScriptedUser user("answer Yes\nanswer Yes\nanswer Yes\nanswer OK\n");
  const app::StepResult result =
      fresh.WriteSavedReturnDocumentFrom(Facts(std::make_unique<StSaveTaxInfo>()), nullptr, missing);
  EXPECT_NE(result, app::StepResult::kCompleted);
  EXPECT_EQ(app::RunResultOf(result), 2);
  const std::string transcript = user.Transcript();
  const size_t system = transcript.find(kSystemQuestion);
  const size_t basic = transcript.find(kBasicQuestion);
  const size_t data = transcript.find(kDataQuestion);
  ASSERT_NE(data, std::string::npos) << transcript;
  EXPECT_LT(system, basic);
  EXPECT_LT(basic, data);
}

// ---------------------------------------------------------------------------
// The saved return from the host

TEST(SavedReturnReader, ReadsTheSavedReturnOfTheNamedDataOnly) {
  ledger::testing::Fixture book;
  ledger::testing::DataSpec first;
  first.dataId = "C001";
  ledger::testing::DataSpec second;
  second.dataId = "C002";
  second.dataNo = 2;
  book.AddData(first).AddData(second).AddUser("001", 1, 1);
  book.Exec(
      "INSERT INTO saved_return (data_id, taxation_kind, deduction_method, sales_tax_choice, purchase_tax_choice, "
      "transitional_flag, period_start, period_end, year_start, year_end, return_start, return_end, "
      "closing_pattern, refund_individual_basis, refund_corporate_pl_basis, refund_corporate_asset_basis) "
      "VALUES ('C002', 1, 0, 0, 0, 0, 20230401, 20240331, 20230401, 20240331, 20230401, 20240331, 0, 0, 2, 0)");
  book.Exec("INSERT INTO saved_amount (data_id, name, amount) VALUES ('C002', 'HIKAZEIURIAGEYUUKAZEINUKI5', 10000000)");
  std::string error;
  ASSERT_TRUE(book.Connect(&error)) << error;

  auto block = std::make_unique<StSaveTaxInfo>();
  EXPECT_EQ(app::ReadSavedReturn(block.get(), "C002"), 0);
  EXPECT_EQ(block->view().I64(605), Yen(1000));
  EXPECT_EQ(block->view().I32(StSaveTaxInfo::kPeriodStart), 20230401);
  EXPECT_EQ(block->view().U8(9866), 2);

  // Data without a saved return: a nonzero status, the block left as it was.
  auto untouched = std::make_unique<StSaveTaxInfo>();
  untouched->view().SetU8(100, 0x5A);
  EXPECT_NE(app::ReadSavedReturn(untouched.get(), "C001"), 0);
  EXPECT_EQ(untouched->view().U8(100), 0x5A);
  EXPECT_NE(app::ReadSavedReturn(untouched.get(), "NONE"), 0);
}

}  // namespace
