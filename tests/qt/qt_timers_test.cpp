#include "app/qt_timers.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <chrono>
#include <map>
#include <thread>

namespace morvane {
namespace {

// A start-up that takes longer than a second, during which something lets the event loop run:
// no handler may run before start-up has ended, and a tick that fell due is delivered once
// afterwards, unless its timer was switched off meanwhile.
TEST(QtTimers, IntervalsAndTicksDueDuringStartUpComeOnceAfterIt) {
  QtTimers timers;
  const struct {
    Timer timer;
    int interval_ms;
    bool on;
  } created[] = {
      {Timer::tmrTextCheck, 1000, true},
      {Timer::tmrTAtimeout, 1000, true},
      {Timer::tmrClockCheck, 60000, true},
      {Timer::tmrInHouse, 8000, false},
  };
  for (const auto& c : created) {
    EXPECT_EQ(timers.IntervalMs(c.timer), c.interval_ms);
    EXPECT_EQ(timers.IsEnabled(c.timer), c.on);
  }

  std::map<Timer, int> ticks;
  std::this_thread::sleep_for(std::chrono::milliseconds(1100));
  QCoreApplication::processEvents();
  timers.SetEnabled(Timer::tmrTAtimeout, false);
  timers.SetEnabled(Timer::tmrInHouse, true);
  EXPECT_FALSE(timers.IsEnabled(Timer::tmrTAtimeout));

  timers.Start([&ticks](Timer timer) { ++ticks[timer]; });
  QCoreApplication::processEvents();
  EXPECT_EQ(ticks, (std::map<Timer, int>{{Timer::tmrTextCheck, 1}}));
}

}  // namespace
}  // namespace morvane
