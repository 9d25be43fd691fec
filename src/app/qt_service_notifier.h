#pragma once

#include <QTimer>
#include <string>

namespace morvane {

// Tells the service manager how the controller is doing: ready once start-up has ended, one
// status line on each change, alive at half the watchdog interval while the event loop turns,
// and stopping at the end. Sends nothing when the program was not started by a service manager
// that listens, or was built without its library.
class ServiceNotifier {
 public:
  ServiceNotifier() = default;
  ServiceNotifier(const ServiceNotifier&) = delete;
  ServiceNotifier& operator=(const ServiceNotifier&) = delete;

  // Start-up has ended. The pings start now and come from the event loop, so a handler that
  // never returns stops them and the service manager restarts the program.
  void Ready();
  void Status(const std::string& line);
  void Stopping();

 private:
  QTimer watchdog_;
};

}  // namespace morvane
