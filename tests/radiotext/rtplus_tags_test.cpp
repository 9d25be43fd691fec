#include "radiotext/rtplus_tags.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "app/controller_state.h"

namespace morvane {
namespace {

struct TagCase {
  const char* name;
  std::string prefix;
  std::string split;
  bool swap;
  std::string text;
  std::optional<std::string> tags;
};

std::string Repeat(char c, std::size_t n) {
  return std::string(n, c);
}

TEST(BuildRtPlusTags, FieldsFromPrefixAndLastSeparator) {
  const std::string np = "Now playing: ";  // 13 characters
  const std::string sentinel(kRtPlusSentinel);
  const TagCase cases[] = {
      {"artist and title", "", " - ", false, "Artist - Title", "RTP=04,00,05,01,09,04"},
      {"swapped", "", " - ", true, "Artist - Title", "RTP=01,00,05,04,09,04"},
      {"after a prefix", np, " - ", false, np + "Artist - Title", "RTP=04,13,05,01,22,04"},
      {"one-character items", "", " - ", false, "a - b", "RTP=04,00,00,01,04,00"},
      {"separator twice: the later one splits", "", " - ", false, "A - B - C",
       "RTP=04,00,04,01,08,00"},
      {"separator at the end, earlier one splits", "", " - ", false, "A - B - ",
       "RTP=04,00,00,01,04,03"},
      {"overlapping separators: the last start wins", "", "--", false, "a---b",
       "RTP=04,00,01,01,04,00"},
      {"no separator", "", " - ", false, "Station jingle", std::nullopt},
      {"empty text", "", " - ", false, "", std::nullopt},
      {"text without the prefix", "NP: ", " - ", false, "Artist - Title", std::nullopt},
      {"unconfigured separator", "", sentinel, false, "Artist - Title", std::nullopt},
      // Mended: these would go out as clipped or sign-dropped numbers.
      {"empty first item", "", " - ", false, " - Title", std::nullopt},
      {"separator right after the prefix", "NP:", " - ", false, "NP: - Title", std::nullopt},
      {"separator only inside a space-padded prefix", "A - B  ", " - ", false, "A - B",
       std::nullopt},
      {"empty separator", "", "", false, "Artist - Title", std::nullopt},
      {"second start 99 still fits", "", " - ", false, Repeat('a', 96) + " - t",
       "RTP=04,00,95,01,99,00"},
      {"second start 100 does not", "", " - ", false, Repeat('a', 97) + " - t", std::nullopt},
      {"second length 99 still fits", "", " - ", false, "a - " + Repeat('t', 100),
       "RTP=04,00,00,01,04,99"},
      {"second length 100 does not", "", " - ", false, "a - " + Repeat('t', 101), std::nullopt},
      {"prefix of 100 characters", Repeat('p', 100), " - ", false, Repeat('p', 100) + "a - t",
       std::nullopt},
  };
  for (const TagCase& c : cases) {
    EXPECT_EQ(BuildRtPlusTags(c.text, RtPlusLayout{c.prefix, c.split, c.swap}), c.tags) << c.name;
  }
}

}  // namespace
}  // namespace morvane
