#include "app/event_log.h"

namespace morvane {

void EventLog::Report(const Event& event) {
  if (event.severity == Severity::Info) {
    return;
  }
  // Flushed line by line: a journal must see each line when it happens.
  out_ << "rdsmorvane: " << event.text << std::endl;
}

}  // namespace morvane
