#pragma once

#include <string>

#include "app/controller.h"

namespace morvane {

// Start-up: configuration, port, the PIRA32 traffic clear and the encoder synchronisation.
// Throws StartupError; nothing has been shown then.
void Form_Load(Controller& controller, const std::string& working_directory);
// Shutdown only closes the port: a traffic announcement in progress is left to the encoder.
void Form_Unload(Controller& controller);

}  // namespace morvane
