#include "radiotext/metadata_watcher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <tuple>
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

// A PIRA32 as start-up leaves it (RT+ on, no prefix, " - " as split) that holds what it is given.
void Configure(Rig& rig, const std::string& encoder = "PIRA32") {
  rig.state.EncoderType = encoder;
  rig.state.MetadataFile = kFile;
  rig.state.TrafficMeta = "TRAFFIC";
  rig.state.TrafficRadioText = "Traffic news now";
  rig.state.DefaultRadioText = "Radio Morvane";
  rig.state.TAmaxtime = 120;
  rig.state.RTplus = 1;
  rig.state.RTPlusSplit = " - ";
  rig.port.responder = testing::HoldingPira32Responder({{"TP", "1"}});
}

// A PIRA32's RadioText: old tags cleared, text, tags, read-back; after the TA flag if traffic.
Commands Sends(const std::string& text, const std::string& tags = "", bool traffic = false) {
  Commands sent = {{"RTP=00,00,00,00,00,00\r", 500}, {"RT1=" + text + "\r", 500}};
  if (traffic) {
    sent.insert(sent.begin(), {{"TA=1\r", 200}, {"TP\r", 200}, {"TA\r", 200}, {"TATMOUT\r", 200}});
  }
  if (!tags.empty()) {
    sent.push_back({tags + "\r", 500});
  }
  sent.push_back({"RT1\r", 500});
  return sent;
}

// A line is acted on once, on the check that first sees it; a file that cannot be read is an
// empty line. The default goes out untagged, whatever layout the line has.
TEST(MetadataWatcher, WhatGoesOnAirForEachFirstLine) {
  const std::string tags = "RTP=04,00,05,01,09,04", d = "Radio Morvane", a = "Artist - Title";
  // The file (none: no such file), LastRT before, what is sent, LastRT after.
  const std::tuple<std::optional<std::string>, std::string, Commands, std::string> cases[] = {
      {a + "\r\nNext - Song\r\n", "", Sends(a, tags), a},
      {a + "\r\n", a, {}, a},
      {"Artist - title", a, Sends("Artist - title", tags), "Artist - title"},  // case alone
      {"News TRAFFIC - A1", "", Sends("Traffic news now", "", true), "News TRAFFIC - A1"},
      {"TRAFFIC !!*SYS*!!", "", Sends(d, "", true), "TRAFFIC !!*SYS*!!"},
      {"Traffic !!*sys*!!", "", Sends("Traffic !!*sys*!!"), "Traffic !!*sys*!!"},
      {"Artist\nTitle\n", "", Sends("Artist\nTitle\n"), "Artist\nTitle\n"},  // LF endings stay
      {"Art\0ist - Tit\xE9\x01\r\n\0"s, "", Sends("Artist - Tit\xE9\x01", tags),
       "Artist - Tit\xE9\x01"},  // NULs dropped
      {std::string(100000, 'A') + "\rnext", "", Sends(std::string(256, 'A')),
       std::string(65536, 'A')},  // 64 KiB read, of which 256 bytes go out
      // A UTF-16 file says so by its mark, whatever the setting; é is 0x82 on a radio.
      {"\xFF\xFE\xE9\0 \0-\0 \0B\0\r\0\n\0x\0"s, "", Sends("\x82 - B", "RTP=04,00,00,01,04,00"),
       "\x82 - B"},
      {"", "Song", Sends(""), ""},
      {std::nullopt, "Song", Sends(""), ""},
  };
  for (const auto& [content, last_rt, sent, last_rt_after] : cases) {
    SCOPED_TRACE(content.value_or("(none)").substr(0, 30));
    Rig rig;
    Configure(rig);
    rig.clock.Set({2026, 3, 5, 7, 5, 9});
    if (content) {
      rig.files.files[kFile] = *content;
    }
    rig.state.LastRT = last_rt;

    tmrTextCheck_Timer(rig.controller);

    EXPECT_EQ(rig.Sent(), sent);
    EXPECT_EQ(rig.state.LastRT, last_rt_after);
    EXPECT_EQ(rig.view.Text(Label::lblLastTextCheck), "07:05:09");
  }
}

