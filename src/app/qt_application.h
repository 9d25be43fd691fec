#pragma once

#include "app/command_line.h"

namespace morvane {

// Runs the controller until the window is closed (or, headless, until SIGINT or SIGTERM).
// Returns the process's exit status: 1 when start-up failed.
[[nodiscard]] int RunController(int& argc, char** argv, const CommandLine& options);

}  // namespace morvane
