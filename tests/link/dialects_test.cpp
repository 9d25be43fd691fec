#include "link/dialects.h"

#include <gtest/gtest.h>

namespace morvane {
namespace {

using namespace std::string_literals;

TEST(AnswerLine, TakesTheSecondLineOnly) {
  struct Case {
    std::string answer;
    std::string value;
  };
  const Case cases[] = {
      {"PS\r\nRADIO 1 \r\n", "RADIO 1 "},
      {"no carriage return", ""},
      {"", ""},
      {"1\r\n", ""},
      {"first\ra\nb", "ab"},
      {"PS\r\n  spaced  \r\nthird line\r\n", "  spaced  "},
      {"\r\n1\r\n", "1"},
      {"x\r\x01\xFE\r", "\x01\xFE"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseAnswerLine(c.answer), c.value) << "answer: " << c.answer;
  }
}

TEST(FrameData, SkipsTwoBytesAndFillsWithSpaces) {
  struct Case {
    std::string answer;
    std::size_t count;
    std::string data;
  };
  const Case cases[] = {
      {"", 8, "        "},
      {"\xFE\xD0"
       "AB",
       8, "AB      "},
      {"\xFE\xD0\xFF\xFE\x01\xFF"s, 3, "\xFF\xFE\x01"s},
      {"\xFE\xD0\x01\xFF", 1, "\x01"},
      {"\xFE", 1, " "},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseFrameData(c.answer, c.count), c.data);
  }
  EXPECT_EQ(ParseFrameData("", 64), std::string(64, ' '));
  // Found by fuzzing: counts beyond 80 came back short.
  EXPECT_EQ(ParseFrameData("", 255), std::string(255, ' '));
  EXPECT_EQ(ParseFrameData("\xFE\x20" + std::string(100, 'x'), 200),
            std::string(100, 'x') + std::string(100, ' '));
}

TEST(Builders, ExactBytes) {
  EXPECT_EQ(BuildAsciiCommand("GRPSEQ=022221AEXYR"), "GRPSEQ=022221AEXYR\r");
  EXPECT_EQ(BuildAsciiCommand(""), "\r");
  EXPECT_EQ(BuildReadFrame(kAddressRadioText, 0x40), "\xFE\xD0\x20\x40\xFF");
  EXPECT_EQ(BuildReadFrame(kAddressPS, 8), "\xFE\xD0\x02\x08\xFF");
  EXPECT_EQ(BuildWriteFrame(kAddressTraffic, "\x01"), "\xFE\x0E\x01\x40\xFF");
  EXPECT_EQ(BuildWriteFrame(kAddressTraffic, "\x00"s), "\xFE\x0E\x00\x40\xFF"s);
  // Data is never escaped, not even the frame's own start and end bytes.
  EXPECT_EQ(BuildWriteFrame(0x20, "\xFE\xFF"), "\xFE\x20\xFE\xFF\x40\xFF");
}

}  // namespace
}  // namespace morvane
