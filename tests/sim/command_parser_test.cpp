#include "sim/command_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace morvane::sim {
namespace {

// The commands found, each described as a log shows it, with the bytes still waiting; the
// stream is fed in pieces of the given size, as reads from the line cut it.
std::vector<std::string> Parse(Dialect dialect, const std::string& bytes, std::size_t piece) {
  CommandParser parser(dialect);
  std::vector<std::string> found;
  for (std::size_t at = 0; at < bytes.size(); at += piece) {
    for (const Command& command : parser.Feed(bytes.substr(at, piece))) {
      found.push_back(DescribeCommand(command));
    }
  }
  found.push_back(std::to_string(parser.Pending()) + " waiting");
  return found;
}

TEST(CommandParser, CommandsAreTheSameHoweverTheReadsCutTheStream) {
  // RadioText whose data holds FE, FF and the 40 FF closing pair: only the length tells the end.
  std::string text = std::string("A\xFE\xFF", 3) + "B\x40\xFF" + "C";
  text.resize(64, ' ');
  std::string text_described = "FE 20 41 FE FF 42 40 FF 43";
  for (int i = 0; i < 57; ++i) {
    text_described += " 20";
  }
  const std::string read_ps("\xFE\xD0\x02\x08\xFF", 5);
  const struct {
    Dialect dialect;
    std::string wire;
    std::vector<std::string> found;
  } cases[] = {
      {Dialect::Ascii,
       "TA=0\rRT1=Caf\xE9 \xFE\\ - Title\r\n\rPS\rRT1=Half",
       {"TA=0", "RT1=Caf\\xE9 \\xFE\\x5C - Title", "PS", "8 waiting"}},
      {Dialect::Frame,
       read_ps + "\xFE\x20" + text + "\x40\xFF" + std::string("\xFE\x0E\x01\x40\xFF\xFE", 6),
       {"FE D0 02 08 FF", text_described + " 40 FF", "FE 0E 01 40 FF", "1 waiting"}},
      // Stray bytes, a traffic frame whose closing bytes are wrong, a good read frame, a write to
      // an address of unknown width.
      {Dialect::Frame,
       std::string("\x00\x41\xFE\x0E\x01\x41\xFF\xFE\xD0\x0E\x01\xFF\xFE\x55\x01\x02\x40\xFF", 18),
       {"bad frame: FE 0E 01 41 FF", "FE D0 0E 01 FF", "FE 55 01 02 40 FF", "0 waiting"}},
      // Found by fuzzing: a broken frame took everything received so far, so how much of the
      // stream had arrived changed what was reported.
      {Dialect::Frame,
       std::string("\xFE\x0A\x0A\x0A\x15\x0D\xEE\x58\x2F\x0D\xAD\x33", 12),
       {"bad frame: FE 0A 0A 0A 15", "0 waiting"}},
  };
  for (const auto& c : cases) {
    for (std::size_t piece : {1u, 5u, 9u, 67u, 1000u}) {
      EXPECT_EQ(Parse(c.dialect, c.wire, piece), c.found) << "piece " << piece;
    }
  }
}

}  // namespace
}  // namespace morvane::sim
