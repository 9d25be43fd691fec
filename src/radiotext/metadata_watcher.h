#pragma once

#include "app/controller.h"

namespace morvane {

// Once a second: puts a changed first line of the metadata file on air.
void tmrTextCheck_Timer(Controller& controller);

}  // namespace morvane
