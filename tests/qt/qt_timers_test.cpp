#include "app/qt_timers.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <chrono>
#include <map>
#include <thread>

namespace morvane {
namespace {

TEST(QtTimers, IntervalsAndStateAtCreation) {
  QtTimers timers;
  const struct {
    Timer timer;
    int interval_ms;
    bool on;
  } expected[] = {
      {Timer::tmrTextCheck, 1000, true},
      {Timer::tmrTAtimeout, 1000, true},
      {Timer::tmrClockCheck, 60000, true},
      {Timer::tmrInHouse, 8000, false},
  };
  for (const auto& e : expected) {
    EXPECT_EQ(timers.IntervalMs(e.timer), e.interval_ms);
    EXPECT_EQ(timers.IsEnabled(e.timer), e.on);
  }
  timers.SetEnabled(Timer::tmrInHouse, true);
  timers.SetEnabled(Timer::tmrTAtimeout, false);
  EXPECT_TRUE(timers.IsEnabled(Timer::tmrInHouse));
  EXPECT_FALSE(timers.IsEnabled(Timer::tmrTAtimeout));
}

// A start-up that takes longer than a second, during which something lets the event loop run:
// no handler may run before start-up has ended, and a tick that fell due is delivered once
// afterwards, unless its timer was switched off meanwhile.
TEST(QtTimers, TicksDueDuringStartUpComeOnceAfterIt) {
  QtTimers timers;
  std::map<Timer, int> ticks;

  std::this_thread::sleep_for(std::chrono::milliseconds(1100));
  QCoreApplication::processEvents();
  timers.SetEnabled(Timer::tmrTAtimeout, false);
  timers.SetEnabled(Timer::tmrInHouse, true);

  timers.Start([&ticks](Timer timer) { ++ticks[timer]; });
  QCoreApplication::processEvents();

  EXPECT_EQ(ticks[Timer::tmrTextCheck], 1);
  EXPECT_EQ(ticks[Timer::tmrTAtimeout], 0);
  EXPECT_EQ(ticks[Timer::tmrClockCheck], 0);
  EXPECT_EQ(ticks[Timer::tmrInHouse], 0);
}

}  // namespace
}  // namespace morvane
