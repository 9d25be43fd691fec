#include "traffic/traffic_alert.h"

#include <string>

#include "traffic/traffic_flag.h"
#include "traffic/traffic_query.h"

namespace morvane {

void cmdTraffic_Click(Controller& controller) {
  ControllerState& state = controller.state;
  // Decide once from the record as it was, so one click either starts or ends an alert.
  const int16_t alert_in_progress = state.TAstatus;
  if (alert_in_progress == 0) {
    state.ManualTraffic = 1;
    RaiseTrafficAlert(controller);
  } else if (alert_in_progress == 1) {
    // Ends any alert, also one the metadata started or the countdown has already cleared.
    state.ManualTraffic = 0;
    EndTrafficAlert(controller);
  }
}

void tmrTAtimeout_Timer(Controller& controller) {
  ControllerState& state = controller.state;
  if (state.TAtimeout > 0) {
    --state.TAtimeout;
  }
  // One tick before the end, so the flag is never held longer than TAmaxtime. The record keeps
  // the alert: only a click or a changed metadata line ends it.
  if (state.TAtimeout == 1) {
    SendTrafficFlag(controller, TrafficFlag::Off);
    QueryTraffic(controller);
  }
  const int16_t shown = state.TAtimeout != 0 ? state.TAtimeout : state.TAmaxtime;
  controller.SetLabel(Label::lblOurTimeout, std::to_string(shown));
  if (state.TAtimeout == 0) {
    controller.io.timers.SetEnabled(Timer::tmrTAtimeout, false);
  }
}

void RaiseTrafficAlert(Controller& controller) {
  SendTrafficFlag(controller, TrafficFlag::On);
  QueryTraffic(controller);
  // Restarting the countdown also keeps the extra TA off of an earlier, ended alert from
  // cutting this one short.
  controller.state.TAtimeout = controller.state.TAmaxtime;
  controller.io.timers.SetEnabled(Timer::tmrTAtimeout, true);
  controller.state.TAstatus = 1;
}

void EndTrafficAlert(Controller& controller) {
  SendTrafficFlag(controller, TrafficFlag::Off);
  QueryTraffic(controller);
  // The countdown runs out by itself and sends TA off once more on its way.
  controller.state.TAstatus = 0;
}

bool TrafficFlagWanted(const ControllerState& state) {
  return state.TAstatus == 1 && state.TAtimeout > 1;
}

void ClearStrayTrafficFlag(Controller& controller) {
  if (QueryTraffic(controller) == TrafficFlag::On && !TrafficFlagWanted(controller.state)) {
    SendTrafficFlag(controller, TrafficFlag::Off);
    QueryTraffic(controller);
  }
}

void RestoreTrafficFlag(Controller& controller) {
  SendTrafficFlag(controller,
                  TrafficFlagWanted(controller.state) ? TrafficFlag::On : TrafficFlag::Off);
}

}  // namespace morvane
