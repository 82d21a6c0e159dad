// Counts the fault points a test tried and how many the program survived as
// it should, and prints them when the test ends as one line
//   fault-points NAME tried N survived M
// which `make reliability` collects.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

class FaultTally {
 public:
  explicit FaultTally(std::string name) : name_(std::move(name)) {}
  ~FaultTally() {
    std::printf("fault-points %s tried %llu survived %llu\n", name_.c_str(), static_cast<unsigned long long>(tried_),
                static_cast<unsigned long long>(survived_));
    std::fflush(stdout);
  }
  FaultTally(const FaultTally&) = delete;
  FaultTally& operator=(const FaultTally&) = delete;

  void Tried(bool survived) {
    ++tried_;
    if (survived) ++survived_;
  }
  uint64_t tried() const { return tried_; }
  uint64_t survived() const { return survived_; }

 private:
  std::string name_;
  uint64_t tried_ = 0;
  uint64_t survived_ = 0;
};
