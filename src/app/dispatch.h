#pragma once

#include <exception>
#include <string>

#include "app/controller.h"
#include "app/timer_switch.h"

namespace morvane {

// A handler that throws is a fault of ours; the station is better served by a controller that
// goes on with its next tick than by one that is gone. The fault is reported as an error.
template <typename Handler>
void RunHandler(Controller& controller, const char* name, Handler handler) {
  try {
    handler();
  } catch (const std::exception& error) {
    controller.Report(EventKind::Problem, Severity::Error,
                      std::string(name) + " failed: " + error.what());
  }
}

// Runs the handler of a timer's tick.
void DispatchTick(Controller& controller, Timer timer);
// Runs the traffic button's click.
void DispatchClick(Controller& controller);

}  // namespace morvane
