#include "traffic/traffic_alert.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "support/fakes.h"
#include "traffic/fake_traffic_encoder.h"

namespace morvane {
namespace {

using testing::FakeTrafficEncoder;
using testing::Rig;
using testing::SentCommand;

constexpr int64_t kSecondUs = 1000000;

// A controller beside an encoder that keeps the TA flag it is given.
struct TrafficRig {
  explicit TrafficRig(const std::string& encoder_type = "PIRA32", int16_t max_time = 60) {
    rig.state.EncoderType = encoder_type;
    rig.state.TAmaxtime = max_time;
    rig.port.responder = encoder_type == "PIRAMICRO" ? encoder.PiraMicro() : encoder.Pira32();
  }

  void Click() { cmdTraffic_Click(rig.controller); }

  // The countdown as the window drives it: one tick on each whole second while it is on.
  void Tick(int count = 1) {
    for (int i = 0; i < count; ++i) {
      if (!rig.timers.IsOn(Timer::tmrTAtimeout)) {
        ADD_FAILURE() << "countdown ticked while switched off, tick " << i + 1 << " of " << count;
        return;
      }
      rig.time.now_us = (rig.time.now_us / kSecondUs + 1) * kSecondUs;
      tmrTAtimeout_Timer(rig.controller);
    }
  }

  // What the metadata watcher does with the alert for a changed line.
  void ChangedLine(bool traffic_marker) {
    ControllerState& state = rig.state;
    if (traffic_marker && state.TAstatus == 0) {
      RaiseTrafficAlert(rig.controller);
    }
    if (!traffic_marker && state.TAstatus == 1 && state.ManualTraffic != 1) {
      EndTrafficAlert(rig.controller);
    }
  }

  [[nodiscard]] int CountWrites(const std::string& bytes) const {
    int count = 0;
    for (const std::string& written : rig.Writes()) {
      count += written == bytes ? 1 : 0;
    }
    return count;
  }

