#include "app/startup_sync.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fakes.h"

namespace morvane {
namespace {

using testing::Rig;
using Commands = std::vector<testing::SentCommand>;

// The PIRA32's steps around the RadioText; the clock is read after the waits before it, plus
// one second.
Commands Pira32Steps(const Commands& radiotext, const std::string& time) {
  Commands sent = {{"GRPSEQ=022221AEXYR\r", 400}};
  sent.insert(sent.end(), radiotext.begin(), radiotext.end());
  sent.insert(sent.end(), {{"PS\r", 200},
                           {"PI\r", 200},
                           {"RT1\r", 500},
                           {"CT\r", 200},
                           {"TP\r", 200},
                           {"TA\r", 200},
                           {"TATMOUT\r", 200},
                           {"PTY\r", 200},
                           {"TIME=" + time + "\r", 400},
                           {"DATE=05.03.26\r", 400},
                           {"UDG1=\r", 50},
                           {"SHORTRT=1\r", 200},
                           {"PILOT\r", 200}});
  return sent;
}

TEST(SynchroniseEncoder, EveryStepInOrderThenTheInHouseTimer) {
  const auto frame = [](const char* bytes) { return std::string(bytes, 5); };
  const struct {
    const char* name;
    const char* encoder;
    int16_t rt_plus;
    Commands sent;
    const char* pty;
    const char* clock;
    const char* rt_plus_label;
  } cases[] = {
      {"PIRA32, RT+ off", "PIRA32", 0, Pira32Steps({{"RT1=Artist - Title\r", 500}}, "14:02:33"),
       "Pop Music", "05.03.26 14:02:33", ""},
      {"PIRA32, RT+ on", "PIRA32", 1,
       Pira32Steps({{"RTP=00,00,00,00,00,00\r", 500},
                    {"RT1=Artist - Title\r", 500},
                    {"RTP=04,00,05,01,09,04\r", 500}},
                   "14:02:34"),
       "Pop Music", "05.03.26 14:02:34", "RT+"},
      {"PIRA micro: six frames, no RT+",
       "PIRAMICRO",
       1,
       {{"\xFE\x20"
         "Artist - Title" +
             std::string(50, ' ') + "\x40\xFF",
         50},
        {frame("\xFE\xD0\x02\x08\xFF"), 200},
        {frame("\xFE\xD0\x20\x40\xFF"), 200},
        {frame("\xFE\xD0\x0E\x01\xFF"), 200},
        {frame("\xFE\xD0\x0A\x01\xFF"), 200},
        {frame("\xFE\xD0\x70\x01\xFF"), 200}},
       "** ALARM TEST **",
       "Never",
       ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.state.EncoderType = c.encoder;
    rig.state.HexVersion = "0110";
    rig.state.RTplus = c.rt_plus;
    rig.state.RTPlusPrefix = "";
    rig.state.RTPlusSplit = " - ";
    rig.state.DefaultRadioText = "Artist - Title";
    const auto encoder = c.encoder[4] == '3'
                             ? testing::HoldingPira32Responder({{"PS", "MORVANE "}, {"PTY", "10"}})
                             : testing::FrameResponder({{0x0A, "\x1E"}});
    bool in_house_on_while_sending = false;
    rig.port.responder = [&](const std::string& command) {
      in_house_on_while_sending |= rig.timers.IsOn(Timer::tmrInHouse);
      return encoder(command);
    };
    rig.clock.Set({2026, 3, 5, 14, 2, 30});

    SynchroniseEncoder(rig.controller);

    EXPECT_EQ(rig.Sent(), c.sent);
    EXPECT_EQ(rig.view.Text(Label::lblPTY), c.pty);
    EXPECT_EQ(rig.view.Text(Label::lblClockUpdated), c.clock);
    EXPECT_EQ(rig.view.Text(Label::lblRTplus), c.rt_plus_label);
    // Switched on last, once: no in-house groups may come between the start-up commands.
    EXPECT_FALSE(in_house_on_while_sending);
    EXPECT_EQ(rig.timers.history, (std::vector<std::pair<Timer, bool>>{{Timer::tmrInHouse, true}}));
  }
}

}  // namespace
}  // namespace morvane
