#pragma once

#include <string>
#include <string_view>

#include "app/controller.h"

namespace morvane {

// Puts text on air as RadioText, with RT+ artist/title tags on a PIRA32 when configured.
void SendRadioText(Controller& controller, const std::string& text);
// What the encoder should hold after SendRadioText(text), as its RadioText read-back gives it:
// the 64 characters the dialect sends, without trailing blanks (an encoder may pad with them)
// and without LFs (a PIRA32 answer cannot carry them). Empty for a type that is sent nothing.
[[nodiscard]] std::string RadioTextAsHeld(const ControllerState& state, std::string_view text);
// A RadioText read back, cut the same way, to compare with RadioTextAsHeld.
[[nodiscard]] std::string RadioTextAsRead(std::string_view read_back);
// Switches a PIRA32 to its short RadioText mode.
void EnableShortRT(Controller& controller);

}  // namespace morvane
