// The dialog's file system on the platform's Windows path services.
#include "dialog/FileSystem.h"
#include "platform/FileSystem.h"

namespace dialog {

namespace {

class PlatformFileSystem : public FileSystem {
 public:
  bool Exists(std::string_view path) override { return platform::PathExists(path); }
  bool IsDirectory(std::string_view path) override { return platform::PathIsFolder(path); }
  bool CreateDirectory(std::string_view path) override { return platform::MakeFolder(path) == platform::PathStatus::kOk; }
  bool RemoveDirectory(std::string_view path) override {
    return platform::RemoveFolder(path) == platform::PathStatus::kOk;
  }
  DriveType GetDriveType(std::string_view root) override { return platform::DriveTypeOf(root); }
  bool CanReadWrite(std::string_view path) override {
    return platform::HasAccess(path, platform::AccessMode::kReadWrite);
  }
  std::string TempFolder() override { return platform::TempFolder(); }

  ReadResult ReadFile(std::string_view path, std::string& contents) override {
    platform::FileBytes file = platform::ReadWholeFile(path);
    if (file.status == platform::PathStatus::kFileNotFound || file.status == platform::PathStatus::kPathNotFound) {
      return ReadResult::Missing;
    }
    if (!file.ok() || file.truncated) return ReadResult::Failed;  // never act on part of a file
    contents = std::move(file.bytes);
    return ReadResult::Ok;
  }
  bool WriteFile(std::string_view path, std::string_view contents) override {
    return platform::WriteFileAtomically(path, contents) == platform::PathStatus::kOk;
  }
  bool ReplaceFile(std::string_view from, std::string_view to) override {
    return platform::RenameFile(from, to) == platform::PathStatus::kOk;
  }
  bool RemoveFile(std::string_view path) override { return platform::RemoveFile(path) == platform::PathStatus::kOk; }
};

}  // namespace

FileSystem& SystemFileSystem() {
  static PlatformFileSystem fs;
  return fs;
}

}  // namespace dialog
