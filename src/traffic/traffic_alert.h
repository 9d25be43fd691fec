#pragma once

#include "app/controller.h"

namespace morvane {

// The traffic button's click: starts a manual alert, or ends whatever alert is in progress.
void cmdTraffic_Click(Controller& controller);
// The alert countdown's one-second tick.
void tmrTAtimeout_Timer(Controller& controller);

// Shared with the metadata watcher. Raising: TA on, display refresh, countdown restarted at
// TAmaxtime and switched on, TAstatus 1. Ending: TA off, display refresh, TAstatus 0; the
// countdown is left to run out by itself.
void RaiseTrafficAlert(Controller& controller);
void EndTrafficAlert(Controller& controller);

}  // namespace morvane
