#pragma once

#include "app/controller.h"

namespace morvane {

// Sets a PIRA32's clock from the computer's clock.
void SetEncoderClock(Controller& controller);
// The minute tick: the clock in minute 02 of each hour, traffic and pilot every minute.
void tmrClockCheck_Timer(Controller& controller);

}  // namespace morvane
