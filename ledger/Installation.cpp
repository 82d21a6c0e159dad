#include "ledger/Installation.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "ledger/LocalFiles.h"

namespace ledger {
namespace {

std::unique_ptr<Session>& CurrentSession() {
  static std::unique_ptr<Session> session;
  return session;
}

std::string Trim(const std::string& s) {
  size_t b = 0;
  size_t e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r')) --e;
  return s.substr(b, e - b);
}

}  // namespace

std::string Installation::HomeFolder() {
  if (const char* home = std::getenv("LEDGER_HOME"); home != nullptr && *home != '\0') return home;
  return local::DefaultHomeFolder();
}

bool Installation::ReadSettings(const std::string& folder, InstallationSettings* settings, std::string* error) {
  const std::string path = SettingsPath(folder);
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = "the installation settings " + path + " do not exist";
    return false;
  }
  InstallationSettings read;
  std::string line;
  std::string section;
  int number = 0;
  bool sawLedger = false;
  while (std::getline(in, line)) {
    ++number;
    line = Trim(line);
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (line.front() == '[') {
      if (line.back() != ']') {
        *error = path + " line " + std::to_string(number) + ": a section name must end with ]";
        return false;
      }
      section = line.substr(1, line.size() - 2);
      sawLedger = sawLedger || section == "Ledger";
      continue;
    }
    const size_t eq = line.find('=');
    if (eq == std::string::npos) {
      *error = path + " line " + std::to_string(number) + ": expected KEY=VALUE";
      return false;
    }
    if (section != "Ledger") continue;
    const std::string key = Trim(line.substr(0, eq));
    const std::string value = Trim(line.substr(eq + 1));
    if (key == "CurrentUser") read.currentUser = value;
    else if (key == "Folder0") read.folder0 = value;
    else if (key == "Folder1") read.folder1 = value;
    else if (key == "ReturnProductName") read.returnProductName = value;
  }
  if (!sawLedger) {
    *error = path + " has no [Ledger] section";
    return false;
  }
  *settings = read;
  return true;
}

bool Installation::WriteSettings(const std::string& folder, const InstallationSettings& settings,
                                 std::string* error) {
  const std::string path = SettingsPath(folder);
  const std::string temp = path + ".new";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out << "[Ledger]\n"
        << "CurrentUser=" << settings.currentUser << "\n"
        << "Folder0=" << settings.folder0 << "\n"
        << "Folder1=" << settings.folder1 << "\n"
        << "ReturnProductName=" << settings.returnProductName << "\n";
    out.flush();
    if (!out) {
      *error = "cannot write " + temp;
      local::RemoveFile(temp);
      return false;
    }
  }
  if (std::string why; !local::MoveOver(temp, path, &why)) {
    *error = "cannot replace " + path + ": " + why;
    local::RemoveFile(temp);
    return false;
  }
  return true;
}

bool Installation::Create(const std::string& folder, const InstallationSettings& settings, std::string* error) {
  if (std::string why; !local::MakeFolders(folder, &why)) {
    *error = "cannot create the folder " + folder + ": " + why;
    return false;
  }
  if (!Store::Create(DatabasePath(folder), error)) return false;
  return WriteSettings(folder, settings, error);
}

Session* Session::Current() { return CurrentSession().get(); }

bool Session::Open(const std::string& folder, std::string* error) {
  std::unique_ptr<Session> session(new Session());
  session->folder_ = folder;
  if (!Installation::ReadSettings(folder, &session->settings_, error)) return false;
  session->store_ = Store::Open(Installation::DatabasePath(folder), error);
  if (!session->store_) return false;
  CurrentSession() = std::move(session);
  return true;
}

void Session::Close() { CurrentSession().reset(); }

}  // namespace ledger
