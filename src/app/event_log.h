#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string_view>

#include "app/events.h"

namespace morvane {

// The service manager says which stream goes to the journal as "device:inode" (decimal). True
// when that is the stream with this device and inode: only then does a line carry its priority.
[[nodiscard]] bool IsJournalStream(const char* journal_stream, uint64_t device, uint64_t inode);
// True when the program's error output is the journal (JOURNAL_STREAM names it).
[[nodiscard]] bool StderrIsJournal();

// The events a station engineer must hear of (errors, warnings, notices), one line each on the
// program's error output: the terminal, or the service's journal. In the journal each line starts
// with its syslog priority, so that `journalctl -p warning` shows what matters.
class EventLog : public EventSink {
 public:
  explicit EventLog(std::ostream& out, bool journal = false) : out_(out), journal_(journal) {}
  void Report(const Event& event) override;

 private:
  std::ostream& out_;
  bool journal_;
};

}  // namespace morvane
