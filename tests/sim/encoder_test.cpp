#include "sim/encoder.h"

#include <gtest/gtest.h>

#include <string>

#include "link/dialects.h"

namespace morvane::sim {
namespace {

// Plays the controller's side: builds requests with the controller's own builders.
struct Wire {
  explicit Wire(Dialect dialect) : parser(dialect), encoder(dialect, EncoderState{}) {}

  std::string Send(const std::string& bytes, int64_t now_ms = 0) {
    std::string answer;
    for (const Command& command : parser.Feed(bytes)) {
      answer += encoder.Handle(command, now_ms);
    }
    return answer;
  }
  CommandParser parser;
  Encoder encoder;
};

// What the controller's answer rules read: a PIRA32 query echoed, then its value, each line
// ended by CR LF. An encoder that checks its input takes no tag the 11A group cannot carry: six
// bits for each field, five for the second tag's length.
TEST(EncoderAscii, AnswersAndRefusesTagsTheGroupCannotCarry) {
  Wire wire(Dialect::Ascii);
  EXPECT_EQ(wire.Send("PS\r"), "PS\r\nMORVANE \r\n");
  const std::pair<const char*, const char*> tags[] = {{"RTP=04,00,04,01,08,31\r", "+\r\n"},
                                                      {"RTP=04,00,04,01,08,34\r", "-\r\n"},
                                                      {"RTP=04,00,63,01,67,03\r", "-\r\n"},
                                                      {"RTP=64,00,00,00,00,00\r", "-\r\n"},
                                                      {"RTP=04,00,05,01,09,04,\r", "-\r\n"}};
  for (const auto& [command, acknowledgement] : tags) {
    EXPECT_EQ(wire.Send(command), acknowledgement) << command;
  }
  EXPECT_EQ(wire.Send("RTP\r"), "RTP\r\n04,00,04,01,08,31\r\n");
  (void)wire.Send("RTP=04,00,04,01,08,34\r");
  EXPECT_EQ(wire.encoder.refusal(), "second length 34 does not fit the 11A group (0 to 31)");
}

// The encoder's own TA timeout and clock run from when they were set; a TIME= and its DATE= are
// one setting, a TIME= alone is one once its DATE= would have come.
TEST(EncoderAscii, OwnTimeoutAndClock) {
  Wire wire(Dialect::Ascii);
  (void)wire.Send("TATMOUT=1\r", 0);
  (void)wire.Send("TA=1\r", 1000);
  wire.encoder.Tick(60999);
  EXPECT_TRUE(wire.encoder.state().ta);
  wire.encoder.Tick(61000);
  EXPECT_FALSE(wire.encoder.state().ta);

  (void)wire.Send("TIME=23:59:58\r", 0);
  (void)wire.Send("DATE=28.02.24\r", 400);
  EXPECT_EQ(wire.Send("TIME\r", 2500), "TIME\r\n00:00:00\r\n");
  EXPECT_EQ(wire.Send("DATE\r", 2500), "DATE\r\n29.02.24\r\n");
  EXPECT_EQ(wire.encoder.state().clock_sets, 1);
  (void)wire.Send("TIME=12:00:00\r", 3000);
  wire.encoder.Tick(3999);
  EXPECT_EQ(wire.encoder.state().clock_sets, 1);
  wire.encoder.Tick(4000);
  EXPECT_EQ(wire.encoder.state().clock_sets, 2);
}

// A PIRA micro answer: two bytes before the data, FF after it.
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
  (void)wire.Send(BuildWriteFrame(protocol::kAddressTraffic, std::string(1, '\x01')));
  EXPECT_EQ(wire.Send(BuildReadFrame(protocol::kAddressTraffic, 1)),
            std::string("\xFE\x0E\x01\xFF", 4));
  // Pilot present: lowest bit of the status byte clear.
  EXPECT_EQ(wire.Send(BuildReadFrame(protocol::kAddressPilot, 1)),
            std::string("\xFE\x70\x00\xFF", 4));
}

}  // namespace
}  // namespace morvane::sim
