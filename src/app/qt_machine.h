#pragma once

#include <functional>
#include <iostream>
#include <string>

#include "app/command_line.h"
#include "app/configuration.h"
#include "app/controller.h"
#include "app/event_log.h"
#include "app/posix_file_reader.h"
#include "app/qt_timers.h"
#include "app/system_clock.h"
#include "link/qt_encoder_port.h"
#include "link/thread_sleeper.h"

namespace morvane {

// What the window and the headless display share: the real port, clock, files, timers and the
// error output.
struct Machine {
  QtEncoderPort port;
  ThreadSleeper sleeper;
  SystemClock clock;
  PosixFileReader files;
  QtTimers timers;
  EventLog events{std::cerr};

  [[nodiscard]] Platform PlatformWith(StatusView& view) {
    return Platform{port, sleeper, clock, files, view, timers, events};
  }
};

// Start-up in the working directory, with every exchange traced on stderr when asked; a failure
// is handed to report_failure and the port is closed again. True when the controller may run.
// configured runs once the configuration is read, before the port is opened; it may throw
// StartupError.
[[nodiscard]] bool StartUp(Controller& controller, const CommandLine& options,
                           const std::function<void(const std::string&)>& report_failure,
                           const std::function<void(const Configuration&)>& configured = {});

// The two ways of running; both return the process's exit status.
[[nodiscard]] int RunWindowed(int& argc, char** argv, const CommandLine& options);
[[nodiscard]] int RunHeadless(int& argc, char** argv, const CommandLine& options);

}  // namespace morvane
