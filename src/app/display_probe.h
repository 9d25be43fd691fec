#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace morvane {

// Where a display server takes connections: a local socket, or a host and TCP port.
struct DisplayEndpoint {
  std::string socket_path;
  // X11 servers on Linux also listen on the abstract socket of the same name.
  bool abstract_too = false;
  std::string host;
  int port = 0;
};

// An X11 DISPLAY ("[host]:N[.screen]"): no host or "unix" is the local socket of display N, any
// other host its TCP port 6000 + N. std::nullopt for a form this does not know (trust it then).
[[nodiscard]] std::optional<DisplayEndpoint> X11Endpoint(std::string_view display);
// A WAYLAND_DISPLAY: a socket name in the runtime directory, or a path of its own; std::nullopt
// when there is no runtime directory to look in.
[[nodiscard]] std::optional<DisplayEndpoint> WaylandEndpoint(std::string_view wayland_display,
                                                             const char* runtime_dir);

// True when a window can be drawn on one of the named displays, or when the display cannot be
// told (a form not known here). The toolkit ends the program at once when it cannot reach the
// display; a service left with a stale DISPLAY is better run headless.
[[nodiscard]] bool DisplayReachable(const char* display, const char* wayland_display,
                                    const char* runtime_dir);

}  // namespace morvane
