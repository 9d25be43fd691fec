#pragma once

#include <cstdint>

namespace morvane {

// The computer's local wall-clock time.
struct LocalTime {
  int year = 2000;  // four digits
  int month = 1;    // 1..12
  int day = 1;      // 1..31
  int hour = 0;     // 0..23
  int minute = 0;
  int second = 0;
};

class LocalClock {
 public:
  virtual ~LocalClock() = default;
  [[nodiscard]] virtual LocalTime Now() = 0;
  // Milliseconds that only ever move forward, for intervals a change of the wall clock must not
  // stretch or shorten.
  [[nodiscard]] virtual int64_t SteadyMs() = 0;
};

}  // namespace morvane
