#pragma once

#include <chrono>
#include <cstdint>

namespace morvane {

// Milliseconds on the monotonic clock: for intervals that a change of the wall clock (a
// summer-time switch, a clock set by hand) must not stretch or shorten.
[[nodiscard]] inline int64_t SteadyNowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace morvane
