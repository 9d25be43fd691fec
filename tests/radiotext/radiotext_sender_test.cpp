#include "radiotext/radiotext_sender.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fakes.h"

namespace morvane {
namespace {

using testing::Rig;
using Commands = std::vector<testing::SentCommand>;

const std::string kClear = "RTP=00,00,00,00,00,00\r";
const std::string kTitle = "Artist - Title";

std::string RadioTextFrame(const std::string& sixty_four) {
  return std::string("\xFE\x20", 2) + sixty_four + "\x40\xFF";
}

// Which tags a text gets is BuildRtPlusTags' concern; here: when they are sent, and how.
TEST(SendRadioText, CommandsWaitsAndRtPlusLabelPerEncoder) {
  const Commands text_only = {{"RT1=" + kTitle + "\r", 500}};
  const Commands tagged = {{kClear, 500}, text_only[0], {"RTP=04,00,05,01,09,04\r", 500}};
  const struct {
    const char* name;
    std::string encoder;
    int16_t rtplus;
    std::string swap;
    std::string text;
    bool tags_unwritable;  // the port fails from the tag command on
    Commands sent;
    std::string rtplus_label;
  } cases[] = {
      {"PIRA32, RT+ off", "PIRA32", 0, "", kTitle, false, text_only, ""},
      {"PIRA32, RT+ tags", "PIRA32", 1, "", kTitle, false, tagged, "RT+"},
      {"PIRA32, RT+ swapped", "PIRA32", 1, "1", kTitle, false,
       Commands{{kClear, 500}, text_only[0], {"RTP=01,00,05,04,09,04\r", 500}}, "RT+"},
      {"PIRA32, swap only for exactly 1", "PIRA32", 1, "1 ", kTitle, false, tagged, "RT+"},
      {"PIRA32, RTplus other than 1 is off", "PIRA32", 2, "", kTitle, false, text_only, ""},
      {"PIRA32, no tags: clear only", "PIRA32", 1, "", "Jingle", false,
       Commands{{kClear, 500}, {"RT1=Jingle\r", 500}}, ""},
      {"PIRA32, tag command not written", "PIRA32", 1, "", kTitle, true, tagged, ""},
      {"PIRA micro, RT+ never", "PIRAMICRO", 1, "", kTitle, false,
       Commands{{RadioTextFrame(kTitle + std::string(50, ' ')), 50}}, ""},
      {"lower-case type sends nothing", "pira32", 1, "", kTitle, false, Commands{}, ""},
  };
  for (const auto& c : cases) {
    Rig rig;
    rig.port.responder = [&rig, &c, ok = testing::Pira32Responder({})](const std::string& bytes) {
      rig.port.fail_writes = c.tags_unwritable && bytes.rfind("RT1=", 0) == 0;
      return ok(bytes);
    };
    rig.state.EncoderType = c.encoder;
    rig.state.RTplus = c.rtplus;
    rig.state.RTPlusPrefix = "";
    rig.state.RTPlusSplit = " - ";
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

TEST(SendRadioText, Pira32TextGoesOutByteForByte) {
  Rig rig;
  rig.state.EncoderType = "PIRA32";
  const std::string text = std::string(70, 'x') + "\xFE\xFF\xE9  ";
  SendRadioText(rig.controller, text);
  EXPECT_EQ(rig.Writes(), (std::vector<std::string>{"RT1=" + text + "\r"}));
}

TEST(SendRadioText, PiraMicroFrameIsAlways68BytesAndNeverEndsEarly) {
  const std::pair<std::string, std::string> cases[] = {
      {"", std::string(64, ' ')},
      {std::string(64, 'a') + "bcdefg", std::string(64, 'a')},
      // Mended: FE would restart and FF would end the frame inside the text.
      {"A\xFE"
       "B\xFF"
       "C\xE9",
       "A B C\xE9" + std::string(58, ' ')},
      {std::string(63, 'z') + "\xFF" + "dropped", std::string(63, 'z') + " "},
  };
  for (const auto& [text, sixty_four] : cases) {
    Rig rig;
    rig.state.EncoderType = "PIRAMICRO";
    SendRadioText(rig.controller, text);
    EXPECT_EQ(rig.Writes(), std::vector<std::string>{RadioTextFrame(sixty_four)}) << text;
  }
}

TEST(EnableShortRT, OnlyAPira32IsAsked) {
  const std::pair<const char*, Commands> cases[] = {
      {"PIRA32", {{"SHORTRT=1\r", 200}}},
      {"PIRAMICRO", {}},
      {"Pira32", {}},
  };
  for (const auto& [encoder, sent] : cases) {
    Rig rig;
    rig.port.responder = testing::Pira32Responder({});
    rig.state.EncoderType = encoder;
    EnableShortRT(rig.controller);
    EXPECT_EQ(rig.Sent(), sent) << encoder;
  }
}

}  // namespace
}  // namespace morvane
