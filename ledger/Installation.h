// Installation: where the accounting product's stand-in keeps its files, and
// the open connection to them (Session) that the host classes read through.
//
// The installation folder is LEDGER_HOME, or when that is unset
// $XDG_DATA_HOME/taxbridge/ledger (~/.local/share/taxbridge/ledger), on
// Windows %APPDATA%\taxbridge\ledger. Its name is in the machine's own
// encoding (UTF-8 on Linux, the ANSI code page on Windows). It holds
// ledger.db (the company database) and ledger.ini (UTF-8):
//
//   [Ledger]
//   CurrentUser=001
//   Folder0=C:\taxbridge\out\          <- kind 0, may be empty
//   Folder1=C:\taxbridge\              <- kind 1
//   ReturnProductName=Halvern 消費税申告
//
// (the "<-" notes are not part of the file). As
// in the home platform's profile files, a line starting with ";" or "#" is a
// comment and a value is everything after "=" with the blanks around it
// removed: there are no trailing comments (a folder or product name may hold
// a ";").
//
// Session is the process's one connection (the host's singleton state):
// opened by ClAccConnect::Initiate, closed by its Release.
#pragma once

#include <memory>
#include <string>

#include "ledger/JournalTally.h"
#include "ledger/LocalFiles.h"
#include "ledger/Store.h"

namespace ledger {

struct InstallationSettings {
  std::string currentUser;        // UTF-8
  std::string folder0;            // Windows path, UTF-8
  std::string folder1;
  std::string returnProductName;
};

class Installation {
 public:
  static constexpr const char* kDatabaseName = "ledger.db";
  static constexpr const char* kSettingsName = "ledger.ini";

  // LEDGER_HOME, or the documented default.
  static std::string HomeFolder();
  static std::string DatabasePath(const std::string& folder) { return local::InFolder(folder, kDatabaseName); }
  static std::string SettingsPath(const std::string& folder) { return local::InFolder(folder, kSettingsName); }

  // Reads ledger.ini; false with `error` when it is missing or malformed.
  static bool ReadSettings(const std::string& folder, InstallationSettings* settings, std::string* error);
  static bool WriteSettings(const std::string& folder, const InstallationSettings& settings, std::string* error);
  // Creates the folder (if needed), an empty database and a ledger.ini.
  static bool Create(const std::string& folder, const InstallationSettings& settings, std::string* error);
};

class Session {
 public:
  // The open connection, or null.
  static Session* Current();
  // Opens the installation in `folder`; false with `error` (UTF-8) when the
  // database or ledger.ini cannot be used. Replaces an open connection.
  static bool Open(const std::string& folder, std::string* error);
  static void Close();

  Store& store() { return *store_; }
  const InstallationSettings& settings() const { return settings_; }
  const std::string& folder() const { return folder_; }
  // What the last check of a data set counted of its journal.
  JournalTally& journalTally() { return journalTally_; }
  // The data set whose remembered verdict stood when the connection checked
  // it, and whose tally is read from the store at the first question that
  // needs it (CheckVerdict.h); empty once read or when there is none.
  std::string& verdictToRecall() { return verdictToRecall_; }

 private:
  Session() = default;
  std::unique_ptr<Store> store_;
  InstallationSettings settings_;
  std::string folder_;
  JournalTally journalTally_;
  std::string verdictToRecall_;
};

}  // namespace ledger
