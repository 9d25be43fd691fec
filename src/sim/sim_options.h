#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "sim/command_parser.h"
#include "sim/encoder_state.h"
#include "sim/on_air.h"

namespace morvane::sim {

// The real rate of an RDS broadcast: 1187.5 bit/s, 104 bits a group.
inline constexpr double kGroupsPerSecond = 1187.5 / 104.0;

// Where --listen serves the controller over TCP instead of a pseudo-terminal.
struct ListenAddress {
  std::string host;   // a name or an address, IPv6 without brackets
  uint16_t port = 0;  // 0: any free port
};

struct SimOptions {
  Dialect dialect = Dialect::Ascii;
  std::string link_path;  // symlink to the pseudo-terminal, if wanted
  std::optional<ListenAddress> listen;
  EncoderState initial;
  int delay_ms = 0;         // answer this late
  bool silent = false;      // never answer
  bool noise = false;       // send stray bytes between answers now and then
  bool log = false;         // every received command with a millisecond timestamp
  std::string groups_path;  // "-" for standard output; empty for no group stream
  double groups_rate = kGroupsPerSecond;
  ReceivedCharset charset = ReceivedCharset::Rds;  // how on-air texts are read for the terminal
  bool help = false;
  bool version = false;
};

[[nodiscard]] std::string SimUsage();
// The options, or the text of the error.
[[nodiscard]] std::variant<SimOptions, std::string> ParseSimOptions(
    const std::vector<std::string>& args);

}  // namespace morvane::sim
