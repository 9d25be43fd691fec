#pragma once

#include <ostream>

#include "app/events.h"

namespace morvane {

// The events a station engineer must hear of (errors, warnings, notices), one line each on the
// program's error output: the terminal, or the service's journal.
class EventLog : public EventSink {
 public:
  explicit EventLog(std::ostream& out) : out_(out) {}
  void Report(const Event& event) override;

 private:
  std::ostream& out_;
};

}  // namespace morvane
