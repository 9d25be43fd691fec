#include "link/dialects.h"

#include <gtest/gtest.h>

namespace morvane {
namespace {

using namespace std::string_literals;

TEST(AnswerLine, TakesTheSecondLineOnly) {
  const std::pair<std::string, std::string> cases[] = {
      {"PS\r\nRADIO 1 \r\n", "RADIO 1 "},
      {"no carriage return", ""},
      {"1\r\n", ""},
      {"first\ra\nb", "ab"},
      {"PS\r\n  spaced  \r\nthird line\r\n", "  spaced  "},
      {"x\r\x01\xFE\r", "\x01\xFE"},
  };
  for (const auto& [answer, value] : cases) {
    EXPECT_EQ(ParseAnswerLine(answer), value) << "answer: " << answer;
  }
}

TEST(FrameData, SkipsTwoBytesAndFillsWithSpaces) {
  EXPECT_EQ(ParseFrameData("", 8), "        ");
  EXPECT_EQ(ParseFrameData("\xFE\xD0"
                           "AB",
                           8),
            "AB      ");
  EXPECT_EQ(ParseFrameData("\xFE\xD0\xFF\xFE\x01\xFF"s, 3), "\xFF\xFE\x01"s);
  EXPECT_EQ(ParseFrameData("\xFE", 1), " ");
  // Found by fuzzing: counts beyond 80 came back short.
  EXPECT_EQ(ParseFrameData("\xFE\x20" + std::string(100, 'x'), 200),
            std::string(100, 'x') + std::string(100, ' '));
}

TEST(Builders, ExactBytes) {
  EXPECT_EQ(BuildAsciiCommand("GRPSEQ=022221AEXYR"), "GRPSEQ=022221AEXYR\r");
  EXPECT_EQ(BuildReadFrame(protocol::kAddressRadioText, 0x40), "\xFE\xD0\x20\x40\xFF");
  EXPECT_EQ(BuildReadFrame(protocol::kAddressPS, 8), "\xFE\xD0\x02\x08\xFF");
  EXPECT_EQ(BuildWriteFrame(protocol::kAddressTraffic, "\x00"s), "\xFE\x0E\x00\x40\xFF"s);
  // Data is never escaped, not even the frame's own start and end bytes.
  EXPECT_EQ(BuildWriteFrame(0x20, "\xFE\xFF"), "\xFE\x20\xFE\xFF\x40\xFF");
}

}  // namespace
}  // namespace morvane
