#include "traffic/traffic_query.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "support/fakes.h"

namespace morvane {
namespace {

using testing::FakeEncoderPort;
using testing::Pira32Responder;

// lblTP, lblTA, lblTATMOUT | the button's caption, colour, and whether it can be clicked; after a
// first query with the first answers, then a second with the second.
std::string ShownAfter(const std::string& type, FakeEncoderPort::Responder first,
                       FakeEncoderPort::Responder second) {
  testing::Rig rig;
  rig.state.EncoderType = type;
  rig.port.responder = std::move(first);
  (void)QueryTraffic(rig.controller);
  rig.port.responder = std::move(second);
  const std::optional<TrafficFlag> flag = QueryTraffic(rig.controller);
  return rig.view.Text(Label::lblTP) + "|" + rig.view.Text(Label::lblTA) + "|" +
         rig.view.Text(Label::lblTATMOUT) + " | " + rig.view.caption + " " +
         std::string(ButtonColourName(rig.view.colour)) + (rig.view.enabled ? " on" : " off") +
         (flag ? (*flag == TrafficFlag::On ? " =on" : " =off") : " =none");
}

const std::string kAlert = "TRAFFIC ALERT IN PROGRESS - CLICK TO END red";
const std::string kNormal = "CLICK TO ACTIVATE TRAFFIC ALERT lightgreen";

TEST(QueryTraffic, Pira32DisplayRows) {
  using Answers = std::map<std::string, std::string>;
  const Answers ready_alert{{"TP", "1"}, {"TA", "1"}, {"TATMOUT", "45"}};
  const Answers disabled_normal{{"TP", "0"}, {"TA", "0"}, {"TATMOUT", "0"}};
  const struct {
    Answers before;
    Answers now;  // empty: a silent encoder
    std::string shown;
  } cases[] = {
      {disabled_normal,
       {{"TP", "1"}, {"TA", "1"}, {"TATMOUT", " 45 "}},
       "1 (READY FOR TRAFFIC)|1 (TRAFFIC ALERT)| 45  | " + kAlert + " on =on"},
      {ready_alert, disabled_normal,
       "0 (DISABLED ON ENCODER)|0 (NORMAL)|0 | " + kNormal + " off =off"},
      {disabled_normal,
       {{"TP", "1"}, {"TA", "0"}, {"TATMOUT", "7"}},
       "1 (READY FOR TRAFFIC)|0 (NORMAL)|7 | " + kNormal + " on =off"},
      // Silence keeps everything but the timeout.
      {ready_alert, {}, "1 (READY FOR TRAFFIC)|1 (TRAFFIC ALERT)| | " + kAlert + " on =none"},
      // A trailing blank matches no row.
      {disabled_normal,
       {{"TP", "1 "}, {"TA", "1 "}, {"TATMOUT", "30"}},
       "0 (DISABLED ON ENCODER)|0 (NORMAL)|30 | " + kNormal + " off =none"},
  };
  for (const auto& c : cases) {
    const auto now = c.now.empty() ? FakeEncoderPort::Responder() : Pira32Responder(c.now);
    EXPECT_EQ(ShownAfter("PIRA32", Pira32Responder(c.before), now), c.shown);
  }
}

// The PIRA micro has no TP reading; its button is usable while the TA reading is a flag value.
TEST(QueryTraffic, PiraMicroDisplayRows) {
  const std::pair<std::string, std::string> cases[] = {
      {std::string("\xFE\xD0\x01\xFF", 4),
       "UNKNOWN|1 (TRAFFIC ALERT)|UNKNOWN | " + kAlert + " on =on"},
      {std::string("\xFE\xD0\x00\xFF", 4), "UNKNOWN|0 (NORMAL)|UNKNOWN | " + kNormal + " on =off"},
      // Readings that match no row leave the TA texts alone and the button unusable.
      {"", "UNKNOWN|1 (TRAFFIC ALERT)|UNKNOWN | " + kAlert + " off =none"},
      {std::string("\xFE\xD0\x40\xFF", 4),
       "UNKNOWN|1 (TRAFFIC ALERT)|UNKNOWN | " + kAlert + " off =none"},
  };
  for (const auto& [answer, shown] : cases) {
    const auto flag_set = testing::FrameResponder({{0x0E, "\x01"}});
    EXPECT_EQ(
        ShownAfter("PIRAMICRO", flag_set, [answer = answer](const std::string&) { return answer; }),
        shown);
  }
  // A type that is never asked shows no reading and gives no flag.
  EXPECT_EQ(ShownAfter("PIRA32 ", Pira32Responder({}), Pira32Responder({})),
            "UNKNOWN|UNKNOWN|UNKNOWN | TRAFFIC ALERT UNAVAILABLE buttonface off =none");
}

}  // namespace
}  // namespace morvane
