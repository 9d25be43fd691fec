#include "status/status_queries.h"

namespace morvane {

void QueryPS(Controller&) {}
void QueryRT(Controller&) {}
void QueryPI(Controller&) {}
void QueryPilot(Controller&) {}
void QueryCT(Controller&) {}

}  // namespace morvane
