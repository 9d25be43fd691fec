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
  Encoder& encoder() { return encoder_; }

 private:
  CommandParser parser_;
  Encoder encoder_;
};

TEST(EncoderAscii, QueriesAnswerTheCommandThenTheValue) {
  EncoderState initial;
  initial.ps = "RADIO 1 ";
  initial.pi = 0xD3A2;
  initial.pty = 23;
  initial.tp = true;
  initial.ct = false;
  initial.pilot = true;
  initial.radiotext = "Good morning";
  Wire wire(Dialect::Ascii, initial);
  const std::vector<std::pair<std::string, std::string>> cases{
      {"PS", "RADIO 1 "}, {"PI", "D3A2"},  {"PTY", "23"},    {"RT1", "Good morning"},
      {"TP", "1"},        {"TA", "0"},     {"TATMOUT", "0"}, {"CT", "0"},
      {"PILOT", "1"},     {"SHORTRT", "0"}};
  for (const auto& [query, value] : cases) {
    const std::string answer = wire.Ascii(query);
    EXPECT_EQ(answer, query + "\r\n" + value + "\r\n");
    EXPECT_EQ(ParseAnswerLine(answer), value) << query;
  }
}

TEST(EncoderAscii, SetCommandsAreAcknowledgedAndChangeWhatIsReadBack) {
  Wire wire(Dialect::Ascii);
  struct Case {
    std::string command;
    std::string ack;
    std::string query;
    std::string value;
  };
  const std::vector<Case> cases{
      {"TA=1", "+\r\n", "TA", "1"},
      {"TA=0", "+\r\n", "TA", "0"},
      {"TA=2", "-\r\n", "TA", "0"},
      {"GRPSEQ=022221AEXYR", "+\r\n", "GRPSEQ", "022221AEXYR"},
      {"SHORTRT=1", "+\r\n", "SHORTRT", "1"},
      {"RT1=Artist - Title", "+\r\n", "RT1", "Artist - Title"},
      {"RT1=", "+\r\n", "RT1", ""},
      {"RT1=" + std::string(70, 'x'), "+\r\n", "RT1", std::string(64, 'x')},
      {"RTP=04,00,05,01,09,04", "+\r\n", "RTP", "04,00,05,01,09,04"},
      {"RTP=04,00,05,01,09", "-\r\n", "RTP", "04,00,05,01,09,04"},
      {"RTP=00,00,00,00,00,00", "+\r\n", "RTP", "00,00,00,00,00,00"},
      {"TIME=14:02:31", "+\r\n", "TIME", "14:02:31"},
      {"DATE=05.03.26", "+\r\n", "DATE", "05.03.26"},
      {"TIME=24:00:00", "-\r\n", "TIME", "14:02:31"},
      {"UDG1=600011A24865,600111A26C6C,", "+\r\n", "UDG1", "600011A24865,600111A26C6C,"},
      {"UDG1=60011A24865,", "-\r\n", "UDG1", "600011A24865,600111A26C6C,"},
      {"UDG1=", "+\r\n", "UDG1", ""},
      {"PTY=32", "-\r\n", "PTY", "10"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(wire.Ascii(c.command), c.ack) << c.command;
    EXPECT_EQ(ParseAnswerLine(wire.Ascii(c.query)), c.value) << c.command;
  }
  EXPECT_EQ(wire.Ascii("NOSUCH"), "!\r\n");
  EXPECT_EQ(wire.Ascii("NOSUCH=1"), "!\r\n");
}

TEST(EncoderAscii, OwnTrafficTimeoutEndsAnAnnouncement) {
  Wire wire(Dialect::Ascii);
  EXPECT_EQ(wire.Ascii("TATMOUT=1", 0), "+\r\n");
  EXPECT_EQ(wire.Ascii("TA=1", 1000), "+\r\n");
  wire.encoder().Tick(60999);
  EXPECT_TRUE(wire.encoder().state().ta);
  wire.encoder().Tick(61000);
  EXPECT_FALSE(wire.encoder().state().ta);
}

TEST(EncoderAscii, ClockRunsOnFromWhereItWasSet) {
  Wire wire(Dialect::Ascii);
  (void)wire.Ascii("TIME=23:59:58", 0);
  (void)wire.Ascii("DATE=28.02.24", 400);
  EXPECT_EQ(ParseAnswerLine(wire.Ascii("TIME", 2500)), "00:00:00");
  EXPECT_EQ(ParseAnswerLine(wire.Ascii("DATE", 2500)), "29.02.24");
  EXPECT_EQ(wire.encoder().state().clock_sets, 2);
}

TEST(EncoderFrame, ReadFramesAnswerTwoBytesTheDataAndFF) {
  EncoderState initial;
  initial.ps = "RADIO 1 ";
  initial.pty = 30;
  initial.pilot = true;
  Wire wire(Dialect::Frame, initial);

  const std::string ps = wire.Send(BuildReadFrame(kAddressPS, 8));
  EXPECT_EQ(ps, std::string("\xFE\x02", 2) + "RADIO 1 " + "\xFF");
  EXPECT_EQ(ParseFrameData(ps, 8), "RADIO 1 ");

  const std::string pty = wire.Send(BuildReadFrame(kAddressPTY, 1));
  EXPECT_EQ(pty.size(), 4u);
  EXPECT_EQ(ParseFrameData(pty, 1), std::string(1, '\x1E'));

  EXPECT_EQ(ParseFrameData(wire.Send(BuildReadFrame(kAddressTraffic, 1)), 1), std::string(1, '\0'));
  (void)wire.Send(BuildWriteFrame(kAddressTraffic, std::string(1, '\x01')));
  EXPECT_EQ(ParseFrameData(wire.Send(BuildReadFrame(kAddressTraffic, 1)), 1), "\x01");
  (void)wire.Send(BuildWriteFrame(kAddressTraffic, std::string(1, '\x00')));
  EXPECT_FALSE(wire.encoder().state().ta);

  // Pilot present: lowest bit of the status byte clear.
  const std::string pilot = ParseFrameData(wire.Send(BuildReadFrame(kAddressPilot, 1)), 1);
  EXPECT_EQ(static_cast<unsigned char>(pilot[0]) & 0x01, 0);
}

TEST(EncoderFrame, RadioTextWriteIsReadBackAsSixtyFourBytes) {
  Wire wire(Dialect::Frame);
  std::string text = std::string("Caf\xE9 \xFE\xFF", 7);
  text.resize(64, ' ');
  const std::string ack = wire.Send(BuildWriteFrame(kAddressRadioText, text));
  EXPECT_EQ(ack, std::string("\xFE\x20\xFF", 3));
  EXPECT_EQ(wire.encoder().state().radiotext, text);
  const std::string answer = wire.Send(BuildReadFrame(kAddressRadioText, 64));
  EXPECT_EQ(answer.size(), 67u);
  EXPECT_EQ(ParseFrameData(answer, 64), text);
}

TEST(EncoderFrame, NewTextFlipsTheAbFlagSameTextDoesNot) {
  Wire wire(Dialect::Ascii);
  const bool initial = wire.encoder().state().radiotext_ab;
  (void)wire.Ascii("RT1=One");
  EXPECT_NE(wire.encoder().state().radiotext_ab, initial);
  (void)wire.Ascii("RT1=One");
  EXPECT_NE(wire.encoder().state().radiotext_ab, initial);
  (void)wire.Ascii("RT1=Two");
  EXPECT_EQ(wire.encoder().state().radiotext_ab, initial);
}

TEST(EncoderAscii, RtPlusTagsToggleTheItemAndRunOnlyWhileSet) {
  Wire wire(Dialect::Ascii);
  const EncoderState& s = wire.encoder().state();
  (void)wire.Ascii("RTP=00,00,00,00,00,00");
  EXPECT_TRUE(s.rtplus_announced);
  EXPECT_FALSE(s.rtplus_running);
  EXPECT_FALSE(s.rtplus_toggle);
  (void)wire.Ascii("RTP=04,00,05,01,09,04");
  EXPECT_TRUE(s.rtplus_running);
  EXPECT_TRUE(s.rtplus_toggle);
  EXPECT_EQ(s.rtplus[0], (RtPlusTag{4, 0, 5}));
  EXPECT_EQ(s.rtplus[1], (RtPlusTag{1, 9, 4}));
  (void)wire.Ascii("RTP=00,00,00,00,00,00");
  EXPECT_FALSE(s.rtplus_running);
  (void)wire.Ascii("RTP=01,00,05,04,09,04");
  EXPECT_FALSE(s.rtplus_toggle);
}

}  // namespace
}  // namespace morvane::sim
