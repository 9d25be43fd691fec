#include "radiotext/metadata_watcher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "app/notice_board.h"
#include "radiotext/radiotext_check.h"
#include "support/fakes.h"

namespace morvane {
namespace {

using namespace std::string_literals;
using testing::Rig;
using Commands = std::vector<testing::SentCommand>;

const std::string kFile = "now.txt";
const std::string kDefault = "Radio Morvane";
const std::string kClear = "RTP=00,00,00,00,00,00\r";

// As start-up leaves a PIRA32 with RT+ on, no prefix and " - " between artist and title, beside
// an encoder that holds what it is given.
void Configure(Rig& rig, const std::string& encoder = "PIRA32") {
  rig.state.EncoderType = encoder;
  rig.state.MetadataFile = kFile;
  rig.state.TrafficMeta = "TRAFFIC";
  rig.state.TrafficRadioText = "Traffic news now";
  rig.state.DefaultRadioText = kDefault;
  rig.state.TAmaxtime = 120;
  rig.state.RTplus = 1;
  rig.state.RTPlusSplit = " - ";
  rig.port.responder = testing::HoldingPira32Responder({{"TP", "1"}});
}

// A PIRA32's RadioText: the old tags cleared, the text, its tags, the read-back.
Commands Sends(const std::string& text, const std::string& tags = "") {
  Commands sent = {{kClear, 500}, {"RT1=" + text + "\r", 500}};
  if (!tags.empty()) {
    sent.push_back({tags + "\r", 500});
  }
  sent.push_back({"RT1\r", 500});
  return sent;
}
Commands TrafficOnThen(const Commands& radiotext) {
  Commands sent = {{"TA=1\r", 200}, {"TP\r", 200}, {"TA\r", 200}, {"TATMOUT\r", 200}};
  sent.insert(sent.end(), radiotext.begin(), radiotext.end());
  return sent;
}

// A line is acted on once, on the check that first sees it; a file that cannot be read is an
// empty line, said on stderr with the system's reason.
TEST(MetadataWatcher, WhatGoesOnAirForEachFirstLine) {
  const std::string tags = "RTP=04,00,05,01,09,04";
  const struct {
    const char* name;
    std::optional<std::string> content;  // std::nullopt: no such file
    std::string last_rt;
    Commands sent;
    std::string last_rt_after;
    std::string told;
  } cases[] = {
      {"first line, tagged", "Artist - Title\r\nNext - Song\r\n", "", Sends("Artist - Title", tags),
       "Artist - Title", ""},
      {"the line on air", "Artist - Title\r\n", "Artist - Title", {}, "Artist - Title", ""},
      {"letter case alone is a change", "Artist - title", "Artist - Title",
       Sends("Artist - title", tags), "Artist - title", ""},
      {"traffic marker anywhere", "News TRAFFIC - A1", "", TrafficOnThen(Sends("Traffic news now")),
       "News TRAFFIC - A1", ""},
      // The default goes out untagged, whatever layout the line has.
      {"system marker", "Jingle - Intro !!*SYS*!!", "", Sends(kDefault), "Jingle - Intro !!*SYS*!!",
       ""},
      {"both markers", "TRAFFIC !!*SYS*!!", "", TrafficOnThen(Sends(kDefault)), "TRAFFIC !!*SYS*!!",
       ""},
      {"markers in another letter case", "Traffic !!*sys*!!", "", Sends("Traffic !!*sys*!!"),
       "Traffic !!*sys*!!", ""},
      {"system marker not whole", "Jingle !!*SYS*!", "", Sends("Jingle !!*SYS*!"),
       "Jingle !!*SYS*!", ""},
      {"LF endings only: the LFs stay", "Artist\nTitle\n", "", Sends("Artist\nTitle\n"),
       "Artist\nTitle\n", ""},
      {"NUL bytes dropped, other bytes kept", "Art\0ist - Tit\xE9\x01\r\n\0"s, "",
       Sends("Artist - Tit\xE9\x01", tags), "Artist - Tit\xE9\x01", ""},
      {"zeros of a file being rewritten", std::string(4096, '\0'), "Song", Sends(""), "", ""},
      // 64 KiB read, of which 256 bytes go out.
      {"runaway first line", std::string(100000, 'A') + "\rnext", "", Sends(std::string(256, 'A')),
       std::string(65536, 'A'), ""},
      {"empty file", "", "Song", Sends(""), "", ""},
      {"empty file at start", "", "", {}, "", ""},
      {"no such file", std::nullopt, "Song", Sends(""), "",
       "metadata file now.txt cannot be read: No such file or directory"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    Configure(rig);
    rig.clock.Set({2026, 3, 5, 7, 5, 9});
    if (c.content) {
      rig.files.files[kFile] = *c.content;
    }
    rig.state.LastRT = c.last_rt;

    tmrTextCheck_Timer(rig.controller);

    EXPECT_EQ(rig.Sent(), c.sent);
    EXPECT_EQ(rig.state.LastRT, c.last_rt_after);
    EXPECT_EQ(rig.view.Text(Label::lblLastTextCheck), "07:05:09");
    EXPECT_EQ(rig.events.Told(),
              c.told.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.told});
  }
}

TEST(MetadataWatcher, FileProblemIsSaidOnceAndAgainOnlyWhenTheReasonChanges) {
  Rig rig;
  Configure(rig);
  const std::string missing = "metadata file now.txt cannot be read: No such file or directory";
  const std::string denied = "metadata file now.txt cannot be read: Permission denied";
  tmrTextCheck_Timer(rig.controller);
  tmrTextCheck_Timer(rig.controller);
  rig.files.files[kFile] = "Song";
  rig.files.unreadable.insert(kFile);
  tmrTextCheck_Timer(rig.controller);
  tmrTextCheck_Timer(rig.controller);
  rig.files.unreadable.clear();
  tmrTextCheck_Timer(rig.controller);
  tmrTextCheck_Timer(rig.controller);
  const std::vector<std::string> told = {missing, denied,
                                         "metadata file now.txt can be read again"};
  EXPECT_EQ(rig.events.Told(), told);
  EXPECT_EQ(rig.view.History(Label::lblNotice),
            (std::vector<std::string>{missing, denied, NoticeText()}));
  EXPECT_EQ(rig.state.LastRT, "Song");
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
    rig.state.RTplus = 0;  // a second of waits for each send
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
    EXPECT_EQ(sent_at_s, c.missed ? (std::vector<int>{0, 11, 22}) : (std::vector<int>{0}));
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
    const std::vector<std::string> told = {kOtherRadioTextNotice,
                                           "encoder holds the RadioText sent"};
    EXPECT_EQ(rig.events.Told(), c.missed ? told : std::vector<std::string>{});

    // Held once, the misses count from nought again: two are no fault yet.
    rig.port.responder = c.responder;
    rig.port.fail_writes = c.fail_writes;
    rig.files.files[kFile] = c.line + " again";
    for (int tick = 0; tick < 2; ++tick) {
      rig.time.now_us += 11000000;
      tmrTextCheck_Timer(rig.controller);
    }
    EXPECT_EQ(rig.view.Text(Label::lblNotice), NoticeText());
  }
}

// A text the encoder holds ends a re-send still pending for the one before.
TEST(MetadataWatcher, HeldTextCancelsThePendingResend) {
  Rig rig;
  Configure(rig);
  rig.port.responder = testing::Pira32Responder({});  // holds some other text
  rig.files.files[kFile] = "A - T";
  tmrTextCheck_Timer(rig.controller);
  rig.port.responder = testing::HoldingPira32Responder();
  rig.files.files[kFile] = "B - T";
  tmrTextCheck_Timer(rig.controller);
  rig.ClearLog();
  for (int tick = 0; tick < 30; ++tick) {
    rig.time.now_us += 1000000;
    tmrTextCheck_Timer(rig.controller);
  }
  EXPECT_TRUE(rig.Writes().empty());
}

// "Café Müller - Sigur Rós" as the playout software writes it in UTF-8 and in UTF-16, and as a
// radio must receive it: é 0x82, ü 0x99, ó 0x86, one byte each.
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

TEST(MetadataWatcher, LineIsConvertedBeforeRtPlusCountsItsCharacters) {
  const std::string tags = "RTP=04,00,10,01,14,08";
  std::string seventy_e;  // é: two bytes in the file, one character on air
  for (int i = 0; i < 70; ++i) {
    seventy_e += "\xC3\xA9";
  }
  const struct {
    const char* what;
    const char* encoder;
    TextEncoding encoding;
    std::string content;
    Commands sent;
  } cases[] = {
      // Artist "Café Müller" is 11 characters from 0, title "Sigur Rós" 9 from 14.
      {"UTF-8", "PIRA32", TextEncoding::Utf8, kTitleUtf8 + "\r\n", Sends(kTitleRds, tags)},
      // A UTF-16 file says so by its mark, whatever the setting; the note is one character.
      {"UTF-16 little-endian", "PIRA32", TextEncoding::Rds,
       Utf16(u"\uFEFFCaf\u00E9 M\u00FCller - Sigur R\u00F3s\r\nnext", false),
       Sends(kTitleRds, tags)},
      {"UTF-16 big-endian, a note beyond the basic plane", "PIRA32", TextEncoding::Latin1,
       Utf16(u"\uFEFFCaf\u00E9 M\u00FCller - Sigur R\u00F3s\U0001F3B5", true),
       Sends(kTitleRds + "?", "RTP=04,00,10,01,14,09")},
      // A frame holds 64 characters, not 64 bytes of the file.
      {"UTF-8 to a PIRA micro",
       "PIRAMICRO",
       TextEncoding::Utf8,
       seventy_e,
       {{"\xFE\x20" + std::string(64, '\x82') + "\x40\xFF", 50},
        {std::string("\xFE\xD0\x20\x40\xFF", 5), 200}}},
  };
  for (const auto& c : cases) {
    Rig rig;
    Configure(rig, c.encoder);
    rig.controller.text_encoding = c.encoding;
    rig.files.files[kFile] = c.content;
    tmrTextCheck_Timer(rig.controller);
    EXPECT_EQ(rig.Sent(), c.sent) << c.what;
  }
}

}  // namespace
}  // namespace morvane
