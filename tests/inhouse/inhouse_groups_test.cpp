#include "inhouse/inhouse_groups.h"

#include <gtest/gtest.h>

namespace morvane {
namespace {

TEST(InHouseMessageLine, ReadsIdentifierAndText) {
  const struct {
    std::string line;
    std::optional<InHouseMessage> message;
  } cases[] = {
      {"M: 1A2 Hello", InHouseMessage{"1A2", "Hello"}},
      {"M:-FFF-x", InHouseMessage{"FFF", "x"}},
      // Found by fuzzing: lower-case digits went out as they were, in groups that are upper-case
      // hexadecimal.
      {"M: 1a2 lower case", InHouseMessage{"1A2", "lower case"}},
      // Too short for any text: the text is empty, not left over from an earlier message.
      {"M: 000", InHouseMessage{"000", ""}},
      {"M: 000 ", InHouseMessage{"000", ""}},
      {"M: 1A2 " + std::string(70, 'x'), InHouseMessage{"1A2", std::string(64, 'x')}},
      {"m: 1A2 Hello", std::nullopt},
      {" M: 1A2 Hello", std::nullopt},
      {"M; 1A2 Hello", std::nullopt},
      {"M: 1G2 Hello", std::nullopt},
      {"M: 12G Hello", std::nullopt},
      {"M: 1 2 Hello", std::nullopt},
      {"M: 1A", std::nullopt},
      {"M:", std::nullopt},
  };
  for (const auto& c : cases) {
    const std::optional<InHouseMessage> message = ParseMessageLine(c.line);
    ASSERT_EQ(message.has_value(), c.message.has_value()) << c.line;
    if (message) {
      EXPECT_EQ(message->identifier, c.message->identifier) << c.line;
      EXPECT_EQ(message->text, c.message->text) << c.line;
    }
  }
}

// Eight characters from a position counted from 1; fill characters where the text (at most 64
// characters) has run out.
TEST(InHouseSlice, EightCharactersFromAPosition) {
  const std::string seventy = std::string(56, 'x') + "ABCDEFGHIJKLMN";
  const std::tuple<std::string, int, std::string> cases[] = {
      {"Hello", 1, "Hello|||"},  {"", 1, "||||||||"}, {"0123456789AB", 9, "89AB||||"},
      {seventy, 57, "ABCDEFGH"}, {seventy, 65, ""},   {"ab", 0, "ab||||||"},
      {"ab", 9, "|||||||"},
  };
  for (const auto& [text, position, eight] : cases) {
    EXPECT_EQ(InHouseSlice(text, position), eight) << text << " at " << position;
  }
}

// Each group: "60" (type 6A), segment address, sequence digit, identifier, two character codes.
TEST(InHouseGroups, MessageAndVersionGroupsHaveTwelveUpperCaseDigitsEach) {
  EXPECT_EQ(BuildMessageGroups(0, 1, "1A2", "Hello|||"),
            "600011A24865,600111A26C6C,600211A26F7C,600311A27C7C,");
  // Segment addresses run to 1F; sequence 10 to 15 are A to F; a tab is 09, not 9.
  EXPECT_EQ(BuildMessageGroups(28, 15, "0F0", std::string("a\tb\xE9\x01\x7F\x80 ", 8)),
            "601CF0F06109,601DF0F062E9,601EF0F0017F,601FF0F08020,");
  EXPECT_EQ(BuildMessageGroups(4, 0, "ABC", "Hi"),
            "60040ABC4869,60050ABC7C7C,60060ABC7C7C,60070ABC7C7C,");
  EXPECT_EQ(BuildVersionGroups("0123"), "600000000000,600100000123");
}

}  // namespace
}  // namespace morvane
