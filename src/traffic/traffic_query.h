#pragma once

#include "app/controller.h"

namespace morvane {

// Shows TP, TA and the encoder's TA timeout, and sets the traffic button from them.
void QueryTraffic(Controller& controller);

}  // namespace morvane
