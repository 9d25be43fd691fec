#include "radiotext/metadata_watcher.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

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
      {"traffic marker anywhere starts an alert", "Bulletin TRAFFIC", 0, 0,
       Join(Pira32TrafficFlag(true), Pira32RadioText(kTrafficText)), 1, true},
      {"system marker sends the default", "Jingle !!*SYS*!!", 0, 0, Pira32RadioText(kDefault), 0,
       false},
      {"both markers: default text, alert starts", "TRAFFIC !!*SYS*!!", 0, 0,
       Join(Pira32TrafficFlag(true), Pira32RadioText(kDefault)), 1, true},
      {"markers in another letter case are none", "Traffic !!*sys*!!", 0, 0,
       Pira32RadioText("Traffic !!*sys*!!"), 0, false},
      {"line without marker ends a metadata alert", "Artist - Title", 1, 0,
       Join(Pira32TrafficFlag(false), Pira32RadioText("Artist - Title")), 0, false},
      {"system marker ends a metadata alert", "Jingle !!*SYS*!!", 1, 0,
       Join(Pira32TrafficFlag(false), Pira32RadioText(kDefault)), 0, false},
      {"marker during an alert starts nothing", "TRAFFIC again", 1, 0,
       Pira32RadioText(kTrafficText), 1, false},
      {"manual alert is never ended here", "Artist - Title", 1, 1,
       Pira32RadioText("Artist - Title"), 1, false},
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

// The flag follows the marker on every encoder type; only the commands differ (PIRA32 above).
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
    EXPECT_TRUE(rig.timers.IsOn(Timer::tmrTAtimeout)) << c.encoder;

    rig.ClearLog();
    rig.files.files[kFile] = "Artist - Title";
    tmrTextCheck_Timer(rig.controller);
    EXPECT_EQ(rig.Sent(), c.end) << c.encoder;
    EXPECT_EQ(rig.state.TAstatus, 0) << c.encoder;
  }
}

TEST(MetadataWatcher, UnchangedLineCostsNothingOnTheWireAndEveryCheckShowsItsTime) {
  Rig rig;
  Configure(rig, "PIRA32");
  rig.clock.Set({2026, 3, 5, 7, 5, 9});
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
  const std::vector<std::string> shown = rig.view.History(Label::lblLastTextCheck);
  ASSERT_EQ(shown.size(), 3601u);
  EXPECT_EQ(shown.front(), "07:05:09");
  EXPECT_EQ(shown.back(), "08:05:10");  // an hour later, and the first RadioText's second

  // A change of letter case alone is a change.
  rig.files.files[kFile] = "ARTIST - Title";
  tmrTextCheck_Timer(rig.controller);
  EXPECT_EQ(rig.Sent(), Pira32RadioText("ARTIST - Title"));
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

// A replacement is tagged by its own content, not by the line's.
TEST(MetadataWatcher, ReplacementTextIsTaggedByItsOwnContent) {
  Rig rig;
  Configure(rig, "PIRA32");
  rig.state.RTplus = 1;
  rig.state.RTPlusPrefix = "";
  rig.state.RTPlusSplit = " - ";
  rig.files.files[kFile] = "Jingle - Intro !!*SYS*!!";
  tmrTextCheck_Timer(rig.controller);
  EXPECT_EQ(rig.Sent(), (Commands{{"RTP=00,00,00,00,00,00\r", 500},
                                  {"RT1=" + kDefault + "\r", 500},
                                  {"RT1\r", 500}}));
  EXPECT_EQ(rig.view.Text(Label::lblRTplus), "");
}

// "Café Müller - Sigur Rós" as the playout software writes it in UTF-8 and in Windows-1252,
// and as a radio must receive it: é 0x82, ü 0x99, ó 0x86, one byte each.
const std::string kTitleUtf8 = "Caf\xC3\xA9 M\xC3\xBCller - Sigur R\xC3\xB3s";
const std::string kTitleRds = "Caf\x82 M\x99ller - Sigur R\x86s";

void ConfigureWithRtPlus(Rig& rig, TextEncoding encoding) {
  Configure(rig, "PIRA32");
  rig.controller.text_encoding = encoding;
  rig.state.RTplus = 1;
  rig.state.RTPlusPrefix = "";
  rig.state.RTPlusSplit = " - ";
}

TEST(MetadataTextEncoding, LineIsConvertedBeforeRtPlusCountsItsCharacters) {
  const auto tagged = [](const std::string& text, const std::string& tags) {
    return Commands{{"RTP=00,00,00,00,00,00\r", 500},
                    {"RT1=" + text + "\r", 500},
                    {tags + "\r", 500},
                    {"RT1\r", 500}};
  };
  const struct {
    const char* what;
    TextEncoding encoding;
    std::string content;
    Commands sent;
  } cases[] = {
      // Artist "Café Müller" is 11 characters from 0, title "Sigur Rós" 9 from 14.
      {"UTF-8", TextEncoding::Utf8, kTitleUtf8 + "\r\n",
       tagged(kTitleRds, "RTP=04,00,10,01,14,08")},
      {"UTF-8 with a byte order mark", TextEncoding::Utf8, "\xEF\xBB\xBF" + kTitleUtf8,
       tagged(kTitleRds, "RTP=04,00,10,01,14,08")},
      // Unconverted, every byte counts as a character, exactly as before the key existed.
      {"RDS: bytes as they are", TextEncoding::Rds, kTitleUtf8 + "\r\n",
       tagged(kTitleUtf8, "RTP=04,00,12,01,16,09")},
  };
  for (const auto& c : cases) {
    Rig rig;
    ConfigureWithRtPlus(rig, c.encoding);
    rig.files.files[kFile] = c.content;
    tmrTextCheck_Timer(rig.controller);
    EXPECT_EQ(rig.Sent(), c.sent) << c.what;
  }
}

TEST(MetadataTextEncoding, ConvertedLineIsWhatIsComparedAndSearched) {
  Rig rig;
  ConfigureWithRtPlus(rig, TextEncoding::Utf8);
  rig.files.files[kFile] = kTitleUtf8;
  tmrTextCheck_Timer(rig.controller);
  EXPECT_EQ(rig.state.LastRT, kTitleRds);

  // The same title rewritten in another form that converts to the same RDS text is no change.
  rig.ClearLog();
  rig.files.files[kFile] = "\xEF\xBB\xBF" + kTitleUtf8 + "\r\nnext";
  tmrTextCheck_Timer(rig.controller);
  EXPECT_TRUE(rig.Writes().empty());

  // "STÖRUNG" as the configuration converted it: Ö is 0xD7.
  rig.state.TrafficMeta = "ST\xD7RUNG";
  rig.files.files[kFile] = "A1 ST\xC3\x96RUNG";
  tmrTextCheck_Timer(rig.controller);
  EXPECT_EQ(rig.state.TAstatus, 1);
  EXPECT_EQ(rig.Writes().front(), "TA=1\r");
}

TEST(MetadataTextEncoding, FrameHoldsSixtyFourConvertedCharacters) {
  Rig rig;
  Configure(rig, "PIRAMICRO");
  rig.controller.text_encoding = TextEncoding::Utf8;
  std::string line;
  for (int i = 0; i < 70; ++i) {
    line += "\xC3\xA9";  // é: two bytes in the file, one character on air
  }
  rig.files.files[kFile] = line;
  tmrTextCheck_Timer(rig.controller);
  ASSERT_FALSE(rig.Writes().empty());
  EXPECT_EQ(rig.Writes().front(), "\xFE\x20" + std::string(64, '\x82') + "\x40\xFF");
}

}  // namespace
}  // namespace morvane
