#pragma once

#include "app/controller.h"

namespace morvane {

enum class TrafficFlag { Off, On };

// Sets or clears the encoder's TA flag with one exchange whose answer is not looked at. An encoder
// type without a TA command gets nothing and costs no time.
void SendTrafficFlag(Controller& controller, TrafficFlag flag);

}  // namespace morvane
