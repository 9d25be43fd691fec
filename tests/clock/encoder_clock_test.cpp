#include "clock/encoder_clock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/fakes.h"

namespace morvane {
namespace {

using testing::Rig;
using testing::SentCommand;

// The minute tick sets the clock only in minute 02, one second ahead without carry, then the
// date of that moment; every tick then reads traffic and pilot (a PIRA micro has no clock
// command). Set directly at 23:59:59.7, the date is read 400 ms later, in the new year.
TEST(EncoderClock, SetInMinute02OneSecondAheadWithoutCarryThenTrafficAndPilotEveryTick) {
  const std::vector<SentCommand> ascii = {
      {"TP\r", 200}, {"TA\r", 200}, {"TATMOUT\r", 200}, {"PILOT\r", 200}};
  const std::vector<SentCommand> frames = {{std::string("\xFE\xD0\x0E\x01\xFF", 5), 200},
                                           {std::string("\xFE\xD0\x70\x01\xFF", 5), 200}};
  const struct {
    std::string type;
    LocalTime at;
    int already_ms;     // how far into the second the clock is; -1: the tick, not a direct set
    std::string shown;  // the clock label after, also the TIME and DATE commands
  } cases[] = {
      {"PIRA32", {2026, 3, 5, 14, 1, 59}, -1, "Never"},
      {"PIRA32", {2026, 3, 5, 14, 2, 0}, -1, "05.03.26 14:02:01"},
      {"PIRA32", {2026, 3, 5, 14, 2, 59}, -1, "05.03.26 14:02:59"},
      {"PIRA32", {2026, 3, 5, 14, 3, 0}, -1, "Never"},
      {"PIRA32", {2026, 3, 5, 14, 12, 30}, -1, "Never"},
      {"PIRA32", {2026, 3, 5, 2, 0, 2}, -1, "Never"},
      {"PIRAMICRO", {2026, 3, 5, 14, 2, 30}, -1, "Never"},
      {"PIRA32", {2026, 12, 31, 23, 59, 59}, 700, "01.01.27 23:59:59"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.shown);
    Rig rig;
    rig.state.EncoderType = c.type;
    rig.clock.Set(c.at);
    rig.sleeper.SleepMs(std::max(c.already_ms, 0));
    rig.ClearLog();

    c.already_ms < 0 ? tmrClockCheck_Timer(rig.controller) : SetEncoderClock(rig.controller);

    std::vector<SentCommand> sent;
    if (c.shown != "Never") {
      sent = {{"TIME=" + c.shown.substr(9) + "\r", 400},
              {"DATE=" + c.shown.substr(0, 8) + "\r", 400}};
      EXPECT_EQ(rig.events.events.at(0).text, "clock set " + c.shown);
    }
    if (c.already_ms < 0) {
      const auto& readings = c.type == "PIRA32" ? ascii : frames;
      sent.insert(sent.end(), readings.begin(), readings.end());
    } else {
      // The date's answer is not read: it is left for the next exchange's drain.
      EXPECT_EQ(rig.log.back().kind, testing::WireEvent::Kind::Sleep);
    }
    EXPECT_EQ(rig.Sent(), sent);
    EXPECT_EQ(rig.view.Text(Label::lblClockUpdated), c.shown);
  }
}

}  // namespace
}  // namespace morvane
