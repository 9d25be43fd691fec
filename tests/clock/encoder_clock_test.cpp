#include "clock/encoder_clock.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/fakes.h"

namespace morvane {
namespace {

using testing::Rig;
using testing::SentCommand;
using Kind = testing::WireEvent::Kind;

struct ClockCase {
  const char* name;
  LocalTime at;
  int already_ms;  // how far into the second the clock is when the clock is set
  const char* time_command;
  const char* date_command;
  const char* label;
};

TEST(SetEncoderClock, SendsTimeOneSecondAheadWithoutCarryThenTheDateOfThatMoment) {
  const ClockCase cases[] = {
      {"plain",
       {2026, 3, 5, 14, 2, 30},
       0,
       "TIME=14:02:31\r",
       "DATE=05.03.26\r",
       "05.03.26 14:02:31"},
      {"seconds 59 stay 59",
       {2026, 3, 5, 14, 2, 59},
       0,
       "TIME=14:02:59\r",
       "DATE=05.03.26\r",
       "05.03.26 14:02:59"},
      {"seconds 00 become 01",
       {2026, 3, 5, 14, 3, 0},
       0,
       "TIME=14:03:01\r",
       "DATE=05.03.26\r",
       "05.03.26 14:03:01"},
      {"seconds 08 become 09",
       {2026, 3, 5, 9, 7, 8},
       0,
       "TIME=09:07:09\r",
       "DATE=05.03.26\r",
       "05.03.26 09:07:09"},
      {"midnight",
       {2009, 11, 30, 0, 0, 0},
       0,
       "TIME=00:00:01\r",
       "DATE=30.11.09\r",
       "30.11.09 00:00:01"},
      // The time is read at 23:59:59.7, the date 400 ms later, already in the new year.
      {"day changes between time and date",
       {2026, 12, 31, 23, 59, 59},
       700,
       "TIME=23:59:59\r",
       "DATE=01.01.27\r",
       "01.01.27 23:59:59"},
  };
  for (const ClockCase& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.state.EncoderType = "PIRA32";
    rig.port.responder = testing::Pira32Responder({});
    rig.clock.Set(c.at);
    rig.sleeper.SleepMs(c.already_ms);
    rig.ClearLog();

    SetEncoderClock(rig.controller);

    EXPECT_THAT(rig.Sent(), ::testing::ElementsAre(SentCommand{c.time_command, 400},
                                                   SentCommand{c.date_command, 400}));
    EXPECT_EQ(rig.view.History(Label::lblClockUpdated), std::vector<std::string>{c.label});
  }
}

TEST(SetEncoderClock, DateIsWrittenWithoutReadsAndItsAnswerGoesToTheNextDrain) {
  Rig rig;
  rig.state.EncoderType = "PIRA32";
  rig.port.responder = testing::Pira32Responder({});
  rig.clock.Set({2026, 3, 5, 14, 2, 30});

  SetEncoderClock(rig.controller);

  std::vector<Kind> kinds;
  for (const auto& event : rig.log) {
    kinds.push_back(event.kind);
  }
  EXPECT_THAT(kinds, ::testing::ElementsAre(Kind::Read, Kind::Write, Kind::Sleep, Kind::Read,
                                            Kind::Write, Kind::Sleep));
  rig.ClearLog();
  (void)rig.controller.ExchangeCommand("PS\r", 200);
  EXPECT_EQ(rig.log.front().bytes, "DATE=05.03.26\r\nOK\r\n");
}

TEST(SetEncoderClock, OnlyAPira32IsSet) {
  for (const char* type : {"PIRAMICRO", "pira32", ""}) {
    SCOPED_TRACE(type);
    Rig rig;
    rig.state.EncoderType = type;
    rig.clock.Set({2026, 3, 5, 14, 2, 30});

    SetEncoderClock(rig.controller);

    EXPECT_TRUE(rig.log.empty());
    EXPECT_EQ(rig.view.Text(Label::lblClockUpdated), "Never");
  }
}

TEST(ClockCheckTimer, SetsTheClockOnlyInMinute02AndRefreshesTrafficAndPilotEveryTick) {
  const std::vector<SentCommand> refresh = {
      {"TP\r", 200}, {"TA\r", 200}, {"TATMOUT\r", 200}, {"PILOT\r", 200}};
  struct TickCase {
    LocalTime at;
    bool sets_clock;
  };
  const TickCase cases[] = {
      {{2026, 3, 5, 14, 1, 59}, false}, {{2026, 3, 5, 14, 2, 0}, true},
      {{2026, 3, 5, 14, 2, 59}, true},  {{2026, 3, 5, 0, 2, 10}, true},
      {{2026, 3, 5, 14, 3, 0}, false},  {{2026, 3, 5, 14, 12, 30}, false},
      {{2026, 3, 5, 14, 20, 2}, false}, {{2026, 3, 5, 2, 0, 0}, false},
  };
  for (const TickCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.at.hour << ":" << c.at.minute << ":" << c.at.second);
    Rig rig;
    rig.state.EncoderType = "PIRA32";
    rig.port.responder = testing::Pira32Responder({});
    rig.clock.Set(c.at);

    tmrClockCheck_Timer(rig.controller);

    std::vector<SentCommand> sent = rig.Sent();
    if (c.sets_clock) {
      ASSERT_GE(sent.size(), 2u);
      EXPECT_EQ(sent[0].bytes.substr(0, 5), "TIME=");
      EXPECT_EQ(sent[1].bytes.substr(0, 5), "DATE=");
      sent.erase(sent.begin(), sent.begin() + 2);
    }
    EXPECT_EQ(sent, refresh);
  }
}

TEST(ClockCheckTimer, PiraMicroInMinute02OnlyReadsTrafficAndPilot) {
  Rig rig;
  rig.state.EncoderType = "PIRAMICRO";
  rig.clock.Set({2026, 3, 5, 14, 2, 30});

  tmrClockCheck_Timer(rig.controller);

  EXPECT_THAT(rig.Sent(),
              ::testing::ElementsAre(SentCommand{std::string("\xFE\xD0\x0E\x01\xFF", 5), 200},
                                     SentCommand{std::string("\xFE\xD0\x70\x01\xFF", 5), 200}));
  EXPECT_EQ(rig.view.Text(Label::lblClockUpdated), "Never");
}

}  // namespace
}  // namespace morvane
