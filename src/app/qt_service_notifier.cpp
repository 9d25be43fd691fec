#include "app/qt_service_notifier.h"

#include <cstdint>
#include <optional>

#include "app/service_status.h"

#ifdef MORVANE_HAVE_SYSTEMD
#include <systemd/sd-daemon.h>
#endif

namespace morvane {

namespace {

void Notify([[maybe_unused]] const std::string& message) {
#ifdef MORVANE_HAVE_SYSTEMD
  (void)sd_notify(0, message.c_str());
#endif
}

std::optional<int> AskedPingIntervalMs() {
#ifdef MORVANE_HAVE_SYSTEMD
  uint64_t usec = 0;
  if (sd_watchdog_enabled(0, &usec) > 0) {
    return WatchdogPingIntervalMs(usec);
  }
#endif
  return std::nullopt;
}

}  // namespace

void ServiceNotifier::Ready() {
  Notify("READY=1");
  if (const std::optional<int> interval = AskedPingIntervalMs()) {
    watchdog_.setInterval(*interval);
    QObject::connect(&watchdog_, &QTimer::timeout, [] { Notify("WATCHDOG=1"); });
    watchdog_.start();
  }
}

void ServiceNotifier::Status(const std::string& line) {
  Notify("STATUS=" + line);
}

void ServiceNotifier::Stopping() {
  watchdog_.stop();
  Notify("STOPPING=1");
}

}  // namespace morvane
