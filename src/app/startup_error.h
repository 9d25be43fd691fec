#pragma once

#include <stdexcept>
#include <string>

namespace morvane {

// Ends start-up before the window is shown; the message names what went wrong.
class StartupError : public std::runtime_error {
 public:
  explicit StartupError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace morvane
