#include "app/dispatch.h"

#include "clock/encoder_clock.h"
#include "inhouse/inhouse_rotator.h"
#include "radiotext/metadata_watcher.h"
#include "traffic/traffic_alert.h"

namespace morvane {

void DispatchTick(Controller& controller, Timer timer) {
  switch (timer) {
    case Timer::tmrTextCheck:
      RunHandler(controller, "tmrTextCheck_Timer", [&] { tmrTextCheck_Timer(controller); });
      break;
    case Timer::tmrTAtimeout:
      RunHandler(controller, "tmrTAtimeout_Timer", [&] { tmrTAtimeout_Timer(controller); });
      break;
    case Timer::tmrClockCheck:
      RunHandler(controller, "tmrClockCheck_Timer", [&] { tmrClockCheck_Timer(controller); });
      break;
    case Timer::tmrInHouse:
      RunHandler(controller, "tmrInHouse_Timer", [&] { tmrInHouse_Timer(controller); });
      break;
  }
}

void DispatchClick(Controller& controller) {
  RunHandler(controller, "cmdTraffic_Click", [&] { cmdTraffic_Click(controller); });
}

}  // namespace morvane
