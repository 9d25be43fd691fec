#include "sim/on_air.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace morvane::sim {
namespace {

using Lines = std::vector<std::string>;

// Sends the bytes to an encoder and returns the on-air lines every command caused, judged
// against what was shown last, as the emulator does. Clock time carries offset_half_hours.
class Listener {
 public:
  explicit Listener(Dialect dialect, ReceivedCharset charset = ReceivedCharset::Rds)
      : parser_(dialect), encoder_(dialect, Station(this)), charset_(charset) {}

  Lines Send(const std::string& bytes) {
    Lines lines;
    for (const Command& command : parser_.Feed(bytes)) {
      (void)encoder_.Handle(command, 0);
      OnAirView now = ViewOnAir(encoder_, 0, charset_);
      for (std::string& line : DescribeOnAirChanges(shown_, now)) {
        lines.push_back(std::move(line));
      }
      shown_ = std::move(now);
    }
    return lines;
  }

  int offset_half_hours = 2;

 private:
  static EncoderState Station(Listener* self) {
    EncoderState state;
    state.local_offset = [self] { return self->offset_half_hours; };
    return state;
  }

  CommandParser parser_;
  Encoder encoder_;
  ReceivedCharset charset_;
  OnAirView shown_ = ViewOnAir(encoder_, 0, charset_);
};

TEST(OnAir, EveryChangeAListenerNoticesIsOneLine) {
  Listener listener(Dialect::Ascii);
  const std::string hello = "UDG1=600011A24865,600111A26C6C,600211A26F7C,600311A27C7C,\r";
  const std::string queen = "Queen - Bohemian Rhapsody (Remastered 2011)";
  const struct {
    std::string command;
    Lines lines;
    int offset_half_hours = 2;
  } steps[] = {
      // The RadioText as the 2A groups carry it: 64 characters, or up to the end code.
      {"RT1=Artist - Title\r", {"RT \"Artist - Title" + std::string(50, ' ') + "\""}},
      {"SHORTRT=1\r", {"RT \"Artist - Title\""}},
      {"RTP=00,00,00,00,00,00\r", {}},
      {"RTP=04,00,05,01,09,04\r", {"RT+ ARTIST=\"Artist\" TITLE=\"Title\""}},
      // Tags left standing mark the next text by their old positions.
      {"RT1=AC/DC - Back in Black  \r",
       {"RT \"AC/DC - Back in Black  \"", "RT+ ARTIST=\"AC/DC \" TITLE=\"ack i\""}},
      {"RTP=00,00,00,00,00,00\r", {"RT+ off"}},
      // Items in the order of the text, whatever the order of the tags.
      {"RT1=" + queen + "\rRTP=01,08,34,04,00,04\r",
       {"RT \"" + queen + "\"",
        "RT+ ARTIST=\"Queen\" TITLE=\"Bohemian Rhapsody (Remastered 2011)\""}},
      {"RTP=04,00,04,01,08,34\r", {}},  // refused: the group has no room for it
      // A tag that runs past the end of the text shows cut.
      {"RTP=04,00,04,01,38,20\r", {"RT+ ARTIST=\"Queen\" TITLE=\"2011)\""}},
      // As a radio reads RDS codes: é 0x82, ü 0x99, ó 0x86 are one character each for RT+.
      {"RTP=00,00,00,00,00,00\rRT1=Caf\x82 M\x99ller - Sigur R\x86s\rRTP=04,00,10,01,14,08\r",
       {"RT+ off", "RT \"Café Müller - Sigur Rós\"",
        "RT+ ARTIST=\"Café Müller\" TITLE=\"Sigur Rós\""}},
      {"RTP=00,00,00,00,00,00\rRT1=\xAB or $ Caf\xE9\r", {"RT+ off", "RT \"$ or ¤ CafŊ\""}},
      {"TA=1\r", {"TA on"}},
      {"TA=0\r", {"TA off"}},
      {"TIME=14:02:31\rDATE=05.03.26\r", {"Clock set 05.03.26 14:02:31 UTC+01:00"}},
      {"PS\r", {"Clock 05.03.26 14:02:31 UTC+02:00"}, 4},  // summer time
      {"CT=0\r", {"CT off", "Clock 05.03.26 14:02:31"}, 4},
      {hello, {"In-house seq 1 id 1A2 \"Hello\""}, 4},
      {hello, {}, 4},
      {"UDG1=600000000000,600100000110\r", {"In-house version 0110"}, 4},
  };
  for (const auto& step : steps) {
    listener.offset_half_hours = step.offset_half_hours;
    EXPECT_EQ(listener.Send(step.command), step.lines) << step.command;
  }
  // Types without a name show their number.
  EXPECT_EQ(DescribeRtPlusItems("Short", {RtPlusTag{4, 20, 5}, RtPlusTag{31, 0, 0}}),
            "TYPE31=\"S\" ARTIST=\"\"");
}

TEST(OnAir, TextsReadAsWindows1252OrFromAFrameWithItsEndCode) {
  Listener latin1(Dialect::Ascii, ReceivedCharset::Latin1);
  EXPECT_EQ(latin1.Send("RT1=Caf\xE9\rPS=M\xDCNSTER\r"),
            (Lines{"RT \"Café" + std::string(60, ' ') + "\"", "PS \"MÜNSTER \""}));
  // Only a frame can carry the end code inside the text; a radio shows nothing after it.
  std::string text = "Hello \x0DIgnored";
  text.resize(64, ' ');
  EXPECT_EQ(Listener(Dialect::Frame).Send("\xFE\x20" + text + "\x40\xFF"), Lines{"RT \"Hello \""});
}

}  // namespace
}  // namespace morvane::sim
