#include "radiotext/stale_radiotext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "radiotext/metadata_watcher.h"
#include "support/fakes.h"

namespace morvane {
namespace {

using testing::Rig;

const std::string kDefault = "Radio Morvane";

struct Tick {
  int at_s;  // seconds of virtual time since start-up
  std::string line;
};

// Each case runs the metadata watcher's ticks on a PIRA32 and lists every RadioText sent.
TEST(StaleRadioText, DefaultGoesOnAirOnceWhenTheLineStandsForTheSetMinutes) {
  const struct {
    const char* name;
    int minutes;
    int16_t ta_status;
    std::vector<Tick> ticks;
    std::vector<std::string> sent;
  } cases[] = {
      // clang-format off
      {"off when 0", 0, 0, {{0, "Song"}, {86400, "Song"}}, {"Song"}},
      {"not before", 5, 0, {{0, "Song"}, {299, "Song"}}, {"Song"}},
      {"at N minutes, once", 5, 0, {{0, "Song"}, {300, "Song"}, {301, "Song"}, {9000, "Song"}},
       {"Song", kDefault}},
      {"a new line starts the wait again", 5, 0, {{0, "A"}, {240, "B"}, {539, "B"}}, {"A", "B"}},
      {"a new line after the fallback", 1, 0, {{0, "A"}, {60, "A"}, {70, "B"}, {130, "B"}},
       {"A", kDefault, "B", kDefault}},
      {"not during a traffic announcement", 5, 1, {{0, "Song"}, {300, "Song"}, {900, "Song"}},
       {"Song"}},
      {"system marker: the default is on air already", 1, 0,
       {{0, "Jingle !!*SYS*!!"}, {60, "Jingle !!*SYS*!!"}}, {kDefault}},
      {"nothing read since start-up, which sent the default", 1, 0, {{0, ""}, {120, ""}}, {}},
      {"a file gone: the empty line falls back too", 1, 0, {{0, "A"}, {5, ""}, {65, ""}},
       {"A", "", kDefault}},
      // clang-format on
  };
  for (const auto& c : cases) {
    Rig rig;
    rig.state.EncoderType = "PIRA32";
    rig.state.MetadataFile = "metadata.txt";
    rig.state.TrafficMeta = "TRAFFIC";
    rig.state.DefaultRadioText = kDefault;
    rig.state.RTPlusPrefix = std::string(kRtPlusSentinel);
    rig.state.RTPlusSplit = std::string(kRtPlusSentinel);
    // An alert started with the button: no metadata line ends it.
    rig.state.TAstatus = c.ta_status;
    rig.state.ManualTraffic = c.ta_status;
    rig.port.responder = testing::Pira32Responder({});
    rig.controller.stale.minutes = c.minutes;
    rig.controller.steady_now_ms = [&rig] { return rig.time.now_us / 1000; };
    for (const Tick& tick : c.ticks) {
      rig.time.now_us = std::max<int64_t>(rig.time.now_us, int64_t{tick.at_s} * 1000000);
      rig.files.files["metadata.txt"] = tick.line;
      tmrTextCheck_Timer(rig.controller);
    }
    std::vector<std::string> sent;
    for (const std::string& written : rig.Writes()) {
      if (written.rfind("RT1=", 0) == 0) {
        sent.push_back(written.substr(4, written.size() - 5));
      }
    }
    EXPECT_EQ(sent, c.sent) << c.name;
  }
}

}  // namespace
}  // namespace morvane
