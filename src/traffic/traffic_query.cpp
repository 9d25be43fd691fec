#include "traffic/traffic_query.h"

namespace morvane {

void QueryTraffic(Controller&) {}

}  // namespace morvane
