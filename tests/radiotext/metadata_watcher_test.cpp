#include "radiotext/metadata_watcher.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/notice_board.h"
#include "radiotext/radiotext_check.h"
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

TEST(MetadataWatcher, UnchangedLineCostsNothingOnTheWireAndEveryCheckShowsItsTime) {
  Rig rig;
  Configure(rig, "PIRA32");
  rig.port.responder = testing::HoldingPira32Responder();
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

// What the encoder reads back decides: a text it does not hold (trailing blanks aside, first 64
// characters) is sent again, one send per 10 s at most, and after three misses in a row the
// notice says so until it holds the text.
TEST(MetadataWatcher, RadioTextNotHeldIsSentAgainEveryTenSeconds) {
  using Responder = testing::FakeEncoderPort::Responder;
  const Responder holds = testing::HoldingPira32Responder();
  const Responder padded = [](const std::string& c) {
    return testing::Pira32Answer(c, "A - T" + std::string(59, ' '));
  };
  const Responder micro_holds = [held = std::string()](const std::string& c) mutable {
    held = c.size() == 68 ? c.substr(2, 64) : held;
    return c[1] == '\xD0' ? "\xFE\x20" + held + "\xFF" : std::string();
  };
  const Responder micro_other = testing::FrameResponder({{0x20, std::string(64, 'X')}});
  const struct {
    const char* name;
    const char* encoder;
    std::string line;
    Responder responder;
    bool fail_writes, missed;
  } cases[] = {
      {"holds it", "PIRA32", "A - T", holds, false, false},
      {"pads it with blanks", "PIRA32", "A - T", padded, false, false},
      {"keeps 64 of a longer one", "PIRA32", std::string(70, 'T'), holds, false, false},
      {"LFs are not in its answer", "PIRA32", "A\nT", holds, false, false},
      {"holds another", "PIRA32", "A - T", testing::Pira32Responder({}), false, true},
      {"silent", "PIRA32", "A - T", nullptr, false, true},
      {"port failing", "PIRA32", "A - T", holds, true, true},
      {"PIRA micro holds it", "PIRAMICRO", "A - T", micro_holds, false, false},
      {"PIRA micro holds another", "PIRAMICRO", "A - T", micro_other, false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    Configure(rig, c.encoder);
    rig.port.responder = c.responder;
    rig.port.fail_writes = c.fail_writes;
    rig.files.files[kFile] = c.line;
    rig.controller.notices.Reset();
    std::vector<int> sent_at_s;
    for (int second = 0; second <= 32; ++second) {
      rig.time.now_us = std::max<int64_t>(rig.time.now_us, int64_t{second} * 1000000);
      rig.ClearLog();
      tmrTextCheck_Timer(rig.controller);
      if (!rig.Writes().empty()) {
        sent_at_s.push_back(second);
      }
    }
    const std::vector<int> sent_once = {0};
    const std::vector<int> sent_every_ten_seconds = {0, 11, 22};
    EXPECT_EQ(sent_at_s, c.missed ? sent_every_ten_seconds : sent_once);
    EXPECT_EQ(rig.view.Text(Label::lblNotice), c.missed ? kOtherRadioTextNotice : NoticeText());

    // Once it holds the text, the notice goes and the line is left alone.
    rig.port.fail_writes = false;
    rig.port.responder = c.encoder[4] == '3' ? testing::HoldingPira32Responder() : micro_holds;
    for (int tick = 0; tick < 3; ++tick) {
      rig.time.now_us += 11000000;
      rig.ClearLog();
      tmrTextCheck_Timer(rig.controller);
    }
    EXPECT_EQ(rig.view.Text(Label::lblNotice), NoticeText());
    EXPECT_TRUE(rig.Writes().empty());
  }
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

std::string Utf16(std::u16string_view text, bool big_endian) {
  std::string bytes;
  for (const char16_t unit : text) {
    const char high = static_cast<char>(unit >> 8);
    const char low = static_cast<char>(unit & 0xFF);
    bytes += big_endian ? std::string{high, low} : std::string{low, high};
  }
  return bytes;
}

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
      // A UTF-16 file says so by its mark, whatever the setting; the note is one character.
      {"UTF-16 little-endian", TextEncoding::Rds,
       Utf16(u"\uFEFFCaf\u00E9 M\u00FCller - Sigur R\u00F3s\r\nnext", false),
       tagged(kTitleRds, "RTP=04,00,10,01,14,08")},
      {"UTF-16 big-endian, a note beyond the basic plane", TextEncoding::Latin1,
       Utf16(u"\uFEFFCaf\u00E9 M\u00FCller - Sigur R\u00F3s\U0001F3B5", true),
       tagged(kTitleRds + "?", "RTP=04,00,10,01,14,09")},
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
