#include "ledger/testing/Fixture.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "ledger/testing/Machine.h"

namespace ledger::testing {
namespace {

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "ledger test fixture: %s\n", what.c_str());
  std::abort();
}

// A new, empty folder of its own under the temporary folder: a name that is
// taken (by another fixture, in this process or another) is passed over.
std::string NewFolder() {
  static std::mt19937_64 random((uint64_t{std::random_device{}()} << 32) ^ std::random_device{}());
  const std::string base = TemporaryFolder() + "/ledger-fixture-";
  for (int attempt = 0; attempt < 100; ++attempt) {
    char name[17];
    std::snprintf(name, sizeof name, "%016llx", static_cast<unsigned long long>(random()));
    const std::string folder = base + name;
    std::error_code ec;
    if (std::filesystem::create_directory(folder, ec)) return folder;
    if (ec) Fail("cannot create a temporary folder " + folder + ": " + ec.message());
  }
  Fail("cannot find a free name for a temporary folder in " + TemporaryFolder());
}

}  // namespace

Fixture::Fixture() {
  folder_ = NewFolder();
  if (const char* home = std::getenv("LEDGER_HOME")) savedHome_ = home;
  SetVariable("LEDGER_HOME", folder_);
  settings_.currentUser = "001";
  settings_.folder0 = "C:\\taxbridge\\out\\";
  settings_.folder1 = SettingsFolderFor(folder_);
  settings_.returnProductName = U8(u8"Halvern 消費税申告");
  std::string error;
  if (!Installation::Create(folder_, settings_, &error)) Fail(error);
  store_ = Store::Open(Installation::DatabasePath(folder_), &error);
  if (!store_) Fail(error);
}

Fixture::~Fixture() {
  Session::Close();
  store_.reset();
  SetVariable("LEDGER_HOME", savedHome_);
  // Windows removes no file that is open, nor a folder holding one: the
  // connections are closed above, before the folder goes.
  std::error_code ec;
  std::filesystem::remove_all(folder_, ec);
}

void Fixture::Run(Statement& statement) {
  if (!statement.valid()) Fail("statement does not compile: " + std::string(sqlite3_errmsg(store_->handle())));
  if (statement.Step() != SQLITE_DONE) Fail(statement.ErrorMessage());
}

Fixture& Fixture::AddData(const DataSpec& d) {
  Statement s = store_->Prepare(
      "INSERT INTO data_entry VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11)");
  s.Bind(1, d.dataId).Bind(2, d.dataNo).Bind(3, d.company).Bind(4, d.periodStart).Bind(5, d.periodEnd);
  s.Bind(6, d.closingDay).Bind(7, d.closingPattern).Bind(8, d.pastRecord ? 1 : 0).Bind(9, d.companyKind);
  s.Bind(10, d.incomeLayout).Bind(11, d.maintenanceLock ? 1 : 0);
  Run(s);
  return *this;
}

Fixture& Fixture::AddTax(const std::string& dataId, const TaxSpec& t) {
  Statement s = store_->Prepare("INSERT INTO tax_settings VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
  s.Bind(1, dataId).Bind(2, t.method).Bind(3, t.rounding).Bind(4, t.deduction).Bind(5, t.mainBusinessType);
  s.Bind(6, t.taxInclusive).Bind(7, t.rateCount);
  Run(s);
  return *this;
}

Fixture& Fixture::AddAccount(const std::string& dataId, const AccountSpec& a) {
  Statement s = store_->Prepare("INSERT INTO account VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)");
  s.Bind(1, dataId).Bind(2, a.id).Bind(3, a.code).Bind(4, a.name).Bind(5, a.classCode).Bind(6, a.balanceSide);
  s.Bind(7, a.listExcluded).Bind(8, a.markA).Bind(9, a.markB);
  Run(s);
  return *this;
}

Fixture& Fixture::AddDepartment(const std::string& dataId, const DepartmentSpec& d) {
  Statement s = store_->Prepare("INSERT INTO department VALUES (?1, ?2, ?3, ?4, ?5, ?6)");
  s.Bind(1, dataId).Bind(2, d.code).Bind(3, d.name).Bind(4, d.deptClass).Bind(5, d.reference).Bind(6, d.incomeType);
  Run(s);
  return *this;
}

Fixture& Fixture::AddLine(const std::string& dataId, const LineSpec& l) {
  Statement s = store_->Prepare(
      "INSERT INTO journal_line VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, "
      "?13, ?14, ?15, ?16, ?17, ?18, ?19, ?20, ?21)");
  s.Bind(1, dataId).Bind(2, l.lineNo).Bind(3, l.date).Bind(4, l.monthNo);
  int index = 5;
  for (const SideSpec* side : {&l.debit, &l.credit}) {
    s.Bind(index++, side->account);
    if (side->department) {
      s.Bind(index++, *side->department);
    } else {
      s.BindNull(index++);
    }
    for (int64_t value : {side->amount, side->tax, int64_t{side->category}, int64_t{side->rate},
                          int64_t{side->reduced ? 1 : 0}, int64_t{side->businessType}}) {
      s.Bind(index++, value);
    }
  }
  s.Bind(index, l.description);
  Run(s);
  return *this;
}

Fixture& Fixture::AddAsset(const std::string& dataId, const AssetSpec& a) {
  Statement s = store_->Prepare("INSERT INTO fixed_asset VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
  s.Bind(1, dataId).Bind(2, a.assetNo).Bind(3, a.name).Bind(4, a.kind).Bind(5, a.acquisitionDate).Bind(6, a.amount);
  s.Bind(7, a.incomeType);
  Run(s);
  return *this;
}

Fixture& Fixture::AddUser(const std::string& userId, int32_t groupNo, int32_t dataNo) {
  Statement s = store_->Prepare("INSERT INTO app_user (user_id, selected_group, selected_data_no) VALUES (?1, ?2, ?3)");
  s.Bind(1, userId).Bind(2, groupNo);
  if (dataNo == 0) {
    s.BindNull(3);
  } else {
    s.Bind(3, dataNo);
  }
  Run(s);
  settings_.currentUser = userId;
  return SetSettings(settings_);
}

Fixture& Fixture::SetSettings(const InstallationSettings& settings) {
  settings_ = settings;
  std::string error;
  if (!Installation::WriteSettings(folder_, settings_, &error)) Fail(error);
  return *this;
}

Fixture& Fixture::Exec(const std::string& sql) {
  std::string error;
  if (!store_->Exec(sql, &error)) Fail(error + " in: " + sql);
  return *this;
}

bool Fixture::Connect(std::string* error) {
  std::string why;
  const bool ok = Session::Open(folder_, &why);
  if (error != nullptr) *error = why;
  return ok;
}

}  // namespace ledger::testing
