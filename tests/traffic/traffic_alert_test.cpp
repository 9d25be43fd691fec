#include "traffic/traffic_alert.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "app/port_watchdog.h"
#include "clock/encoder_clock.h"
#include "radiotext/metadata_watcher.h"
#include "support/fakes.h"

namespace morvane {
namespace {

using namespace std::string_literals;
using testing::SentCommand;

// A controller and a port watchdog beside an encoder of either dialect that keeps the TA flag it
// is given, so the button follows the flag as on air; the real watcher reads its metadata file.
struct TrafficRig {
  explicit TrafficRig(const std::string& type) {
    rig.state.EncoderType = type;
    rig.state.TAmaxtime = 60;
    rig.state.MetadataFile = "now.txt";
    rig.state.TrafficMeta = "TRAFFIC";
    rig.state.RTPlusPrefix = rig.state.RTPlusSplit = std::string(kRtPlusSentinel);
    rig.port.responder = [this](const std::string& c) -> std::string {
      if (deaf) {
        return {};
      }
      if (c == "TA=1\r" || c == "TA=0\r" || c.rfind("\xFE\x0E", 0) == 0) {
        ta = c[3] == '1' || c[2] == '\x01';
      }
      if (c[0] == '\xFE') {
        return c == "\xFE\xD0\x0E\x01\xFF"s ? "\xFE\xD0"s + (ta ? '\x01' : '\x00') + '\xFF' : "";
      }
      return testing::Pira32Answer(c, c == "TA\r" ? (ta ? "1" : "0") : c == "TP\r" ? "1" : "0");
    };
  }
  // A new metadata line, with the traffic marker or without, at the watcher's next check.
  void NewLine(bool marker) {
    rig.files.files["now.txt"] = (marker ? "TRAFFIC " : "Song ") + std::to_string(++lines);
    tmrTextCheck_Timer(rig.controller);
  }
  // Countdown ticks on each whole second, as the window drives them while it is on.
  void Tick(int count = 1) {
    for (int i = 0; i < count; ++i) {
      ASSERT_TRUE(rig.timers.IsOn(Timer::tmrTAtimeout)) << "countdown off at tick " << i + 1;
      rig.time.now_us = (rig.time.now_us / 1000000 + 1) * 1000000;
      tmrTAtimeout_Timer(rig.controller);
    }
  }
  // What was sent for the flag and its display; the RadioText of a new line left out.
  [[nodiscard]] std::vector<SentCommand> TrafficSent() const {
    std::vector<SentCommand> sent;
    for (const SentCommand& command : rig.Sent()) {
      const std::string& b = command.bytes;
      if (b.rfind("RT", 0) != 0 && b[1] != '\x20' && b[2] != '\x20') {
        sent.push_back(command);
      }
    }
    return sent;
  }

