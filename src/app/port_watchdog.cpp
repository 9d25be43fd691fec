#include "app/port_watchdog.h"

#include <utility>

#include "app/startup_sync.h"
#include "status/no_readings.h"

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
  controller_.link.SetHearingListener([this](bool heard) { Heard(heard); });
  // An encoder that was already silent through start-up.
  if (controller_.link.counters().silent_in_a_row >= kSilentExchanges) {
    Heard(false);
  }
}

PortWatchdog::~PortWatchdog() {
  controller_.link.SetPortHealthListener(nullptr);
  controller_.link.SetHearingListener(nullptr);
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
  ShowNoReadings(controller_);
  controller_.notices.Post(Notice::PortLost, PortLostNotice(port_name_));
  controller_.Report(EventKind::PortLost, Severity::Error, "encoder port " + port_name_ + " lost");
}

void PortWatchdog::Heard(bool heard) {
  if (!heard && !silent_ && controller_.link.counters().silent_in_a_row >= kSilentExchanges) {
    silent_ = true;
    ShowNoReadings(controller_);
    controller_.notices.Post(Notice::EncoderSilent, kSilentNotice);
    controller_.Report(EventKind::EncoderSilent, Severity::Warning, kSilentNotice);
  } else if (heard && silent_) {
    silent_ = false;
    back_ = true;
    controller_.notices.Withdraw(Notice::EncoderSilent);
    controller_.Report(EventKind::EncoderAnswering, Severity::Notice, "encoder answering again");
  }
}

void PortWatchdog::Tick() {
  if (lost_) {
    const int64_t now = now_ms_();
    if (now < next_try_ms_) {
      return;
    }
    next_try_ms_ = now + kPortRetryIntervalMs;
    Reopen();
  }
  if (back_) {
    BringEncoderBackIntoStep(controller_);
    // Its own answers end a silence without calling for another round.
    back_ = false;
  }
}

void PortWatchdog::RetryNow() {
  if (lost_) {
    Reopen();
  }
  if (back_) {
    BringEncoderBackIntoStep(controller_);
    back_ = false;
  }
}

void PortWatchdog::Reopen() {
  if (controller_.io.port.Open(controller_.port_address, controller_.line_settings)) {
    return;  // still gone; the notice already says so
  }
  lost_ = false;
  back_ = true;
  controller_.notices.Withdraw(Notice::PortLost);
  controller_.Report(EventKind::PortBack, Severity::Notice, "encoder port " + port_name_ + " back");
}

}  // namespace morvane
