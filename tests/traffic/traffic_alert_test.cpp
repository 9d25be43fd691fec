#include "traffic/traffic_alert.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "link/dialects.h"
#include "support/fakes.h"

namespace morvane {
namespace {

using testing::FakeEncoderPort;
using testing::Rig;
using testing::SentCommand;

constexpr int64_t kSecondUs = 1000000;

// A controller beside an encoder (either dialect) that keeps the TA flag it is given, so the
// button follows the flag the way it does on air.
struct TrafficRig {
  explicit TrafficRig(const std::string& encoder_type = "PIRA32", int16_t max_time = 60) {
    rig.state.EncoderType = encoder_type;
    rig.state.TAmaxtime = max_time;
    rig.port.responder = [this](const std::string& c) -> std::string {
      if (c == "TA=1\r" || c == "TA=0\r") {
        ta = c[3] == '1';
      }
      if (c.size() == 5 && c.compare(0, 2, "\xFE\x0E") == 0) {
        ta = c[2] == '\x01';
        return {};
      }
      if (c == BuildReadFrame(protocol::kAddressTraffic, 1)) {
        return std::string("\xFE\xD0", 2) + (ta ? '\x01' : '\x00') + '\xFF';
      }
      return testing::Pira32Answer(c, c == "TA\r" ? (ta ? "1" : "0") : c == "TP\r" ? "1" : "0");
    };
  }

  void Click() { cmdTraffic_Click(rig.controller); }

  // One countdown tick on each whole second, as the window drives it while it is on.
  void Tick(int count = 1) {
    for (int i = 0; i < count; ++i) {
      ASSERT_TRUE(rig.timers.IsOn(Timer::tmrTAtimeout)) << "countdown off at tick " << i + 1;
      rig.time.now_us = (rig.time.now_us / kSecondUs + 1) * kSecondUs;
      tmrTAtimeout_Timer(rig.controller);
    }
  }

  // What the metadata watcher does with the alert for a changed line.
  void ChangedLine(bool traffic_marker) {
    if (traffic_marker && rig.state.TAstatus == 0) {
      RaiseTrafficAlert(rig.controller);
    }
    if (!traffic_marker && rig.state.TAstatus == 1 && rig.state.ManualTraffic != 1) {
      EndTrafficAlert(rig.controller);
    }
  }

  [[nodiscard]] auto TaOffWrites() const {
    const std::vector<std::string> writes = rig.Writes();
    return std::count(writes.begin(), writes.end(), "TA=0\r");
  }

