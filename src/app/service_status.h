#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "app/events.h"

namespace morvane {

// The service manager's watchdog wants a sign of life within watchdog_usec; a ping at half that
// leaves room for one late ping. std::nullopt when it asks for none.
[[nodiscard]] std::optional<int> WatchdogPingIntervalMs(uint64_t watchdog_usec);

// One line for `systemctl status`: is the encoder's port there, and what RadioText went out last.
// Every event passes on to next unchanged; on_change hears the new line each time it changes.
class ServiceStatus : public EventSink {
 public:
  explicit ServiceStatus(EventSink& next) : next_(next) {}
  void Report(const Event& event) override;

  void SetListener(std::function<void(const std::string&)> on_change);
  [[nodiscard]] std::string Line() const;

 private:
  EventSink& next_;
  std::function<void(const std::string&)> on_change_;
  bool link_up_ = true;
  bool answering_ = true;
  std::optional<std::string> radiotext_;
};

}  // namespace morvane
