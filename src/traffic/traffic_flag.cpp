#include "traffic/traffic_flag.h"

#include "link/dialects.h"

namespace morvane {

void SendTrafficFlag(Controller& controller, TrafficFlag flag) {
  const bool on = flag == TrafficFlag::On;
  if (IsPira32(controller.state)) {
    (void)controller.ExchangeCommand(BuildAsciiCommand(on ? "TA=1" : "TA=0"),
                                     kTrafficFlagAsciiWaitMs);
  } else if (IsPiraMicro(controller.state)) {
    const char value = on ? '\x01' : '\x00';
    (void)controller.ExchangeCommand(BuildWriteFrame(kAddressTraffic, std::string_view(&value, 1)),
                                     kTrafficFlagFrameWaitMs);
  }
}

}  // namespace morvane
