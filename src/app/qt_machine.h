#pragma once

#include <functional>
#include <iostream>
#include <string>

#include "app/command_line.h"
#include "app/configuration.h"
#include "app/controller.h"
#include "app/event_log.h"
#include "app/posix_file_reader.h"
#include "app/qt_service_notifier.h"
#include "app/qt_timers.h"
#include "app/service_status.h"
#include "app/system_clock.h"
#include "link/qt_encoder_port.h"
#include "link/thread_sleeper.h"

namespace morvane {

// What the window and the headless display share: the real port, clock, files, timers, the
// error output and the service manager.
struct Machine {
  Machine() {
    status.SetListener([this](const std::string& line) { notifier.Status(line); });
  }

  // A line for the error output (the journal under a service manager).
  void Log(Severity severity, std::string text) {
    events.Report(Event{EventKind::Problem, severity, std::move(text)});
  }

  QtEncoderPort port;
  ThreadSleeper sleeper;
  SystemClock clock;
  PosixFileReader files;
  QtTimers timers;
  EventLog events{std::cerr, StderrIsJournal()};
  ServiceNotifier notifier;
  // Every event passes here on its way to the log, for the service manager's status line.
  ServiceStatus status{events};

  [[nodiscard]] Platform PlatformWith(StatusView& view) {
    return Platform{port, sleeper, clock, files, view, timers, status};
  }
};

// Start-up in the working directory, with every exchange traced on stderr when asked; a failure
// is handed to report_failure and the port is closed again. True when the controller may run.
// configured runs once the configuration is read, before the port is opened; it may throw
// StartupError.
[[nodiscard]] bool StartUp(Controller& controller, const CommandLine& options,
                           const std::function<void(const std::string&)>& report_failure,
                           const std::function<void(const Configuration&)>& configured = {});

// Tells the service manager the controller is ready, runs the event loop until a stop signal or
// the window's close, then says it is stopping and shuts the controller down. The exit status.
[[nodiscard]] int RunUntilStopped(Machine& machine, Controller& controller);

// The two ways of running; both return the process's exit status.
[[nodiscard]] int RunWindowed(int& argc, char** argv, const CommandLine& options);
[[nodiscard]] int RunHeadless(int& argc, char** argv, const CommandLine& options);

}  // namespace morvane
