#pragma once

namespace morvane {

// The blocking wait between a command and its answer. It holds up everything, on purpose:
// handlers must never interleave.
class Sleeper {
 public:
  virtual ~Sleeper() = default;
  virtual void SleepMs(int milliseconds) = 0;
};

}  // namespace morvane
