#include "clock/encoder_clock.h"

namespace morvane {

void SetEncoderClock(Controller&) {}
void tmrClockCheck_Timer(Controller&) {}

}  // namespace morvane
