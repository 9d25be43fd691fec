// A manual traffic alert left alone on the emulated PIRA32, in real time: the controller's own
// countdown clears TA after TAMaxTimeout. Takes a little over a minute, so it runs on its own.
// The in-house rotator spells out a long message in the same minute.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "station.h"

namespace morvane::e2e {
namespace {

constexpr int kClickTimeoutMs = 3000;
// TAMaxTimeout 1 minute: the flag is held from the click until the countdown reaches 1.
constexpr int64_t kEarliestClearMs = 57000;
constexpr int64_t kLatestClearMs = 62000;
constexpr int kCountdownTimeoutMs = 66000;

constexpr char kActivate[] = "cmdTraffic \"CLICK TO ACTIVATE TRAFFIC ALERT\" enabled lightgreen";
constexpr char kInProgress[] =
    "cmdTraffic \"TRAFFIC ALERT IN PROGRESS - CLICK TO END\" enabled red";

using TrafficCountdownEndToEnd = StationTest;

TEST_F(TrafficCountdownEndToEnd, ManualAlertLeftAloneIsClearedAfterTheMaximumTime) {
  StationConfig config;
  config.ta_max_timeout = "1";
  const std::string inhouse = "Good morning from Morvane";  // 25 characters: four ticks a pass
  Write("inhouse.txt", "M: 3F0 " + inhouse + "\r\n");
  Start(sim::Dialect::Ascii, config);

  ASSERT_TRUE(encoder_->WaitForCommand("PILOT", kStartupTimeoutMs));
  // The countdown's first tick found no alert and shows the maximum time: 1 minute.
  ASSERT_TRUE(controller_->WaitForOutput("lblOurTimeout \"60\"", kClickTimeoutMs));
  ASSERT_TRUE(controller_->WaitForOutput(kActivate, kClickTimeoutMs));

  const std::size_t heard = encoder_->OnAir().size();
  controller_->Type("t\n");
  ASSERT_TRUE(encoder_->WaitForOnAir("TA on", kClickTimeoutMs, heard));
  ASSERT_TRUE(controller_->WaitForOutput(kInProgress, kClickTimeoutMs));

  // Nobody ends it: the countdown clears the flag, then shows the maximum time again, and the
  // button follows the encoder's flag.
  ASSERT_TRUE(encoder_->WaitForOnAir("TA off", kCountdownTimeoutMs, heard));
  ASSERT_TRUE(
      controller_->WaitForOutput("lblOurTimeout \"60\"", kClickTimeoutMs, "lblOurTimeout \"1\""));
  EXPECT_TRUE(controller_->WaitForOutput(kActivate, kClickTimeoutMs, kInProgress));
  const std::vector<Received> commands = encoder_->Commands();
  const std::size_t raised = IndexOf(commands, "TA=1");
  const std::size_t cleared = IndexOf(commands, "TA=0", raised);
  ASSERT_LT(cleared, commands.size());
  const int64_t held_ms = commands[cleared].at_ms - commands[raised].at_ms;
  EXPECT_GE(held_ms, kEarliestClearMs);
  EXPECT_LE(held_ms, kLatestClearMs);

  // Meanwhile the in-house message went out whole, over several ticks, and nothing else did.
  std::vector<std::string> inhouse_on_air;
  for (const std::string& line : encoder_->OnAir()) {
    if (line.rfind("In-house ", 0) == 0) {
      inhouse_on_air.push_back(line);
    }
  }
  EXPECT_EQ(inhouse_on_air, std::vector<std::string>{"In-house seq 1 id 3F0 \"" + inhouse + "\""});
  EXPECT_TRUE(controller_->Running());
}

}  // namespace
}  // namespace morvane::e2e
