#include "app/qt_application.h"

#include <cstdlib>
#include <iostream>

#include "app/qt_machine.h"

namespace morvane {

int RunController(int& argc, char** argv, const CommandLine& options) {
  if (options.headless) {
    return RunHeadless(argc, argv, options);
  }
  if (!HasDisplay(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"),
                  std::getenv("QT_QPA_PLATFORM"))) {
    std::cerr << "rdsmorvane: no display (DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM are "
                 "unset), running headless"
              << std::endl;
    return RunHeadless(argc, argv, options);
  }
  return RunWindowed(argc, argv, options);
}

}  // namespace morvane
