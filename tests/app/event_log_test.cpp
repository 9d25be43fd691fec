#include "app/event_log.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace morvane {
namespace {

// The journal reads a line's syslog priority from its first characters; a terminal must get the
// line as it always did.
TEST(EventLog, PriorityPrefixOnlyWhenStderrIsTheJournal) {
  const struct {
    const char* journal_stream;  // as the service manager sets it; stderr is 64769:1234
    Severity severity;
    std::string printed;
  } cases[] = {
      {"64769:1234", Severity::Error, "<3>rdsmorvane: port lost\n"},
      {"64769:1234", Severity::Warning, "<4>rdsmorvane: port lost\n"},
      {"64769:1234", Severity::Notice, "<6>rdsmorvane: port lost\n"},
      {"64769:1234", Severity::Info, ""},
      {nullptr, Severity::Error, "rdsmorvane: port lost\n"},
      {"64769:1235", Severity::Error, "rdsmorvane: port lost\n"},  // stdout's, not stderr's
      {"64770:1234", Severity::Warning, "rdsmorvane: port lost\n"},
      {"64769:1234x", Severity::Error, "rdsmorvane: port lost\n"},
      {"64769", Severity::Error, "rdsmorvane: port lost\n"},
      {":1234", Severity::Error, "rdsmorvane: port lost\n"},
      {"", Severity::Error, "rdsmorvane: port lost\n"},
  };
  for (const auto& c : cases) {
    std::ostringstream out;
    EventLog log(out, IsJournalStream(c.journal_stream, 64769, 1234));
    log.Report(Event{EventKind::PortLost, c.severity, "port lost"});
    EXPECT_EQ(out.str(), c.printed) << (c.journal_stream ? c.journal_stream : "(unset)");
  }
}

}  // namespace
}  // namespace morvane
