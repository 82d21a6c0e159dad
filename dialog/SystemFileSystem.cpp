// The dialog's file system on the platform's Windows path services.
#include "dialog/FileSystem.h"
#include "platform/FileSystem.h"

namespace dialog {

namespace {

class PlatformFileSystem : public FileSystem {
 public:
  explicit PlatformFileSystem(const platform::FileSystem& machine) : machine_(machine) {}

  bool Exists(std::string_view path) override { return machine_.PathExists(path); }
  bool IsDirectory(std::string_view path) override { return machine_.PathIsFolder(path); }
  bool IsDevice(std::string_view path) override {
    const uint32_t attributes = machine_.FileAttributesOf(path);
    return attributes != platform::kInvalidFileAttributes && (attributes & platform::kAttributeDevice) != 0;
  }
  bool CreateDirectory(std::string_view path) override { return machine_.MakeFolder(path) == platform::PathStatus::kOk; }
  bool RemoveDirectory(std::string_view path) override {
    return machine_.RemoveFolder(path) == platform::PathStatus::kOk;
  }
  DriveType GetDriveType(std::string_view root) override { return machine_.DriveTypeOf(root); }
  bool CanReadWrite(std::string_view path) override {
    return machine_.HasAccess(path, platform::AccessMode::kReadWrite);
  }
  std::string TempFolder() override { return machine_.TempFolder(); }

  ReadResult ReadFile(std::string_view path, std::string& contents) override {
    platform::FileBytes file = machine_.ReadWholeFile(path);
    if (file.status == platform::PathStatus::kFileNotFound || file.status == platform::PathStatus::kPathNotFound) {
      return ReadResult::Missing;
    }
    if (!file.ok() || file.truncated) return ReadResult::Failed;  // never act on part of a file
    contents = std::move(file.bytes);
    return ReadResult::Ok;
  }
  bool WriteFile(std::string_view path, std::string_view contents) override {
    return machine_.WriteFileAtomically(path, contents) == platform::PathStatus::kOk;
  }
  bool ReplaceFile(std::string_view from, std::string_view to) override {
    return machine_.RenameFile(from, to) == platform::PathStatus::kOk;
  }
  bool RemoveFile(std::string_view path) override { return machine_.RemoveFile(path) == platform::PathStatus::kOk; }

 private:
  const platform::FileSystem& machine_;
};

}  // namespace

FileSystem& SystemFileSystem() {
  static PlatformFileSystem fs(platform::ThisMachine());
  return fs;
}

std::unique_ptr<FileSystem> FileSystemOn(const platform::FileSystem& machine) {
  return std::make_unique<PlatformFileSystem>(machine);
}

}  // namespace dialog
