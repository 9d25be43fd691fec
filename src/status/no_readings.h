#pragma once

#include "app/controller.h"

namespace morvane {

// Every encoder reading of the window at the value it shows for an encoder that gives none, and
// the traffic button disabled: while the port is lost or the encoder silent, the window shows
// nothing that is not the encoder's, and a click that could not reach it cannot be made.
void ShowNoReadings(Controller& controller);

}  // namespace morvane
