#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/startup.h"
#include "radiotext/metadata_watcher.h"
#include "support/fakes.h"

namespace morvane {
namespace {

// The metadata watcher's ticks on a PIRA32 after start-up, at these seconds with these lines;
// every RadioText sent after start-up is listed, and how many times the station was told of a
// fallback. "D" is DefaultRadioText; the RadioText shown is the one read back last.
TEST(StaleRadioText, DefaultOnAirOnceWhenTheLineStandsForTheSetMinutes) {
  const struct {
    const char* name;
    int minutes;
    int16_t traffic;  // an alert started with the button: no line ends it
    std::vector<std::pair<int, std::string>> ticks;
    std::vector<std::string> sent;
    std::size_t told;
  } cases[] = {
      {"off when 0", 0, 0, {{0, "A"}, {86400, "A"}}, {"A"}, 0},
      {"not before", 5, 0, {{0, "A"}, {299, "A"}}, {"A"}, 0},
      {"at N minutes, once", 5, 0, {{0, "A"}, {300, "A"}, {301, "A"}, {9000, "A"}}, {"A", "D"}, 1},
      {"a new line waits again", 5, 0, {{0, "A"}, {240, "B"}, {539, "B"}}, {"A", "B"}, 0},
      {"D again", 1, 0, {{0, "A"}, {60, "A"}, {70, "B"}, {130, "B"}}, {"A", "D", "B", "D"}, 2},
      {"not during an alert", 5, 1, {{0, "A"}, {300, "A"}, {900, "A"}}, {"A"}, 0},
      {"system marker: D on air", 1, 0, {{0, "J !!*SYS*!!"}, {60, "J !!*SYS*!!"}}, {"D"}, 0},
      {"nothing read: start-up's D on air", 1, 0, {{0, ""}, {120, ""}}, {}, 0},
      {"a file gone: its empty line too", 1, 0, {{0, "A"}, {5, ""}, {65, ""}}, {"A", "", "D"}, 1},
  };
  for (const auto& c : cases) {
    testing::Rig rig;
    rig.files.files["/wd/RDSmorvane.ini"] =
        "[RDSmorvane]\nCOMport=1\nEncoderType=PIRA32\nDefaultRadioText=D\n"
        "StaleRadioTextMinutes=" +
        std::to_string(c.minutes) + "\n";
    rig.controller.steady_now_ms = [&rig] { return rig.time.now_us / 1000; };
    // An encoder that takes every RadioText: nothing is sent again for want of it.
    rig.port.responder = testing::HoldingPira32Responder({});
    Form_Load(rig.controller, "/wd");
    rig.ClearLog();
    rig.state.TAstatus = rig.state.ManualTraffic = c.traffic;
    const int64_t started_us = rig.time.now_us;
    for (const auto& [at_s, line] : c.ticks) {
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
    EXPECT_EQ(sent, c.sent) << c.name;
    EXPECT_EQ(rig.view.Text(Label::lblRT), c.sent.empty() ? "D" : c.sent.back()) << c.name;
    EXPECT_EQ(rig.events.Told().size(), c.told) << c.name;
  }
}

}  // namespace
}  // namespace morvane
