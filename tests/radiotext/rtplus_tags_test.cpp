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

// Artist and title found by the last separator, tagged within the 64 characters the encoder keeps,
// in tags the group can carry (the second holds 32 characters at most: a longer title goes first).
TEST(BuildRtPlusTags, ItemsWithinTheKeptTextInTagsThatFitTheGroup) {
  const std::string np = "Now playing: ";  // 13 characters
  const struct {
    std::string text;
    std::optional<std::string> tags;
    std::string prefix = "", split = " - ";
    bool swap = false;
  } cases[] = {
      {"Artist - Title", "RTP=04,00,05,01,09,04"},
      {"Artist - Title", "RTP=01,00,05,04,09,04", "", " - ", true},
      {np + "Artist - Title", "RTP=04,13,05,01,22,04", np},
      {"A - B - C", "RTP=04,00,04,01,08,00"},
      {"A - B - ", "RTP=04,00,00,01,04,03"},  // a separator at the very end splits nothing
      {"Artist - ", std::nullopt},
      {"a---b", "RTP=04,00,01,01,04,00", "", "--"},  // overlapping: the last start wins
      {"a - " + A(32), "RTP=04,00,00,01,04,31"},
      {"a - " + A(33), "RTP=01,04,32,04,00,00"},
      {A(56) + " - Title", "RTP=04,00,55,01,59,04"},
      {A(57) + " - Title", "RTP=04,00,56,01,60,03"},
      {"Artist - " + A(61), "RTP=01,09,54,04,00,05"},
      {A(60) + " - tt", "RTP=04,00,59,01,63,00"},
      {A(61) + " - t", "RTP=04,00,60,00,00,00"},
      {A(65) + " - t", "RTP=04,00,63,00,00,00"},
      {A(64) + "a - t", std::nullopt, A(64)},
      {"Station jingle", std::nullopt},
      {"Artist - Title", std::nullopt, "NP: "},
      {"Artist - Title", std::nullopt, "", std::string(kRtPlusSentinel)},
      // Mended: these would go out as sign-dropped numbers.
      {" - Title", std::nullopt},
      {"NP: - Title", std::nullopt, "NP:"},
      {"A - B", std::nullopt, "A - B  "},  // the separator only inside a space-padded prefix
      {"Artist - Title", std::nullopt, "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(BuildRtPlusTags(c.text, RtPlusLayout{c.prefix, c.split, c.swap}), c.tags) << c.text;
  }
}

}  // namespace
}  // namespace morvane
