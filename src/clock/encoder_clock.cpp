#include "clock/encoder_clock.h"

#include <string>

#include "link/commands.h"
#include "status/status_queries.h"
#include "text/text_helpers.h"
#include "traffic/traffic_alert.h"

namespace morvane {

namespace {

// The encoder's clock drifts; once an hour, in this minute, it is set again.
constexpr int kClockSetMinute = 2;

std::string DateText(const LocalTime& at) {
  return TwoDigits(at.day) + "." + TwoDigits(at.month) + "." + TwoDigits(at.year % 100);
}

// The encoder takes the time a moment after it was read, so a second is added; at 59 seconds
// the time is sent as read rather than carried into the minutes.
std::string TimeTextAheadOneSecond(const LocalTime& at) {
  const int seconds = at.second + 1 < 60 ? at.second + 1 : at.second;
  return TimeOfDay(at.hour, at.minute, seconds);
}

}  // namespace

void SetEncoderClock(Controller& controller) {
  if (!IsPira32(controller.state)) {
    return;
  }
  LocalClock& clock = controller.io.clock;
  const std::string time_text = TimeTextAheadOneSecond(clock.Now());
  Exchange(controller.link, pira32::kSetTime, time_text);
  // Read after the time's wait, so a day that changed meanwhile goes out with the new date.
  // The date's answer is left for the next exchange's drain.
  Exchange(controller.link, pira32::kSetDate, DateText(clock.Now()));
  const std::string shown = DateText(clock.Now()) + " " + time_text;
  controller.SetLabel(Label::lblClockUpdated, shown);
  controller.Report(EventKind::ClockSet, Severity::Info, "clock set " + shown);
}

void tmrClockCheck_Timer(Controller& controller) {
  if (controller.io.clock.Now().minute == kClockSetMinute) {
    SetEncoderClock(controller);
  }
  ClearStrayTrafficFlag(controller);
  QueryPilot(controller);
}

}  // namespace morvane
