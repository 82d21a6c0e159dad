// An in-memory file system of Windows paths for the dialog's tests, with
// failures injected where a test names them. It answers the calls the
// dialog makes; the rest (paths of the machine, the current folder, the
// program's file, output file objects) it does not have.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/File.h"
#include "platform/FileSystem.h"

namespace dialog::testing {

using platform::DriveType;
using platform::PathStatus;

class FakeFileSystem : public platform::FileSystem {
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

  bool PathExists(std::string_view p) override {
    return dirs.count(Norm(p)) || files.count(Norm(p)) || devices.count(Norm(p));
  }
  bool PathIsFolder(std::string_view p) override { return dirs.count(Norm(p)) > 0; }
  uint32_t FileAttributesOf(std::string_view p) override {
    if (devices.count(Norm(p))) return platform::kAttributeDevice;
    if (dirs.count(Norm(p))) return platform::kAttributeDirectory;
    if (files.count(Norm(p))) return platform::kAttributeArchive;
    return platform::kInvalidFileAttributes;
  }
  PathStatus MakeFolder(std::string_view p) override {
    const std::string n = Norm(p);
    ++createCalls;
    if (failCreate.count(n)) return PathStatus::kAccessDenied;
    if (PathExists(n)) return PathStatus::kAlreadyExists;
    if (!dirs.count(Parent(n))) return PathStatus::kPathNotFound;
    dirs.insert(n);
    return PathStatus::kOk;
  }
  PathStatus RemoveFolder(std::string_view p) override {
    removed.push_back(Norm(p));
    return dirs.erase(Norm(p)) > 0 ? PathStatus::kOk : PathStatus::kFileNotFound;
  }
  DriveType DriveTypeOf(std::string_view root) override {
    auto it = driveTypes.find(root.empty() ? '?' : root[0]);
    return it == driveTypes.end() ? DriveType::kNoRoot : it->second;
  }
  bool HasAccess(std::string_view p, platform::AccessMode) override {
    return PathExists(p) && !readOnly.count(Norm(p));
  }
  std::string TempFolder() override { return temp; }

  using platform::FileSystem::ReadWholeFile;
  platform::FileBytes ReadWholeFile(std::string_view p, size_t) override {
    auto it = files.find(Norm(p));
    if (it == files.end()) return {PathStatus::kFileNotFound, {}, false, "no such file"};
    if (failRead.count(Norm(p))) return {PathStatus::kAccessDenied, {}, false, "unreadable"};
    return {PathStatus::kOk, it->second, false, {}};
  }
  PathStatus BeginReplacing(std::string_view p, std::unique_ptr<Replacement>* replacement) override {
    const std::string n = Norm(p);
    if (!dirs.count(Parent(n))) return PathStatus::kPathNotFound;
    *replacement = std::make_unique<InPlace>(*this, n);
    return PathStatus::kOk;
  }
  PathStatus RenameFile(std::string_view from, std::string_view to) override {
    auto it = files.find(Norm(from));
    if (it == files.end()) return PathStatus::kFileNotFound;
    if (failReplace) return PathStatus::kFailed;
    files[Norm(to)] = it->second;
    files.erase(Norm(from));
    return PathStatus::kOk;
  }
  PathStatus RemoveFile(std::string_view p) override {
    return files.erase(Norm(p)) > 0 ? PathStatus::kOk : PathStatus::kFileNotFound;
  }

  // What an in-memory disk does not have.
  std::string Problem() const override { return {}; }
  using platform::FileSystem::ToHostPath;
  platform::HostPath ToHostPath(std::string_view, bool) override {
    return {PathStatus::kNoDrive, {}, "the fake file system has no host paths"};
  }
  platform::WindowsPath FromHostPath(std::string_view) override { return {{}, "the fake file system has no host paths"}; }
  platform::WindowsPath CurrentFolder() override { return {{}, "the fake file system has no current folder"}; }
  PathStatus ChangeCurrentFolder(std::string_view) override { return PathStatus::kFailed; }
  platform::WindowsPath ProgramFilePath() override { return {{}, "the fake file system runs no program"}; }
  std::unique_ptr<platform::File> NewFile() override { return nullptr; }

  std::set<std::string> dirs;
  std::map<std::string, std::string> files;
  std::set<std::string> devices;  // devices, named pipes, sockets
  std::map<char, DriveType> driveTypes{{'C', DriveType::kFixed}};
  std::set<std::string> failCreate, failRead, failWrite, readOnly;
  bool failReplace = false;
  std::string temp = "C:\\Temp\\";
  std::vector<std::string> removed;
  int createCalls = 0;

 private:
  // Writes straight into the file, as a careless writer would: a write that
  // the test fails leaves half of the contents behind.
  class InPlace : public Replacement {
   public:
    InPlace(FakeFileSystem& fs, std::string path) : fs_(fs), path_(std::move(path)) {}
    PathStatus Write(std::string_view contents) override {
      if (fs_.failWrite.count(path_)) {
        fs_.files[path_] = std::string(contents.substr(0, contents.size() / 2));
        return PathStatus::kFailed;
      }
      fs_.files[path_] = std::string(contents);
      return PathStatus::kOk;
    }
    PathStatus Flush() override { return PathStatus::kOk; }
    PathStatus Close() override { return PathStatus::kOk; }
    PathStatus Commit() override { return PathStatus::kOk; }

   private:
    FakeFileSystem& fs_;
    const std::string path_;
  };
};

}  // namespace dialog::testing
