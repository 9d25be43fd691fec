#include "app/dispatch.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "support/fakes.h"

namespace morvane {
namespace {

// Each tick and the click run their own handler; one that fails is named, not left to end the
// program.
TEST(Dispatch, EachHandlerRunsAndAFailingOneIsNamed) {
  const struct {
    std::optional<Timer> timer;  // std::nullopt: the traffic button's click
    const char* first_sent;
    const char* name;
  } cases[] = {
      {Timer::tmrTextCheck, "RT1=Song\r", "tmrTextCheck_Timer"},
      {Timer::tmrTAtimeout, "TA=0\r", "tmrTAtimeout_Timer"},
      {Timer::tmrClockCheck, "TP\r", "tmrClockCheck_Timer"},
      {Timer::tmrInHouse, "UDG1=600011A24865,600111A26C6C,600211A26F7C,600311A27C7C,\r",
       "tmrInHouse_Timer"},
      {std::nullopt, "TA=1\r", "cmdTraffic_Click"},
  };
  for (const auto& c : cases) {
    testing::Rig rig;
    rig.state.EncoderType = "PIRA32";
    rig.state.MetadataFile = "now.txt";
    rig.state.TAtimeout = 2;
    rig.state.TrafficMeta = rig.state.RTPlusPrefix = rig.state.RTPlusSplit = "-unset-";
    rig.files.files = {{"now.txt", "Song"}, {"inhouse.txt", "M: 1A2 Hello"}};
    rig.port.responder = [](const std::string&) -> std::string {
      throw std::runtime_error("no more room");
    };
    c.timer ? DispatchTick(rig.controller, *c.timer) : DispatchClick(rig.controller);
    ASSERT_FALSE(rig.log.empty()) << c.name;
    EXPECT_EQ(rig.Writes().front(), c.first_sent);
    EXPECT_EQ(rig.events.Told(),
              std::vector<std::string>{std::string(c.name) + " failed: no more room"});
  }
}

}  // namespace
}  // namespace morvane
