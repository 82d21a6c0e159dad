// An in-memory file system of Windows paths for the dialog's tests, with
// failures injected where a test names them.
#pragma once

#include <map>
#include <set>
#include <vector>
#include <string>
#include <string_view>

#include "dialog/FileSystem.h"

namespace dialog::testing {

class FakeFileSystem : public FileSystem {
 public:
  FakeFileSystem() { dirs.insert("C:"); }

  static std::string Norm(std::string_view p) {
    std::string s(p);
    while (!s.empty() && s.back() == '\\') s.pop_back();
    return s;
  }
  static std::string Parent(const std::string& p) {
    const size_t cut = p.rfind('\\');
    return cut == std::string::npos ? std::string() : p.substr(0, cut);
  }

  bool Exists(std::string_view p) override {
    return dirs.count(Norm(p)) || files.count(Norm(p)) || devices.count(Norm(p));
  }
  bool IsDirectory(std::string_view p) override { return dirs.count(Norm(p)) > 0; }
  bool IsDevice(std::string_view p) override { return devices.count(Norm(p)) > 0; }
  bool CreateDirectory(std::string_view p) override {
    const std::string n = Norm(p);
    ++createCalls;
    if (failCreate.count(n) || Exists(n) || !dirs.count(Parent(n))) return false;
    dirs.insert(n);
    return true;
  }
  bool RemoveDirectory(std::string_view p) override {
    removed.push_back(Norm(p));
    return dirs.erase(Norm(p)) > 0;
  }
  DriveType GetDriveType(std::string_view root) override {
    auto it = driveTypes.find(root.empty() ? '?' : root[0]);
    return it == driveTypes.end() ? DriveType::kNoRoot : it->second;
  }
  bool CanReadWrite(std::string_view p) override { return Exists(p) && !readOnly.count(Norm(p)); }
  std::string TempFolder() override { return temp; }

  ReadResult ReadFile(std::string_view p, std::string& contents) override {
    auto it = files.find(Norm(p));
    if (it == files.end()) return ReadResult::Missing;
    if (failRead.count(Norm(p))) return ReadResult::Failed;
    contents = it->second;
    return ReadResult::Ok;
  }
  bool WriteFile(std::string_view p, std::string_view contents) override {
    const std::string n = Norm(p);
    if (!dirs.count(Parent(n))) return false;
    if (failWrite.count(n)) {
      files[n] = std::string(contents.substr(0, contents.size() / 2));  // a half-written file
      return false;
    }
    files[n] = std::string(contents);
    return true;
  }
  bool ReplaceFile(std::string_view from, std::string_view to) override {
    auto it = files.find(Norm(from));
    if (it == files.end() || failReplace) return false;
    files[Norm(to)] = it->second;
    files.erase(Norm(from));
    return true;
  }
  bool RemoveFile(std::string_view p) override { return files.erase(Norm(p)) > 0; }

  std::set<std::string> dirs;
  std::map<std::string, std::string> files;
  std::set<std::string> devices;  // devices, named pipes, sockets
  std::map<char, DriveType> driveTypes{{'C', DriveType::kFixed}};
  std::set<std::string> failCreate, failRead, failWrite, readOnly;
  bool failReplace = false;
  std::string temp = "C:\\Temp\\";
  std::vector<std::string> removed;
  int createCalls = 0;
};

}  // namespace dialog::testing
