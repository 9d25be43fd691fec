#include "app/qt_application.h"

#include <cstdlib>
#include <iostream>
#include <string>

#include "app/display_probe.h"
#include "app/event_log.h"
#include "app/qt_machine.h"

namespace morvane {

namespace {

bool Named(const char* value) {
  return value != nullptr && *value != '\0';
}

// The display variables that are set, as the operator would write them.
std::string NamedDisplays(const char* display, const char* wayland_display) {
  std::string named;
  for (const auto& [name, value] :
       {std::pair{"DISPLAY", display}, {"WAYLAND_DISPLAY", wayland_display}}) {
    if (Named(value)) {
      named += (named.empty() ? "" : ", ") + std::string(name) + "=" + value;
    }
  }
  return named;
}

}  // namespace

int RunController(int& argc, char** argv, const CommandLine& options) {
  if (options.headless) {
    return RunHeadless(argc, argv, options);
  }
  EventLog log(std::cerr, StderrIsJournal());
  const char* display = std::getenv("DISPLAY");
  const char* wayland_display = std::getenv("WAYLAND_DISPLAY");
  const char* qt_platform = std::getenv("QT_QPA_PLATFORM");
  if (!HasDisplay(display, wayland_display, qt_platform)) {
    log.Report({EventKind::Problem, Severity::Notice,
                "no display (DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM are unset), running "
                "headless"});
    return RunHeadless(argc, argv, options);
  }
  // A platform named outright (offscreen, vnc, eglfs) needs no display server to be probed.
  if (!Named(qt_platform) &&
      !DisplayReachable(display, wayland_display, std::getenv("XDG_RUNTIME_DIR"))) {
    log.Report({EventKind::Problem, Severity::Warning,
                "the display cannot be reached (" + NamedDisplays(display, wayland_display) +
                    "), running headless"});
    return RunHeadless(argc, argv, options);
  }
  return RunWindowed(argc, argv, options);
}

}  // namespace morvane
