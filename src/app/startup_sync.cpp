#include "app/startup_sync.h"

#include "clock/encoder_clock.h"
#include "inhouse/inhouse_rotator.h"
#include "link/setup_commands.h"
#include "radiotext/radiotext_check.h"
#include "radiotext/radiotext_sender.h"
#include "status/pty_query.h"
#include "status/status_queries.h"
#include "traffic/traffic_alert.h"
#include "traffic/traffic_query.h"

namespace morvane {

// Every step runs whatever the encoder type; each operation decides for itself what it sends.
void SynchroniseEncoder(Controller& controller) {
  const std::string radiotext =
      controller.radiotext_check.meant.value_or(controller.state.DefaultRadioText);
  SetGroupSequence(controller);
  // Before the RadioText is read back, so the window shows what the encoder holds afterwards.
  SendRadioText(controller, radiotext);
  QueryPS(controller);
  QueryPI(controller);
  CheckRadioTextHeld(controller, radiotext, ReadRadioTextBack(controller));
  QueryCT(controller);
  QueryTraffic(controller);
  QueryPTY(controller);
  SetEncoderClock(controller);
  SendInHouse(controller);
  // After the first RadioText has gone out.
  EnableShortRT(controller);
  QueryPilot(controller);
  // Last: the first groups go out one interval after the empty list.
  controller.io.timers.SetEnabled(Timer::tmrInHouse, true);
}

void BringEncoderBackIntoStep(Controller& controller) {
  RestoreTrafficFlag(controller);
  SynchroniseEncoder(controller);
}

}  // namespace morvane
