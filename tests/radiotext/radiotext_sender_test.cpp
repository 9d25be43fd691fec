#include "radiotext/radiotext_sender.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "support/fakes.h"

namespace morvane {
namespace {

using Commands = std::vector<testing::SentCommand>;

// The PIRA micro's frame: always 64 characters, padded with blanks.
Commands Frame(const std::string& text) {
  return {{"\xFE\x20" + text + std::string(64 - text.size(), ' ') + "\x40\xFF", 50}};
}

// Which tags a text gets is BuildRtPlusTags' concern; here: when they are sent, and how.
TEST(SendRadioText, CommandsWaitsAndRtPlusLabelPerEncoder) {
  const std::string t = "Artist - Title", clear = "RTP=00,00,00,00,00,00\r";
  const Commands plain = {{"RT1=" + t + "\r", 500}};
  const Commands tagged = {{clear, 500}, plain[0], {"RTP=04,00,05,01,09,04\r", 500}};
  const Commands swapped = {{clear, 500}, plain[0], {"RTP=01,00,05,04,09,04\r", 500}};
  const std::string bytes = std::string(70, 'x') + "\xFE\xFF\xE9  ";
  const std::string z63(63, 'z');
  // unwritable: the port fails from the tag command on.
  const std::tuple<std::string, std::string, int16_t, std::string, bool, Commands, std::string>
      cases[] = {
          {"PIRA32", t, 0, "", false, plain, ""},
          {"PIRA32", t, 1, "", false, tagged, "RT+"},
          {"PIRA32", t, 1, "1", false, swapped, "RT+"},
          {"PIRA32", t, 1, "1 ", false, tagged, "RT+"},  // swapped only for exactly "1"
          {"PIRA32", t, 2, "", false, plain, ""},
          {"PIRA32", t, 1, "", true, tagged, ""},
          {"PIRA32", bytes, 0, "", false, {{"RT1=" + bytes + "\r", 500}}, ""},
          {"PIRAMICRO", t, 1, "", false, Frame(t), ""},  // RT+ never
          {"PIRAMICRO", "", 0, "", false, Frame(""), ""},
          {"PIRAMICRO", std::string(64, 'a') + "bc", 0, "", false, Frame(std::string(64, 'a')), ""},
          // Mended: FE would restart and FF would end the frame inside the text (octal FE FF E9).
          {"PIRAMICRO", "A\376B\377C\351", 0, "", false, Frame("A B C\351"), ""},
          {"PIRAMICRO", z63 + "\xFF" + "dropped", 0, "", false, Frame(z63 + " "), ""},
          {"pira32", t, 1, "", false, {}, ""},
      };
  for (const auto& [encoder, text, rtplus, swap, unwritable, sent, label] : cases) {
    SCOPED_TRACE(encoder + " " + text);
    testing::Rig rig;
    rig.port.responder = [&rig, fails = unwritable,
                          ok = testing::Pira32Responder({})](const std::string& written) {
      rig.port.fail_writes = fails && written.rfind("RT1=", 0) == 0;
      return ok(written);
    };
    rig.state.EncoderType = encoder;
    rig.state.RTplus = rtplus;
    rig.state.RTPlusPrefix = "";
    rig.state.RTPlusSplit = " - ";
    rig.state.RTplusSwap = swap;

    SendRadioText(rig.controller, text);

    EXPECT_EQ(rig.Sent(), sent);
    // Cleared on every call, before any tag command, so it never outlives a RadioText.
    EXPECT_EQ(rig.view.History(Label::lblRTplus).front(), "");
    EXPECT_EQ(rig.view.Text(Label::lblRTplus), label);
    // Said for the web's count of RadioTexts, when one went out.
    EXPECT_EQ(rig.events.events.size(), sent.empty() ? 0u : 1u);
  }
}

}  // namespace
}  // namespace morvane
