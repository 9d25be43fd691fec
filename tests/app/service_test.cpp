// What the program tells a service manager and its journal.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "app/event_log.h"
#include "app/service_status.h"
#include "support/fakes.h"

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
  };
  for (const auto& c : cases) {
    std::ostringstream out;
    EventLog(out, IsJournalStream(c.journal_stream, 64769, 1234))
        .Report({EventKind::PortLost, c.severity, "lost"});
    EXPECT_EQ(out.str(), c.printed) << (c.journal_stream ? c.journal_stream : "unset");
  }
}

// The status line changes with the link and the RadioText on air, nothing else: one event after
// the other, and the line heard after each ("" when it stayed as it was). Every event passes on.
TEST(ServiceStatus, OneLineOfLinkAndRadioText) {
  testing::FakeEvents next;
  ServiceStatus status(next);
  std::string heard;
  status.SetListener([&](const std::string& line) { heard = line; });
  EXPECT_EQ(status.Line(), "Encoder link up, no RadioText sent yet");
  const std::string longest = "Caf\x82" + std::string(60, 'x');
  const std::string shown = ", RadioText \"Caf\xC3\xA9" + std::string(60, 'x') + "\"";
  const struct {
    EventKind kind;
    std::string text;
    std::string line;
  } steps[] = {
      {EventKind::TrafficOn, "TA on", ""},
      {EventKind::PortLost, "lost", "Encoder link down, no RadioText sent yet"},
      {EventKind::PortLost, "lost", ""},
      {EventKind::RadioTextSent, longest + "cut", "Encoder link down" + shown},
      {EventKind::PortBack, "back", "Encoder link up" + shown},
      {EventKind::EncoderSilent, "silent", "Encoder link up, encoder not answering" + shown},
      {EventKind::RadioTextSent, longest, ""},
      {EventKind::EncoderAnswering, "answering", "Encoder link up" + shown},
  };
  for (const auto& step : steps) {
    heard.clear();
    status.Report({step.kind, Severity::Info, step.text});
    EXPECT_EQ(heard, step.line) << step.text;
  }
  EXPECT_EQ(next.events.size(), std::size(steps));
}

TEST(ServiceStatus, PingAtHalfTheWatchdogInterval) {
  const std::pair<uint64_t, std::optional<int>> cases[] = {
      {0, std::nullopt}, {400000, 200}, {1000, 1}, {30000000, 15000}, {UINT64_MAX, 86400000}};
  for (const auto& [usec, ms] : cases) {
    EXPECT_EQ(WatchdogPingIntervalMs(usec), ms) << usec;
  }
}

}  // namespace
}  // namespace morvane
