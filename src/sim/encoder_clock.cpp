#include "sim/encoder_clock.h"

namespace morvane::sim {

namespace {
constexpr int64_t kSecondsPerDay = 86400;
constexpr int64_t kMjdOfUnixEpoch = 40587;
constexpr long kSecondsPerHalfHour = 1800;

int64_t FloorDiv(int64_t a, int64_t b) {
  return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}
}  // namespace

// Civil-calendar day arithmetic in eras of 400 years (146097 days), valid for any year.
int64_t DaysFromCivil(int year, int month, int day) {
  const int64_t y = year - (month <= 2 ? 1 : 0);
  const int64_t era = FloorDiv(y, 400);
  const int64_t year_of_era = y - era * 400;
  const int64_t month_index = month > 2 ? month - 3 : month + 9;
  const int64_t day_of_year = (153 * month_index + 2) / 5 + day - 1;
  const int64_t day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era - 719468;
}

CivilTime CivilFromSeconds(int64_t seconds_since_1970) {
  const int64_t days = FloorDiv(seconds_since_1970, kSecondsPerDay);
  const int64_t second_of_day = seconds_since_1970 - days * kSecondsPerDay;
  const int64_t z = days + 719468;
  const int64_t era = FloorDiv(z, 146097);
  const int64_t day_of_era = z - era * 146097;
  const int64_t year_of_era =
      (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
  const int64_t day_of_year =
      day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  const int64_t month_index = (5 * day_of_year + 2) / 153;
  CivilTime time;
  time.day = static_cast<int>(day_of_year - (153 * month_index + 2) / 5 + 1);
  time.month = static_cast<int>(month_index < 10 ? month_index + 3 : month_index - 9);
  time.year = static_cast<int>(year_of_era + era * 400 + (time.month <= 2 ? 1 : 0));
  time.hour = static_cast<int>(second_of_day / 3600);
  time.minute = static_cast<int>(second_of_day / 60 % 60);
  time.second = static_cast<int>(second_of_day % 60);
  return time;
}

int64_t SecondsFromCivil(const CivilTime& time) {
  return DaysFromCivil(time.year, time.month, time.day) * kSecondsPerDay +
         int64_t{time.hour} * 3600 + int64_t{time.minute} * 60 + time.second;
}

int64_t ModifiedJulianDay(int year, int month, int day) {
  return DaysFromCivil(year, month, day) + kMjdOfUnixEpoch;
}

int HostOffsetHalfHours(std::time_t instant) {
  std::tm local{};
  if (localtime_r(&instant, &local) == nullptr) {
    return 0;
  }
  return static_cast<int>(local.tm_gmtoff / kSecondsPerHalfHour);
}

void EncoderClock::Set(const CivilTime& time, int64_t now_ms) {
  base_seconds_ = SecondsFromCivil(time);
  set_at_ms_ = now_ms;
}

void EncoderClock::SetTimeOfDay(int hour, int minute, int second, int64_t now_ms) {
  CivilTime time = Now(now_ms);
  time.hour = hour;
  time.minute = minute;
  time.second = second;
  Set(time, now_ms);
}

void EncoderClock::SetDate(int year, int month, int day, int64_t now_ms) {
  // Move by whole days so the running time of day, fraction of the second included, is kept.
  const int64_t today = FloorDiv(SecondsNow(now_ms), kSecondsPerDay);
  base_seconds_ += (DaysFromCivil(year, month, day) - today) * kSecondsPerDay;
}

CivilTime EncoderClock::Now(int64_t now_ms) const {
  return CivilFromSeconds(SecondsNow(now_ms));
}

int64_t EncoderClock::SecondsNow(int64_t now_ms) const {
  return base_seconds_ + FloorDiv(now_ms - set_at_ms_, 1000);
}

}  // namespace morvane::sim
