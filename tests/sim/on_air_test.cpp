#include "sim/on_air.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace morvane::sim {
namespace {

using Lines = std::vector<std::string>;

// Sends the bytes to an encoder and returns the on-air lines every command caused.
class Listener {
 public:
  explicit Listener(Dialect dialect, ReceivedCharset charset = ReceivedCharset::Rds)
      : parser_(dialect), encoder_(dialect, EncoderState{}), charset_(charset) {}

  Lines Send(const std::string& bytes) {
    Lines lines;
    for (const Command& command : parser_.Feed(bytes)) {
      const OnAirView before = ViewOnAir(encoder_, 0, charset_);
      (void)encoder_.Handle(command, 0);
      for (std::string& line : DescribeOnAirChanges(before, ViewOnAir(encoder_, 0, charset_))) {
        lines.push_back(std::move(line));
      }
    }
    return lines;
  }

 private:
  CommandParser parser_;
  Encoder encoder_;
  ReceivedCharset charset_;
};

TEST(OnAir, EveryChangeAListenerNoticesIsOneLine) {
  Listener listener(Dialect::Ascii);
  const std::string hello = "UDG1=600011A24865,600111A26C6C,600211A26F7C,600311A27C7C,\r";
  const std::vector<std::pair<std::string, Lines>> steps{
      {"RT1=Artist - Title\r", {"RT \"Artist - Title\""}},
      {"RTP=00,00,00,00,00,00\r", {}},
      {"RTP=04,00,05,01,09,04\r", {"RT+ ARTIST=\"Artist\" TITLE=\"Title\""}},
      {"RT1=Now: Band - Song\r", {"RT \"Now: Band - Song\""}},
      {"RTP=00,00,00,00,00,00\r", {"RT+ off"}},
      {"RTP=01,05,03,04,12,03\r", {"RT+ TITLE=\"Band\" ARTIST=\"Song\""}},
      // As a radio reads RDS codes: é 0x82, ü 0x99, ó 0x86 are one character each for RT+.
      {"RT1=Caf\x82 M\x99ller - Sigur R\x86s\rRTP=04,00,10,01,14,08\r",
       {"RT \"Café Müller - Sigur Rós\"", "RT+ ARTIST=\"Café Müller\" TITLE=\"Sigur Rós\""}},
      {"RT1=\xAB or $ Caf\xE9\r", {"RT \"$ or ¤ CafŊ\""}},
      {"PS\rRT1\rTA\r", {}},
      {"TA=1\r", {"TA on"}},
      {"TA=1\r", {}},
      {"TA=0\r", {"TA off"}},
      {"TIME=14:02:31\r", {"Clock set 01.01.00 14:02:31"}},
      {"DATE=05.03.26\r", {"Clock set 05.03.26 14:02:31"}},
      {hello, {"In-house seq 1 id 1A2 \"Hello\""}},
      {hello, {}},
      {"UDG1=600000000000,600100000110\r", {"In-house version 0110"}},
  };
  for (const auto& [command, expected] : steps) {
    EXPECT_EQ(listener.Send(command), expected) << command;
  }
  // Items past the end of the text mark nothing; types without a name show their number.
  EXPECT_EQ(DescribeRtPlusItems("Short", {RtPlusTag{4, 20, 5}, RtPlusTag{31, 0, 0}}),
            "ARTIST=\"\" TYPE31=\"S\"");
}

TEST(OnAir, TextsReadAsWindows1252OrFromAFrameWithItsEndCode) {
  Listener latin1(Dialect::Ascii, ReceivedCharset::Latin1);
  EXPECT_EQ(latin1.Send("RT1=Caf\xE9\rPS=M\xDCNSTER\r"), (Lines{"RT \"Café\"", "PS \"MÜNSTER \""}));
  // Only a frame can carry the end code inside the text; a radio shows nothing after it, nor
  // the blanks that fill the text.
  std::string text = "Hello \x0DIgnored";
  text.resize(64, ' ');
  EXPECT_EQ(Listener(Dialect::Frame).Send("\xFE\x20" + text + "\x40\xFF"), Lines{"RT \"Hello\""});
}

}  // namespace
}  // namespace morvane::sim
