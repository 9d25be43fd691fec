#include "sim/encoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/dialects.h"

namespace morvane::sim {
namespace {

// Plays the controller's side: builds requests with the controller's own builders.
class Wire {
 public:
  explicit Wire(Dialect dialect, EncoderState initial = {})
      : parser_(dialect), encoder_(dialect, std::move(initial)) {}

  std::string Send(const std::string& bytes, int64_t now_ms = 0) {
    std::string answer;
    for (const Command& command : parser_.Feed(bytes)) {
      answer += encoder_.Handle(command, now_ms);
    }
    return answer;
  }
  std::string Ascii(const std::string& text, int64_t now_ms = 0) {
    return Send(BuildAsciiCommand(text), now_ms);
  }
  std::string Value(const std::string& query, int64_t now_ms = 0) {
    return ParseAnswerLine(Ascii(query, now_ms));
  }
  const EncoderState& state() { return encoder_.state(); }
  Encoder& encoder() { return encoder_; }

 private:
  CommandParser parser_;
  Encoder encoder_;
};

TEST(EncoderAscii, SetCommandsAreAcknowledgedAndMalformedOnesChangeNothing) {
  Wire wire(Dialect::Ascii);
  EXPECT_EQ(wire.Ascii("PS"), "PS\r\nMORVANE \r\n");
  EXPECT_EQ(wire.Ascii("NOSUCH"), "!\r\n");
  EXPECT_EQ(wire.Ascii("NOSUCH=1"), "!\r\n");
  const std::string groups = "600011A24865,600111A26C6C,";
  const struct {
    std::string command;
    std::string ack;
    std::string query;
    std::string value;
  } cases[] = {
      {"PI=d3a2", "+\r\n", "PI", "D3A2"},
      {"TA=1", "+\r\n", "TA", "1"},
      {"TA=2", "-\r\n", "TA", "1"},
      {"RT1=" + std::string(70, 'x'), "+\r\n", "RT1", std::string(64, 'x')},
      {"RT1=", "+\r\n", "RT1", ""},
      {"TIME=14:02:31", "+\r\n", "TIME", "14:02:31"},
      {"TIME=24:00:00", "-\r\n", "TIME", "14:02:31"},
      {"DATE=05.03.26", "+\r\n", "DATE", "05.03.26"},
      {"DATE=00.03.26", "-\r\n", "DATE", "05.03.26"},
      {"UDG1=" + groups, "+\r\n", "UDG1", groups},
      {"UDG1=60011A24865,", "-\r\n", "UDG1", groups},
      {"PTY=32", "-\r\n", "PTY", "10"},
      {"GRPSEQ=022221AEXYR", "+\r\n", "GRPSEQ", "022221AEXYR"},
      // An encoder that checks its input takes no tag the 11A group cannot carry: six bits for
      // each field, five for the second tag's length.
      {"RTP=04,00,04,01,08,31", "+\r\n", "RTP", "04,00,04,01,08,31"},
      {"RTP=04,00,04,01,08,34", "-\r\n", "RTP", "04,00,04,01,08,31"},
      {"RTP=04,00,63,01,67,03", "-\r\n", "RTP", "04,00,04,01,08,31"},
      {"RTP=64,00,00,00,00,00", "-\r\n", "RTP", "04,00,04,01,08,31"},
      {"RTP=04,00,05,01,09,04,", "-\r\n", "RTP", "04,00,04,01,08,31"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(wire.Ascii(c.command), c.ack) << c.command;
    EXPECT_EQ(wire.Value(c.query), c.value) << c.command;
  }
  (void)wire.Ascii("RTP=04,00,04,01,08,34");
  EXPECT_EQ(wire.encoder().refusal(), "second length 34 does not fit the 11A group (0 to 31)");
}

TEST(EncoderAscii, OwnTrafficTimeoutAndClockRunFromWhenTheyWereSet) {
  Wire wire(Dialect::Ascii);
  (void)wire.Ascii("TATMOUT=1", 0);
  (void)wire.Ascii("TA=1", 1000);
  wire.encoder().Tick(60999);
  EXPECT_TRUE(wire.state().ta);
  wire.encoder().Tick(61000);
  EXPECT_FALSE(wire.state().ta);

  (void)wire.Ascii("TIME=23:59:58", 0);
  (void)wire.Ascii("DATE=28.02.24", 400);
  EXPECT_EQ(wire.Value("TIME", 2500), "00:00:00");
  EXPECT_EQ(wire.Value("DATE", 2500), "29.02.24");
  EXPECT_EQ(wire.state().clock_sets, 1);  // TIME= and its DATE= are one setting
  // A TIME= that no DATE= follows is a setting of its own once the DATE= would have come.
  (void)wire.Ascii("TIME=12:00:00", 3000);
  wire.encoder().Tick(3999);
  EXPECT_EQ(wire.state().clock_sets, 1);
  wire.encoder().Tick(4000);
  EXPECT_EQ(wire.state().clock_sets, 2);
}

TEST(EncoderFrame, ReadAndWriteFramesAsTheControllerBuildsThem) {
  Wire wire(Dialect::Frame);
  EXPECT_EQ(wire.Send(BuildReadFrame(protocol::kAddressPS, 8)),
            std::string("\xFE\x02MORVANE \xFF"));

  // RadioText data holding frame bytes is taken whole and read back as 64 bytes.
  std::string text = std::string("Caf\xE9 \xFE\xFF", 7);
  text.resize(64, ' ');
  EXPECT_EQ(wire.Send(BuildWriteFrame(protocol::kAddressRadioText, text)),
            std::string("\xFE\x20\xFF"));
  EXPECT_EQ(ParseFrameData(wire.Send(BuildReadFrame(protocol::kAddressRadioText, 64)), 64), text);

  EXPECT_EQ(wire.Send(BuildReadFrame(protocol::kAddressTraffic, 1)),
            std::string("\xFE\x0E\x00\xFF", 4));
  (void)wire.Send(BuildWriteFrame(protocol::kAddressTraffic, std::string(1, '\x01')));
  EXPECT_EQ(wire.Send(BuildReadFrame(protocol::kAddressTraffic, 1)),
            std::string("\xFE\x0E\x01\xFF", 4));
  // Pilot present: lowest bit of the status byte clear.
  EXPECT_EQ(wire.Send(BuildReadFrame(protocol::kAddressPilot, 1)),
            std::string("\xFE\x70\x00\xFF", 4));
}

TEST(EncoderAscii, NewTextFlipsTheAbFlagAndNewTagsToggleTheItem) {
  Wire wire(Dialect::Ascii);
  const EncoderState& s = wire.state();
  const struct {
    const char* command;
    bool ab;
    bool toggle;
    bool running;
  } steps[] = {
      {"RT1=One", true, false, false},
      {"RT1=One", true, false, false},
      {"RTP=04,00,05,01,09,04", true, true, true},
      {"RTP=00,00,00,00,00,00", true, true, false},
      {"RT1=Two", false, true, false},
      {"RTP=01,00,05,04,09,04", false, false, true},
  };
  for (const auto& step : steps) {
    (void)wire.Ascii(step.command);
    EXPECT_EQ(s.radiotext_ab, step.ab) << step.command;
    EXPECT_EQ(s.rtplus_toggle, step.toggle) << step.command;
    EXPECT_EQ(s.rtplus_running, step.running) << step.command;
  }
  EXPECT_TRUE(s.rtplus_announced);
}

}  // namespace
}  // namespace morvane::sim
