// FaultyFile: an output file object (platform/File.h) that fails where a test
// tells it to, over a real one.
//
// The plan names the failures: the open, the write with a given number
// (counting from 1 over the FaultyFile's whole life, writes to a closed file
// and failed ones included) or every close of an open file. A failed open
// opens nothing; a failed write writes nothing and leaves the file open; a
// failed close still closes the file underneath, as a close does. Every other
// call is the real file's. The plan is a value held by the FaultyFile it was
// given to; no other file sees it.
#pragma once

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "platform/File.h"
#include "platform/FileSystem.h"

namespace test_support {

class FileFaultPlan {
 public:
  FileFaultPlan& FailOpen() { failOpen_ = true; return *this; }
  // The write with this number (1 = the first write of the file) fails.
  FileFaultPlan& FailWrite(uint64_t number) { failWrite_ = number; return *this; }
  FileFaultPlan& FailClose() { failClose_ = true; return *this; }

  bool failsOpen() const { return failOpen_; }
  bool failsWrite(uint64_t number) const { return failWrite_ != 0 && failWrite_ == number; }
  bool failsClose() const { return failClose_; }

 private:
  bool failOpen_ = false;
  uint64_t failWrite_ = 0;
  bool failClose_ = false;
};

class FaultyFile final : public platform::File {
 public:
  // Over a new file of the program's own file system.
  explicit FaultyFile(FileFaultPlan plan = {})
      : FaultyFile(platform::FileSystem::Default().NewFile(), plan) {}
  FaultyFile(std::unique_ptr<platform::File> real, FileFaultPlan plan) : real_(std::move(real)), plan_(plan) {}

  platform::FileResult OpenForWrite(std::string_view path) override {
    if (plan_.failsOpen() && !real_->isOpen()) return Failure("cannot create", path, EACCES);
    return real_->OpenForWrite(path);
  }
  platform::FileResult Write(std::string_view bytes) override {
    ++writes_;
    if (real_->isOpen() && plan_.failsWrite(writes_)) return Failure("cannot write", real_->hostPath(), ENOSPC);
    return real_->Write(bytes);
  }
  platform::FileResult Close() override {
    if (!real_->isOpen()) return platform::FileResult::Ok();
    platform::FileResult closed = real_->Close();
    if (plan_.failsClose()) return Failure("cannot close", real_->hostPath(), EIO);
    return closed;
  }
  bool isOpen() const override { return real_->isOpen(); }
  const std::string& hostPath() const override { return real_->hostPath(); }
  uint64_t writeCount() const override { return writes_; }

 private:
  static platform::FileResult Failure(const char* what, std::string_view path, int err) {
    return platform::FileResult::Fail(std::string(what) + " \"" + std::string(path) + "\": " + std::strerror(err));
  }

  std::unique_ptr<platform::File> real_;
  FileFaultPlan plan_;
  uint64_t writes_ = 0;
};

}  // namespace test_support
