#include "traffic/traffic_query.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "link/dialects.h"
#include "support/fakes.h"

namespace morvane {
namespace {

using testing::FakeEncoderPort;
using testing::Rig;
using testing::SentCommand;

// Answers each command with the raw bytes given for it, and with silence otherwise.
FakeEncoderPort::Responder RawResponder(std::map<std::string, std::string> answers) {
  return [answers = std::move(answers)](const std::string& command) {
    auto it = answers.find(command);
    return it != answers.end() ? it->second : std::string();
  };
}

// A clean PIRA32 answer: echoed command, CR LF, value, CR LF.
std::map<std::string, std::string> Answered(const std::string& tp, const std::string& ta,
                                            const std::string& timeout) {
  return {{"TP\r", testing::Pira32Answer("TP\r", tp)},
          {"TA\r", testing::Pira32Answer("TA\r", ta)},
          {"TATMOUT\r", testing::Pira32Answer("TATMOUT\r", timeout)}};
}

struct Display {
  std::string tp;
  std::string ta;
  std::string timeout;
  std::string caption;
  ButtonColour colour;
  bool enabled;
};

Display Shown(const Rig& rig) {
  return {rig.view.Text(Label::lblTP),
          rig.view.Text(Label::lblTA),
          rig.view.Text(Label::lblTATMOUT),
          rig.view.caption,
          rig.view.colour,
          rig.view.enabled};
}

void ExpectDisplay(const Rig& rig, const Display& want) {
  const Display got = Shown(rig);
  EXPECT_EQ(got.tp, want.tp);
  EXPECT_EQ(got.ta, want.ta);
  EXPECT_EQ(got.timeout, want.timeout);
  EXPECT_EQ(got.caption, want.caption);
  EXPECT_EQ(ButtonColourName(got.colour), ButtonColourName(want.colour));
  EXPECT_EQ(got.enabled, want.enabled);
}

const Display kReadyAlert{"1 (READY FOR TRAFFIC)",         "1 (TRAFFIC ALERT)", "45",
                          std::string(kTrafficInProgress), ButtonColour::Red,   true};
const Display kDisabledNormal{
    "0 (DISABLED ON ENCODER)", "0 (NORMAL)", "45", std::string(kTrafficActivate),
    ButtonColour::LightGreen,  false};

TEST(QueryTraffic, Pira32AsksTpTaAndTimeoutInThatOrder) {
  Rig rig;
  rig.state.EncoderType = "PIRA32";
  QueryTraffic(rig.controller);
  EXPECT_EQ(rig.Sent(),
            (std::vector<SentCommand>{{"TP\r", 200}, {"TA\r", 200}, {"TATMOUT\r", 200}}));
}

TEST(QueryTraffic, PiraMicroReadsOneByteFromTheTrafficAddress) {
  Rig rig;
  rig.state.EncoderType = "PIRAMICRO";
  QueryTraffic(rig.controller);
  EXPECT_EQ(rig.Sent(), (std::vector<SentCommand>{{std::string("\xFE\xD0\x0E\x01\xFF", 5), 200}}));
}

// Each case first shows a known display from a clean answer, then makes the call under test.
TEST(QueryTraffic, Pira32DisplayRows) {
  struct Case {
    const char* name;
    std::map<std::string, std::string> before;
    std::map<std::string, std::string> answers;
    Display want;
  };
  const std::vector<Case> cases = {
      {"ready and alert", Answered("0", "0", "0"), Answered("1", "1", "45"), kReadyAlert},
      {"disabled and normal", Answered("1", "1", "0"), Answered("0", "0", "45"), kDisabledNormal},
      {"ready and normal",
       Answered("0", "1", "0"),
       Answered("1", "0", "7"),
       {"1 (READY FOR TRAFFIC)", "0 (NORMAL)", "7", std::string(kTrafficActivate),
        ButtonColour::LightGreen, true}},
      {"silent encoder keeps everything but the timeout",
       Answered("1", "1", "45"),
       {},
       {kReadyAlert.tp, kReadyAlert.ta, "", kReadyAlert.caption, ButtonColour::Red, true}},
      {"answer without a leading CR reads blank",
       Answered("0", "0", "45"),
       {{"TP\r", "1\r\n"}, {"TA\r", "1\r\n"}, {"TATMOUT\r", "30\r\n"}},
       {kDisabledNormal.tp, kDisabledNormal.ta, "", kDisabledNormal.caption,
        ButtonColour::LightGreen, false}},
      {"trailing blank matches no row", Answered("0", "0", "0"), Answered("1 ", "1 ", "45"),
       kDisabledNormal},
      {"timeout shown unaltered",
       Answered("1", "1", "0"),
       Answered("1", "1", " 45 "),
       {kReadyAlert.tp, kReadyAlert.ta, " 45 ", kReadyAlert.caption, ButtonColour::Red, true}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.state.EncoderType = "PIRA32";
    rig.port.responder = RawResponder(c.before);
    QueryTraffic(rig.controller);
    rig.port.responder = RawResponder(c.answers);
    QueryTraffic(rig.controller);
    ExpectDisplay(rig, c.want);
  }
}

TEST(QueryTraffic, PiraMicroDisplayRows) {
  const Display kMicroAlert{"UNKNOWN",         "1 (TRAFFIC ALERT)",
                            "UNKNOWN",         std::string(kTrafficInProgress),
                            ButtonColour::Red, true};
  struct Case {
    const char* name;
    std::string answer;
    Display want;
  };
  const std::vector<Case> cases = {
      {"flag 01", std::string("\xFE\xD0\x01\xFF", 4), kMicroAlert},
      {"flag 00",
       std::string("\xFE\xD0\x00\xFF", 4),
       {"UNKNOWN", "0 (NORMAL)", "UNKNOWN", std::string(kTrafficActivate), ButtonColour::LightGreen,
        true}},
      // Readings that match no row leave the TA texts alone; the button can no longer be used.
      {"two bytes",
       std::string("\xFE\xD0", 2),
       {"UNKNOWN", kMicroAlert.ta, "UNKNOWN", kMicroAlert.caption, ButtonColour::Red, false}},
      {"silent",
       "",
       {"UNKNOWN", kMicroAlert.ta, "UNKNOWN", kMicroAlert.caption, ButtonColour::Red, false}},
      {"flag 40",
       std::string("\xFE\xD0\x40\xFF", 4),
       {"UNKNOWN", kMicroAlert.ta, "UNKNOWN", kMicroAlert.caption, ButtonColour::Red, false}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.state.EncoderType = "PIRAMICRO";
    rig.port.responder = testing::FrameResponder({{kAddressTraffic, std::string(1, '\x01')}});
    QueryTraffic(rig.controller);
    rig.port.responder = [&](const std::string&) { return c.answer; };
    QueryTraffic(rig.controller);
    ExpectDisplay(rig, c.want);
  }
}

TEST(FrameFlagValue, CodeOfTheThirdByteInDecimal) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {std::string("\xFE\xD0\x01\xFF", 4), "1"},  {std::string("\xFE\xD0\x00\xFF", 4), "0"},
      {std::string("\xFE\xD0\x40\xFF", 4), "64"}, {std::string("\xFE\xD0\xC8\xFF", 4), "200"},
      {std::string("\xFE\xD0", 2), "32"},         {"", "32"},
  };
  for (const auto& [answer, want] : cases) {
    EXPECT_EQ(FrameFlagValue(answer), want) << answer.size() << " bytes";
  }
}

TEST(QueryTraffic, OtherEncoderTypesSendNothingAndShowUnknown) {
  for (const char* type : {"", "pira32", "PIRA 32", "PIRAMICRO ", "PiraMicro"}) {
    SCOPED_TRACE(type);
    Rig rig;
    rig.state.EncoderType = type;
    rig.port.responder = testing::Pira32Responder({});
    // As an earlier call might have left it.
    rig.view.caption = std::string(kTrafficInProgress);
    rig.view.colour = ButtonColour::Red;
    rig.view.enabled = true;
    QueryTraffic(rig.controller);
    EXPECT_TRUE(rig.log.empty());
    ExpectDisplay(rig, {"UNKNOWN", "UNKNOWN", "UNKNOWN", std::string(kTrafficUnavailable),
                        ButtonColour::ButtonFace, false});
  }
}

}  // namespace
}  // namespace morvane
