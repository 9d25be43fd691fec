#include "app/port_watchdog.h"

#include <utility>

#include "app/startup.h"

namespace morvane {

std::string PortLostNotice(const std::string& port_name) {
  return "Encoder port " + port_name + " lost - retrying every " +
         std::to_string(kPortRetryIntervalMs / 1000) + " s";
}

PortWatchdog::PortWatchdog(Controller& controller, std::string port_name,
                           std::function<int64_t()> now_ms)
    : controller_(controller), port_name_(std::move(port_name)), now_ms_(std::move(now_ms)) {
  controller_.link.SetPortHealthListener([this](bool ok) {
    if (!ok) {
      PortFailed();
    }
  });
}

PortWatchdog::~PortWatchdog() {
  controller_.link.SetPortHealthListener(nullptr);
}

void PortWatchdog::PortFailed() {
  if (lost_) {
    return;
  }
  lost_ = true;
  next_try_ms_ = now_ms_() + kPortRetryIntervalMs;
  // Closed, a port fails at once instead of waiting on a device that is gone, and the system
  // can give the device name to the adapter when it comes back.
  controller_.io.port.Close();
  controller_.SetLabel(Label::lblNotice, PortLostNotice(port_name_));
  controller_.Report(EventKind::PortLost, Severity::Error, "encoder port " + port_name_ + " lost");
}

void PortWatchdog::Tick() {
  if (!lost_) {
    return;
  }
  const int64_t now = now_ms_();
  if (now < next_try_ms_) {
    return;
  }
  next_try_ms_ = now + kPortRetryIntervalMs;
  Reopen();
}

void PortWatchdog::RetryNow() {
  if (lost_) {
    Reopen();
  }
}

void PortWatchdog::Reopen() {
  if (controller_.io.port.Open(controller_.port_address, controller_.line_settings)) {
    return;  // still gone; the notice already says so
  }
  lost_ = false;
  controller_.SetLabel(Label::lblNotice, NoticeText());
  controller_.state.LastRT.clear();
  controller_.Report(EventKind::PortBack, Severity::Notice, "encoder port " + port_name_ + " back");
}

}  // namespace morvane
