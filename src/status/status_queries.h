#pragma once

#include "app/controller.h"

namespace morvane {

// Each reads one setting back from the encoder into its label.
void QueryPS(Controller& controller);
void QueryRT(Controller& controller);
void QueryPI(Controller& controller);
void QueryPilot(Controller& controller);
void QueryCT(Controller& controller);

}  // namespace morvane
