#pragma once

#include "app/controller.h"

namespace morvane {

// Brings encoder and window into step once, at the end of start-up, and switches the in-house
// timer on last.
void SynchroniseEncoder(Controller& controller);

}  // namespace morvane
