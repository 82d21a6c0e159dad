// FaultyFileSystem: a file system (platform/FileSystem.h) that forwards every
// call to a real one, except the calls a test plans to fail.
//
// A plan names, for each step that changes the disk, the call (counting from
// 1 over the FaultyFileSystem's life) that fails as the machine's call would:
// making a folder (MakeFolder); and, for WriteFileAtomically, creating the
// new file, writing it, flushing it to disk and closing it; renaming
// (WriteFileAtomically's last step and RenameFile count together). A failed
// step does nothing but fail, except a close, which still closes. Removals
// never fail by plan: they are how a failed operation cleans up after itself.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/File.h"
#include "platform/FileSystem.h"

namespace test_support {

enum class FileSystemStep { kMakeFolder, kCreate, kWrite, kFlush, kClose, kRename };
inline constexpr int kFileSystemSteps = 6;

inline const char* Describe(FileSystemStep step) {
  switch (step) {
    case FileSystemStep::kMakeFolder: return "make folder";
    case FileSystemStep::kCreate: return "create";
    case FileSystemStep::kWrite: return "write";
    case FileSystemStep::kFlush: return "flush";
    case FileSystemStep::kClose: return "close";
    case FileSystemStep::kRename: return "rename";
  }
  return "?";
}

class FileSystemFaultPlan {
 public:
  FileSystemFaultPlan& Fail(FileSystemStep step, uint64_t number) {
    failing_[static_cast<int>(step)] = number;
    return *this;
  }
  bool fails(FileSystemStep step, uint64_t number) const {
    const uint64_t n = failing_[static_cast<int>(step)];
    return n != 0 && n == number;
  }

 private:
  uint64_t failing_[kFileSystemSteps] = {};
};

class FaultyFileSystem final : public platform::FileSystem {
 public:
  // `real` must outlive this file system.
  FaultyFileSystem(platform::FileSystem& real, FileSystemFaultPlan plan) : real_(real), plan_(plan) {}

  // True once a planned failure has happened.
  bool FaultHappened() const { return happened_; }

  std::string Problem() const override { return real_.Problem(); }
  using platform::FileSystem::ToHostPath;
  platform::HostPath ToHostPath(std::string_view path, bool for_writing) override {
    return real_.ToHostPath(path, for_writing);
  }
  platform::WindowsPath FromHostPath(std::string_view host_path) override { return real_.FromHostPath(host_path); }
  bool PathExists(std::string_view path) override { return real_.PathExists(path); }
  bool PathIsFolder(std::string_view path) override { return real_.PathIsFolder(path); }
  uint32_t FileAttributesOf(std::string_view path) override { return real_.FileAttributesOf(path); }
  platform::PathStatus MakeFolder(std::string_view path) override {
    if (Injected(FileSystemStep::kMakeFolder)) return platform::PathStatus::kAccessDenied;
    return real_.MakeFolder(path);
  }
  platform::PathStatus RemoveFolder(std::string_view path) override { return real_.RemoveFolder(path); }
  platform::PathStatus RemoveFile(std::string_view path) override { return real_.RemoveFile(path); }
  platform::PathStatus RenameFile(std::string_view from, std::string_view to) override {
    if (Injected(FileSystemStep::kRename)) return platform::PathStatus::kFailed;
    return real_.RenameFile(from, to);
  }
  platform::DriveType DriveTypeOf(std::string_view root) override { return real_.DriveTypeOf(root); }
  bool HasAccess(std::string_view path, platform::AccessMode mode) override { return real_.HasAccess(path, mode); }
  std::string TempFolder() override { return real_.TempFolder(); }
  platform::WindowsPath CurrentFolder() override { return real_.CurrentFolder(); }
  platform::PathStatus ChangeCurrentFolder(std::string_view path) override { return real_.ChangeCurrentFolder(path); }
  platform::WindowsPath ProgramFilePath() override { return real_.ProgramFilePath(); }
  using platform::FileSystem::ReadWholeFile;
  platform::FileBytes ReadWholeFile(std::string_view path, size_t max_bytes) override {
    return real_.ReadWholeFile(path, max_bytes);
  }
  platform::PathStatus BeginReplacing(std::string_view path, std::unique_ptr<Replacement>* replacement) override {
    if (Injected(FileSystemStep::kCreate)) return platform::PathStatus::kFailed;
    std::unique_ptr<Replacement> real;
    const platform::PathStatus status = real_.BeginReplacing(path, &real);
    if (status == platform::PathStatus::kOk) *replacement = std::make_unique<FaultyReplacement>(*this, std::move(real));
    return status;
  }
  std::unique_ptr<platform::File> NewFile() override { return real_.NewFile(); }

 private:
  class FaultyReplacement final : public Replacement {
   public:
    FaultyReplacement(FaultyFileSystem& fs, std::unique_ptr<Replacement> real) : fs_(fs), real_(std::move(real)) {}
    platform::PathStatus Write(std::string_view bytes) override {
      return fs_.Injected(FileSystemStep::kWrite) ? platform::PathStatus::kFailed : real_->Write(bytes);
    }
    platform::PathStatus Flush() override {
      return fs_.Injected(FileSystemStep::kFlush) ? platform::PathStatus::kFailed : real_->Flush();
    }
    platform::PathStatus Close() override {
      const platform::PathStatus closed = real_->Close();
      return fs_.Injected(FileSystemStep::kClose) ? platform::PathStatus::kFailed : closed;
    }
    platform::PathStatus Commit() override {
      return fs_.Injected(FileSystemStep::kRename) ? platform::PathStatus::kFailed : real_->Commit();
    }

   private:
    FaultyFileSystem& fs_;
    std::unique_ptr<Replacement> real_;
  };

  // Counts `step` and tells whether the plan fails this call.
  bool Injected(FileSystemStep step) {
    const uint64_t number = ++counts_[static_cast<int>(step)];
    if (!plan_.fails(step, number)) return false;
    happened_ = true;
    return true;
  }

  platform::FileSystem& real_;
  const FileSystemFaultPlan plan_;
  uint64_t counts_[kFileSystemSteps] = {};
  bool happened_ = false;
};

}  // namespace test_support
