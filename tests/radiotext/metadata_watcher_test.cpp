#include "radiotext/metadata_watcher.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "support/fakes.h"

namespace morvane {
namespace {

using testing::Rig;
using testing::SentCommand;
using Commands = std::vector<SentCommand>;

const std::string kFile = "metadata.txt";
const std::string kDefault = "Radio Morvane";
const std::string kTrafficText = "Traffic news now";
constexpr int16_t kMaxTime = 120;

// A PIRA32 (or other) controller as start-up leaves it, RT+ off unless a test switches it on.
void Configure(Rig& rig, const std::string& encoder) {
  rig.state.EncoderType = encoder;
  rig.state.MetadataFile = kFile;
  rig.state.TrafficMeta = "TRAFFIC";
  rig.state.TrafficRadioText = kTrafficText;
  rig.state.DefaultRadioText = kDefault;
  rig.state.TAmaxtime = kMaxTime;
  rig.state.RTPlusPrefix = std::string(kRtPlusSentinel);
  rig.state.RTPlusSplit = std::string(kRtPlusSentinel);
  rig.port.responder = testing::Pira32Responder({{"RT1", "ON AIR"}, {"TA", "0"}, {"TP", "1"}});
  // The countdown timer has already switched itself off after its first tick.
  rig.timers.enabled[Timer::tmrTAtimeout] = false;
}

Commands Pira32TrafficFlag(bool on) {
  return {{on ? "TA=1\r" : "TA=0\r", 200}, {"TP\r", 200}, {"TA\r", 200}, {"TATMOUT\r", 200}};
}
Commands Pira32RadioText(const std::string& text) {
  return {{"RT1=" + text + "\r", 500}, {"RT1\r", 500}};
}
Commands Join(Commands a, const Commands& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

struct MarkerCase {
  const char* name;
  std::string line;
  int16_t ta_status;
  int16_t manual;
  Commands sent;
  int16_t ta_status_after;
  bool countdown_restarted;
};

TEST(MetadataWatcher, MarkerTableAndAlertStartAndEnd) {
  const MarkerCase cases[] = {
      {"plain line, idle", "Artist - Title", 0, 0, Pira32RadioText("Artist - Title"), 0, false},
      {"traffic marker starts an alert", "TRAFFIC bulletin", 0, 0,
       Join(Pira32TrafficFlag(true), Pira32RadioText(kTrafficText)), 1, true},
      {"traffic marker anywhere", "Bulletin TRAFFIC", 0, 0,
       Join(Pira32TrafficFlag(true), Pira32RadioText(kTrafficText)), 1, true},
      {"system marker sends the default", "Jingle !!*SYS*!!", 0, 0, Pira32RadioText(kDefault), 0,
       false},
      {"both markers: default text, alert starts", "TRAFFIC !!*SYS*!!", 0, 0,
       Join(Pira32TrafficFlag(true), Pira32RadioText(kDefault)), 1, true},
      {"marker in another letter case is no marker", "Traffic bulletin", 0, 0,
       Pira32RadioText("Traffic bulletin"), 0, false},
      {"system marker in another case", "Jingle !!*sys*!!", 0, 0,
       Pira32RadioText("Jingle !!*sys*!!"), 0, false},
      {"line without marker ends a metadata alert", "Artist - Title", 1, 0,
       Join(Pira32TrafficFlag(false), Pira32RadioText("Artist - Title")), 0, false},
      {"system marker ends a metadata alert", "Jingle !!*SYS*!!", 1, 0,
       Join(Pira32TrafficFlag(false), Pira32RadioText(kDefault)), 0, false},
      {"marker during an alert starts nothing", "TRAFFIC again", 1, 0,
       Pira32RadioText(kTrafficText), 1, false},
      {"manual alert is never ended here", "Artist - Title", 1, 1,
       Pira32RadioText("Artist - Title"), 1, false},
      {"marker during a manual alert", "TRAFFIC again", 1, 1, Pira32RadioText(kTrafficText), 1,
       false},
  };
  for (const MarkerCase& c : cases) {
    Rig rig;
    Configure(rig, "PIRA32");
    rig.state.TAstatus = c.ta_status;
    rig.state.ManualTraffic = c.manual;
    rig.state.TAtimeout = 37;  // an earlier countdown, still running or run out
    rig.files.files[kFile] = c.line + "\r\n";

    tmrTextCheck_Timer(rig.controller);

    EXPECT_EQ(rig.Sent(), c.sent) << c.name;
    EXPECT_EQ(rig.state.TAstatus, c.ta_status_after) << c.name;
    EXPECT_EQ(rig.state.ManualTraffic, c.manual) << c.name;
    EXPECT_EQ(rig.state.TAtimeout, c.countdown_restarted ? kMaxTime : 37) << c.name;
    EXPECT_EQ(rig.timers.IsOn(Timer::tmrTAtimeout), c.countdown_restarted) << c.name;
    EXPECT_EQ(rig.state.LastRT, c.line) << c.name;
    EXPECT_EQ(rig.view.Text(Label::lblRT), "ON AIR") << c.name;
  }
}

// The flag follows the marker on every encoder type; only the commands differ.
TEST(MetadataWatcher, AlertCommandsPerEncoderType) {
  const std::string ta_on("\xFE\x0E\x01\x40\xFF", 5);
  const std::string ta_off("\xFE\x0E\x00\x40\xFF", 5);
  const std::string read_flags("\xFE\xD0\x0E\x01\xFF", 5);
  const std::string read_rt("\xFE\xD0\x20\x40\xFF", 5);
  auto frame = [](const std::string& text) {
    return std::string("\xFE\x20", 2) + text + std::string(64 - text.size(), ' ') + "\x40\xFF";
  };
  const struct {
    std::string encoder;
    Commands start;
    Commands end;
  } cases[] = {
      {"PIRA32", Join(Pira32TrafficFlag(true), Pira32RadioText(kTrafficText)),
       Join(Pira32TrafficFlag(false), Pira32RadioText("Artist - Title"))},
      {"PIRAMICRO",
       {{ta_on, 50}, {read_flags, 200}, {frame(kTrafficText), 50}, {read_rt, 200}},
       {{ta_off, 50}, {read_flags, 200}, {frame("Artist - Title"), 50}, {read_rt, 200}}},
      {"OTHER", {}, {}},
  };
  for (const auto& c : cases) {
    Rig rig;
    Configure(rig, c.encoder);
    rig.files.files[kFile] = "TRAFFIC bulletin";
    tmrTextCheck_Timer(rig.controller);
    EXPECT_EQ(rig.Sent(), c.start) << c.encoder;
    EXPECT_EQ(rig.state.TAstatus, 1) << c.encoder;
    EXPECT_EQ(rig.state.TAtimeout, kMaxTime) << c.encoder;
    EXPECT_TRUE(rig.timers.IsOn(Timer::tmrTAtimeout)) << c.encoder;

    rig.ClearLog();
    rig.state.TAtimeout = 60;
    rig.files.files[kFile] = "Artist - Title";
    tmrTextCheck_Timer(rig.controller);
    EXPECT_EQ(rig.Sent(), c.end) << c.encoder;
    EXPECT_EQ(rig.state.TAstatus, 0) << c.encoder;
    // The countdown is left to run out by itself.
    EXPECT_EQ(rig.state.TAtimeout, 60) << c.encoder;
    EXPECT_TRUE(rig.timers.IsOn(Timer::tmrTAtimeout)) << c.encoder;
  }
}

TEST(MetadataWatcher, UnchangedLineCostsNothingOnTheWire) {
  Rig rig;
  Configure(rig, "PIRA32");
  rig.files.files[kFile] = "Artist - Title\r\nNext - Song\r\n";
  tmrTextCheck_Timer(rig.controller);
  EXPECT_EQ(rig.Sent(), Pira32RadioText("Artist - Title"));

  rig.ClearLog();
  for (int tick = 0; tick < 3600; ++tick) {
    rig.sleeper.SleepMs(1000);
    tmrTextCheck_Timer(rig.controller);
  }
  EXPECT_TRUE(rig.Writes().empty());
  EXPECT_EQ(rig.files.reads.size(), 3601u);
  EXPECT_EQ(rig.view.History(Label::lblLastTextCheck).size(), 3601u);

  // A change of letter case alone is a change.
  rig.files.files[kFile] = "ARTIST - Title";
  tmrTextCheck_Timer(rig.controller);
  EXPECT_EQ(rig.Sent(), Pira32RadioText("ARTIST - Title"));
}

TEST(MetadataWatcher, EmptyOrMissingFileAtStartSendsNothing) {
  for (const char* content : std::initializer_list<const char*>{"", "\r\n", nullptr}) {
    Rig rig;
    Configure(rig, "PIRA32");
    if (content != nullptr) {
      rig.files.files[kFile] = content;
    }
    tmrTextCheck_Timer(rig.controller);
    tmrTextCheck_Timer(rig.controller);
    EXPECT_TRUE(rig.Writes().empty());
    EXPECT_EQ(rig.files.reads, (std::vector<std::string>{kFile, kFile}));
  }
}

TEST(MetadataWatcher, ShowsTheTimeOfEveryCheck) {
  const struct {
    LocalTime at;
    std::string shown;
  } cases[] = {
      {{2026, 3, 5, 7, 5, 9}, "07:05:09"},
      {{2026, 3, 5, 0, 0, 0}, "00:00:00"},
      {{2026, 12, 31, 23, 59, 59}, "23:59:59"},
      {{2026, 3, 5, 13, 40, 10}, "13:40:10"},
  };
  for (const auto& c : cases) {
    Rig rig;
    Configure(rig, "PIRA32");
    rig.files.unreadable.insert(kFile);  // shown on a failed read too
    rig.clock.Set(c.at);
    tmrTextCheck_Timer(rig.controller);
    EXPECT_EQ(rig.view.Text(Label::lblLastTextCheck), c.shown);
  }
}

TEST(MetadataWatcher, ReadFailureMidRunCountsAsAnEmptyLine) {
  Rig rig;
  Configure(rig, "PIRA32");
  rig.files.files[kFile] = "TRAFFIC bulletin\r\n";
  tmrTextCheck_Timer(rig.controller);
  ASSERT_EQ(rig.state.TAstatus, 1);

  // The countdown has been running for a while when the playout software rewrites the file.
  rig.state.TAtimeout = 50;
  rig.ClearLog();
  rig.files.unreadable.insert(kFile);
  tmrTextCheck_Timer(rig.controller);
  EXPECT_EQ(rig.Sent(), Join(Pira32TrafficFlag(false), Pira32RadioText("")));
  EXPECT_EQ(rig.state.TAstatus, 0);
  EXPECT_EQ(rig.state.LastRT, "");

  rig.ClearLog();
  rig.files.unreadable.clear();
  tmrTextCheck_Timer(rig.controller);
  EXPECT_EQ(rig.Sent(), Join(Pira32TrafficFlag(true), Pira32RadioText(kTrafficText)));
  EXPECT_EQ(rig.state.TAstatus, 1);
  EXPECT_EQ(rig.state.TAtimeout, kMaxTime);
}

TEST(MetadataWatcher, FailingPortDoesNotStopTheTickOrRepeatTheText) {
  Rig rig;
  Configure(rig, "PIRA32");
  rig.port.fail_writes = true;
  rig.files.files[kFile] = "TRAFFIC bulletin";
  tmrTextCheck_Timer(rig.controller);
  // Every step was tried, and the record moved on as if the encoder had listened.
  EXPECT_EQ(rig.Sent(), Join(Pira32TrafficFlag(true), Pira32RadioText(kTrafficText)));
  EXPECT_EQ(rig.state.TAstatus, 1);
  EXPECT_EQ(rig.view.Text(Label::lblRT), "");

  rig.port.fail_writes = false;
  rig.ClearLog();
  tmrTextCheck_Timer(rig.controller);
  EXPECT_TRUE(rig.Writes().empty());
}

TEST(MetadataWatcher, ChangedLineGoesOutWithRtPlusTags) {
  Rig rig;
  Configure(rig, "PIRA32");
  rig.state.RTplus = 1;
  rig.state.RTPlusPrefix = "";
  rig.state.RTPlusSplit = " - ";
  const std::string clear = "RTP=00,00,00,00,00,00\r";
  const struct {
    std::string line;
    Commands sent;
    std::string rtplus_label;
  } steps[] = {
      {"Artist - Title",
       {{"RT1=Artist - Title\r", 500},
        {clear, 500},
        {"RTP=04,00,05,01,09,04\r", 500},
        {"RT1\r", 500}},
       "RT+"},
      // A replacement is tagged by its own content, not by the line's.
      {"Jingle - Intro !!*SYS*!!",
       {{"RT1=" + kDefault + "\r", 500}, {clear, 500}, {"RT1\r", 500}},
       ""},
  };
  for (const auto& step : steps) {
    rig.ClearLog();
    rig.files.files[kFile] = step.line;
    tmrTextCheck_Timer(rig.controller);
    EXPECT_EQ(rig.Sent(), step.sent) << step.line;
    EXPECT_EQ(rig.view.Text(Label::lblRTplus), step.rtplus_label) << step.line;
  }
}

}  // namespace
}  // namespace morvane
