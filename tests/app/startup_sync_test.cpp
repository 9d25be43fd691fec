#include "app/startup_sync.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/fakes.h"

namespace morvane {
namespace {

using testing::Rig;
using testing::SentCommand;

// A PIRA32 that remembers the RadioText it was given and answers the queries.
testing::FakeEncoderPort::Responder RememberingPira32(std::string* radiotext) {
  auto values = testing::Pira32Responder({{"PS", "MORVANE "}, {"PTY", "10"}});
  return [values, radiotext](const std::string& command) {
    if (command.rfind("RT1=", 0) == 0) {
      *radiotext = command.substr(4, command.size() - 5);
    }
    if (command == "RT1\r") {
      return testing::Pira32Answer(command, *radiotext);
    }
    return values(command);
  };
}

struct Pira32Case {
  const char* name;
  int16_t rt_plus;
  std::string default_text;
  std::vector<SentCommand> radiotext;  // step 2
  std::string time;                    // read after the waits before step 9, one second added
  int total_wait_ms;
  const char* rt_plus_label;
};

TEST(SynchroniseEncoder, Pira32RunsTheThirteenStepsInOrder) {
  const Pira32Case cases[] = {
      {"RT+ off", 0, "Artist - Title", {{"RT1=Artist - Title\r", 500}}, "14:02:33", 4050, ""},
      {"RT+ on, default text without the layout",
       1,
       "Radio Morvane",
       {{"RTP=00,00,00,00,00,00\r", 500}, {"RT1=Radio Morvane\r", 500}},
       "14:02:34",
       4550,
       ""},
      {"RT+ on, default text tagged",
       1,
       "Artist - Title",
       {{"RTP=00,00,00,00,00,00\r", 500},
        {"RT1=Artist - Title\r", 500},
        {"RTP=04,00,05,01,09,04\r", 500}},
       "14:02:34",
       5050,
       "RT+"},
  };
  for (const Pira32Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.state.EncoderType = "PIRA32";
    rig.state.HexVersion = "0110";
    rig.state.RTplus = c.rt_plus;
    rig.state.RTPlusPrefix = "";
    rig.state.RTPlusSplit = " - ";
    rig.state.DefaultRadioText = c.default_text;
    std::string encoder_radiotext = "left over";
    bool in_house_on_while_sending = false;
    rig.port.responder =
        [&, pira32 = RememberingPira32(&encoder_radiotext)](const std::string& command) {
          in_house_on_while_sending |= rig.timers.IsOn(Timer::tmrInHouse);
          return pira32(command);
        };
    rig.clock.Set({2026, 3, 5, 14, 2, 30});

    SynchroniseEncoder(rig.controller);

    std::vector<SentCommand> expected = {{"GRPSEQ=022221AEXYR\r", 400}};
    expected.insert(expected.end(), c.radiotext.begin(), c.radiotext.end());
    expected.insert(expected.end(), {{"PS\r", 200},
                                     {"PI\r", 200},
                                     {"RT1\r", 500},
                                     {"CT\r", 200},
                                     {"TP\r", 200},
                                     {"TA\r", 200},
                                     {"TATMOUT\r", 200},
                                     {"PTY\r", 200},
                                     {"TIME=" + c.time + "\r", 400},
                                     {"DATE=05.03.26\r", 400},
                                     {"UDG1=\r", 50},
                                     {"SHORTRT=1\r", 200},
                                     {"PILOT\r", 200}});
    EXPECT_EQ(rig.Sent(), expected);
    EXPECT_EQ(rig.TotalWaitMs(), c.total_wait_ms);

    // The RadioText read back is the default text, sent before it was read.
    EXPECT_EQ(rig.view.Text(Label::lblRT), c.default_text);
    EXPECT_EQ(rig.view.Text(Label::lblPTY), "Pop Music");
    EXPECT_EQ(rig.view.Text(Label::lblClockUpdated), "05.03.26 " + c.time);
    EXPECT_EQ(rig.view.Text(Label::lblRTplus), c.rt_plus_label);
    // Switched on last, once: no in-house groups may come between the start-up commands.
    EXPECT_FALSE(in_house_on_while_sending);
    EXPECT_EQ(rig.timers.history, (std::vector<std::pair<Timer, bool>>{{Timer::tmrInHouse, true}}));
  }
}

TEST(SynchroniseEncoder, PiraMicroGetsSixFrames) {
  for (int16_t rt_plus : {0, 1}) {
    SCOPED_TRACE(rt_plus);
    Rig rig;
    rig.state.EncoderType = "PIRAMICRO";
    rig.state.RTplus = rt_plus;
    rig.state.RTPlusPrefix = "";
    rig.state.RTPlusSplit = " - ";
    rig.state.DefaultRadioText = "Artist - Title";
    rig.port.responder = testing::FrameResponder({{0x0A, "\x1E"}});
    rig.clock.Set({2026, 3, 5, 14, 2, 30});

    SynchroniseEncoder(rig.controller);

    const std::string radiotext = "Artist - Title" + std::string(50, ' ');
    EXPECT_THAT(rig.Sent(),
                ::testing::ElementsAre(SentCommand{"\xFE\x20" + radiotext + "\x40\xFF", 50},
                                       SentCommand{std::string("\xFE\xD0\x02\x08\xFF", 5), 200},
                                       SentCommand{std::string("\xFE\xD0\x20\x40\xFF", 5), 200},
                                       SentCommand{std::string("\xFE\xD0\x0E\x01\xFF", 5), 200},
                                       SentCommand{std::string("\xFE\xD0\x0A\x01\xFF", 5), 200},
                                       SentCommand{std::string("\xFE\xD0\x70\x01\xFF", 5), 200}));
    EXPECT_EQ(rig.TotalWaitMs(), 1050);
    EXPECT_EQ(rig.view.Text(Label::lblPTY), "** ALARM TEST **");
    EXPECT_EQ(rig.view.Text(Label::lblClockUpdated), "Never");
    EXPECT_EQ(rig.view.Text(Label::lblRTplus), "");
    EXPECT_TRUE(rig.timers.IsOn(Timer::tmrInHouse));
  }
}

}  // namespace
}  // namespace morvane
