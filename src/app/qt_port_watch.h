#pragma once

#include <QTimer>
#include <functional>

#include "app/controller.h"
#include "app/port_watchdog.h"
#include "link/qt_encoder_port.h"

namespace morvane {

// The port watchdog on the event loop: told at once when the device goes away between two
// handlers or a connection made in the background is ready, and ticked so that it can open a lost
// port again. after_each lets the display show what changed.
class PortWatch {
 public:
  PortWatch(Controller& controller, QtEncoderPort& port, std::function<void()> after_each);
  ~PortWatch();
  PortWatch(const PortWatch&) = delete;
  PortWatch& operator=(const PortWatch&) = delete;

 private:
  template <typename Step>
  void Run(Step step);

  Controller& controller_;
  QtEncoderPort& port_;
  PortWatchdog watchdog_;
  std::function<void()> after_each_;
  QTimer timer_;
};

}  // namespace morvane
