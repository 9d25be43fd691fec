#pragma once

#include <QTimer>
#include <array>
#include <functional>

#include "app/timer_switch.h"

namespace morvane {

// The window's four timers. They count from the window's creation, but no handler runs before
// Start: start-up must run to its end before any tick. A tick that fell due during start-up is
// delivered once afterwards, like any tick that falls due while a handler runs.
class QtTimers : public TimerSwitch {
 public:
  QtTimers();

  void SetEnabled(Timer timer, bool enabled) override;
  [[nodiscard]] bool IsEnabled(Timer timer) const;
  [[nodiscard]] int IntervalMs(Timer timer) const;

  // Hands every tick from now on to on_tick.
  void Start(std::function<void(Timer)> on_tick);

 private:
  void Tick(Timer timer);
  [[nodiscard]] QTimer& At(Timer timer);
  [[nodiscard]] const QTimer& At(Timer timer) const;

  std::array<QTimer, 4> timers_;
  std::array<bool, 4> missed_{};
  std::function<void(Timer)> on_tick_;
};

}  // namespace morvane
