#include "text/text_helpers.h"

#include <gtest/gtest.h>

#include "text/console_text.h"

namespace morvane {
namespace {

using namespace std::string_literals;

TEST(TextHelpers, TrimFirstLineAndCaseBlindKeys) {
  const std::pair<std::string, std::string> trims[] = {
      {" \t a b \t ", "a b"}, {" \t ", ""}, {"\na\r", "\na\r"}};
  for (const auto& [text, trimmed] : trims) {
    EXPECT_EQ(TrimBlanks(text), trimmed) << text;
  }
  // Every byte up to the first CR: a CR LF ending goes with the CR, a lone LF stays.
  EXPECT_EQ(FirstLine("M: 1A2 AB\nCD\r\nEF\r"), "M: 1A2 AB\nCD");
  EXPECT_EQ(FirstLine("\r\nsecond"), "");
  EXPECT_EQ(FirstLine("no line end"), "no line end");

  const std::tuple<std::string, std::string, bool> keys[] = {
      {"COMport", "comPORT", true},  {"AZ", "az", true},           {"XOMport", "COMport", false},
      {"COMporx", "COMport", false}, {"COMpor", "COMport", false}, {"@[", "`{", false},
  };
  for (const auto& [a, b, equal] : keys) {
    EXPECT_EQ(EqualsIgnoringCase(a, b), equal) << a << " " << b;
  }
}

TEST(TextHelpers, DigitsAndQuotes) {
  EXPECT_EQ(HexDigit(0x1C), 'C');
  EXPECT_EQ(HexByte(0x09) + HexByte(0xAF), "09AF");
  EXPECT_EQ(HexWord(0x4BD7) + HexWord(0x00FF), "4BD700FF");
  EXPECT_EQ(TimeOfDay(0, 5, 9) + TimeOfDay(23, 59, 59), "00:05:0923:59:59");
  EXPECT_EQ(Quoted("a \"b"), "\"a \"b\"");
  // On a console: quote and backslash escaped; controls, DEL and bytes from 0x80 as \xHH.
  EXPECT_EQ(QuotedForConsole("\"A\\B\"\r\n\0\x1F ~\x7F\x80\xFF"s),
            "\"\\\"A\\\\B\\\"\\x0D\\x0A\\x00\\x1F ~\\x7F\\x80\\xFF\"");
}

}  // namespace
}  // namespace morvane