  bool ta = false;
  Rig rig;
};

enum class Flag { None, On, Off };

// One TA command and the display refresh after it, per encoder type.
std::vector<SentCommand> FlagAndQuery(const std::string& type, Flag flag) {
  const bool on = flag == Flag::On;
  if (flag == Flag::None) {
    return {};
  }
  if (type == "PIRA32") {
    return {{on ? "TA=1\r" : "TA=0\r", 200}, {"TP\r", 200}, {"TA\r", 200}, {"TATMOUT\r", 200}};
  }
  if (type == "PIRAMICRO") {
    return {{std::string(on ? "\xFE\x0E\x01\x40\xFF" : "\xFE\x0E\x00\x40\xFF", 5), 50},
            {std::string("\xFE\xD0\x0E\x01\xFF", 5), 200}};
  }
  return {};
}

using Step = std::function<void(TrafficRig&)>;
const Step kIdle = [](TrafficRig&) {};
const Step kClick = [](TrafficRig& t) { t.Click(); };
const Step kMarkerLine = [](TrafficRig& t) { t.ChangedLine(true); };
const Step kPlainLine = [](TrafficRig& t) { t.ChangedLine(false); };
Step Then(Step first, int ticks, Step second = kIdle) {
  return [=](TrafficRig& t) {
    first(t);
    t.Tick(ticks);
    second(t);
  };
}

// The states of the record, reached the way they are in use.
const Step kManualOut = Then(kClick, 60);
const Step kMetadataOut = Then(kMarkerLine, 60);
const Step kEnded = Then(kClick, 30, kClick);  // the countdown runs on

TEST(TrafficAlert, TransitionTable) {
  const Step tick = [](TrafficRig& t) { t.Tick(); };
  struct Row {
    const char* name;
    Step from;
    Step event;
    Flag sent;
    int16_t status, manual, timeout;
    bool countdown_on;
    const char* our_timeout;  // a start or an end leaves the label to the next tick
  };
  const std::vector<Row> rows = {
      {"idle, click", kIdle, kClick, Flag::On, 1, 1, 60, true, "?"},
      {"idle, marker", kIdle, kMarkerLine, Flag::On, 1, 0, 60, true, "?"},
      {"manual, click", kClick, kClick, Flag::Off, 0, 0, 60, true, "?"},
      {"manual out, click", kManualOut, kClick, Flag::Off, 0, 0, 0, false, "60"},
      {"metadata, click", kMarkerLine, kClick, Flag::Off, 0, 0, 60, true, "?"},
      {"metadata out, click", kMetadataOut, kClick, Flag::Off, 0, 0, 0, false, "60"},
      {"metadata, plain", kMarkerLine, kPlainLine, Flag::Off, 0, 0, 60, true, "?"},
      {"metadata out, plain", kMetadataOut, kPlainLine, Flag::Off, 0, 0, 0, false, "60"},
      {"manual, tick to 1", Then(kClick, 58), tick, Flag::Off, 1, 1, 1, true, "1"},
      {"metadata, tick to 1", Then(kMarkerLine, 58), tick, Flag::Off, 1, 0, 1, true, "1"},
      // Ended early: the countdown still sends TA off once more on its way out.
      {"ended, tick to 1", Then(kEnded, 28), tick, Flag::Off, 0, 0, 1, true, "1"},
      {"ended, tick to 0", Then(kEnded, 29), tick, Flag::None, 0, 0, 0, false, "60"},
      {"manual, tick to 0", Then(kClick, 59), tick, Flag::None, 1, 1, 0, false, "60"},
      {"start-up, tick at 0", kIdle, tick, Flag::None, 0, 0, 0, false, "60"},
  };
  for (const char* type : {"PIRA32", "PIRAMICRO", "PIRA-32"}) {
    for (const Row& row : rows) {
      SCOPED_TRACE(std::string(type) + ": " + row.name);
      TrafficRig t(type);
      row.from(t);
      t.rig.ClearLog();

      row.event(t);

      EXPECT_EQ(t.rig.Sent(), FlagAndQuery(type, row.sent));
      EXPECT_EQ(t.rig.state.TAstatus, row.status);
      EXPECT_EQ(t.rig.state.ManualTraffic, row.manual);
      EXPECT_EQ(t.rig.state.TAtimeout, row.timeout);
      EXPECT_EQ(t.rig.timers.IsOn(Timer::tmrTAtimeout), row.countdown_on);
      EXPECT_EQ(t.rig.view.Text(Label::lblOurTimeout), row.our_timeout);
      if (std::string(type) == "PIRA-32") {
        EXPECT_EQ(t.rig.view.caption, kTrafficUnavailable);
        EXPECT_FALSE(t.rig.view.enabled);
      } else if (row.sent != Flag::None) {
        EXPECT_EQ(t.ta, row.sent == Flag::On);
        EXPECT_EQ(t.rig.view.caption, t.ta ? kTrafficInProgress : kTrafficActivate);
        EXPECT_TRUE(t.rig.view.enabled);
      }
    }
  }
}

TEST(TrafficAlert, CountdownOf120SecondsHoldsTheFlagFor119) {
  TrafficRig t("PIRA32", 120);
  t.Click();
  t.rig.ClearLog();
  t.Tick(118);
  EXPECT_TRUE(t.rig.log.empty());
  t.Tick();
  ASSERT_EQ(t.rig.Writes().front(), "TA=0\r");
  EXPECT_EQ(t.rig.log.front().at_us, 119 * kSecondUs);
  t.Tick();
  EXPECT_FALSE(t.rig.timers.IsOn(Timer::tmrTAtimeout));
  EXPECT_EQ(t.TaOffWrites(), 1);

  std::vector<std::string> want;
  for (int left = 119; left >= 1; --left) {
    want.push_back(std::to_string(left));
  }
  want.push_back("120");
  EXPECT_EQ(t.rig.view.History(Label::lblOurTimeout), want);
}

// The countdown clears the flag but not the record: a timed-out alert is ended, with TA off once
// more, before the next one can start, though the button already offers to start one.
TEST(TrafficAlert, TimedOutAlertIsEndedBeforeTheNextStarts) {
  for (const auto& [start, end] : {std::pair{kClick, kClick}, std::pair{kMarkerLine, kPlainLine}}) {
    TrafficRig t;
    start(t);
    t.Tick(60);
    EXPECT_EQ(t.rig.view.caption, kTrafficActivate);
    t.rig.ClearLog();
    end(t);
    start(t);
    EXPECT_EQ(t.rig.Writes(), (std::vector<std::string>{"TA=0\r", "TP\r", "TA\r", "TATMOUT\r",
                                                        "TA=1\r", "TP\r", "TA\r", "TATMOUT\r"}));
    EXPECT_EQ(t.rig.state.TAtimeout, 60);
  }
}

TEST(TrafficAlert, NewAlertRestartsTheCountdown) {
  TrafficRig t;
  t.ChangedLine(true);
  t.Tick(30);
  t.Click();
  t.Tick(20);  // the old countdown would send TA off 9 ticks from here
  t.ChangedLine(true);
  t.rig.ClearLog();
  t.Tick(58);
  EXPECT_EQ(t.TaOffWrites(), 0) << "the new alert is not cut short";
  t.Tick();
  EXPECT_EQ(t.TaOffWrites(), 1);
}

// A port that has gone away: every step still runs, the record changes as it does with a healthy
// encoder, and the display shows what a silent encoder gives.
TEST(TrafficAlert, FailingPortLeavesTheRecordWhole) {
  const Step tick = [](TrafficRig& t) { t.Tick(); };
  const std::tuple<Step, Step, std::string> cases[] = {
      {kIdle, kClick, "TA=1\r"}, {kClick, kClick, "TA=0\r"}, {Then(kClick, 58), tick, "TA=0\r"}};
  for (const bool fail_writes : {true, false}) {
    for (const auto& [from, event, ta_command] : cases) {
      SCOPED_TRACE(ta_command + (fail_writes ? ", writes fail" : ", reads fail"));
      TrafficRig healthy;
      from(healthy);
      event(healthy);
      TrafficRig t;
      from(t);
      const std::string ta_before = t.rig.view.Text(Label::lblTA);
      const std::string caption_before = t.rig.view.caption;
      t.rig.ClearLog();
      t.rig.port.fail_writes = fail_writes;
      t.rig.port.fail_reads = !fail_writes;

      event(t);

      EXPECT_EQ(t.rig.Writes(),
                (std::vector<std::string>{ta_command, "TP\r", "TA\r", "TATMOUT\r"}));
      const ControllerState& got = t.rig.state;
      const ControllerState& want = healthy.rig.state;
      EXPECT_EQ(std::tie(got.TAstatus, got.ManualTraffic, got.TAtimeout),
                std::tie(want.TAstatus, want.ManualTraffic, want.TAtimeout));
      EXPECT_TRUE(t.rig.timers.IsOn(Timer::tmrTAtimeout));
      EXPECT_EQ(t.rig.view.Text(Label::lblTATMOUT), "");
      EXPECT_EQ(t.rig.view.Text(Label::lblTA), ta_before);
      EXPECT_EQ(t.rig.view.caption, caption_before);
    }
  }
}

}  // namespace
}  // namespace morvane
