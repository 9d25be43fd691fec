#include "app/qt_timers.h"

namespace morvane {

namespace {

constexpr Timer kTimers[] = {Timer::tmrTextCheck, Timer::tmrTAtimeout, Timer::tmrClockCheck,
                             Timer::tmrInHouse};

std::size_t Index(Timer timer) {
  return static_cast<std::size_t>(timer);
}

int Interval(Timer timer) {
  switch (timer) {
    case Timer::tmrTextCheck:
      return kTextCheckIntervalMs;
    case Timer::tmrTAtimeout:
      return kTAtimeoutIntervalMs;
    case Timer::tmrClockCheck:
      return kClockCheckIntervalMs;
    case Timer::tmrInHouse:
      return kInHouseIntervalMs;
  }
  return 0;
}

}  // namespace

QtTimers::QtTimers() {
  for (const Timer timer : kTimers) {
    QTimer& qtimer = At(timer);
    qtimer.setInterval(Interval(timer));
    // The minute tick must land in minute 02 of each hour; coarse timers may be 5 % off.
    qtimer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&qtimer, &QTimer::timeout, [this, timer] { Tick(timer); });
  }
  // The in-house timer is switched on by the last step of start-up.
  SetEnabled(Timer::tmrTextCheck, true);
  SetEnabled(Timer::tmrTAtimeout, true);
  SetEnabled(Timer::tmrClockCheck, true);
}

void QtTimers::SetEnabled(Timer timer, bool enabled) {
  QTimer& qtimer = At(timer);
  if (!enabled) {
    qtimer.stop();
    missed_[Index(timer)] = false;
  } else if (!qtimer.isActive()) {
    // Switching on a timer that runs already keeps its rhythm.
    qtimer.start();
  }
}

bool QtTimers::IsEnabled(Timer timer) const {
  return At(timer).isActive();
}

int QtTimers::IntervalMs(Timer timer) const {
  return At(timer).interval();
}

void QtTimers::Start(std::function<void(Timer)> on_tick) {
  on_tick_ = std::move(on_tick);
  for (const Timer timer : kTimers) {
    if (missed_[Index(timer)]) {
      missed_[Index(timer)] = false;
      QTimer::singleShot(0, &At(timer), [this, timer] {
        if (IsEnabled(timer)) {
          Tick(timer);
        }
      });
    }
  }
}

void QtTimers::Tick(Timer timer) {
  if (!on_tick_) {
    missed_[Index(timer)] = true;
    return;
  }
  on_tick_(timer);
}

QTimer& QtTimers::At(Timer timer) {
  return timers_[Index(timer)];
}

const QTimer& QtTimers::At(Timer timer) const {
  return timers_[Index(timer)];
}

}  // namespace morvane
