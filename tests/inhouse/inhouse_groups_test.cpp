#include "inhouse/inhouse_groups.h"

#include <gtest/gtest.h>

namespace morvane {
namespace {

TEST(InHouseFirstLine, EndsAtTheFirstCrAndKeepsALoneLf) {
  EXPECT_EQ(FirstLine("M: 1A2 Hello\r\nsecond\r\n"), "M: 1A2 Hello");
  EXPECT_EQ(FirstLine("M: 1A2 Hello\rsecond"), "M: 1A2 Hello");
  EXPECT_EQ(FirstLine("M: 1A2 AB\nCD\r\n"), "M: 1A2 AB\nCD");
  EXPECT_EQ(FirstLine("M: 1A2 no ending"), "M: 1A2 no ending");
  EXPECT_EQ(FirstLine("\r\nM: 1A2 second line"), "");
  EXPECT_EQ(FirstLine(""), "");
}

TEST(InHouseMessageLine, ReadsIdentifierAndText) {
  struct Case {
    std::string line;
    bool is_message;
    const char* identifier;
    std::string text;
  };
  const Case cases[] = {
      {"M: 1A2 Hello", true, "1A2", "Hello"},
      {"M:-FFF-x", true, "FFF", "x"},
      // Found by fuzzing: lower-case digits went out as they were, in groups that are upper-case
      // hexadecimal.
      {"M: 1a2 lower-case digits are hexadecimal too", true, "1A2",
       "lower-case digits are hexadecimal too"},
      {"M: 000 ", true, "000", ""},
      // Too short for any text: the text is empty, not left over from an earlier message.
      {"M: 000", true, "000", ""},
      {"M: 1A2 " + std::string(70, 'x'), true, "1A2", std::string(64, 'x')},
      {"m: 1A2 Hello", false, "", ""},
      {" M: 1A2 Hello", false, "", ""},
      {"M: XYZ Hello", false, "", ""},
      {"M: 1G2 Hello", false, "", ""},
      {"M: 1 2 Hello", false, "", ""},
      {"M: 1A", false, "", ""},
      {"M:", false, "", ""},
      {"", false, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const std::optional<InHouseMessage> message = ParseMessageLine(c.line);
    ASSERT_EQ(message.has_value(), c.is_message);
    if (message) {
      EXPECT_EQ(message->identifier, c.identifier);
      EXPECT_EQ(message->text, c.text);
    }
  }
}

TEST(InHouseGroups, MessageGroupsHaveTwelveUpperCaseDigitsEach) {
  EXPECT_EQ(BuildMessageGroups(0, 1, "1A2", "Hello|||"),
            "UDG1=600011A24865,600111A26C6C,600211A26F7C,600311A27C7C,");
  // Segment addresses run to 1F; sequence 10 to 15 are A to F; a tab is 09, not 9.
  EXPECT_EQ(BuildMessageGroups(28, 15, "0F0", std::string("a\tb\xE9\x01\x7F\x80 ", 8)),
            "UDG1=601CF0F06109,601DF0F062E9,601EF0F0017F,601FF0F08020,");
}

TEST(InHouseGroups, VersionGroupsCarryTheVersionDigits) {
  EXPECT_EQ(BuildVersionGroups("0110"), "UDG1=600000000000,600100000110");
  EXPECT_EQ(BuildVersionGroups("0123"), "UDG1=600000000000,600100000123");
}

}  // namespace
}  // namespace morvane
