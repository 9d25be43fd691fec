#include "app/event_log.h"

#include <gtest/gtest.h>

#include <sstream>

namespace morvane {
namespace {

// Stderr is 64769:1234. The journal reads a line's priority from its first characters; any other
// stream gets the line as it always did.
TEST(EventLog, PriorityPrefixOnlyWhenStderrIsTheJournal) {
  const struct {
    const char* journal_stream;
    Severity severity;
    const char* printed;
  } cases[] = {
      {"64769:1234", Severity::Error, "<3>rdsmorvane: lost\n"},
      {"64769:1234", Severity::Warning, "<4>rdsmorvane: lost\n"},
      {"64769:1234", Severity::Notice, "<6>rdsmorvane: lost\n"},
      {"64769:1234", Severity::Info, ""},
      {nullptr, Severity::Error, "rdsmorvane: lost\n"},
      {"64769:1235", Severity::Error, "rdsmorvane: lost\n"},  // stdout's, not stderr's
      {"64769:1234x", Severity::Error, "rdsmorvane: lost\n"},
  };
  for (const auto& c : cases) {
    std::ostringstream out;
    EventLog(out, IsJournalStream(c.journal_stream, 64769, 1234))
        .Report({EventKind::PortLost, c.severity, "lost"});
    EXPECT_EQ(out.str(), c.printed) << (c.journal_stream ? c.journal_stream : "unset");
  }
}

}  // namespace
}  // namespace morvane
