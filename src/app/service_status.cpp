#include "app/service_status.h"

#include <algorithm>
#include <utility>

#include "link/protocol.h"
#include "text/rds_charset.h"

namespace morvane {

namespace {

constexpr uint64_t kMicrosecondsPerMillisecond = 1000;

}  // namespace

std::optional<int> WatchdogPingIntervalMs(uint64_t watchdog_usec) {
  if (watchdog_usec == 0) {
    return std::nullopt;
  }
  const uint64_t half_ms = watchdog_usec / 2 / kMicrosecondsPerMillisecond;
  // Far beyond any watchdog a unit sets; a timer cannot wait longer than an int holds.
  constexpr uint64_t kLongestMs = 24ULL * 60 * 60 * 1000;
  return static_cast<int>(std::clamp<uint64_t>(half_ms, 1, kLongestMs));
}

void ServiceStatus::Report(const Event& event) {
  const std::string before = Line();
  switch (event.kind) {
    case EventKind::PortLost:
      link_up_ = false;
      break;
    case EventKind::PortBack:
      link_up_ = true;
      break;
    case EventKind::EncoderSilent:
      answering_ = false;
      break;
    case EventKind::EncoderAnswering:
      answering_ = true;
      break;
    case EventKind::RadioTextSent:
      // What a radio shows: the first 64 characters, decoded for the operator's terminal.
      radiotext_ = RdsToUtf8(std::string_view(event.text).substr(0, protocol::kRadioTextLength));
      break;
    default:
      break;
  }
  next_.Report(event);
  if (on_change_ && Line() != before) {
    on_change_(Line());
  }
}

void ServiceStatus::SetListener(std::function<void(const std::string&)> on_change) {
  on_change_ = std::move(on_change);
}

std::string ServiceStatus::Line() const {
  // A port that is open but hears nothing is no more use to listeners than a lost one.
  std::string line = !link_up_     ? "Encoder link down"
                     : !answering_ ? "Encoder link up, encoder not answering"
                                   : "Encoder link up";
  if (radiotext_) {
    return line + ", RadioText \"" + *radiotext_ + "\"";
  }
  return line + ", no RadioText sent yet";
}

}  // namespace morvane