  bool ta = false;
  bool deaf = false;  // takes no command and answers nothing, yet keeps its flag
  int lines = 0;
  testing::Rig rig;
  PortWatchdog watchdog{rig.controller, "/dev/ttyUSB0", [this] { return rig.time.now_us / 1000; }};
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
  return {{on ? "\xFE\x0E\x01\x40\xFF"s : "\xFE\x0E\x00\x40\xFF"s, 50},
          {"\xFE\xD0\x0E\x01\xFF"s, 200}};
}

using Step = std::function<void(TrafficRig&)>;
const Step kIdle = [](TrafficRig&) {};
const Step kClick = [](TrafficRig& t) { cmdTraffic_Click(t.rig.controller); };
const Step kMarker = [](TrafficRig& t) { t.NewLine(true); };
const Step kPlain = [](TrafficRig& t) { t.NewLine(false); };
const Step kTick = [](TrafficRig& t) { t.Tick(); };
Step Then(Step first, int ticks, Step second = kIdle) {
  return [=](TrafficRig& t) {
    first(t);
    t.Tick(ticks);
    second(t);
  };
}
const Step kEnded = Then(kClick, 30, kClick);  // the countdown runs on

TEST(TrafficAlert, TransitionTable) {
  // The flag sent, TAstatus, ManualTraffic, TAtimeout, the countdown, lblOurTimeout (a start or
  // an end leaves it to the next tick).
  const std::tuple<const char*, Step, Step, Flag, int16_t, int16_t, int16_t, bool, const char*>
      rows[] = {
          {"idle, click", kIdle, kClick, Flag::On, 1, 1, 60, true, "?"},
          {"idle, marker", kIdle, kMarker, Flag::On, 1, 0, 60, true, "?"},
          {"manual, click", kClick, kClick, Flag::Off, 0, 0, 60, true, "?"},
          {"manual, plain line: never ended here", kClick, kPlain, Flag::None, 1, 1, 60, true, "?"},
          {"manual out, click", Then(kClick, 60), kClick, Flag::Off, 0, 0, 0, false, "60"},
          {"metadata, click", kMarker, kClick, Flag::Off, 0, 0, 60, true, "?"},
          {"metadata, plain line", kMarker, kPlain, Flag::Off, 0, 0, 60, true, "?"},
          {"metadata, marker again", kMarker, kMarker, Flag::None, 1, 0, 60, true, "?"},
          {"metadata out, plain line", Then(kMarker, 60), kPlain, Flag::Off, 0, 0, 0, false, "60"},
          // A new alert restarts the countdown: the old one must not cut it short.
          {"ended, click", kEnded, kClick, Flag::On, 1, 1, 60, true, "30"},
          {"manual, tick to 1", Then(kClick, 58), kTick, Flag::Off, 1, 1, 1, true, "1"},
          // Ended early: the countdown still sends TA off once more on its way out.
          {"ended, tick to 1", Then(kEnded, 28), kTick, Flag::Off, 0, 0, 1, true, "1"},
          {"ended, tick to 0", Then(kEnded, 29), kTick, Flag::None, 0, 0, 0, false, "60"},
          {"manual, tick to 0", Then(kClick, 59), kTick, Flag::None, 1, 1, 0, false, "60"},
          {"start-up, tick at 0", kIdle, kTick, Flag::None, 0, 0, 0, false, "60"},
          {"countdown off, marker", kTick, kMarker, Flag::On, 1, 0, 60, true, "60"},
      };
  for (const char* type : {"PIRA32", "PIRAMICRO"}) {
    for (const auto& [name, from, event, sent, status, manual, timeout, countdown_on, our_timeout] :
         rows) {
      SCOPED_TRACE(std::string(type) + ": " + name);
      TrafficRig t(type);
      from(t);
      t.rig.ClearLog();

      event(t);

      EXPECT_EQ(t.TrafficSent(), FlagAndQuery(type, sent));
      EXPECT_EQ(std::tie(t.rig.state.TAstatus, t.rig.state.ManualTraffic, t.rig.state.TAtimeout),
                std::tie(status, manual, timeout));
      EXPECT_EQ(t.rig.timers.IsOn(Timer::tmrTAtimeout), countdown_on);
      EXPECT_EQ(t.rig.view.Text(Label::lblOurTimeout), our_timeout);
      if (sent != Flag::None) {
        EXPECT_EQ(t.ta, sent == Flag::On);
        EXPECT_EQ(t.rig.view.caption, t.ta ? kTrafficInProgress : kTrafficActivate);
        EXPECT_TRUE(t.rig.view.enabled);
      }
    }
  }
}

// The encoder's flag follows the record once reached: lowered at the minute's read, raised only
// when the port or the encoder is back (its own TA timeout may have cleared it on purpose).
TEST(TrafficAlert, EncoderFlagIsReconciledWithTheRecord) {
  const Step minute = [](TrafficRig& t) { tmrClockCheck_Timer(t.rig.controller); };
  const Step unplug = [&](TrafficRig& t) {
    t.rig.port.fail_when_closed = t.rig.port.fail_writes = true;
    minute(t);
    t.rig.port.fail_writes = false;
  };
  const Step plug = [](TrafficRig& t) {
    t.rig.time.now_us += int64_t{kPortRetryIntervalMs} * 1000;
    t.watchdog.Tick();
  };
  const Step deafen = [&](TrafficRig& t) {
    t.deaf = true;
    minute(t);
    minute(t);  // a PIRA micro's minute asks twice only
    ASSERT_TRUE(t.watchdog.Silent());
  };
  const Step hear = [&](TrafficRig& t) {
    t.deaf = false;
    minute(t);
    t.watchdog.Tick();
  };
  const Step run_out = [](TrafficRig& t) { t.Tick(59); };
  const Step off_lost = [](TrafficRig& t) { t.ta = true; };  // a TA=0 that did not arrive
  // The encoder's own TA timeout, or a restart that forgot the flag.
  const Step cleared = [](TrafficRig& t) { t.ta = false; };
  const std::tuple<const char*, Step, Step, Step, Step, bool> rows[] = {
      {"manual, port lost and back", kClick, unplug, cleared, plug, true},
      {"metadata, ended while lost", kMarker, unplug, kPlain, plug, false},
      {"manual, run out while lost", kClick, unplug, run_out, plug, false},
      {"idle, back with the flag on", kIdle, unplug, off_lost, plug, false},
      {"metadata, ended while silent", kMarker, deafen, kPlain, hear, false},
      {"manual, run out while silent", kClick, deafen, run_out, hear, false},
      {"metadata, silent and back", kMarker, deafen, cleared, hear, true},
      {"ended, its TA=0 lost, next minute", kMarker, kPlain, off_lost, minute, false},
      {"alert on, the encoder's own timeout", kClick, kIdle, cleared, minute, false},
      {"alert on, next minute", kMarker, kIdle, kIdle, minute, true},
  };
  for (const char* type : {"PIRA32", "PIRAMICRO"}) {
    for (const auto& [name, start, fault, during, recover, on_air] : rows) {
      SCOPED_TRACE(std::string(type) + ": " + name);
      TrafficRig t(type);
      start(t);
      fault(t);
      during(t);
      const ControllerState after_event = t.rig.state;
      recover(t);
      EXPECT_EQ(t.ta, on_air);
      // The display shows the flag as it is once recovered.
      EXPECT_EQ(t.rig.view.caption, t.ta ? kTrafficInProgress : kTrafficActivate);
      // Recovering changes the encoder, never the record.
      EXPECT_EQ(std::tie(t.rig.state.TAstatus, t.rig.state.ManualTraffic, t.rig.state.TAtimeout),
                std::tie(after_event.TAstatus, after_event.ManualTraffic, after_event.TAtimeout));
    }
  }
}

}  // namespace
}  // namespace morvane
