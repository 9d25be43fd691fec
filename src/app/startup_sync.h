#pragma once

#include "app/controller.h"

namespace morvane {

// Brings encoder and window into step: at the end of start-up, and again when the encoder is
// back. Puts on air the RadioText meant to be there (DefaultRadioText before the metadata
// watcher chose any), and switches the in-house timer on last.
void SynchroniseEncoder(Controller& controller);

// The port came back, or the encoder answers again after a silence: it may have lost power and
// with it everything it was told. The TA flag first, as the record wants it (as start-up clears
// it first), then the whole synchronisation.
void BringEncoderBackIntoStep(Controller& controller);

}  // namespace morvane
