#include "app/event_log.h"

#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <cstdlib>

namespace morvane {

namespace {

// The syslog priorities the journal reads from a line's start.
std::string_view PriorityPrefix(Severity severity) {
  switch (severity) {
    case Severity::Error:
      return "<3>";
    case Severity::Warning:
      return "<4>";
    case Severity::Notice:
    case Severity::Info:
      return "<6>";
  }
  return "";
}

// A decimal number and nothing else: no sign, no blanks.
std::optional<uint64_t> Decimal(std::string_view text) {
  uint64_t value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end) {
    return std::nullopt;
  }
  return value;
}

}  // namespace

bool IsJournalStream(const char* journal_stream, uint64_t device, uint64_t inode) {
  if (journal_stream == nullptr) {
    return false;
  }
  const std::string_view text(journal_stream);
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos) {
    return false;
  }
  const std::optional<uint64_t> named_device = Decimal(text.substr(0, colon));
  const std::optional<uint64_t> named_inode = Decimal(text.substr(colon + 1));
  return named_device == device && named_inode == inode;
}

bool StderrIsJournal() {
  struct stat info {};
  if (fstat(STDERR_FILENO, &info) != 0) {
    return false;
  }
  return IsJournalStream(std::getenv("JOURNAL_STREAM"), static_cast<uint64_t>(info.st_dev),
                         static_cast<uint64_t>(info.st_ino));
}

void EventLog::Report(const Event& event) {
  if (event.severity == Severity::Info) {
    return;
  }
  if (journal_) {
    out_ << PriorityPrefix(event.severity);
  }
  // Flushed line by line: a journal must see each line when it happens.
  out_ << "rdsmorvane: " << event.text << std::endl;
}

}  // namespace morvane
