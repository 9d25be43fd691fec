#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace morvane {

// Where the web server listens: WebListen=HOST:PORT, an IPv6 address in brackets.
struct WebListen {
  std::string host;
  int port = 0;
  // Only programs on this computer can reach it: then changes may go without a token.
  bool loopback = false;
};

// std::nullopt for a value that names no host and port (1 to 65535).
[[nodiscard]] std::optional<WebListen> ParseWebListen(std::string_view text);

}  // namespace morvane
