#pragma once

#include "app/controller.h"

namespace morvane {

// Reads the programme type and shows it by name.
void QueryPTY(Controller& controller);

}  // namespace morvane