  FakeTrafficEncoder encoder;
  Rig rig;
};

enum class Flag { None, On, Off };

// What one TA command and the display refresh after it put on the wire, per encoder type.
std::vector<SentCommand> FlagAndQuery(const std::string& type, Flag flag) {
  if (flag == Flag::None) {
    return {};
  }
  const bool on = flag == Flag::On;
  if (type == "PIRA32") {
    return {{on ? "TA=1\r" : "TA=0\r", 200}, {"TP\r", 200}, {"TA\r", 200}, {"TATMOUT\r", 200}};
  }
  if (type == "PIRAMICRO") {
    return {{std::string(on ? "\xFE\x0E\x01\x40\xFF" : "\xFE\x0E\x00\x40\xFF", 5), 50},
            {std::string("\xFE\xD0\x0E\x01\xFF", 5), 200}};
  }
  return {};
}

// The states of the record, reached the way they are in use.
void Idle(TrafficRig&) {}
void ManualAlert(TrafficRig& t) {
  t.Click();
}
void ManualTimedOut(TrafficRig& t) {
  t.Click();
  t.Tick(60);
}
void MetadataAlert(TrafficRig& t) {
  t.ChangedLine(true);
}
void MetadataTimedOut(TrafficRig& t) {
  t.ChangedLine(true);
  t.Tick(60);
}

void ManualAt2(TrafficRig& t) {
  t.Click();
  t.Tick(58);
}
void MetadataAt2(TrafficRig& t) {
  t.ChangedLine(true);
  t.Tick(58);
}
void ManualAt1(TrafficRig& t) {
  t.Click();
  t.Tick(59);
}
// Ended by a click half way; the countdown has sent its extra TA off.
void EndedAt1(TrafficRig& t) {
  t.Click();
  t.Tick(30);
  t.Click();
  t.Tick(29);
}

TEST(TrafficAlert, TransitionTable) {
  using Step = std::function<void(TrafficRig&)>;
  const Step click = [](TrafficRig& t) { t.Click(); };
  const Step marker_line = [](TrafficRig& t) { t.ChangedLine(true); };
  const Step plain_line = [](TrafficRig& t) { t.ChangedLine(false); };
  const Step tick = [](TrafficRig& t) { t.Tick(); };
  struct Row {
    const char* name;
    Step from;
    Step event;
    Flag sent;
    int16_t status, manual, timeout;
    bool countdown_on;
    std::vector<bool> countdown_switched;  // what the event did to the countdown timer
    const char* our_timeout;               // lblOurTimeout after the event: a start or an end
                                           // leaves it to the next tick
  };
  const std::vector<Row> rows = {
      {"idle, click", Idle, click, Flag::On, 1, 1, 60, true, {true}, "?"},
      {"idle, marker line", Idle, marker_line, Flag::On, 1, 0, 60, true, {true}, "?"},
      {"manual, click", ManualAlert, click, Flag::Off, 0, 0, 60, true, {}, "?"},
      {"manual timed out, click", ManualTimedOut, click, Flag::Off, 0, 0, 0, false, {}, "60"},
      {"metadata, click", MetadataAlert, click, Flag::Off, 0, 0, 60, true, {}, "?"},
      {"metadata timed out, click", MetadataTimedOut, click, Flag::Off, 0, 0, 0, false, {}, "60"},
      {"metadata, plain line", MetadataAlert, plain_line, Flag::Off, 0, 0, 60, true, {}, "?"},
      {"timed out, plain line", MetadataTimedOut, plain_line, Flag::Off, 0, 0, 0, false, {}, "60"},
      {"manual, countdown to 1", ManualAt2, tick, Flag::Off, 1, 1, 1, true, {}, "1"},
      {"metadata, countdown to 1", MetadataAt2, tick, Flag::Off, 1, 0, 1, true, {}, "1"},
      {"start-up, countdown at 0", Idle, tick, Flag::None, 0, 0, 0, false, {false}, "60"},
      {"manual, countdown to 0", ManualAt1, tick, Flag::None, 1, 1, 0, false, {false}, "60"},
      {"ended, countdown to 0", EndedAt1, tick, Flag::None, 0, 0, 0, false, {false}, "60"},
  };
  for (const char* type : {"PIRA32", "PIRAMICRO", "PIRA-32"}) {
    for (const Row& row : rows) {
      SCOPED_TRACE(std::string(type) + ": " + row.name);
      TrafficRig t(type);
      row.from(t);
      t.rig.ClearLog();
      t.rig.timers.history.clear();

      row.event(t);

      EXPECT_EQ(t.rig.Sent(), FlagAndQuery(type, row.sent));
      EXPECT_EQ(t.rig.state.TAstatus, row.status);
      EXPECT_EQ(t.rig.state.ManualTraffic, row.manual);
      EXPECT_EQ(t.rig.state.TAtimeout, row.timeout);
      EXPECT_EQ(t.rig.timers.IsOn(Timer::tmrTAtimeout), row.countdown_on);
      std::vector<bool> switched;
      for (const auto& [timer, on] : t.rig.timers.history) {
        if (timer == Timer::tmrTAtimeout) {
          switched.push_back(on);
        }
      }
      EXPECT_EQ(switched, row.countdown_switched);
      EXPECT_EQ(t.rig.view.Text(Label::lblOurTimeout), row.our_timeout);
      if (std::string(type) == "PIRA-32") {
        EXPECT_EQ(t.rig.view.caption, kTrafficUnavailable);
        EXPECT_FALSE(t.rig.view.enabled);
      } else if (row.sent != Flag::None) {
        EXPECT_EQ(t.encoder.ta, row.sent == Flag::On);
        EXPECT_EQ(t.rig.view.caption, t.encoder.ta ? kTrafficInProgress : kTrafficActivate);
        EXPECT_TRUE(t.rig.view.enabled);
      }
    }
  }
}

TEST(TrafficAlert, CountdownOf120SecondsHoldsTheFlagFor119) {
  TrafficRig t("PIRA32", 120);
  t.Click();
  ASSERT_EQ(t.rig.Writes().front(), "TA=1\r");
  EXPECT_EQ(t.rig.log.front().at_us, 0);
  t.rig.ClearLog();

  t.Tick(118);
  EXPECT_EQ(t.CountWrites("TA=0\r"), 0);
  EXPECT_TRUE(t.encoder.ta);
  t.Tick();
  ASSERT_EQ(t.rig.Writes().front(), "TA=0\r");
  EXPECT_EQ(t.rig.log.front().at_us, 119 * kSecondUs) << "the tick that reaches 1";
  EXPECT_FALSE(t.encoder.ta);
  EXPECT_EQ(t.rig.view.caption, kTrafficActivate);
  EXPECT_TRUE(t.rig.timers.IsOn(Timer::tmrTAtimeout));
  t.Tick();
  EXPECT_FALSE(t.rig.timers.IsOn(Timer::tmrTAtimeout));
  EXPECT_EQ(t.CountWrites("TA=0\r"), 1);

  std::vector<std::string> want;
  for (int left = 119; left >= 1; --left) {
    want.push_back(std::to_string(left));
  }
  want.push_back("120");
  EXPECT_EQ(t.rig.view.History(Label::lblOurTimeout), want);
  // Record unchanged: only a click or a changed metadata line ends the alert.
  EXPECT_EQ(t.rig.state.TAstatus, 1);
  EXPECT_EQ(t.rig.state.ManualTraffic, 1);
}

TEST(TrafficAlert, TimedOutManualAlertTakesTwoClicks) {
  TrafficRig t;
  t.Click();
  t.Tick(60);
  EXPECT_EQ(t.rig.view.caption, kTrafficActivate) << "button shows the cleared flag";
  EXPECT_EQ(t.rig.state.TAstatus, 1);

  // The metadata can neither start nor end an alert here.
  t.rig.ClearLog();
  t.ChangedLine(true);
  t.ChangedLine(false);
  EXPECT_TRUE(t.rig.log.empty());

  t.Click();
  EXPECT_EQ(t.rig.Sent(), FlagAndQuery("PIRA32", Flag::Off));
  EXPECT_EQ(t.rig.state.TAstatus, 0);
  EXPECT_EQ(t.rig.state.ManualTraffic, 0);
  EXPECT_FALSE(t.rig.timers.IsOn(Timer::tmrTAtimeout));

  t.rig.ClearLog();
  t.Click();
  EXPECT_EQ(t.rig.Sent(), FlagAndQuery("PIRA32", Flag::On));
  EXPECT_EQ(t.rig.view.caption, kTrafficInProgress);
  EXPECT_EQ(t.rig.state.TAtimeout, 60);
  EXPECT_TRUE(t.rig.timers.IsOn(Timer::tmrTAtimeout));
}

TEST(TrafficAlert, TimedOutMetadataAlertNeedsALineWithoutTheMarker) {
  TrafficRig t;
  t.ChangedLine(true);
  t.Tick(60);
  EXPECT_FALSE(t.encoder.ta);
  t.rig.ClearLog();

  t.ChangedLine(true);
  EXPECT_TRUE(t.rig.log.empty()) << "the record still holds the alert";
  t.ChangedLine(false);
  EXPECT_EQ(t.rig.Sent(), FlagAndQuery("PIRA32", Flag::Off));
  EXPECT_EQ(t.rig.state.TAstatus, 0);

  t.rig.ClearLog();
  t.ChangedLine(true);
  EXPECT_EQ(t.rig.Sent(), FlagAndQuery("PIRA32", Flag::On));
  EXPECT_EQ(t.rig.state.TAtimeout, 60);
  EXPECT_TRUE(t.rig.timers.IsOn(Timer::tmrTAtimeout));
  EXPECT_TRUE(t.encoder.ta);

  // A click also returns a timed-out metadata alert to Idle, and the next marker starts anew.
  t.Tick(60);
  t.Click();
  EXPECT_EQ(t.rig.state.TAstatus, 0);
  t.ChangedLine(true);
  EXPECT_EQ(t.rig.state.TAstatus, 1);
  EXPECT_EQ(t.rig.state.ManualTraffic, 0);
  EXPECT_TRUE(t.encoder.ta);
}

TEST(TrafficAlert, CountdownSendsTaOffOnceMoreAfterAnEarlyEnd) {
  TrafficRig t;
  t.Click();
  t.Tick(10);
  t.Click();
  EXPECT_EQ(t.rig.view.caption, kTrafficActivate);
  t.rig.ClearLog();

  t.Tick(48);
  EXPECT_TRUE(t.rig.log.empty());
  EXPECT_EQ(t.rig.view.Text(Label::lblOurTimeout), "2");
  t.Tick();
  EXPECT_EQ(t.rig.Sent(), FlagAndQuery("PIRA32", Flag::Off));
  EXPECT_EQ(t.rig.view.Text(Label::lblOurTimeout), "1");
  t.Tick();
  EXPECT_EQ(t.rig.view.Text(Label::lblOurTimeout), "60");
  EXPECT_FALSE(t.rig.timers.IsOn(Timer::tmrTAtimeout));
  EXPECT_EQ(t.rig.state.TAstatus, 0);
  EXPECT_EQ(t.rig.state.ManualTraffic, 0);
}

TEST(TrafficAlert, NewAlertRestartsTheCountdown) {
  struct Case {
    const char* name;
    std::function<void(TrafficRig&)> end;
    std::function<void(TrafficRig&)> start;
  };
  const std::vector<Case> cases = {
      {"click, click", [](TrafficRig& t) { t.Click(); }, [](TrafficRig& t) { t.Click(); }},
      {"metadata, metadata", [](TrafficRig& t) { t.ChangedLine(false); },
       [](TrafficRig& t) { t.ChangedLine(true); }},
      {"click, metadata", [](TrafficRig& t) { t.Click(); },
       [](TrafficRig& t) { t.ChangedLine(true); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TrafficRig t;
    t.ChangedLine(true);
    t.Tick(30);
    c.end(t);
    t.Tick(20);  // the old countdown would send TA off 9 ticks from here
    c.start(t);
    EXPECT_EQ(t.rig.state.TAtimeout, 60);
    t.rig.ClearLog();

    t.Tick(58);
    EXPECT_EQ(t.CountWrites("TA=0\r"), 0) << "the new alert is not cut short";
    EXPECT_TRUE(t.encoder.ta);
    t.Tick();
    EXPECT_EQ(t.CountWrites("TA=0\r"), 1);
  }
}

TEST(TrafficAlert, PiraMicroButtonFollowsTheFlag) {
  TrafficRig t("PIRAMICRO");
  t.Click();
  EXPECT_EQ(t.rig.view.Text(Label::lblTA), "1 (TRAFFIC ALERT)");
  EXPECT_EQ(t.rig.view.Text(Label::lblTP), "UNKNOWN");
  EXPECT_EQ(t.rig.view.caption, kTrafficInProgress);
  EXPECT_TRUE(t.rig.view.enabled);
  t.Click();
  EXPECT_EQ(t.rig.view.Text(Label::lblTA), "0 (NORMAL)");
  EXPECT_EQ(t.rig.view.caption, kTrafficActivate);
  EXPECT_TRUE(t.rig.view.enabled);

  // A silent encoder leaves the captions alone and the button unusable.
  t.rig.port.fail_writes = true;
  t.Click();
  EXPECT_EQ(t.rig.state.TAstatus, 1);
  EXPECT_EQ(t.rig.view.caption, kTrafficActivate);
  EXPECT_FALSE(t.rig.view.enabled);
}

// A port that has gone away: every step still runs, the record says what was attempted and the
// display shows what a silent encoder gives.
TEST(TrafficAlert, FailingPortLeavesTheRecordWhole) {
  struct Step {
    const char* name;
    std::function<void(TrafficRig&)> from;
    std::function<void(TrafficRig&)> event;
    std::string flag_command;
    int16_t status, manual, timeout;
  };
  const std::vector<Step> steps = {
      {"click from idle", [](TrafficRig&) {}, [](TrafficRig& t) { t.Click(); }, "TA=1\r", 1, 1, 60},
      {"click during an alert", [](TrafficRig& t) { t.Click(); }, [](TrafficRig& t) { t.Click(); },
       "TA=0\r", 0, 0, 60},
      {"countdown reaching 1",
       [](TrafficRig& t) {
         t.Click();
         t.Tick(58);
       },
       [](TrafficRig& t) { t.Tick(); }, "TA=0\r", 1, 1, 1},
  };
  for (const bool fail_writes : {true, false}) {
    for (const Step& step : steps) {
      SCOPED_TRACE(std::string(step.name) + (fail_writes ? ", writes fail" : ", reads fail"));
      TrafficRig t;
      step.from(t);
      const std::string ta_before = t.rig.view.Text(Label::lblTA);
      const std::string caption_before = t.rig.view.caption;
      t.rig.ClearLog();
      t.rig.port.fail_writes = fail_writes;
      t.rig.port.fail_reads = !fail_writes;

      step.event(t);

      EXPECT_EQ(t.rig.Writes(),
                (std::vector<std::string>{step.flag_command, "TP\r", "TA\r", "TATMOUT\r"}));
      EXPECT_EQ(t.rig.state.TAstatus, step.status);
      EXPECT_EQ(t.rig.state.ManualTraffic, step.manual);
      EXPECT_EQ(t.rig.state.TAtimeout, step.timeout);
      EXPECT_TRUE(t.rig.timers.IsOn(Timer::tmrTAtimeout));
      EXPECT_EQ(t.rig.view.Text(Label::lblTATMOUT), "");
      EXPECT_EQ(t.rig.view.Text(Label::lblTA), ta_before);
      EXPECT_EQ(t.rig.view.caption, caption_before);
    }
  }
}

}  // namespace
}  // namespace morvane
