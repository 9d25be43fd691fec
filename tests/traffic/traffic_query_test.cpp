#include "traffic/traffic_query.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>

#include "support/fakes.h"

namespace morvane {
namespace {

using Responder = testing::FakeEncoderPort::Responder;
using testing::Pira32Responder;

// Labels, button and flag read by a second query after a first (no responder: silence). The PIRA
// micro has no TP reading; its button is usable while the TA reading is a flag value.
TEST(QueryTraffic, LabelsButtonAndFlagPerAnswer) {
  const Responder ready_alert = Pira32Responder({{"TP", "1"}, {"TA", "1"}, {"TATMOUT", "45"}});
  const Responder disabled = Pira32Responder({{"TP", "0"}, {"TA", "0"}, {"TATMOUT", "0"}});
  const Responder micro_on = testing::FrameResponder({{0x0E, "\x01"}});
  const auto micro = [](std::string answer) -> Responder {
    return [answer](const std::string&) { return answer; };
  };
  const std::string alert = " | TRAFFIC ALERT IN PROGRESS - CLICK TO END red";
  const std::string normal = " | CLICK TO ACTIVATE TRAFFIC ALERT lightgreen";
  const std::tuple<const char*, Responder, Responder, std::string> cases[] = {
      {"PIRA32", disabled, Pira32Responder({{"TP", "1"}, {"TA", "1"}, {"TATMOUT", " 45 "}}),
       "1 (READY FOR TRAFFIC)|1 (TRAFFIC ALERT)| 45 " + alert + " on =on"},
      {"PIRA32", ready_alert, disabled,
       "0 (DISABLED ON ENCODER)|0 (NORMAL)|0" + normal + " off =off"},
      // Silence keeps everything but the timeout; a trailing blank matches no row.
      {"PIRA32", ready_alert, nullptr,
       "1 (READY FOR TRAFFIC)|1 (TRAFFIC ALERT)|" + alert + " on =none"},
      {"PIRA32", disabled, Pira32Responder({{"TP", "1 "}, {"TA", "1 "}, {"TATMOUT", "30"}}),
       "0 (DISABLED ON ENCODER)|0 (NORMAL)|30" + normal + " off =none"},
      {"PIRAMICRO", micro_on, micro("\xFE\xD0\x01\xFF"),
       "UNKNOWN|1 (TRAFFIC ALERT)|UNKNOWN" + alert + " on =on"},
      {"PIRAMICRO", micro_on, micro(std::string("\xFE\xD0\x00\xFF", 4)),
       "UNKNOWN|0 (NORMAL)|UNKNOWN" + normal + " on =off"},
      // Readings that match no row leave the TA texts alone and the button unusable.
      {"PIRAMICRO", micro_on, nullptr, "UNKNOWN|1 (TRAFFIC ALERT)|UNKNOWN" + alert + " off =none"},
      // A type that is never asked shows no reading and gives no flag.
      {"PIRA32 ", ready_alert, ready_alert,
       "UNKNOWN|UNKNOWN|UNKNOWN | TRAFFIC ALERT UNAVAILABLE buttonface off =none"},
  };
  for (const auto& [type, before, now, shown] : cases) {
    testing::Rig rig;
    rig.state.EncoderType = type;
    rig.view.caption = "before";  // what an unasked type shows is written, not left over
    rig.view.colour = ButtonColour::Red;
    rig.port.responder = before;
    (void)QueryTraffic(rig.controller);
    rig.port.responder = now;
    const std::optional<TrafficFlag> flag = QueryTraffic(rig.controller);
    const testing::FakeView& v = rig.view;
    EXPECT_EQ(v.Text(Label::lblTP) + "|" + v.Text(Label::lblTA) + "|" + v.Text(Label::lblTATMOUT) +
                  " | " + v.caption + " " + std::string(ButtonColourName(v.colour)) +
                  (v.enabled ? " on" : " off") +
                  (flag ? (*flag == TrafficFlag::On ? " =on" : " =off") : " =none"),
              shown);
  }
}

}  // namespace
}  // namespace morvane
