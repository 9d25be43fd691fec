#include "traffic/traffic_query.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "link/dialects.h"
#include "support/fakes.h"

namespace morvane {
namespace {

using testing::Pira32Responder;
using testing::Rig;

// lblTP, lblTA, lblTATMOUT, and the button's caption, colour and enabled state.
using Display = std::tuple<std::string, std::string, std::string, std::string, std::string, bool>;

Display Shown(const Rig& rig) {
  return {rig.view.Text(Label::lblTP),
          rig.view.Text(Label::lblTA),
          rig.view.Text(Label::lblTATMOUT),
          rig.view.caption,
          std::string(ButtonColourName(rig.view.colour)),
          rig.view.enabled};
}

// Shows a known display from the first answers, then queries again with the second.
Display QueryTwice(const std::string& type, testing::FakeEncoderPort::Responder first,
                   testing::FakeEncoderPort::Responder second) {
  Rig rig;
  rig.state.EncoderType = type;
  rig.port.responder = std::move(first);
  QueryTraffic(rig.controller);
  rig.port.responder = std::move(second);
  QueryTraffic(rig.controller);
  return Shown(rig);
}

const std::string kInProgress(kTrafficInProgress);
const std::string kActivate(kTrafficActivate);

TEST(QueryTraffic, Pira32DisplayRows) {
  using Answers = std::map<std::string, std::string>;
  const Answers ready_alert{{"TP", "1"}, {"TA", "1"}, {"TATMOUT", "45"}};
  const Answers disabled_normal{{"TP", "0"}, {"TA", "0"}, {"TATMOUT", "0"}};
  const struct {
    const char* name;
    Answers before;
    Answers now;  // empty: a silent encoder
    Display want;
  } cases[] = {
      {"ready and alert",
       disabled_normal,
       {{"TP", "1"}, {"TA", "1"}, {"TATMOUT", " 45 "}},
       {"1 (READY FOR TRAFFIC)", "1 (TRAFFIC ALERT)", " 45 ", kInProgress, "red", true}},
      {"disabled and normal",
       ready_alert,
       disabled_normal,
       {"0 (DISABLED ON ENCODER)", "0 (NORMAL)", "0", kActivate, "lightgreen", false}},
      {"ready and normal",
       disabled_normal,
       {{"TP", "1"}, {"TA", "0"}, {"TATMOUT", "7"}},
       {"1 (READY FOR TRAFFIC)", "0 (NORMAL)", "7", kActivate, "lightgreen", true}},
      {"silent encoder keeps everything but the timeout",
       ready_alert,
       {},
       {"1 (READY FOR TRAFFIC)", "1 (TRAFFIC ALERT)", "", kInProgress, "red", true}},
      {"a trailing blank matches no row",
       disabled_normal,
       {{"TP", "1 "}, {"TA", "1 "}, {"TATMOUT", "30"}},
       {"0 (DISABLED ON ENCODER)", "0 (NORMAL)", "30", kActivate, "lightgreen", false}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto now = c.now.empty() ? testing::FakeEncoderPort::Responder() : Pira32Responder(c.now);
    EXPECT_EQ(QueryTwice("PIRA32", Pira32Responder(c.before), now), c.want);
  }
}

// The PIRA micro has no TP reading; its button is usable while the TA reading is a flag value.
TEST(QueryTraffic, PiraMicroDisplayRows) {
  const Display alert{"UNKNOWN", "1 (TRAFFIC ALERT)", "UNKNOWN", kInProgress, "red", true};
  const struct {
    const char* name;
    std::string answer;
    Display want;
  } cases[] = {
      {"flag 01", std::string("\xFE\xD0\x01\xFF", 4), alert},
      {"flag 00",
       std::string("\xFE\xD0\x00\xFF", 4),
       {"UNKNOWN", "0 (NORMAL)", "UNKNOWN", kActivate, "lightgreen", true}},
      // Readings that match no row leave the TA texts alone and the button unusable.
      {"silent", "", {"UNKNOWN", "1 (TRAFFIC ALERT)", "UNKNOWN", kInProgress, "red", false}},
      {"flag 40",
       std::string("\xFE\xD0\x40\xFF", 4),
       {"UNKNOWN", "1 (TRAFFIC ALERT)", "UNKNOWN", kInProgress, "red", false}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto flag_set =
        testing::FrameResponder({{protocol::kAddressTraffic, std::string(1, '\x01')}});
    const std::string answer = c.answer;
    EXPECT_EQ(QueryTwice("PIRAMICRO", flag_set, [answer](const std::string&) { return answer; }),
              c.want);
  }
}

}  // namespace
}  // namespace morvane
