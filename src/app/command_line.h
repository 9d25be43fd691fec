#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace morvane {

struct CommandLine {
  bool headless = false;
  bool verbose = false;
  bool trace = false;
  bool check = false;
  std::string screenshot;  // not empty: save the window there as PNG shortly after start-up, quit
  bool help = false;
  bool version = false;
  std::string error;  // not empty: the arguments cannot be run as given
};

// The arguments after the program's name.
[[nodiscard]] CommandLine ParseCommandLine(const std::vector<std::string>& args);
[[nodiscard]] std::string HelpText();
[[nodiscard]] std::string VersionLine();

// A window can only be shown when a display is named or Qt has been told where to draw; an
// empty variable names nothing.
[[nodiscard]] bool HasDisplay(const char* display, const char* wayland_display,
                              const char* qt_platform);

}  // namespace morvane
