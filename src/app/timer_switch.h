#pragma once

namespace morvane {

enum class Timer { tmrTextCheck, tmrTAtimeout, tmrClockCheck, tmrInHouse };

inline constexpr int kTextCheckIntervalMs = 1000;
inline constexpr int kTAtimeoutIntervalMs = 1000;
inline constexpr int kClockCheckIntervalMs = 60000;
inline constexpr int kInHouseIntervalMs = 8000;

class TimerSwitch {
 public:
  virtual ~TimerSwitch() = default;
  virtual void SetEnabled(Timer timer, bool enabled) = 0;
};

}  // namespace morvane
