#include "sim/on_air.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace morvane::sim {
namespace {

using Lines = std::vector<std::string>;

// Sends the bytes to an encoder and returns the on-air lines every command caused, judged
// against what was shown last, as the emulator does.
class Listener {
 public:
  explicit Listener(Dialect dialect) : parser_(dialect), encoder_(dialect, EncoderState{}) {}

  Lines Send(const std::string& bytes) {
    Lines lines;
    for (const Command& command : parser_.Feed(bytes)) {
      (void)encoder_.Handle(command, 0);
      OnAirView now = ViewOnAir(encoder_, 0, ReceivedCharset::Rds);
      for (std::string& line : DescribeOnAirChanges(shown_, now)) {
        lines.push_back(std::move(line));
      }
      shown_ = std::move(now);
    }
    return lines;
  }

 private:
  CommandParser parser_;
  Encoder encoder_;
  OnAirView shown_ = ViewOnAir(encoder_, 0, ReceivedCharset::Rds);
};

// What the controller's end-to-end runs look for, as the groups carry it.
TEST(OnAir, EveryChangeAListenerNoticesIsOneLine) {
  Listener listener(Dialect::Ascii);
  const std::string queen = "Queen - Bohemian Rhapsody (Remastered 2011)";
  const struct {
    std::string command;
    Lines lines;
  } steps[] = {
      // The RadioText as the 2A groups carry it: 64 characters, or up to the end code.
      {"RT1=Artist - Title\r", {"RT \"Artist - Title" + std::string(50, ' ') + "\""}},
      {"SHORTRT=1\r", {"RT \"Artist - Title\""}},
      {"RTP=04,00,05,01,09,04\r", {"RT+ ARTIST=\"Artist\" TITLE=\"Title\""}},
      // Items in the order of the text, whatever the order of the tags.
      {"RTP=00,00,00,00,00,00\rRT1=" + queen + "\rRTP=01,08,34,04,00,04\r",
       {"RT+ off", "RT \"" + queen + "\"",
        "RT+ ARTIST=\"Queen\" TITLE=\"Bohemian Rhapsody (Remastered 2011)\""}},
      // As a radio reads RDS codes: é 0x82, ü 0x99, ó 0x86 are one character each for RT+.
      {"RTP=00,00,00,00,00,00\rRT1=Caf\x82 M\x99ller - Sigur R\x86s\rRTP=04,00,10,01,14,08\r",
       {"RT+ off", "RT \"Café Müller - Sigur Rós\"",
        "RT+ ARTIST=\"Café Müller\" TITLE=\"Sigur Rós\""}},
      {"TA=1\r", {"TA on"}},
      {"TA=0\r", {"TA off"}},
      {"UDG1=600011A24865,600111A26C6C,600211A26F7C,600311A27C7C,\r",
       {"In-house seq 1 id 1A2 \"Hello\""}},
  };
  for (const auto& step : steps) {
    EXPECT_EQ(listener.Send(step.command), step.lines) << step.command;
  }
  // A frame's RadioText, and what a radio shows of one that holds the end code.
  std::string text = "Hello \x0DIgnored";
  text.resize(64, ' ');
  EXPECT_EQ(Listener(Dialect::Frame).Send("\xFE\x20" + text + "\x40\xFF"), Lines{"RT \"Hello \""});
}

}  // namespace
}  // namespace morvane::sim
