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

// Whether the encoder's TA flag should be on by the record: in an alert whose countdown still
// runs. Off when idle and once the countdown has cleared it.
[[nodiscard]] bool TrafficFlagWanted(const ControllerState& state);
// The minute's traffic read: a flag found on where the record wants it off is cleared and read
// again. A flag found off is never raised here: the encoder's own timeout may have cleared it.
void ClearStrayTrafficFlag(Controller& controller);
// The encoder is back (port reopened, or answering again) and may have lost or kept anything:
// the flag is set as the record wants it, on or off.
void RestoreTrafficFlag(Controller& controller);

}  // namespace morvane
