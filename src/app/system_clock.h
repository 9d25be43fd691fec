#pragma once

#include "app/local_clock.h"

namespace morvane {

// The computer's clock in the local time zone, daylight saving time included, as the station's
// listeners see it on their receivers.
class SystemClock : public LocalClock {
 public:
  [[nodiscard]] LocalTime Now() override;
  [[nodiscard]] int64_t SteadyMs() override;
};

}  // namespace morvane
