#include "sim/command_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace morvane::sim {
namespace {

using Kind = Command::Kind;

std::string RadioTextFrame(std::string text) {
  text.resize(64, ' ');
  return std::string("\xFE\x20", 2) + text + "\x40\xFF";
}

// Feeds the bytes in pieces of the given size and collects every command.
std::vector<Command> FeedInPieces(CommandParser& parser, const std::string& bytes,
                                  std::size_t piece) {
  std::vector<Command> all;
  for (std::size_t at = 0; at < bytes.size(); at += piece) {
    for (Command& command : parser.Feed(bytes.substr(at, piece))) {
      all.push_back(std::move(command));
    }
  }
  return all;
}

TEST(CommandParser, AsciiLinesWhateverTheReadsAreCut) {
  const std::string wire = "TA=0\rGRPSEQ=022221AEXYR\rRT1=Artist - Title\r\nPS\r";
  const std::vector<std::string> expected{"TA=0", "GRPSEQ=022221AEXYR", "RT1=Artist - Title", "PS"};
  for (std::size_t piece : {1u, 2u, 3u, 7u, 1000u}) {
    CommandParser parser(Dialect::Ascii);
    const std::vector<Command> commands = FeedInPieces(parser, wire, piece);
    ASSERT_EQ(commands.size(), expected.size()) << "piece " << piece;
    for (std::size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ(commands[i].kind, Kind::Line);
      EXPECT_EQ(commands[i].text, expected[i]) << "piece " << piece;
    }
    EXPECT_EQ(parser.Pending(), 0u);
  }
}

TEST(CommandParser, AsciiLineWaitsForItsCR) {
  CommandParser parser(Dialect::Ascii);
  EXPECT_TRUE(parser.Feed("RT1=Half a li").empty());
  EXPECT_EQ(parser.Pending(), 13u);
  const std::vector<Command> commands = parser.Feed("ne\rTA");
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0].text, "RT1=Half a line");
  EXPECT_EQ(commands[0].raw, "RT1=Half a line\r");
  EXPECT_EQ(parser.Pending(), 2u);
}

TEST(CommandParser, AsciiKeepsEightBitBytes) {
  CommandParser parser(Dialect::Ascii);
  const std::vector<Command> commands = parser.Feed("RT1=Caf\xE9 \xFE\xFF\x01\r");
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0].text, "RT1=Caf\xE9 \xFE\xFF\x01");
}

TEST(CommandParser, FramesWithFrameBytesInsideTheirData) {
  // RadioText whose data holds FE, FF and the 40 FF closing pair: only the length tells the end.
  const std::string text = std::string("A\xFE\xFF", 3) + "B\x40\xFF" + "C";
  const std::string traffic_on("\xFE\x0E\x01\x40\xFF", 5);
  const std::string read_ps("\xFE\xD0\x02\x08\xFF", 5);
  const std::string wire = read_ps + RadioTextFrame(text) + traffic_on + read_ps;
  for (std::size_t piece : {1u, 4u, 5u, 67u, 68u, 1000u}) {
    CommandParser parser(Dialect::Frame);
    const std::vector<Command> commands = FeedInPieces(parser, wire, piece);
    ASSERT_EQ(commands.size(), 4u) << "piece " << piece;
    EXPECT_EQ(commands[0].kind, Kind::ReadFrame);
    EXPECT_EQ(commands[0].address, 0x02);
    EXPECT_EQ(commands[0].count, 8);
    EXPECT_EQ(commands[1].kind, Kind::WriteFrame);
    EXPECT_EQ(commands[1].address, 0x20);
    EXPECT_EQ(commands[1].text.size(), 64u);
    EXPECT_EQ(commands[1].text.substr(0, 7), text);
    EXPECT_EQ(commands[1].raw.size(), 68u);
    EXPECT_EQ(commands[2].kind, Kind::WriteFrame);
    EXPECT_EQ(commands[2].address, 0x0E);
    EXPECT_EQ(commands[2].text, std::string(1, '\x01'));
    EXPECT_EQ(commands[3].kind, Kind::ReadFrame);
    EXPECT_EQ(parser.Pending(), 0u);
  }
}

TEST(CommandParser, FrameNoiseIsSkippedAndBrokenFramesResynchronise) {
  CommandParser parser(Dialect::Frame);
  // Stray bytes, then a traffic frame whose closing bytes are wrong, then a good read frame.
  const std::string wire = std::string("\x00\x41", 2) + std::string("\xFE\x0E\x01\x41\xFF", 5) +
                           std::string("\xFE\xD0\x0E\x01\xFF", 5);
  const std::vector<Command> commands = parser.Feed(wire);
  ASSERT_EQ(commands.size(), 2u);
  EXPECT_EQ(commands[0].kind, Kind::BadFrame);
  EXPECT_EQ(commands[1].kind, Kind::ReadFrame);
  EXPECT_EQ(commands[1].address, 0x0E);
}

TEST(CommandParser, FrameToUnknownAddressEndsAtItsClosingPair) {
  CommandParser parser(Dialect::Frame);
  const std::vector<Command> commands = parser.Feed(std::string("\xFE\x55\x01\x02\x03\x40\xFF", 7));
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0].kind, Kind::WriteFrame);
  EXPECT_EQ(commands[0].address, 0x55);
  EXPECT_EQ(commands[0].text, std::string("\x01\x02\x03", 3));
}

// Found by fuzzing: a broken frame took everything received so far, so how much of the stream
// had arrived changed what was reported.
TEST(CommandParser, BrokenFrameIsCutTheSameHoweverTheBytesArrive) {
  const std::string wire("\xFE\x0A\x0A\x0A\x15\x0D\xEE\x58\x2F\x0D\xAD\x33", 12);
  CommandParser whole(Dialect::Frame);
  const std::vector<Command> at_once = whole.Feed(wire);
  CommandParser pieces(Dialect::Frame);
  std::vector<Command> in_pieces = pieces.Feed(wire.substr(0, 9));
  for (Command& command : pieces.Feed(wire.substr(9))) {
    in_pieces.push_back(std::move(command));
  }
  ASSERT_EQ(at_once.size(), 1u);
  ASSERT_EQ(in_pieces.size(), 1u);
  EXPECT_EQ(at_once[0].kind, Kind::BadFrame);
  EXPECT_EQ(DescribeCommand(at_once[0]), "bad frame: FE 0A 0A 0A 15");
  EXPECT_EQ(DescribeCommand(in_pieces[0]), DescribeCommand(at_once[0]));
}

TEST(DescribeCommand, ReadableForTheLog) {
  CommandParser ascii(Dialect::Ascii);
  EXPECT_EQ(DescribeCommand(ascii.Feed("RT1=a\xE9\r")[0]), "RT1=a\\xE9");
  CommandParser frame(Dialect::Frame);
  EXPECT_EQ(DescribeCommand(frame.Feed(std::string("\xFE\xD0\x70\x01\xFF", 5))[0]),
            "FE D0 70 01 FF");
}

}  // namespace
}  // namespace morvane::sim
