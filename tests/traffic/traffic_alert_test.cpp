#include "traffic/traffic_alert.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "app/port_watchdog.h"
#include "clock/encoder_clock.h"
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
      if (deaf) {
        return {};
      }
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
  // Takes no command and answers nothing, yet keeps its flag.
  bool deaf = false;
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

// The encoder's flag follows the record once the encoder can be reached again: lowered at the
// minute's traffic read where the record wants it off, raised again only when the port is back
// or the encoder answers again (its own TA timeout may have cleared it on purpose).
TEST(TrafficAlert, EncoderFlagIsReconciledWithTheRecord) {
  struct Watched : TrafficRig {
    using TrafficRig::TrafficRig;
    PortWatchdog watchdog{rig.controller, "/dev/ttyUSB0",
                          [this] { return rig.time.now_us / 1000; }};
  };
  using Act = std::function<void(Watched&)>;
  const Act minute = [](Watched& t) { tmrClockCheck_Timer(t.rig.controller); };
  const Act unplug = [&](Watched& t) {
    t.rig.port.fail_when_closed = t.rig.port.fail_writes = true;
    minute(t);
    t.rig.port.fail_writes = false;
  };
  const Act plug = [](Watched& t) {
    t.rig.time.now_us += int64_t{kPortRetryIntervalMs} * 1000;
    t.watchdog.Tick();
  };
  const Act deafen = [&](Watched& t) {
    t.deaf = true;
    minute(t);
    minute(t);  // a PIRA micro's minute asks twice only
    ASSERT_TRUE(t.watchdog.Silent());
  };
  const Act hear = [&](Watched& t) {
    t.deaf = false;
    minute(t);
    t.watchdog.Tick();
  };
  const Act none = [](Watched&) {};
  const Act click = [](Watched& t) { t.Click(); };
  const Act marker = [](Watched& t) { t.ChangedLine(true); };
  const Act plain = [](Watched& t) { t.ChangedLine(false); };
  const Act run_out = [](Watched& t) { t.Tick(59); };
  const Act off_lost = [](Watched& t) { t.ta = true; };  // a TA=0 that did not arrive
  // The encoder's own TA timeout, or a restart that forgot the flag.
  const Act cleared = [](Watched& t) { t.ta = false; };
  const struct {
    const char* name;
    Act start, fault, during, recover;
    bool on_air;
  } rows[] = {
      {"manual, port lost and back", click, unplug, cleared, plug, true},
      {"metadata, ended while lost", marker, unplug, plain, plug, false},
      {"manual, run out while lost", click, unplug, run_out, plug, false},
      {"metadata, run out while lost", marker, unplug, run_out, plug, false},
      {"idle, back with the flag on", none, unplug, off_lost, plug, false},
      {"metadata, ended while silent", marker, deafen, plain, hear, false},
      {"manual, run out while silent", click, deafen, run_out, hear, false},
      {"metadata, silent and back", marker, deafen, cleared, hear, true},
      {"ended, its TA=0 lost, next minute", marker, plain, off_lost, minute, false},
      {"run out, its TA=0 lost, next minute", click, run_out, off_lost, minute, false},
      {"alert on, the encoder's own timeout", click, none, cleared, minute, false},
      {"alert on, next minute", marker, none, none, minute, true},
  };
  for (const char* type : {"PIRA32", "PIRAMICRO"}) {
    for (const auto& row : rows) {
      SCOPED_TRACE(std::string(type) + ": " + row.name);
      Watched t(type);
      row.start(t);
      row.fault(t);
      row.during(t);
      const ControllerState after_event = t.rig.state;
      row.recover(t);
      EXPECT_EQ(t.ta, row.on_air);
      // Recovering changes the encoder, never the record.
      EXPECT_EQ(std::tie(t.rig.state.TAstatus, t.rig.state.ManualTraffic, t.rig.state.TAtimeout),
                std::tie(after_event.TAstatus, after_event.ManualTraffic, after_event.TAtimeout));
    }
  }
}

}  // namespace
}  // namespace morvane
