#include "radiotext/radiotext_sender.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fakes.h"

namespace morvane {
namespace {

using testing::Rig;
using testing::SentCommand;

const std::string kClear = "RTP=00,00,00,00,00,00\r";

std::string RadioTextFrame(const std::string& sixty_four) {
  return std::string("\xFE\x20", 2) + sixty_four + "\x40\xFF";
}

struct SendCase {
  const char* name;
  std::string encoder;
  int16_t rtplus;
  std::string prefix;
  std::string split;
  std::string swap;
  std::string text;
  std::vector<SentCommand> sent;
  std::string rtplus_label;
};

TEST(SendRadioText, CommandsWaitsAndRtPlusLabelPerEncoder) {
  const std::string sentinel(kRtPlusSentinel);
  const std::string np = "Now playing: ";
  const SendCase cases[] = {
      {"PIRA32, RT+ off",
       "PIRA32",
       0,
       "",
       " - ",
       "",
       "Artist - Title",
       {{"RT1=Artist - Title\r", 500}},
       ""},
      {"PIRA32, RT+ tags",
       "PIRA32",
       1,
       "",
       " - ",
       "",
       "Artist - Title",
       {{"RT1=Artist - Title\r", 500}, {kClear, 500}, {"RTP=04,00,05,01,09,04\r", 500}},
       "RT+"},
      {"PIRA32, RT+ swapped",
       "PIRA32",
       1,
       "",
       " - ",
       "1",
       "Artist - Title",
       {{"RT1=Artist - Title\r", 500}, {kClear, 500}, {"RTP=01,00,05,04,09,04\r", 500}},
       "RT+"},
      {"PIRA32, swap only for exactly 1",
       "PIRA32",
       1,
       "",
       " - ",
       "1 ",
       "Artist - Title",
       {{"RT1=Artist - Title\r", 500}, {kClear, 500}, {"RTP=04,00,05,01,09,04\r", 500}},
       "RT+"},
      {"PIRA32, RT+ after a prefix",
       "PIRA32",
       1,
       np,
       " - ",
       "",
       np + "Artist - Title",
       {{"RT1=" + np + "Artist - Title\r", 500}, {kClear, 500}, {"RTP=04,13,05,01,22,04\r", 500}},
       "RT+"},
      {"PIRA32, RTplus other than 1 is off",
       "PIRA32",
       2,
       "",
       " - ",
       "",
       "Artist - Title",
       {{"RT1=Artist - Title\r", 500}},
       ""},
      {"PIRA32, no separator: clear only",
       "PIRA32",
       1,
       "",
       " - ",
       "",
       "Jingle",
       {{"RT1=Jingle\r", 500}, {kClear, 500}},
       ""},
      {"PIRA32, prefix missing: clear only",
       "PIRA32",
       1,
       np,
       " - ",
       "",
       "Artist - Title",
       {{"RT1=Artist - Title\r", 500}, {kClear, 500}},
       ""},
      {"PIRA32, nothing configured: clear only",
       "PIRA32",
       1,
       sentinel,
       sentinel,
       "",
       "Artist - Title",
       {{"RT1=Artist - Title\r", 500}, {kClear, 500}},
       ""},
      {"PIRA32, empty separator: clear only",
       "PIRA32",
       1,
       "",
       "",
       "",
       "Artist - Title",
       {{"RT1=Artist - Title\r", 500}, {kClear, 500}},
       ""},
      {"PIRA32, empty first item: clear only",
       "PIRA32",
       1,
       "",
       " - ",
       "",
       " - Title",
       {{"RT1= - Title\r", 500}, {kClear, 500}},
       ""},
      {"PIRA32, field over 99: clear only",
       "PIRA32",
       1,
       "",
       " - ",
       "",
       std::string(97, 'a') + " - t",
       {{"RT1=" + std::string(97, 'a') + " - t\r", 500}, {kClear, 500}},
       ""},
      {"PIRA32, empty text", "PIRA32", 1, "", " - ", "", "", {{"RT1=\r", 500}, {kClear, 500}}, ""},
      {"PIRA micro, RT+ never",
       "PIRAMICRO",
       1,
       "",
       " - ",
       "",
       "Artist - Title",
       {{RadioTextFrame("Artist - Title" + std::string(50, ' ')), 50}},
       ""},
      {"PIRA micro, RT+ off",
       "PIRAMICRO",
       0,
       "",
       " - ",
       "",
       "",
       {{RadioTextFrame(std::string(64, ' ')), 50}},
       ""},
      {"lower-case type sends nothing", "pira32", 1, "", " - ", "", "Artist - Title", {}, ""},
      {"unknown type sends nothing", "", 1, "", " - ", "", "Artist - Title", {}, ""},
  };
  for (const SendCase& c : cases) {
    Rig rig;
    rig.port.responder = testing::Pira32Responder({});
    rig.state.EncoderType = c.encoder;
    rig.state.RTplus = c.rtplus;
    rig.state.RTPlusPrefix = c.prefix;
    rig.state.RTPlusSplit = c.split;
    rig.state.RTplusSwap = c.swap;

    SendRadioText(rig.controller, c.text);

    EXPECT_EQ(rig.Sent(), c.sent) << c.name;
    // Cleared on every call, before any tag command, so it never outlives a RadioText.
    const std::vector<std::string> history = rig.view.History(Label::lblRTplus);
    ASSERT_FALSE(history.empty()) << c.name;
    EXPECT_EQ(history.front(), "") << c.name;
    EXPECT_EQ(rig.view.Text(Label::lblRTplus), c.rtplus_label) << c.name;
  }
}

TEST(SendRadioText, RtPlusLabelFollowsTheLastRadioText) {
  Rig rig;
  rig.state.EncoderType = "PIRA32";
  rig.state.RTplus = 1;
  rig.state.RTPlusSplit = " - ";
  SendRadioText(rig.controller, "Artist - Title");
  EXPECT_EQ(rig.view.History(Label::lblRTplus), (std::vector<std::string>{"", "RT+"}));
  SendRadioText(rig.controller, "Jingle");
  EXPECT_EQ(rig.view.Text(Label::lblRTplus), "");
}

TEST(SendRadioText, Pira32TextGoesOutByteForByte) {
  Rig rig;
  rig.state.EncoderType = "PIRA32";
  const std::string text = std::string(70, 'x') + "\xFE\xFF\xE9  ";
  SendRadioText(rig.controller, text);
  EXPECT_EQ(rig.Writes(), (std::vector<std::string>{"RT1=" + text + "\r"}));
}

TEST(SendRadioText, PiraMicroFrameIsAlways68BytesAndNeverEndsEarly) {
  const struct {
    std::string text;
    std::string sixty_four;
  } cases[] = {
      {std::string(64, 'a') + "bcdefg", std::string(64, 'a')},
      {"Caf\xE9", "Caf\xE9" + std::string(60, ' ')},
      // Mended: FE would restart and FF would end the frame inside the text.
      {"A\xFE"
       "B\xFF"
       "C",
       "A B C" + std::string(59, ' ')},
      {std::string(63, 'z') + "\xFF" + "dropped", std::string(63, 'z') + " "},
  };
  for (const auto& c : cases) {
    Rig rig;
    rig.state.EncoderType = "PIRAMICRO";
    SendRadioText(rig.controller, c.text);
    const std::vector<std::string> writes = rig.Writes();
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].size(), 68u);
    EXPECT_EQ(writes[0], RadioTextFrame(c.sixty_four));
  }
}

TEST(EnableShortRT, OnlyAPira32IsAsked) {
  const struct {
    std::string encoder;
    std::vector<SentCommand> sent;
  } cases[] = {
      {"PIRA32", {{"SHORTRT=1\r", 200}}},
      {"PIRAMICRO", {}},
      {"Pira32", {}},
  };
  for (const auto& c : cases) {
    Rig rig;
    rig.port.responder = testing::Pira32Responder({});
    rig.state.EncoderType = c.encoder;
    EnableShortRT(rig.controller);
    EXPECT_EQ(rig.Sent(), c.sent) << c.encoder;
  }
}

}  // namespace
}  // namespace morvane
