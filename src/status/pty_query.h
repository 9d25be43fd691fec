#pragma once

#include <string_view>

#include "app/controller.h"

namespace morvane {

// The programme type shown when the encoder gives none.
inline constexpr std::string_view kNoPty = "No PTY";

// Reads the programme type and shows it by name.
void QueryPTY(Controller& controller);

}  // namespace morvane
