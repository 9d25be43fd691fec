#pragma once

#include <optional>
#include <string>

#include "app/configuration.h"
#include "app/controller.h"

namespace morvane {

// What the port set-up opens, from the configured texts. Throws StartupError when they name no
// port or no line settings, before anything is opened.
struct PortSetup {
  PortAddress address;
  LineSettings settings;
};
[[nodiscard]] PortSetup ResolvePort(const PortConfiguration& port);

// What start-up says when the device at address cannot be the encoder's port (missing, not a
// serial device, not accessible by this user); std::nullopt when it can be opened, and for a
// network address, which has no device here.
[[nodiscard]] std::optional<std::string> PortProblem(FileReader& files, const PortAddress& address);

// Start-up: configuration, port, the PIRA32 traffic clear and the encoder synchronisation.
// Throws StartupError; nothing has been shown then.
void Form_Load(Controller& controller, const std::string& working_directory);
// Form_Load in its two halves, for a program that starts something between them (the web
// server, which then shows the encoder's synchronisation as it happens): the notice, the
// configuration and the working fields; then the port, the traffic clear and the synchronisation.
[[nodiscard]] Configuration ConfigureController(Controller& controller,
                                                const std::string& working_directory);
void OpenPortAndSynchronise(Controller& controller, const Configuration& configuration);
// Shutdown only closes the port: a traffic announcement in progress is left to the encoder.
void Form_Unload(Controller& controller);

}  // namespace morvane
