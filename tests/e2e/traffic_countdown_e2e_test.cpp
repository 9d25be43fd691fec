// A manual traffic alert left alone on the emulated PIRA32, in real time: the controller's own
// countdown clears TA after TAMaxTimeout. Takes a little over a minute, so it runs on its own.
// The in-house rotator spells out a long message in the same minute.

#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "station.h"

namespace morvane::e2e {
namespace {

constexpr int kStartupTimeoutMs = 15000;
constexpr int kClickTimeoutMs = 3000;
// TAMaxTimeout 1 minute: the flag is held from the click until the countdown reaches 1.
constexpr int64_t kEarliestClearMs = 57000;
constexpr int64_t kLatestClearMs = 62000;
constexpr int kCountdownTimeoutMs = 66000;

constexpr char kActivate[] = "cmdTraffic \"CLICK TO ACTIVATE TRAFFIC ALERT\" enabled lightgreen";
constexpr char kInProgress[] =
    "cmdTraffic \"TRAFFIC ALERT IN PROGRESS - CLICK TO END\" enabled red";

// Index of the first line command equal to text at or after from; commands.size() if none.
std::size_t Find(const std::vector<Received>& commands, const std::string& text,
                 std::size_t from = 0) {
  for (std::size_t i = from; i < commands.size(); ++i) {
    if (commands[i].command.kind == sim::Command::Kind::Line && commands[i].command.text == text) {
      return i;
    }
  }
  return commands.size();
}

// Every caption of "Our Timeout" the headless status lines showed, in order.
std::vector<std::string> OurTimeoutCaptions(const std::string& output) {
  static const std::regex kLine(R"(\d\d:\d\d:\d\d lblOurTimeout "(.*)\")");
  std::vector<std::string> captions;
  std::istringstream lines(output);
  std::string line;
  while (std::getline(lines, line)) {
    std::smatch m;
    if (std::regex_match(line, m, kLine)) {
      captions.push_back(m[1]);
    }
  }
  return captions;
}

// Waits until the output holds text after the first occurrence of after.
bool WaitForOutputAfter(const ControllerProcess& controller, const std::string& after,
                        const std::string& text, int timeout_ms) {
  const int64_t deadline = NowMs() + timeout_ms;
  for (;;) {
    const std::string output = controller.Output();
    const std::size_t start = output.find(after);
    if (start != std::string::npos &&
        output.find(text, start + after.size()) != std::string::npos) {
      return true;
    }
    if (NowMs() >= deadline) {
      return false;
    }
    SleepMs(50);
  }
}

class TrafficCountdownEndToEnd : public ::testing::Test {
 protected:
  void TearDown() override {
    if (HasFailure() && controller_) {
      std::fprintf(stderr, "controller output:\n%s\n", controller_->Output().c_str());
    }
  }

  WorkDir dir_;
  EmulatedEncoder encoder_{sim::Dialect::Ascii};
  std::unique_ptr<ControllerProcess> controller_;
};

TEST_F(TrafficCountdownEndToEnd, ManualAlertLeftAloneIsClearedAfterTheMaximumTime) {
  StationConfig config;
  config.ta_max_timeout = "1";
  const std::string inhouse = "Good morning from Morvane";  // 25 characters: four ticks a pass
  dir_.Write("inhouse.txt", "M: 3F0 " + inhouse + "\r\n");
  dir_.Write("RDSmorvane.ini", StationIni(config, encoder_.device()));
  controller_ = std::make_unique<ControllerProcess>(dir_);

  ASSERT_TRUE(encoder_.WaitForCommands(
      [](const std::vector<Received>& c) { return Find(c, "PILOT") < c.size(); },
      kStartupTimeoutMs));
  // The countdown's first tick found no alert and shows the maximum time: 1 minute.
  ASSERT_TRUE(controller_->WaitForOutput("lblOurTimeout \"60\"", kClickTimeoutMs));
  ASSERT_TRUE(controller_->WaitForOutput(kActivate, kClickTimeoutMs));

  const std::size_t heard = encoder_.OnAir().size();
  controller_->Type("t\n");
  ASSERT_TRUE(encoder_.WaitForOnAir("TA on", kClickTimeoutMs, heard));
  ASSERT_TRUE(controller_->WaitForOutput(kInProgress, kClickTimeoutMs));

  // Nobody ends it: the countdown clears the flag, then shows the maximum time again.
  ASSERT_TRUE(encoder_.WaitForOnAir("TA off", kCountdownTimeoutMs, heard));
  ASSERT_TRUE(WaitForOutputAfter(*controller_, "lblOurTimeout \"1\"", "lblOurTimeout \"60\"",
                                 kClickTimeoutMs));
  const std::vector<Received> commands = encoder_.Commands();
  const std::size_t raised = Find(commands, "TA=1");
  const std::size_t cleared = Find(commands, "TA=0", raised);
  ASSERT_LT(cleared, commands.size());
  const int64_t held_ms = commands[cleared].at_ms - commands[raised].at_ms;
  EXPECT_GE(held_ms, kEarliestClearMs);
  EXPECT_LE(held_ms, kLatestClearMs);

  std::vector<std::string> expected{"60"};
  for (int left = 59; left >= 1; --left) {
    expected.push_back(std::to_string(left));
  }
  expected.push_back("60");
  EXPECT_EQ(OurTimeoutCaptions(controller_->Output()), expected);
  // The button follows the encoder's flag, which is off again.
  EXPECT_TRUE(WaitForOutputAfter(*controller_, kInProgress, kActivate, kClickTimeoutMs));

  // The alert is still open in the controller's record: the next click only ends it, the one
  // after that starts a new alert.
  const std::size_t seen = encoder_.Commands().size();
  const std::size_t heard_again = encoder_.OnAir().size();
  controller_->Type("t\n");
  ASSERT_TRUE(encoder_.WaitForCommands(
      [&](const std::vector<Received>& c) { return Find(c, "TA=0", seen) < c.size(); },
      kClickTimeoutMs));
  controller_->Type("t\n");
  ASSERT_TRUE(encoder_.WaitForOnAir("TA on", kClickTimeoutMs, heard_again));
  const std::vector<Received> clicks = encoder_.Commands();
  EXPECT_LT(Find(clicks, "TA=0", seen), Find(clicks, "TA=1", seen));

  // Meanwhile the in-house message went out whole, over several ticks, and nothing else did.
  std::vector<std::string> inhouse_on_air;
  for (const std::string& line : encoder_.OnAir()) {
    if (line.rfind("In-house ", 0) == 0) {
      inhouse_on_air.push_back(line);
    }
  }
  EXPECT_EQ(inhouse_on_air, std::vector<std::string>{"In-house seq 1 id 3F0 \"" + inhouse + "\""});
  EXPECT_TRUE(controller_->Running());
}

}  // namespace
}  // namespace morvane::e2e
