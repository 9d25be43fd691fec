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

// The PIRA micro's frame: always 64 characters, padded with blanks.
Commands Frame(const std::string& text) {
  return {{"\xFE\x20" + text + std::string(64 - text.size(), ' ') + "\x40\xFF", 50}};
}

// Which tags a text gets is BuildRtPlusTags' concern; here: when they are sent, and how.
TEST(SendRadioText, CommandsWaitsAndRtPlusLabelPerEncoder) {
  const Commands text_only = {{"RT1=" + kTitle + "\r", 500}};
  const Commands tagged = {{kClear, 500}, text_only[0], {"RTP=04,00,05,01,09,04\r", 500}};
  const std::string bytes = std::string(70, 'x') + "\xFE\xFF\xE9  ";
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
      {"PIRA32, bytes as they are",
       "PIRA32",
       0,
       "",
       bytes,
       false,
       {{"RT1=" + bytes + "\r", 500}},
       ""},
      {"PIRA micro, RT+ never", "PIRAMICRO", 1, "", kTitle, false, Frame(kTitle), ""},
      {"PIRA micro, empty", "PIRAMICRO", 0, "", "", false, Frame(""), ""},
      {"PIRA micro, 64 of a longer text", "PIRAMICRO", 0, "", std::string(64, 'a') + "bc", false,
       Frame(std::string(64, 'a')), ""},
      // Mended: FE would restart and FF would end the frame inside the text.
      {"PIRA micro, FE and FF as blanks", "PIRAMICRO", 0, "",
       "A\xFE"
       "B\xFF"
       "C\xE9",
       false, Frame("A B C\xE9"), ""},
      {"PIRA micro, FF last", "PIRAMICRO", 0, "", std::string(63, 'z') + "\xFF" + "dropped", false,
       Frame(std::string(63, 'z') + " "), ""},
      {"lower-case type sends nothing", "pira32", 1, "", kTitle, false, Commands{}, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.port.responder = [&rig, &c, ok = testing::Pira32Responder({})](const std::string& written) {
      rig.port.fail_writes = c.tags_unwritable && written.rfind("RT1=", 0) == 0;
      return ok(written);
    };
    rig.state.EncoderType = c.encoder;
    rig.state.RTplus = c.rtplus;
    rig.state.RTPlusPrefix = "";
    rig.state.RTPlusSplit = " - ";
    rig.state.RTplusSwap = c.swap;

    SendRadioText(rig.controller, c.text);

    EXPECT_EQ(rig.Sent(), c.sent);
    // Cleared on every call, before any tag command, so it never outlives a RadioText.
    const std::vector<std::string> history = rig.view.History(Label::lblRTplus);
    ASSERT_FALSE(history.empty());
    EXPECT_EQ(history.front(), "");
    EXPECT_EQ(rig.view.Text(Label::lblRTplus), c.rtplus_label);
    // Said for the web's count of RadioTexts, when one went out.
    EXPECT_EQ(rig.events.events.size(), c.sent.empty() ? 0u : 1u);
  }
}

}  // namespace
}  // namespace morvane
