// The schema of the company database.
#include "ledger/Schema.h"

#include <array>

namespace ledger {

// Dates are yyyymmdd integers; amounts are yen x 10 000 and stay below 10^18
// in magnitude; account class codes are unsigned 32-bit.
const char* const kSchemaSql = R"SQL(
PRAGMA foreign_keys = ON;
CREATE TABLE ledger_meta (
  key TEXT PRIMARY KEY,
  value TEXT NOT NULL
);
CREATE TABLE data_entry (
  data_id TEXT PRIMARY KEY CHECK (length(data_id) BETWEEN 1 AND 15 AND data_id NOT GLOB '*[^0-9A-Za-z_-]*'),
  data_no INTEGER NOT NULL UNIQUE CHECK (data_no BETWEEN 1 AND 2147483647),
  company_name TEXT NOT NULL CHECK (length(company_name) BETWEEN 1 AND 80),
  period_start INTEGER NOT NULL CHECK (period_start BETWEEN 19000101 AND 29991231),
  period_end INTEGER NOT NULL CHECK (period_end BETWEEN 19000101 AND 29991231 AND period_end >= period_start),
  closing_day INTEGER NOT NULL DEFAULT 31 CHECK (closing_day BETWEEN 1 AND 31),
  closing_pattern INTEGER NOT NULL DEFAULT 0 CHECK (closing_pattern IN (0, 1)),
  past_record INTEGER NOT NULL DEFAULT 0 CHECK (past_record IN (0, 1)),
  company_kind INTEGER NOT NULL CHECK (company_kind IN (0, 1, 3, 4)),
  income_layout INTEGER NOT NULL DEFAULT 0 CHECK (income_layout BETWEEN 0 AND 3),
  maintenance_lock INTEGER NOT NULL DEFAULT 0 CHECK (maintenance_lock IN (0, 1))
);
CREATE TABLE app_user (
  user_id TEXT PRIMARY KEY CHECK (length(user_id) BETWEEN 1 AND 64),
  name TEXT NOT NULL DEFAULT '',
  selected_group INTEGER NOT NULL DEFAULT 0 CHECK (selected_group BETWEEN 0 AND 2147483647),
  -- Deliberately no foreign key: a selection may outlive its data entry, and
  -- the connection must then say so instead of the store refusing the delete.
  selected_data_no INTEGER CHECK (selected_data_no BETWEEN 1 AND 2147483647)
);
CREATE TABLE tax_settings (
  data_id TEXT PRIMARY KEY REFERENCES data_entry(data_id) ON DELETE CASCADE,
  tax_method INTEGER NOT NULL CHECK (tax_method IN (0, 1, 2)),
  rounding INTEGER NOT NULL DEFAULT 0 CHECK (rounding IN (0, 1, 2)),
  deduction_method INTEGER NOT NULL DEFAULT 0 CHECK (deduction_method IN (0, 1)),
  main_business_type INTEGER NOT NULL DEFAULT 0 CHECK (main_business_type BETWEEN 0 AND 6),
  tax_inclusive INTEGER NOT NULL DEFAULT 0 CHECK (tax_inclusive IN (0, 1)),
  rate_count INTEGER NOT NULL DEFAULT 5 CHECK (rate_count BETWEEN 3 AND 16)
);
CREATE TABLE account (
  data_id TEXT NOT NULL REFERENCES data_entry(data_id) ON DELETE CASCADE,
  account_id INTEGER NOT NULL CHECK (account_id BETWEEN 1 AND 4294967295),
  code TEXT NOT NULL CHECK (length(code) BETWEEN 1 AND 15),
  name TEXT NOT NULL CHECK (length(name) BETWEEN 1 AND 30),
  class_code INTEGER NOT NULL CHECK (class_code BETWEEN 0 AND 4294967295),
  balance_side INTEGER NOT NULL CHECK (balance_side IN (1, 2)),
  list_excluded INTEGER NOT NULL DEFAULT 0 CHECK (list_excluded IN (0, 1)),
  sum_mark_a INTEGER NOT NULL DEFAULT 0 CHECK (sum_mark_a BETWEEN 0 AND 255),
  sum_mark_b INTEGER NOT NULL DEFAULT 0 CHECK (sum_mark_b BETWEEN 0 AND 255),
  PRIMARY KEY (data_id, account_id),
  UNIQUE (data_id, code)
);
CREATE TABLE department (
  data_id TEXT NOT NULL REFERENCES data_entry(data_id) ON DELETE CASCADE,
  code INTEGER NOT NULL CHECK (code BETWEEN 1 AND 2147483647),
  name TEXT NOT NULL CHECK (length(name) BETWEEN 1 AND 29),
  dept_class INTEGER NOT NULL DEFAULT 0 CHECK (dept_class BETWEEN 0 AND 255),
  reference INTEGER NOT NULL DEFAULT 0 CHECK (reference BETWEEN -2147483648 AND 2147483647),
  income_type INTEGER NOT NULL DEFAULT 1 CHECK (income_type BETWEEN 0 AND 255),
  PRIMARY KEY (data_id, code)
);
CREATE TABLE journal_line (
  data_id TEXT NOT NULL REFERENCES data_entry(data_id) ON DELETE CASCADE,
  line_no INTEGER NOT NULL CHECK (line_no BETWEEN 1 AND 4294967295),
  entry_date INTEGER NOT NULL CHECK (entry_date BETWEEN 19000101 AND 29991231),
  month_no INTEGER NOT NULL CHECK (month_no BETWEEN 1 AND 12 OR month_no IN (15, 18)),
  dr_account INTEGER NOT NULL,
  dr_department INTEGER,
  dr_amount INTEGER NOT NULL CHECK (abs(dr_amount) < 1000000000000000000),
  dr_tax INTEGER NOT NULL DEFAULT 0 CHECK (abs(dr_tax) < 1000000000000000000),
  dr_category INTEGER NOT NULL DEFAULT 0 CHECK (dr_category BETWEEN 0 AND 255),
  dr_rate INTEGER NOT NULL DEFAULT 0 CHECK (dr_rate IN (0, 300, 500, 800, 1000)),
  dr_reduced INTEGER NOT NULL DEFAULT 0 CHECK (dr_reduced = 0 OR (dr_reduced = 1 AND dr_rate = 800)),
  dr_business_type INTEGER NOT NULL DEFAULT 0 CHECK (dr_business_type BETWEEN 0 AND 6),
  cr_account INTEGER NOT NULL,
  cr_department INTEGER,
  cr_amount INTEGER NOT NULL CHECK (abs(cr_amount) < 1000000000000000000),
  cr_tax INTEGER NOT NULL DEFAULT 0 CHECK (abs(cr_tax) < 1000000000000000000),
  cr_category INTEGER NOT NULL DEFAULT 0 CHECK (cr_category BETWEEN 0 AND 255),
  cr_rate INTEGER NOT NULL DEFAULT 0 CHECK (cr_rate IN (0, 300, 500, 800, 1000)),
  cr_reduced INTEGER NOT NULL DEFAULT 0 CHECK (cr_reduced = 0 OR (cr_reduced = 1 AND cr_rate = 800)),
  cr_business_type INTEGER NOT NULL DEFAULT 0 CHECK (cr_business_type BETWEEN 0 AND 6),
  description TEXT NOT NULL DEFAULT '',
  PRIMARY KEY (data_id, line_no),
  FOREIGN KEY (data_id, dr_account) REFERENCES account(data_id, account_id),
  FOREIGN KEY (data_id, cr_account) REFERENCES account(data_id, account_id),
  FOREIGN KEY (data_id, dr_department) REFERENCES department(data_id, code),
  FOREIGN KEY (data_id, cr_department) REFERENCES department(data_id, code)
) WITHOUT ROWID;
-- Stored in key order: a data set's lines lie together by line number, so the
-- walks read them straight through instead of looking up every row.
CREATE INDEX journal_by_month ON journal_line (data_id, month_no);
CREATE TABLE fixed_asset (
  data_id TEXT NOT NULL REFERENCES data_entry(data_id) ON DELETE CASCADE,
  asset_no INTEGER NOT NULL CHECK (asset_no BETWEEN 1 AND 4294967295),
  name TEXT NOT NULL CHECK (length(name) BETWEEN 1 AND 19),
  kind INTEGER NOT NULL CHECK (kind BETWEEN 0 AND 4294967295),
  acquisition_date INTEGER NOT NULL CHECK (acquisition_date BETWEEN 19000101 AND 29991231),
  acquisition_amount INTEGER NOT NULL CHECK (abs(acquisition_amount) < 1000000000000000000),
  income_type INTEGER NOT NULL DEFAULT 1 CHECK (income_type BETWEEN 0 AND 32767),
  PRIMARY KEY (data_id, asset_no)
);
CREATE INDEX asset_by_date ON fixed_asset (data_id, acquisition_date);
CREATE TABLE saved_return (
  data_id TEXT PRIMARY KEY REFERENCES data_entry(data_id) ON DELETE CASCADE,
  taxation_kind INTEGER NOT NULL CHECK (taxation_kind IN (1, 2)),
  deduction_method INTEGER NOT NULL DEFAULT 0 CHECK (deduction_method IN (0, 1)),
  sales_tax_choice INTEGER NOT NULL DEFAULT 0 CHECK (sales_tax_choice BETWEEN 0 AND 255),
  purchase_tax_choice INTEGER NOT NULL DEFAULT 0 CHECK (purchase_tax_choice BETWEEN 0 AND 255),
  transitional_flag INTEGER NOT NULL DEFAULT 0 CHECK (transitional_flag BETWEEN 0 AND 255),
  period_start INTEGER NOT NULL CHECK (period_start BETWEEN 19000101 AND 29991231),
  period_end INTEGER NOT NULL CHECK (period_end BETWEEN 19000101 AND 29991231),
  year_start INTEGER NOT NULL CHECK (year_start BETWEEN 19000101 AND 29991231),
  year_end INTEGER NOT NULL CHECK (year_end BETWEEN 19000101 AND 29991231),
  return_start INTEGER NOT NULL CHECK (return_start BETWEEN 19000101 AND 29991231),
  return_end INTEGER NOT NULL CHECK (return_end BETWEEN 19000101 AND 29991231),
  closing_pattern INTEGER NOT NULL DEFAULT 0 CHECK (closing_pattern IN (0, 1)),
  refund_individual_basis INTEGER NOT NULL DEFAULT 1 CHECK (refund_individual_basis BETWEEN 0 AND 255),
  refund_corporate_pl_basis INTEGER NOT NULL DEFAULT 1 CHECK (refund_corporate_pl_basis BETWEEN 0 AND 255),
  refund_corporate_asset_basis INTEGER NOT NULL DEFAULT 1 CHECK (refund_corporate_asset_basis BETWEEN 0 AND 255)
);
CREATE TABLE saved_amount (
  data_id TEXT NOT NULL REFERENCES saved_return(data_id) ON DELETE CASCADE,
  name TEXT NOT NULL CHECK (length(name) BETWEEN 1 AND 40),
  amount INTEGER NOT NULL CHECK (abs(amount) < 1000000000000000000),
  PRIMARY KEY (data_id, name)
);
INSERT INTO ledger_meta (key, value) VALUES ('schema_version', '1');
)SQL";

}  // namespace ledger

