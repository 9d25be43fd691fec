#include "app/service_status.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fakes.h"

namespace morvane {
namespace {

// What the service manager is told, event by event; every event still reaches the log.
TEST(ServiceStatus, ALineForEachChangeOfLinkOrRadioText) {
  const Event sent_a{EventKind::RadioTextSent, Severity::Info, "Caf\x82 - Song"};
  const Event sent_b{EventKind::RadioTextSent, Severity::Info, std::string(70, 'x')};
  const Event lost{EventKind::PortLost, Severity::Error, "encoder port /dev/ttyUSB0 lost"};
  const Event back{EventKind::PortBack, Severity::Notice, "encoder port /dev/ttyUSB0 back"};
  const Event clock{EventKind::ClockSet, Severity::Info, "clock set"};
  const std::string up = "Encoder link up, RadioText ";
  const std::string down = "Encoder link down, RadioText ";
  const struct {
    const char* name;
    std::vector<Event> events;
    std::vector<std::string> lines;
  } cases[] = {
      {"nothing changed", {clock}, {}},
      {"a RadioText, as a radio shows it", {sent_a}, {up + "\"Café - Song\""}},
      {"the same text again is no change", {sent_a, clock, sent_a}, {up + "\"Café - Song\""}},
      {"64 characters at most", {sent_b}, {up + "\"" + std::string(64, 'x') + "\""}},
      {"port lost and back",
       {lost, lost, back},
       {"Encoder link down, no RadioText sent yet", "Encoder link up, no RadioText sent yet"}},
      {"sent while down",
       {sent_a, lost, sent_a, back},
       {up + "\"Café - Song\"", down + "\"Café - Song\"", up + "\"Café - Song\""}},
  };
  for (const auto& c : cases) {
    testing::FakeEvents log;
    ServiceStatus status(log);
    std::vector<std::string> lines;
    status.SetListener([&lines](const std::string& line) { lines.push_back(line); });
    for (const Event& event : c.events) {
      status.Report(event);
    }
    EXPECT_EQ(lines, c.lines) << c.name;
    EXPECT_EQ(log.events.size(), c.events.size()) << c.name;
  }
}

}  // namespace
}  // namespace morvane
