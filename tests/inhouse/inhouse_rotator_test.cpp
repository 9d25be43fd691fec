#include "inhouse/inhouse_rotator.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "inhouse/inhouse_groups.h"
#include "support/fakes.h"

namespace morvane {
namespace {

using testing::Rig;
using testing::SentCommand;

constexpr char kVersionGroups[] = "UDG1=600000000000,600100000123\r";

// The command for one tick; the groups' own layout is pinned byte for byte beside the builder.
std::string Groups(int first_segment, int sequence, const char* identifier,
                   const std::string& eight) {
  return "UDG1=" + BuildMessageGroups(first_segment, sequence, identifier, eight) + "\r";
}

struct InHouseRig : Rig {
  explicit InHouseRig(const char* type = "PIRA32") {
    state.EncoderType = type;
    state.HexVersion = "0123";
    port.responder = testing::Pira32Responder({});
  }
  void File(const std::string& content) { files.files["inhouse.txt"] = content; }
  // One tick; the command it sent, or "" for none.
  std::string Tick() {
    ClearLog();
    tmrInHouse_Timer(controller);
    const std::vector<SentCommand> sent = Sent();
    EXPECT_LE(sent.size(), 1u);
    if (sent.empty()) {
      return "";
    }
    EXPECT_EQ(sent[0].wait_ms, 50);
    return sent[0].bytes;
  }
};

TEST(InHouseRotator, EightCharactersATickThenThePassRestarts) {
  std::string seventy;
  for (int i = 0; i < 70; ++i) {
    seventy += static_cast<char>('0' + i % 43);
  }
  std::vector<std::pair<int, std::string>> cut_to_64;
  std::vector<std::pair<int, std::string>> sixty;
  for (int tick = 0; tick < 8; ++tick) {
    cut_to_64.emplace_back(4 * tick, seventy.substr(8 * tick, 8));
    sixty.emplace_back(4 * tick, tick < 7 ? "xxxxxxxx" : "xxxx||||");
  }
  cut_to_64.emplace_back(0, seventy.substr(0, 8));
  sixty.emplace_back(0, "xxxxxxxx");
  const struct {
    const char* what;
    std::string text;
    std::vector<std::pair<int, std::string>> ticks;  // first segment, eight characters
    int passes;                                      // completed by these ticks
  } cases[] = {
      {"5 characters: fill, every tick anew", "Hello", {{0, "Hello|||"}, {0, "Hello|||"}}, 2},
      {"16 characters: two ticks",
       "ABCDEFGHIJKLMNOP",
       {{0, "ABCDEFGH"}, {4, "IJKLMNOP"}, {0, "ABCDEFGH"}},
       1},
      {"empty text: fill only", "", {{0, "||||||||"}, {0, "||||||||"}}, 2},
      {"60 characters: four fill characters at the end", std::string(60, 'x'), sixty, 1},
      {"70 characters: cut to 64 for the whole pass", seventy, cut_to_64, 1},
  };
  for (const auto& c : cases) {
    InHouseRig rig;
    rig.File("M: 0F0 " + c.text + "\r\nsecond line");
    for (const auto& [segment, eight] : c.ticks) {
      EXPECT_EQ(rig.Tick(), Groups(segment, 1, "0F0", eight)) << c.what;
    }
    EXPECT_EQ(rig.state.UDGsequence, 1) << c.what;
    EXPECT_EQ(rig.state.UDGsentTimes, c.passes) << c.what;
  }
}

TEST(InHouseRotator, ChangedLineStartsTheNextMessageInTheSameTick) {
  InHouseRig rig;
  const struct {
    std::string content;
    std::string sent;
  } steps[] = {
      {"M: 0F0 ABCDEFGHIJKLMNOP", Groups(0, 1, "0F0", "ABCDEFGH")},
      // Written again with a second line: the first line is the same message.
      {"M: 0F0 ABCDEFGHIJKLMNOP\r\nanother line", Groups(4, 1, "0F0", "IJKLMNOP")},
      {"M: 0F1 abcdefghijklmnop", Groups(0, 2, "0F1", "abcdefgh")},
      // Mended: a line too short for any text does not keep the previous text.
      {"M: 0F2", Groups(0, 3, "0F2", "||||||||")},
      {"M: 0F2", Groups(0, 3, "0F2", "||||||||")},
  };
  for (const auto& step : steps) {
    rig.File(step.content);
    EXPECT_EQ(rig.Tick(), step.sent) << step.content;
  }
}

TEST(InHouseRotator, SequenceRunsToFifteenThenWrapsToZero) {
  InHouseRig rig;
  std::string digits;
  for (int message = 0; message < 17; ++message) {
    rig.File("M: 1A2 message " + std::to_string(message));
    digits += rig.Tick().at(9);
  }
  EXPECT_EQ(digits, "123456789ABCDEF01");
}

TEST(InHouseRotator, NoMessageSendsVersionGroupsAndKeepsTheRotation) {
  for (const char* content : {"m: 1A2 lower case is no message", "M: 1A"}) {
    InHouseRig rig;
    rig.File("M: 0F0 ABCDEFGHIJKLMNOPQRSTUVWX");
    ASSERT_EQ(rig.Tick(), Groups(0, 1, "0F0", "ABCDEFGH"));
    rig.File(content);
    const ControllerState before = rig.state;

    EXPECT_EQ(rig.Tick(), kVersionGroups) << content;
    EXPECT_EQ(rig.Tick(), kVersionGroups) << content;

    EXPECT_EQ(rig.state.UDGsentTimes, before.UDGsentTimes) << content;
    // The message comes back unchanged and resumes where it stopped.
    rig.File("M: 0F0 ABCDEFGHIJKLMNOPQRSTUVWX");
    EXPECT_EQ(rig.Tick(), Groups(4, 1, "0F0", "IJKLMNOP")) << content;
  }
}

TEST(InHouseRotator, LineIsConvertedBeforeItIsReadAsAMessage) {
  const std::string utf8 = "M: 1A2 M\xC3\xBCller\r\n";
  // "Müller" with ü as the RDS code 0x99, then two fill characters.
  const std::string muller_rds = "UDG1=600011A24D99,600111A26C6C,600211A26572,600311A27C7C,\r";
  const struct {
    const char* what;
    TextEncoding encoding;
    std::string content;
    std::string sent;
  } cases[] = {
      {"UTF-8", TextEncoding::Utf8, utf8, muller_rds},
      // The mark before "M:" is gone before the line is tested for it.
      {"UTF-8 with a byte order mark", TextEncoding::Utf8, "\xEF\xBB\xBF" + utf8, muller_rds},
      {"Latin-1", TextEncoding::Latin1, "M: 1A2 M\xFCller", muller_rds},
      {"RDS: both bytes of the ü go out", TextEncoding::Rds, utf8,
       "UDG1=600011A24DC3,600111A2BC6C,600211A26C65,600311A2727C,\r"},
      {"RDS: a byte order mark hides the message", TextEncoding::Rds, "\xEF\xBB\xBF" + utf8,
       kVersionGroups},
  };
  for (const auto& c : cases) {
    InHouseRig rig;
    rig.controller.text_encoding = c.encoding;
    rig.File(c.content);
    EXPECT_EQ(rig.Tick(), c.sent) << c.what;
    // Compared in its converted form, the same line is the same message on the next tick.
    EXPECT_EQ(rig.Tick(), c.sent) << c.what;
    EXPECT_LE(rig.state.UDGsequence, 1) << c.what;
  }
}

TEST(InHouseRotator, OnlyAPira32IsSentTo) {
  for (const char* type : {"PIRAMICRO", "pira32"}) {
    InHouseRig rig(type);
    EXPECT_EQ(rig.Tick(), "") << type;
    rig.File("M: 0F0 ABCDEFGHIJKLMNOP");
    EXPECT_EQ(rig.Tick(), "") << type;
    EXPECT_TRUE(rig.log.empty()) << type;
  }
}

TEST(SendInHouse, EmptyGroupListOnlyToAPira32) {
  InHouseRig pira32;
  SendInHouse(pira32.controller);
  EXPECT_THAT(pira32.Sent(), ::testing::ElementsAre(SentCommand{"UDG1=\r", 50}));

  InHouseRig micro("PIRAMICRO");
  SendInHouse(micro.controller);
  EXPECT_TRUE(micro.log.empty());
}

}  // namespace
}  // namespace morvane
