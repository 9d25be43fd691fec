#pragma once

#include <string>

#include "app/controller.h"

namespace morvane {

// Puts text on air as RadioText, with RT+ artist/title tags on a PIRA32 when configured.
void SendRadioText(Controller& controller, const std::string& text);
// Switches a PIRA32 to its short RadioText mode.
void EnableShortRT(Controller& controller);

}  // namespace morvane
