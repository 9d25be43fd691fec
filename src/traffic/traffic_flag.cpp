#include "traffic/traffic_flag.h"

#include "link/commands.h"

namespace morvane {

void SendTrafficFlag(Controller& controller, TrafficFlag flag) {
  const bool on = flag == TrafficFlag::On;
  if (IsPira32(controller.state)) {
    Exchange(controller.link, on ? pira32::kTrafficOn : pira32::kTrafficOff);
  } else if (IsPiraMicro(controller.state)) {
    Write(controller.link, piramicro::kWriteTraffic,
          on ? std::string_view("\x01", 1) : std::string_view("\x00", 1));
  } else {
    return;
  }
  controller.Report(on ? EventKind::TrafficOn : EventKind::TrafficOff, Severity::Info,
                    on ? "TA on" : "TA off");
}

}  // namespace morvane
