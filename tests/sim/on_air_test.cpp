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
  explicit Listener(Dialect dialect) : parser_(dialect), encoder_(dialect, EncoderState{}) {}

  Lines Send(const std::string& bytes, int64_t now_ms = 0) {
    Lines lines;
    for (const Command& command : parser_.Feed(bytes)) {
      const OnAirView before = ViewOnAir(encoder_, now_ms);
      (void)encoder_.Handle(command, now_ms);
      for (std::string& line : DescribeOnAirChanges(before, ViewOnAir(encoder_, now_ms))) {
        lines.push_back(std::move(line));
      }
    }
    return lines;
  }

 private:
  CommandParser parser_;
  Encoder encoder_;
};

TEST(OnAir, TitleChangeWithRtPlusItems) {
  Listener listener(Dialect::Ascii);
  const std::vector<std::pair<std::string, Lines>> steps{
      {"RT1=Artist - Title\r", {"RT \"Artist - Title\""}},
      {"RTP=00,00,00,00,00,00\r", {}},
      {"RTP=04,00,05,01,09,04\r", {"RT+ ARTIST=\"Artist\" TITLE=\"Title\""}},
      {"RT1=Now: Band - Song\r", {"RT \"Now: Band - Song\""}},
      {"RTP=00,00,00,00,00,00\r", {"RT+ off"}},
      {"RTP=01,05,03,04,12,03\r", {"RT+ TITLE=\"Band\" ARTIST=\"Song\""}},
      {"RT1=Station jingle\r", {"RT \"Station jingle\""}},
      {"RTP=00,00,00,00,00,00\r", {"RT+ off"}},
      {"PS\rRT1\rTA\r", {}},
  };
  for (const auto& [command, expected] : steps) {
    EXPECT_EQ(listener.Send(command), expected) << command;
  }
}

TEST(OnAir, TrafficClockAndInHouse) {
  Listener listener(Dialect::Ascii);
  EXPECT_EQ(listener.Send("TA=1\r"), (Lines{"TA on"}));
  EXPECT_EQ(listener.Send("TA=1\r"), Lines{});
  EXPECT_EQ(listener.Send("TA=0\r"), (Lines{"TA off"}));
  EXPECT_EQ(listener.Send("TIME=14:02:31\r"), (Lines{"Clock set 01.01.00 14:02:31"}));
  EXPECT_EQ(listener.Send("DATE=05.03.26\r", 400), (Lines{"Clock set 05.03.26 14:02:31"}));
  EXPECT_EQ(listener.Send("UDG1=\r"), Lines{});
  EXPECT_EQ(listener.Send("UDG1=600011A24865,600111A26C6C,600211A26F7C,600311A27C7C,\r"),
            (Lines{"In-house seq 1 id 1A2 \"Hello\""}));
  EXPECT_EQ(listener.Send("UDG1=600011A24865,600111A26C6C,600211A26F7C,600311A27C7C,\r"), Lines{});
  EXPECT_EQ(listener.Send("UDG1=600000000000,600100000110\r"), (Lines{"In-house version 0110"}));
}

TEST(OnAir, PiraMicroRadioTextWithoutItsPadding) {
  Listener listener(Dialect::Frame);
  std::string text = "Artist - Title";
  text.resize(64, ' ');
  EXPECT_EQ(listener.Send("\xFE\x20" + text + "\x40\xFF"), (Lines{"RT \"Artist - Title\""}));
  EXPECT_EQ(listener.Send(std::string("\xFE\x0E\x01\x40\xFF", 5)), (Lines{"TA on"}));
  EXPECT_EQ(listener.Send(std::string("\xFE\x0E\x00\x40\xFF", 5)), (Lines{"TA off"}));
}

TEST(OnAir, RtPlusItemsPastTheTextResolveToNothing) {
  EXPECT_EQ(DescribeRtPlusItems("Artist - Title", {RtPlusTag{4, 0, 5}, RtPlusTag{1, 9, 40}}),
            "ARTIST=\"Artist\" TITLE=\"Title\"");
  EXPECT_EQ(DescribeRtPlusItems("Short", {RtPlusTag{4, 20, 5}, RtPlusTag{0, 0, 0}}), "ARTIST=\"\"");
  EXPECT_EQ(DescribeRtPlusItems("Album", {RtPlusTag{2, 0, 4}, RtPlusTag{31, 0, 0}}),
            "ALBUM=\"Album\" TYPE31=\"A\"");
}

}  // namespace
}  // namespace morvane::sim
