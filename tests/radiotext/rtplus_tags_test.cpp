#include "radiotext/rtplus_tags.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "app/controller_state.h"

namespace morvane {
namespace {

std::string A(std::size_t n) {
  return std::string(n, 'a');
}

TEST(BuildRtPlusTags, ItemsWithinTheKeptTextInTagsThatFitTheGroup) {
  const std::string np = "Now playing: ";                                   // 13 characters
  const std::string queen = "Queen - Bohemian Rhapsody (Remastered 2011)";  // title of 35
  const struct {
    const char* name;
    std::string prefix;
    std::string split;
    bool swap;
    std::string text;
    std::optional<std::string> tags;
  } cases[] = {
      {"artist and title", "", " - ", false, "Artist - Title", "RTP=04,00,05,01,09,04"},
      {"swapped", "", " - ", true, "Artist - Title", "RTP=01,00,05,04,09,04"},
      {"after a prefix", np, " - ", false, np + "Artist - Title", "RTP=04,13,05,01,22,04"},
      {"separator twice: the later one splits", "", " - ", false, "A - B - C",
       "RTP=04,00,04,01,08,00"},
      {"separator at the end, earlier one splits", "", " - ", false, "A - B - ",
       "RTP=04,00,00,01,04,03"},
      {"overlapping separators: the last start wins", "", "--", false, "a---b",
       "RTP=04,00,01,01,04,00"},
      // The second tag holds 32 characters at most: a longer title goes first.
      {"long title", "", " - ", false, queen, "RTP=01,08,34,04,00,04"},
      {"title of 32", "", " - ", false, "a - " + A(32), "RTP=04,00,00,01,04,31"},
      {"title of 33", "", " - ", false, "a - " + A(33), "RTP=01,04,32,04,00,00"},
      {"swapped, long artist second", "", " - ", true, "Title - " + A(40), "RTP=04,08,39,01,00,04"},
      // The encoder keeps 64 characters: tags end there.
      {"line of 63, long artist", "", " - ", false, A(55) + " - Title", "RTP=04,00,54,01,58,04"},
      {"line of 64", "", " - ", false, A(56) + " - Title", "RTP=04,00,55,01,59,04"},
      {"line of 65: title cut", "", " - ", false, A(57) + " - Title", "RTP=04,00,56,01,60,03"},
      {"line of 70: title past the end", "", " - ", false, A(62) + " - Title",
       "RTP=04,00,61,00,00,00"},
      {"long title cut at 64", "", " - ", false, "Artist - " + A(61), "RTP=01,09,54,04,00,05"},
      {"title begins at 63", "", " - ", false, A(60) + " - tt", "RTP=04,00,59,01,63,00"},
      {"title would begin at 64", "", " - ", false, A(61) + " - t", "RTP=04,00,60,00,00,00"},
      {"artist cut at 64", "", " - ", false, A(65) + " - t", "RTP=04,00,63,00,00,00"},
      {"neither item within 64", A(64), " - ", false, A(64) + "a - t", std::nullopt},
      {"no separator", "", " - ", false, "Station jingle", std::nullopt},
      {"text without the prefix", "NP: ", " - ", false, "Artist - Title", std::nullopt},
      {"unconfigured separator", "", std::string(kRtPlusSentinel), false, "Artist - Title",
       std::nullopt},
      // Mended: these would go out as sign-dropped numbers.
      {"empty first item", "", " - ", false, " - Title", std::nullopt},
      {"separator right after the prefix", "NP:", " - ", false, "NP: - Title", std::nullopt},
      {"separator only inside a space-padded prefix", "A - B  ", " - ", false, "A - B",
       std::nullopt},
      {"empty separator", "", "", false, "Artist - Title", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(BuildRtPlusTags(c.text, RtPlusLayout{c.prefix, c.split, c.swap}), c.tags) << c.name;
  }
}

}  // namespace
}  // namespace morvane
