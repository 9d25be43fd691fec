#include "inhouse/inhouse_rotator.h"

#include <cstdio>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/fakes.h"

namespace morvane {
namespace {

using testing::Rig;
using testing::SentCommand;

constexpr char kVersionGroups[] = "UDG1=600000000000,600100000110\r";

// The command a tick should send, formatted here independently of the rotator.
std::string Groups(int first_segment, int sequence, const char* identifier,
                   const std::string& eight) {
  std::string command = "UDG1=";
  for (int g = 0; g < 4; ++g) {
    char group[16];
    std::snprintf(group, sizeof group, "60%02X%X%s%02X%02X,", first_segment + g, sequence,
                  identifier, static_cast<unsigned char>(eight.at(2 * g)),
                  static_cast<unsigned char>(eight.at(2 * g + 1)));
    command += group;
  }
  return command + "\r";
}

struct InHouseRig : Rig {
  explicit InHouseRig(const char* type = "PIRA32") {
    state.EncoderType = type;
    state.HexVersion = "0110";
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

TEST(InHouseRotator, FiveCharactersGoOutWithFillAndRestartEveryTick) {
  InHouseRig rig;
  rig.File("M: 1A2 Hello\r\nsecond line\r\n");

  EXPECT_EQ(rig.Tick(), "UDG1=600011A24865,600111A26C6C,600211A26F7C,600311A27C7C,\r");
  EXPECT_EQ(rig.Tick(), "UDG1=600011A24865,600111A26C6C,600211A26F7C,600311A27C7C,\r");
  EXPECT_EQ(rig.files.reads, (std::vector<std::string>{"inhouse.txt", "inhouse.txt"}));
  EXPECT_EQ(rig.state.UDGsequence, 1);
  EXPECT_EQ(rig.state.UDGsentTimes, 2);
}

TEST(InHouseRotator, SixteenCharactersTakeTwoTicksAndNoFill) {
  InHouseRig rig;
  rig.File("M: 0F0 ABCDEFGHIJKLMNOP");

  EXPECT_EQ(rig.Tick(), Groups(0, 1, "0F0", "ABCDEFGH"));
  EXPECT_EQ(rig.Tick(), Groups(4, 1, "0F0", "IJKLMNOP"));
  EXPECT_EQ(rig.Tick(), Groups(0, 1, "0F0", "ABCDEFGH"));
}

TEST(InHouseRotator, EmptyTextSendsFillEveryTick) {
  InHouseRig rig;
  rig.File("M: 123 ");

  EXPECT_EQ(rig.Tick(), Groups(0, 1, "123", "||||||||"));
  EXPECT_EQ(rig.Tick(), Groups(0, 1, "123", "||||||||"));
}

TEST(InHouseRotator, TextLongerThan64IsCutForTheWholePass) {
  std::string text;
  for (int i = 0; i < 70; ++i) {
    text += static_cast<char>('0' + i % 43);
  }
  InHouseRig rig;
  rig.File("M: ABC " + text);

  for (int tick = 0; tick < 8; ++tick) {
    SCOPED_TRACE(tick);
    EXPECT_EQ(rig.Tick(), Groups(4 * tick, 1, "ABC", text.substr(8 * tick, 8)));
  }
  // Eight ticks carry all 64 characters; the ninth starts the next pass.
  EXPECT_EQ(rig.Tick(), Groups(0, 1, "ABC", text.substr(0, 8)));
  EXPECT_EQ(rig.state.UDGsentTimes, 1);
}

TEST(InHouseRotator, SixtyCharactersEndWithFourFillCharacters) {
  const std::string text(60, 'x');
  InHouseRig rig;
  rig.File("M: ABC " + text);

  for (int tick = 0; tick < 7; ++tick) {
    EXPECT_EQ(rig.Tick(), Groups(4 * tick, 1, "ABC", "xxxxxxxx"));
  }
  EXPECT_EQ(rig.Tick(), Groups(28, 1, "ABC", "xxxx||||"));
  EXPECT_EQ(rig.Tick(), Groups(0, 1, "ABC", "xxxxxxxx"));
}

TEST(InHouseRotator, EveryCharacterCodeHasTwoDigits) {
  InHouseRig rig;
  rig.File(std::string("M: 1A2 a\tb\xE9\x01", 12));

  EXPECT_EQ(rig.Tick(), "UDG1=600011A26109,600111A262E9,600211A2017C,600311A27C7C,\r");
}

TEST(InHouseRotator, ChangedLineStartsTheNewMessageInTheSameTick) {
  InHouseRig rig;
  rig.File("M: 0F0 ABCDEFGHIJKLMNOP");
  EXPECT_EQ(rig.Tick(), Groups(0, 1, "0F0", "ABCDEFGH"));

  rig.File("M: 0F1 abcdefghijklmnop");
  EXPECT_EQ(rig.Tick(), Groups(0, 2, "0F1", "abcdefgh"));
  EXPECT_EQ(rig.Tick(), Groups(4, 2, "0F1", "ijklmnop"));
}

TEST(InHouseRotator, UnchangedLineDoesNotRestart) {
  InHouseRig rig;
  rig.File("M: 0F0 ABCDEFGHIJKLMNOP");
  EXPECT_EQ(rig.Tick(), Groups(0, 1, "0F0", "ABCDEFGH"));

  // Written again, now with a second line: the first line is the same message.
  rig.File("M: 0F0 ABCDEFGHIJKLMNOP\r\nanother line");
  EXPECT_EQ(rig.Tick(), Groups(4, 1, "0F0", "IJKLMNOP"));
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
  const char* const no_message[] = {
      nullptr,  // no file at all
      "",      "m: 1A2 lower case is no message",
      "Hello", "M: XYZ identifier is no hexadecimal number",
      "M: 1A",
  };
  for (const char* content : no_message) {
    SCOPED_TRACE(content ? content : "missing file");
    InHouseRig rig;
    rig.File("M: 0F0 ABCDEFGHIJKLMNOPQRSTUVWX");
    ASSERT_EQ(rig.Tick(), Groups(0, 1, "0F0", "ABCDEFGH"));
    if (content) {
      rig.File(content);
    } else {
      rig.files.files.clear();
    }
    const ControllerState before = rig.state;

    EXPECT_EQ(rig.Tick(), kVersionGroups);
    EXPECT_EQ(rig.Tick(), kVersionGroups);

    EXPECT_EQ(rig.state.UDGcurrentMessage, before.UDGcurrentMessage);
    EXPECT_EQ(rig.state.UDGcurrentText, before.UDGcurrentText);
    EXPECT_EQ(rig.state.UDGcurrentPosition, before.UDGcurrentPosition);
    EXPECT_EQ(rig.state.UDGplaceCounter, before.UDGplaceCounter);
    EXPECT_EQ(rig.state.UDGsequence, before.UDGsequence);
    EXPECT_EQ(rig.state.UDGsentTimes, before.UDGsentTimes);

    // The message comes back unchanged and resumes where it stopped.
    rig.File("M: 0F0 ABCDEFGHIJKLMNOPQRSTUVWX");
    EXPECT_EQ(rig.Tick(), Groups(4, 1, "0F0", "IJKLMNOP"));
  }
}

TEST(InHouseRotator, VersionGroupsCarryHexVersion) {
  InHouseRig rig;
  rig.state.HexVersion = "0123";
  EXPECT_EQ(rig.Tick(), "UDG1=600000000000,600100000123\r");
}

TEST(InHouseRotator, ShortMessageLineDoesNotKeepThePreviousText) {
  InHouseRig rig;
  rig.File("M: 0F0 ABCDEFGHIJKLMNOP");
  ASSERT_EQ(rig.Tick(), Groups(0, 1, "0F0", "ABCDEFGH"));

  rig.File("M: 0F1");
  EXPECT_EQ(rig.Tick(), Groups(0, 2, "0F1", "||||||||"));
  EXPECT_EQ(rig.state.UDGcurrentText, "");
  EXPECT_EQ(rig.Tick(), Groups(0, 2, "0F1", "||||||||"));
}

TEST(InHouseRotator, OnlyAPira32IsSentTo) {
  for (const char* type : {"PIRAMICRO", "pira32"}) {
    SCOPED_TRACE(type);
    InHouseRig rig(type);
    EXPECT_EQ(rig.Tick(), "");
    rig.File("M: 0F0 ABCDEFGHIJKLMNOP");
    EXPECT_EQ(rig.Tick(), "");
    EXPECT_EQ(rig.Tick(), "");
    EXPECT_TRUE(rig.log.empty());
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
