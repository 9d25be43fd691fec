#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "app/controller.h"
#include "traffic/traffic_flag.h"

namespace morvane {

// Shows TP, TA and the encoder's TA timeout, and sets the traffic button from them. Gives the TA
// flag the encoder reported; std::nullopt when it gave no reading of 0 or 1 (silent, another
// command's answer, or an encoder type that is not asked).
std::optional<TrafficFlag> QueryTraffic(Controller& controller);

// The TA reading of a PIRA micro answer: the code of its flag byte in decimal. A short answer
// reads as a space, "32", which no display row matches.
[[nodiscard]] std::string FrameFlagValue(std::string_view answer);

}  // namespace morvane
