#include "app/startup_sync.h"

namespace morvane {

void SynchroniseEncoder(Controller& controller) {
  controller.io.timers.SetEnabled(Timer::tmrInHouse, true);
}

}  // namespace morvane
