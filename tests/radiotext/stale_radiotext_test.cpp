#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "app/startup.h"
#include "radiotext/metadata_watcher.h"
#include "support/fakes.h"

namespace morvane {
namespace {

// Watcher ticks after start-up at these seconds with these lines: every RadioText sent, and how
// often the station was told of a fallback or a miss. "D" is DefaultRadioText; the encoder holds
// all but "X". A traffic alert started with the button (second column) is ended by no line.
TEST(StaleRadioText, DefaultOnAirOnceWhenTheLineStandsForTheSetMinutes) {
  const std::tuple<int, int16_t, std::vector<std::pair<int, std::string>>, std::vector<std::string>,
                   std::size_t>
      cases[] = {
          {0, 0, {{0, "A"}, {86400, "A"}}, {"A"}, 0},
          {5, 0, {{0, "A"}, {299, "A"}}, {"A"}, 0},
          {5, 0, {{0, "A"}, {300, "A"}, {301, "A"}, {9000, "A"}}, {"A", "D"}, 1},
          {5, 0, {{0, "A"}, {240, "B"}, {539, "B"}}, {"A", "B"}, 0},  // a new line waits again
          {1, 0, {{0, "A"}, {60, "A"}, {70, "B"}, {130, "B"}}, {"A", "D", "B", "D"}, 2},
          {5, 1, {{0, "A"}, {300, "A"}, {900, "A"}}, {"A"}, 0},
          {1, 0, {{0, "J !!*SYS*!!"}, {60, "J !!*SYS*!!"}}, {"D"}, 0},  // the default is on air
          {1, 0, {{0, ""}, {120, ""}}, {}, 0},                          // start-up's D on air
          {1, 0, {{0, "A"}, {5, ""}, {65, ""}}, {"A", "", "D"}, 1},  // a file gone: its empty line
          // The default's misses count from nought: two are no fault yet.
          {1, 0, {{0, "A"}, {60, "A"}, {70, "X"}, {85, "X"}}, {"A", "D", "X", "X"}, 1},
      };
  for (const auto& [minutes, traffic, ticks, on_air, told] : cases) {
    SCOPED_TRACE(ticks.back().second + " after " + std::to_string(minutes));
    testing::Rig rig;
    rig.files.files["/wd/RDSmorvane.ini"] =
        "[RDSmorvane]\nCOMport=1\nEncoderType=PIRA32\n" +
        ("DefaultRadioText=D\nStaleRadioTextMinutes=" + std::to_string(minutes));
    rig.controller.steady_now_ms = [&rig] { return rig.time.now_us / 1000; };
    rig.port.responder = [holds = testing::HoldingPira32Responder({}),
                          other = testing::Pira32Responder({})](const std::string& command) {
      return command == "RT1=X\r" ? other(command) : holds(command);
    };
    Form_Load(rig.controller, "/wd");
    rig.ClearLog();
    rig.state.TAstatus = rig.state.ManualTraffic = traffic;
    const int64_t started_us = rig.time.now_us;
    for (const auto& [at_s, line] : ticks) {
      rig.time.now_us = std::max(rig.time.now_us, started_us + int64_t{at_s} * 1000000);
      rig.files.files["metadata.txt"] = line;
      tmrTextCheck_Timer(rig.controller);
    }
    std::vector<std::string> sent;
    for (const std::string& written : rig.Writes()) {
      if (written.rfind("RT1=", 0) == 0) {
        sent.push_back(written.substr(4, written.size() - 5));
      }
    }
    EXPECT_EQ(sent, on_air);
    EXPECT_EQ(rig.events.Told().size(), told);
  }
}

}  // namespace
}  // namespace morvane
