#pragma once

#include "link/sleeper.h"

namespace morvane {

// Blocks the calling thread, which is the window's one thread: nothing else runs meanwhile.
class ThreadSleeper : public Sleeper {
 public:
  void SleepMs(int milliseconds) override;
};

}  // namespace morvane
