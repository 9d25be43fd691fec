#pragma once

#include "app/controller.h"

namespace morvane {

// Every eight seconds: the next eight characters of the in-house message in type 6A groups.
void tmrInHouse_Timer(Controller& controller);
// The empty in-house group list, sent once at start-up.
void SendInHouse(Controller& controller);

}  // namespace morvane
