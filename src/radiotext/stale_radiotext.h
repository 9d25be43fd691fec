#pragma once

#include <string>

#include "app/controller.h"

namespace morvane {

// Called by the metadata watcher on every tick with the line it has just read, before it
// compares it with LastRT; line_sends_default: the line holds the system marker. A line that has
// stood unchanged for the configured minutes gives way to DefaultRadioText once, as a line with
// the system marker would, until it changes; a traffic announcement in progress is left alone.
void FallBackWhenStale(Controller& controller, const std::string& line, bool line_sends_default);

}  // namespace morvane
