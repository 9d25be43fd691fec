#pragma once

#include <string>
#include <string_view>

#include "app/controller.h"

namespace morvane {

// Shows TP, TA and the encoder's TA timeout, and sets the traffic button from them.
void QueryTraffic(Controller& controller);

// The TA reading of a PIRA micro answer: the code of its flag byte in decimal. A short answer
// reads as a space, "32", which no display row matches.
[[nodiscard]] std::string FrameFlagValue(std::string_view answer);

}  // namespace morvane