namespace ledger {

namespace {

// The tables the data-set check reads: every change of one of their rows
// forgets the verdict of the data set the row belongs to.
constexpr std::array<const char*, 8> kCheckedTables = {"data_entry", "tax_settings", "account",  "department",
                                                       "journal_line", "fixed_asset", "saved_return", "saved_amount"};

std::string MakeVerdictSql() {
  std::string sql =
      "CREATE TABLE IF NOT EXISTS data_check (\n"
      "  data_id TEXT PRIMARY KEY,\n"
      "  schema_version INTEGER NOT NULL,\n"
      "  tally BLOB NOT NULL\n"
      ");\n";
  // The guard keeps the cost of a write small while nothing is remembered
  // (an import writes a million lines, then remembers its verdict).
  for (const char* table : kCheckedTables) {
    const std::string name = std::string("data_check_forget_") + table;
    sql += "CREATE TRIGGER IF NOT EXISTS " + name + "_insert AFTER INSERT ON " + table +
           " WHEN EXISTS (SELECT 1 FROM data_check WHERE data_id = NEW.data_id)"
           " BEGIN DELETE FROM data_check WHERE data_id = NEW.data_id; END;\n";
    sql += "CREATE TRIGGER IF NOT EXISTS " + name + "_update AFTER UPDATE ON " + table +
           " WHEN EXISTS (SELECT 1 FROM data_check WHERE data_id IN (OLD.data_id, NEW.data_id))"
           " BEGIN DELETE FROM data_check WHERE data_id IN (OLD.data_id, NEW.data_id); END;\n";
    sql += "CREATE TRIGGER IF NOT EXISTS " + name + "_delete AFTER DELETE ON " + table +
           " WHEN EXISTS (SELECT 1 FROM data_check WHERE data_id = OLD.data_id)"
           " BEGIN DELETE FROM data_check WHERE data_id = OLD.data_id; END;\n";
  }
  return sql;
}

}  // namespace

const std::string& CheckVerdictSql() {
  static const std::string sql = MakeVerdictSql();
  return sql;
}

}  // namespace ledger
