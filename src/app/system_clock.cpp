#include "app/system_clock.h"

#include <ctime>

#include "text/steady_time.h"

namespace morvane {

LocalTime SystemClock::Now() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (::localtime_r(&now, &local) == nullptr) {
    return LocalTime{};
  }
  LocalTime time;
  time.year = local.tm_year + 1900;
  time.month = local.tm_mon + 1;
  time.day = local.tm_mday;
  time.hour = local.tm_hour;
  time.minute = local.tm_min;
  // A leap second (60) shows as 59, so no caller ever sees a second out of 0..59.
  time.second = local.tm_sec > 59 ? 59 : local.tm_sec;
  return time;
}

int64_t SystemClock::SteadyMs() {
  return SteadyNowMs();
}

}  // namespace morvane