// Said once with the system's reason, again when the reason changes, once when readable again.
TEST(MetadataWatcher, FileProblemIsSaidOnceAndAgainOnlyWhenTheReasonChanges) {
  Rig rig;
  Configure(rig);
  const std::string missing = "metadata file now.txt cannot be read: No such file or directory";
  const std::string denied = "metadata file now.txt cannot be read: Permission denied";
  for (int step = 0; step < 6; ++step) {
    rig.files.files[kFile] = "Song";
    if (step < 2) {
      rig.files.files.clear();
    }
    rig.files.unreadable = {step < 4 ? kFile : ""};
    tmrTextCheck_Timer(rig.controller);
  }
  EXPECT_EQ(rig.events.Told(),
            (std::vector<std::string>{missing, denied, "metadata file now.txt can be read again"}));
  EXPECT_EQ(rig.view.History(Label::lblNotice),
            (std::vector<std::string>{missing, denied, NoticeText()}));
}

// A text the encoder does not hold (trailing blanks aside, first 64 characters, no LFs) is sent
// again, once per 10 s at most; after three misses in a row the notice says so until it holds it.
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
  const std::tuple<const char*, std::string, Responder, bool> cases[] = {
      {"PIRA32", "A - T", padded, false},
      {"PIRA32", std::string(70, 'T'), holds, false},
      {"PIRA32", "A\nT", holds, false},
      {"PIRA32", "A - T", testing::Pira32Responder({}), true},
      {"PIRA32", "A - T", nullptr, true},
      {"PIRAMICRO", "A - T", micro_holds, false},
      {"PIRAMICRO", "A - T", micro_other, true},
  };
  for (const auto& [encoder, line, responder, missed] : cases) {
    SCOPED_TRACE(encoder + (" " + line));
    Rig rig;
    Configure(rig, encoder);
    rig.state.RTplus = 0;  // a second of waits for each send
    rig.port.responder = responder;
    rig.files.files[kFile] = line;
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
    EXPECT_EQ(sent_at_s, missed ? (std::vector<int>{0, 11, 22}) : (std::vector<int>{0}));
    EXPECT_EQ(rig.view.Text(Label::lblNotice), missed ? kOtherRadioTextNotice : NoticeText());

    // Once it holds the text, the notice goes and the line is left alone; the misses count from
    // nought again: two more are no fault yet, the third is.
    rig.port.responder = encoder[4] == '3' ? holds : micro_holds;
    for (int tick = 0; tick < 6; ++tick) {
      if (tick == 3) {
        EXPECT_EQ(rig.view.Text(Label::lblNotice), NoticeText());
        EXPECT_TRUE(rig.Writes().empty());
        rig.port.responder = encoder[4] == '3' ? testing::Pira32Responder({}) : micro_other;
        rig.files.files[kFile] = line + " again";
      }
      if (tick == 5) {
        EXPECT_EQ(rig.view.Text(Label::lblNotice), NoticeText());
      }
      rig.time.now_us += 11000000;
      rig.ClearLog();
      tmrTextCheck_Timer(rig.controller);
    }
    EXPECT_EQ(rig.view.Text(Label::lblNotice), kOtherRadioTextNotice);
    const std::vector<std::string> told = {
        kOtherRadioTextNotice, "encoder holds the RadioText sent", kOtherRadioTextNotice};
    EXPECT_EQ(rig.events.Told(), missed ? told : std::vector<std::string>{told[0]});
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

// Converted before RT+ counts its characters: é ü ó reach a radio as 0x82 0x99 0x86, one byte each.
TEST(MetadataWatcher, LineIsConvertedBeforeRtPlusCountsItsCharacters) {
  Rig rig;
  Configure(rig);
  rig.controller.text_encoding = TextEncoding::Utf8;
  rig.files.files[kFile] = "Caf\xC3\xA9 M\xC3\xBCller - Sigur R\xC3\xB3s\r\n";
  tmrTextCheck_Timer(rig.controller);
  EXPECT_EQ(rig.Sent(), Sends("Caf\x82 M\x99ller - Sigur R\x86s", "RTP=04,00,10,01,14,08"));
}

}  // namespace
}  // namespace morvane
