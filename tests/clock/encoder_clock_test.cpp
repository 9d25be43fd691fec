#include "clock/encoder_clock.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "support/fakes.h"

namespace morvane {
namespace {

using testing::Rig;
using testing::SentCommand;

TEST(SetEncoderClock, SendsTimeOneSecondAheadWithoutCarryThenTheDateOfThatMoment) {
  const struct {
    LocalTime at;
    int already_ms;  // how far into the second the clock is when it is set
    const char* time_command;
    const char* date_command;
    const char* label;
  } cases[] = {
      {{2026, 3, 5, 14, 2, 30}, 0, "TIME=14:02:31\r", "DATE=05.03.26\r", "05.03.26 14:02:31"},
      {{2026, 3, 5, 14, 2, 59}, 0, "TIME=14:02:59\r", "DATE=05.03.26\r", "05.03.26 14:02:59"},
      // The time is read at 23:59:59.7, the date 400 ms later, already in the new year.
      {{2026, 12, 31, 23, 59, 59}, 700, "TIME=23:59:59\r", "DATE=01.01.27\r", "01.01.27 23:59:59"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.time_command);
    Rig rig;
    rig.state.EncoderType = "PIRA32";
    rig.port.responder = testing::Pira32Responder({});
    rig.clock.Set(c.at);
    rig.sleeper.SleepMs(c.already_ms);
    rig.ClearLog();

    SetEncoderClock(rig.controller);

    EXPECT_EQ(rig.Sent(), (std::vector<SentCommand>{{c.time_command, 400}, {c.date_command, 400}}));
    EXPECT_EQ(rig.view.History(Label::lblClockUpdated), std::vector<std::string>{c.label});
    ASSERT_EQ(rig.events.events.size(), 1u);
    EXPECT_EQ(rig.events.events[0].text, std::string("clock set ") + c.label);
    // The date's answer is not read: it is left for the next exchange's drain.
    ASSERT_EQ(rig.log.size(), 6u);
    EXPECT_EQ(rig.log[5].kind, testing::WireEvent::Kind::Sleep);
  }
}

// A PIRA micro has no clock command: its minute tick only reads traffic and pilot.
TEST(ClockCheckTimer, SetsTheClockOnlyInMinute02AndRefreshesTrafficAndPilotEveryTick) {
  const std::vector<SentCommand> ascii = {
      {"TP\r", 200}, {"TA\r", 200}, {"TATMOUT\r", 200}, {"PILOT\r", 200}};
  const std::vector<SentCommand> frames = {{std::string("\xFE\xD0\x0E\x01\xFF", 5), 200},
                                           {std::string("\xFE\xD0\x70\x01\xFF", 5), 200}};
  const std::tuple<const char*, LocalTime, bool> cases[] = {
      {"PIRA32", {2026, 3, 5, 14, 1, 59}, false},    {"PIRA32", {2026, 3, 5, 14, 2, 0}, true},
      {"PIRA32", {2026, 3, 5, 14, 2, 59}, true},     {"PIRA32", {2026, 3, 5, 14, 3, 0}, false},
      {"PIRA32", {2026, 3, 5, 14, 12, 30}, false},   {"PIRA32", {2026, 3, 5, 2, 0, 2}, false},
      {"PIRAMICRO", {2026, 3, 5, 14, 2, 30}, false},
  };
  for (const auto& [type, at, sets_clock] : cases) {
    SCOPED_TRACE(::testing::Message()
                 << type << " " << at.hour << ":" << at.minute << ":" << at.second);
    Rig rig;
    rig.state.EncoderType = type;
    rig.port.responder = testing::Pira32Responder({});
    rig.clock.Set(at);

    tmrClockCheck_Timer(rig.controller);

    std::vector<SentCommand> sent = rig.Sent();
    if (sets_clock) {
      ASSERT_GE(sent.size(), 2u);
      EXPECT_EQ(sent[0].bytes.substr(0, 5), "TIME=");
      EXPECT_EQ(sent[1].bytes.substr(0, 5), "DATE=");
      sent.erase(sent.begin(), sent.begin() + 2);
    }
    EXPECT_EQ(sent, std::string(type) == "PIRA32" ? ascii : frames);
    EXPECT_EQ(rig.view.Text(Label::lblClockUpdated) != "Never", sets_clock);
  }
}

}  // namespace
}  // namespace morvane
