// Fixture: a throw-away installation for tests of anything that reads the
// host. It creates a temporary installation folder with an empty company
// database and ledger.ini, points LEDGER_HOME at it, and fills it through
// small specs; Connect opens it as the process's host connection. The
// destructor closes the connection, restores LEDGER_HOME and removes the
// folder. Texts are UTF-8; amounts are yen x 10 000.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "ledger/Installation.h"
#include "ledger/Store.h"

namespace ledger::testing {

// A UTF-8 text from a u8 literal (narrow literals are Shift_JIS).
inline std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

struct DataSpec {
  std::string dataId = "D0001";
  int32_t dataNo = 1;
  std::string company = U8(u8"テスト商事株式会社");
  int32_t periodStart = 20230401;
  int32_t periodEnd = 20240331;
  int32_t closingDay = 31;
  int32_t closingPattern = 0;
  bool pastRecord = false;
  int32_t companyKind = 0;
  int32_t incomeLayout = 0;
  bool maintenanceLock = false;
};

struct TaxSpec {
  int32_t method = 2, rounding = 0, deduction = 0, mainBusinessType = 0, taxInclusive = 0, rateCount = 5;
};

struct AccountSpec {
  int64_t id = 1;
  std::string code = "100";
  std::string name = U8(u8"現金");
  int64_t classCode = 0;
  int32_t balanceSide = 1;
  int32_t listExcluded = 0, markA = 0, markB = 0;
};

struct DepartmentSpec {
  int32_t code = 1;
  std::string name = U8(u8"本社");
  int32_t deptClass = 0, reference = 0, incomeType = 1;
};

struct SideSpec {
  int64_t account = 1;
  std::optional<int32_t> department;
  int64_t amount = 0, tax = 0;
  int32_t category = 0, rate = 0;
  bool reduced = false;
  int32_t businessType = 0;
};

struct LineSpec {
  int64_t lineNo = 1;
  int32_t date = 20230401;
  int32_t monthNo = 1;
  SideSpec debit, credit;
  std::string description;
};

struct AssetSpec {
  int64_t assetNo = 1;
  std::string name = U8(u8"備品");
  int64_t kind = 1;
  int32_t acquisitionDate = 20230401;
  int64_t amount = 0;
  int32_t incomeType = 1;
};

class Fixture {
 public:
  Fixture();
  ~Fixture();
  Fixture(const Fixture&) = delete;
  Fixture& operator=(const Fixture&) = delete;

  Fixture& AddData(const DataSpec& data);
  Fixture& AddTax(const std::string& dataId, const TaxSpec& tax);
  Fixture& AddAccount(const std::string& dataId, const AccountSpec& account);
  Fixture& AddDepartment(const std::string& dataId, const DepartmentSpec& department);
  Fixture& AddLine(const std::string& dataId, const LineSpec& line);
  Fixture& AddAsset(const std::string& dataId, const AssetSpec& asset);
  // A user with a selection (dataNo 0: nothing selected), made current.
  Fixture& AddUser(const std::string& userId, int32_t groupNo, int32_t dataNo);
  Fixture& SetSettings(const InstallationSettings& settings);
  // Runs SQL against the database; the test fails loudly (abort) on error.
  Fixture& Exec(const std::string& sql);

  // Closes the fixture's own connection to the database, so that a test can
  // remove or replace the file (Windows does neither while it is open). Only
  // Connect may follow; the Add and Exec calls need the connection.
  void CloseDatabase() { store_.reset(); }
  // Opens the installation as the host connection; false on failure.
  bool Connect(std::string* error = nullptr);
  const std::string& folder() const { return folder_; }
  Store& store() { return *store_; }
  InstallationSettings settings() const { return settings_; }

 private:
  void Run(Statement& statement);
  std::string folder_;
  std::optional<std::string> savedHome_;
  std::unique_ptr<Store> store_;
  InstallationSettings settings_;
};

}  // namespace ledger::testing
