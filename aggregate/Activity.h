// Activity: what a pass tells about its progress while it works, and nothing
// else. The passes see this interface, not the window that shows it;
// ProgressDialog implements it with its activity bar, and a test may count the
// calls instead.
//
// A unit of work is one Tick; a pass that knows it has done n units at once
// says Ticks(n), which must end where n Ticks end. A Sweep runs the whole bar
// once; Sweeps(n) ends where n Sweeps end. Reset starts a pass (bar empty,
// counter 0); Finish ends the tax summary pass and every account list load
// (bar full, counter at its top).
#pragma once

#include <cstdint>

namespace aggregate {

class Activity {
 public:
  virtual ~Activity() = default;

  virtual void Tick() = 0;
  virtual void Ticks(uint64_t count) = 0;
  virtual void Sweep() = 0;
  virtual void Sweeps(uint64_t count) = 0;
  virtual void Reset() = 0;
  virtual void Finish() = 0;
};

}  // namespace aggregate
