// The encoder clock set at start-up by the real program, as the emulated PIRA32 takes it and as
// the status line reports it.

#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "station.h"

namespace morvane::e2e {
namespace {

constexpr int kStartupTimeoutMs = 15000;
constexpr int kLabelTimeoutMs = 3000;
// The encoder's clock as the emulator shows it may have run on a little past what it was set to.
constexpr int kClockRunOnSeconds = 2;

// dd.mm.yy of the computer's local clock now.
std::string LocalDateNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[40];
  std::snprintf(text, sizeof text, "%02d.%02d.%02d", local.tm_mday, local.tm_mon + 1,
                local.tm_year % 100);
  return text;
}

int SecondOfDay(const std::string& hhmmss) {
  return std::stoi(hhmmss.substr(0, 2)) * 3600 + std::stoi(hhmmss.substr(3, 2)) * 60 +
         std::stoi(hhmmss.substr(6, 2));
}

// The payload of the first line command that starts with name, e.g. "TIME=".
std::optional<std::string> Payload(const std::vector<Received>& commands, const std::string& name) {
  for (const Received& r : commands) {
    if (r.command.kind == sim::Command::Kind::Line && r.command.text.rfind(name, 0) == 0) {
      return r.command.text.substr(name.size());
    }
  }
  return std::nullopt;
}

TEST(ClockEndToEnd, StartUpSetsTheEncoderClockToTodayAndShowsWhen) {
  WorkDir dir;
  EmulatedEncoder encoder(sim::Dialect::Ascii);
  dir.Write("RDSmorvane.ini", StationIni(StationConfig{}, encoder.device()));
  const std::string day_before = LocalDateNow();
  ControllerProcess controller(dir);

  const bool started = encoder.WaitForCommands(
      [](const std::vector<Received>& c) { return Payload(c, "PILOT").has_value(); },
      kStartupTimeoutMs);
  const std::string day_after = LocalDateNow();
  if (!started) {
    std::fprintf(stderr, "controller output:\n%s\n", controller.Output().c_str());
  }
  ASSERT_TRUE(started);

  const std::vector<Received> commands = encoder.Commands();
  const std::optional<std::string> time = Payload(commands, "TIME=");
  const std::optional<std::string> date = Payload(commands, "DATE=");
  ASSERT_TRUE(time && date);
  ASSERT_TRUE(std::regex_match(*time, std::regex(R"(\d\d:\d\d:\d\d)"))) << *time;
  // Today's date; a run across midnight may carry either day.
  EXPECT_TRUE(*date == day_before || *date == day_after)
      << "DATE=" << *date << ", today " << day_before << " / " << day_after;

  // The encoder took both: its clock, broadcast from now on, reads that date and time.
  bool clock_on_air = false;
  const std::regex clock_set(R"(Clock set (\d\d\.\d\d\.\d\d) (\d\d:\d\d:\d\d))");
  for (const std::string& line : encoder.OnAir()) {
    std::smatch m;
    if (std::regex_match(line, m, clock_set) && m[1] == *date) {
      const int ahead = SecondOfDay(m[2]) - SecondOfDay(*time);
      clock_on_air = clock_on_air || (ahead >= 0 && ahead <= kClockRunOnSeconds);
    }
  }
  EXPECT_TRUE(clock_on_air) << "TIME=" << *time << " DATE=" << *date;

  // The status line shows the moment sent, date first, the time exactly as it went out.
  ASSERT_TRUE(controller.WaitForOutput(" lblClockUpdated ", kLabelTimeoutMs))
      << controller.Output();
  std::smatch shown;
  const std::string output = controller.Output();
  ASSERT_TRUE(std::regex_search(
      output, shown, std::regex(R"(\d\d:\d\d:\d\d lblClockUpdated "(\d\d\.\d\d\.\d\d) (.*)\")")))
      << output;
  EXPECT_TRUE(shown[1] == day_before || shown[1] == day_after) << shown[0];
  EXPECT_EQ(shown[2], *time);
  EXPECT_TRUE(controller.Running());
}

}  // namespace
}  // namespace morvane::e2e
