#pragma once

#include "app/controller.h"

namespace morvane {

// Sets the encoder's group sequence to the station's fixed value.
void SetGroupSequence(Controller& controller);

}  // namespace morvane
