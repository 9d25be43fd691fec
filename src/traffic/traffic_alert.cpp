#include "traffic/traffic_alert.h"

namespace morvane {

void cmdTraffic_Click(Controller&) {}
void tmrTAtimeout_Timer(Controller&) {}
void RaiseTrafficAlert(Controller&) {}
void EndTrafficAlert(Controller&) {}

}  // namespace morvane
