#include "app/qt_timers.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <map>
#include <thread>

namespace morvane {
namespace {

// A start-up that takes longer than a second, during which something lets the event loop run:
// no handler may run before start-up has ended, and a tick that fell due is delivered once
// afterwards, unless its timer was switched off meanwhile.
TEST(QtTimers, IntervalsAndTicksDueDuringStartUpComeOnceAfterIt) {
  QtTimers timers;
  const std::tuple<Timer, int, bool> created[] = {{Timer::tmrTextCheck, 1000, true},
                                                  {Timer::tmrTAtimeout, 1000, true},
                                                  {Timer::tmrClockCheck, 60000, true},
                                                  {Timer::tmrInHouse, 8000, false}};
  for (const auto& [timer, interval_ms, on] : created) {
    EXPECT_EQ(timers.IntervalMs(timer), interval_ms);
    EXPECT_EQ(timers.IsEnabled(timer), on);
  }
  std::map<Timer, int> ticks;
  std::this_thread::sleep_for(std::chrono::milliseconds(1100));
  QCoreApplication::processEvents();
  timers.SetEnabled(Timer::tmrTAtimeout, false);
  timers.SetEnabled(Timer::tmrInHouse, true);
  timers.Start([&ticks](Timer timer) { ++ticks[timer]; });
  QCoreApplication::processEvents();
  EXPECT_EQ(ticks, (std::map<Timer, int>{{Timer::tmrTextCheck, 1}}));
}

}  // namespace
}  // namespace morvane
