#pragma once

#include <cstdint>
#include <ctime>

namespace morvane::sim {

// A calendar date and time of day as the encoder's clock holds it (local time).
struct CivilTime {
  int year = 2000;
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
[[nodiscard]] int64_t DaysFromCivil(int year, int month, int day);
[[nodiscard]] CivilTime CivilFromSeconds(int64_t seconds_since_1970);
[[nodiscard]] int64_t SecondsFromCivil(const CivilTime& time);
// Modified Julian Day, the day count that RDS clock-time groups carry.
[[nodiscard]] int64_t ModifiedJulianDay(int year, int month, int day);

// Local time minus UTC, in half hours, at that instant by the host's time-zone rules (TZ and the
// zone files), so that a change to or from summer time reaches the clock-time groups when it
// happens rather than when the encoder was started.
[[nodiscard]] int HostOffsetHalfHours(std::time_t instant);

// The encoder's own clock: set by TIME= and DATE=, running on from there by the steady clock.
class EncoderClock {
 public:
  EncoderClock() = default;
  EncoderClock(const CivilTime& start, int64_t now_ms) { Set(start, now_ms); }

  void Set(const CivilTime& time, int64_t now_ms);
  void SetTimeOfDay(int hour, int minute, int second, int64_t now_ms);
  void SetDate(int year, int month, int day, int64_t now_ms);
  [[nodiscard]] CivilTime Now(int64_t now_ms) const;
  // Seconds since 1970 on the encoder's clock, for minute-edge arithmetic.
  [[nodiscard]] int64_t SecondsNow(int64_t now_ms) const;

 private:
  // An encoder that was never set starts at 1 January 2000, midnight.
  int64_t base_seconds_ = 946684800;
  int64_t set_at_ms_ = 0;
};

}  // namespace morvane::sim
