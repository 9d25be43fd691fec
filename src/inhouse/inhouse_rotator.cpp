#include "inhouse/inhouse_rotator.h"

namespace morvane {

void tmrInHouse_Timer(Controller&) {}
void SendInHouse(Controller&) {}

}  // namespace morvane
