// The in-house 6A groups: the message line, its groups, and the rotation that sends them.
#include <gtest/gtest.h>

#include <vector>

#include "inhouse/inhouse_rotator.h"
#include "support/fakes.h"

namespace morvane {
namespace {

using testing::SentCommand;

constexpr char kVersionGroups[] = "UDG1=600000000000,600100000123\r";
// "0123456789ABCDEF" as message 1A2, the first after start-up: two ticks a pass.
constexpr char kMessage[] = "M: 1A2 0123456789ABCDEF";
constexpr char kFirstHalf[] = "UDG1=600011A23031,600111A23233,600211A23435,600311A23637,\r";
constexpr char kSecondHalf[] = "UDG1=600411A23839,600511A24142,600611A24344,600711A24546,\r";

std::string Udg(const std::string& groups) {
  return "UDG1=" + groups + "\r";
}

struct InHouseRig : testing::Rig {
  explicit InHouseRig(const char* type = "PIRA32") {
    state.EncoderType = type;
    state.HexVersion = "0123";
  }
  void File(const std::string& content) { files.files["inhouse.txt"] = content; }
  // One tick; what it sent, each command followed by a wait of 50 ms.
  std::string Tick() {
    ClearLog();
    tmrInHouse_Timer(controller);
    std::string bytes;
    for (const SentCommand& command : Sent()) {
      EXPECT_EQ(command.wait_ms, 50);
      bytes += command.bytes;
    }
    return bytes;
  }
};

TEST(InHouseRotator, EightCharactersATickThenThePassRestarts) {
  const std::string x56 = std::string(56, 'x'), last = "601C11A24142,601D11A24344,601E11A24546,";
  const std::string x8 = Udg("600011A27878,600111A27878,600211A27878,600311A27878,");
  const std::string nine = Udg("600011A24142,600111A24344,600211A24546,600311A24748,");
  const struct {
    std::string text;
    int skipped;  // ticks before those below
    std::vector<std::string> ticks;
    int passes;  // completed by all these ticks
  } cases[] = {
      {"0123456789ABCDEF", 0, {kFirstHalf, kSecondHalf, kFirstHalf, kSecondHalf}, 2},
      // Nine characters: the ninth goes out alone in a second tick.
      {"ABCDEFGHI", 1, {Udg("600411A2497C,600511A27C7C,600611A27C7C,600711A27C7C,"), nine}, 1},
      // The last of eight ticks; a text longer than 64 is cut for good.
      {x56 + "ABCDEFGHIJKLMN", 7, {Udg(last + "601F11A24748,"), x8}, 1},
  };
  for (const auto& c : cases) {
    InHouseRig rig;
    rig.File("M: 1A2 " + c.text + "\r\nsecond line");
    for (int i = 0; i < c.skipped; ++i) {
      (void)rig.Tick();
    }
    for (const std::string& tick : c.ticks) {
      EXPECT_EQ(rig.Tick(), tick) << c.text;
    }
    EXPECT_EQ(rig.state.UDGsequence, 1) << c.text;
    EXPECT_EQ(rig.state.UDGsentTimes, c.passes) << c.text;
  }
}

TEST(InHouseRotator, AChangedFirstLineStartsTheNextMessageInTheSameTick) {
  InHouseRig rig;
  const std::string long_line = "M: 1A4 " + std::string(5000, 'x');
  const struct {
    std::string content;
    std::string sent;
  } steps[] = {
      {kMessage, kFirstHalf},
      // Written again with a second line: the first line is the same message.
      {"M: 1A2 0123456789ABCDEF\r\nanother line", kSecondHalf},
      {"M: 1A3 abcdefgh", Udg("600021A36162,600121A36364,600221A36566,600321A36768,")},
      // Mended: a line too short for any text does not keep the previous text.
      {"M: 1A3", Udg("600031A37C7C,600131A37C7C,600231A37C7C,600331A37C7C,")},
      // The whole line decides, not only the part that goes on air.
      {long_line + "a", Udg("600041A47878,600141A47878,600241A47878,600341A47878,")},
      {long_line + "b", Udg("600051A47878,600151A47878,600251A47878,600351A47878,")},
      // Past 1 MiB nothing more is read.
      {long_line + std::string(1 << 20, 'y'),
       Udg("600061A47878,600161A47878,600261A47878,600361A47878,")},
      {long_line + std::string(1 << 20, 'y') + "z",
       Udg("600461A47878,600561A47878,600661A47878,600761A47878,")},
      // Any separator; found by fuzzing: lower-case digits went out as they were.
      {"M:-fff-ab", Udg("60007FFF6162,60017FFF7C7C,60027FFF7C7C,60037FFF7C7C,")},
  };
  for (const auto& step : steps) {
    rig.File(step.content);
    EXPECT_EQ(rig.Tick(), step.sent) << step.content.substr(0, 40);
  }
  EXPECT_EQ(rig.events.events.at(0).text, "in-house message 1A2 0123456789ABCDEF");
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

// No message, no file or an unreadable one: the version groups; the message that comes back
// unchanged resumes where it stopped.
TEST(InHouseRotator, NoMessageSendsVersionGroupsAndKeepsTheRotation) {
  const char* const cases[] = {
      "m: 1A2 lower case", "M: 1G2 Hello", "M: 12G Hello", "M: 1A", nullptr, kMessage};
  for (const char* content : cases) {
    InHouseRig rig;
    rig.File(kMessage);
    ASSERT_EQ(rig.Tick(), kFirstHalf);
    content != nullptr ? rig.File(content) : (void)rig.files.files.erase("inhouse.txt");
    if (content == kMessage) {  // unreadable
      rig.files.unreadable.insert("inhouse.txt");
    }
    const char* what = content != nullptr ? content : "no file";
    EXPECT_EQ(rig.Tick(), kVersionGroups) << what;
    rig.files.unreadable.clear();
    rig.File(kMessage);
    EXPECT_EQ(rig.Tick(), kSecondHalf) << what;
    EXPECT_EQ(rig.state.UDGsentTimes, 1) << what;
  }
}

// The mark before "M:" is gone before the line is tested for it, when the file is UTF-8.
TEST(InHouseRotator, LineIsConvertedBeforeItIsReadAsAMessage) {
  // "Müller" with ü as the RDS code 0x99, then two fill characters.
  const std::pair<TextEncoding, std::string> cases[] = {
      {TextEncoding::Utf8, Udg("600011A24D99,600111A26C6C,600211A26572,600311A27C7C,")},
      {TextEncoding::Rds, kVersionGroups}};
  for (const auto& [encoding, sent] : cases) {
    InHouseRig rig;
    rig.controller.text_encoding = encoding;
    rig.File("\xEF\xBB\xBFM: 1A2 M\xC3\xBCller\r\n");
    EXPECT_EQ(rig.Tick(), sent);
    // Compared in its converted form, the same line is the same message on the next tick.
    EXPECT_EQ(rig.Tick(), sent);
    EXPECT_LE(rig.state.UDGsequence, 1);
  }
}

// The start-up tests pin what SendInHouse sends to either model.
TEST(InHouseRotator, OnlyAPira32IsSentTo) {
  for (const char* type : {"PIRAMICRO", "pira32"}) {
    InHouseRig rig(type);
    rig.File(kMessage);
    EXPECT_EQ(rig.Tick(), "") << type;
    EXPECT_TRUE(rig.events.events.empty()) << type;
  }
}

}  // namespace
}  // namespace morvane
