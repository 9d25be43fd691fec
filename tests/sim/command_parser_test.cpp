#include "sim/command_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace morvane::sim {
namespace {

using Kind = Command::Kind;

// Feeds the bytes in pieces of the given size, as reads from the line cut them.
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
  const std::string wire = "TA=0\rRT1=Caf\xE9 \xFE\xFF - Title\r\nPS\rRT1=Half";
  const std::vector<std::string> expected{"TA=0", "RT1=Caf\xE9 \xFE\xFF - Title", "PS"};
  for (std::size_t piece : {1u, 3u, 7u, 1000u}) {
    CommandParser parser(Dialect::Ascii);
    const std::vector<Command> commands = FeedInPieces(parser, wire, piece);
    ASSERT_EQ(commands.size(), expected.size()) << "piece " << piece;
    for (std::size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ(commands[i].text, expected[i]) << "piece " << piece;
    }
    EXPECT_EQ(commands[0].raw, "TA=0\r");
    EXPECT_EQ(parser.Pending(), 8u) << "a line without its CR waits";
  }
}

TEST(CommandParser, FramesAreCutByLengthWithFrameBytesInsideTheirData) {
  // RadioText whose data holds FE, FF and the 40 FF closing pair: only the length tells the end.
  std::string text = std::string("A\xFE\xFF", 3) + "B\x40\xFF" + "C";
  text.resize(64, ' ');
  const std::string read_ps("\xFE\xD0\x02\x08\xFF", 5);
  const std::string wire =
      read_ps + "\xFE\x20" + text + "\x40\xFF" + std::string("\xFE\x0E\x01\x40\xFF", 5) + read_ps;
  for (std::size_t piece : {1u, 5u, 67u, 68u, 1000u}) {
    CommandParser parser(Dialect::Frame);
    const std::vector<Command> c = FeedInPieces(parser, wire, piece);
    ASSERT_EQ(c.size(), 4u) << "piece " << piece;
    EXPECT_EQ(c[0].kind, Kind::ReadFrame);
    EXPECT_EQ(c[0].address, 0x02);
    EXPECT_EQ(c[0].count, 8);
    EXPECT_EQ(c[1].kind, Kind::WriteFrame);
    EXPECT_EQ(c[1].address, 0x20);
    EXPECT_EQ(c[1].text, text);
    EXPECT_EQ(c[2].text, std::string(1, '\x01'));
    EXPECT_EQ(c[3].kind, Kind::ReadFrame);
    EXPECT_EQ(parser.Pending(), 0u);
  }
}

TEST(CommandParser, FrameNoiseIsSkippedBrokenFramesResynchroniseUnknownOnesEndAtTheirClose) {
  CommandParser parser(Dialect::Frame);
  // Stray bytes, a traffic frame whose closing bytes are wrong, a good read frame, a write to an
  // address of unknown width.
  const std::string wire = std::string("\x00\x41\xFE\x0E\x01\x41\xFF", 7) +
                           std::string("\xFE\xD0\x0E\x01\xFF", 5) +
                           std::string("\xFE\x55\x01\x02\x40\xFF", 6);
  const std::vector<Command> c = parser.Feed(wire);
  ASSERT_EQ(c.size(), 3u);
  EXPECT_EQ(c[0].kind, Kind::BadFrame);
  EXPECT_EQ(c[1].kind, Kind::ReadFrame);
  EXPECT_EQ(c[1].address, 0x0E);
  EXPECT_EQ(c[2].kind, Kind::WriteFrame);
  EXPECT_EQ(c[2].text, std::string("\x01\x02", 2));
  EXPECT_EQ(DescribeCommand(c[1]), "FE D0 0E 01 FF");
}

// Found by fuzzing: a broken frame took everything received so far, so how much of the stream
// had arrived changed what was reported.
TEST(CommandParser, BrokenFrameIsCutTheSameHoweverTheBytesArrive) {
  const std::string wire("\xFE\x0A\x0A\x0A\x15\x0D\xEE\x58\x2F\x0D\xAD\x33", 12);
  for (std::size_t piece : {9u, 1000u}) {
    CommandParser parser(Dialect::Frame);
    const std::vector<Command> commands = FeedInPieces(parser, wire, piece);
    ASSERT_EQ(commands.size(), 1u) << "piece " << piece;
    EXPECT_EQ(DescribeCommand(commands[0]), "bad frame: FE 0A 0A 0A 15") << "piece " << piece;
  }
}

TEST(DescribeCommand, LineWithUnprintableBytesAsHex) {
  CommandParser ascii(Dialect::Ascii);
  EXPECT_EQ(DescribeCommand(ascii.Feed("RT1=a\\\xE9\r")[0]), "RT1=a\\x5C\\xE9");
}

}  // namespace
}  // namespace morvane::sim
