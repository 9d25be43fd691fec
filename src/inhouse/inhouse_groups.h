#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace morvane {

// The longest message text that goes on air; anything after it is never sent.
inline constexpr std::size_t kMaxInHouseTextLength = 64;
// Characters carried by the four groups of one tick, two per group.
inline constexpr std::size_t kInHouseCharactersPerTick = 8;

// A message line of the in-house file: "M:", a separator, a three-hexadecimal-digit identifier,
// a separator, then the text.
struct InHouseMessage {
  std::string identifier;  // upper-case
  std::string text;        // at most kMaxInHouseTextLength characters
};

// std::nullopt when the line is no message: not opened by "M:" (case-sensitive) or without a
// three-hexadecimal-digit identifier. A line too short for any text has the empty text.
[[nodiscard]] std::optional<InHouseMessage> ParseMessageLine(std::string_view line);

// The eight characters to send from position (counted from 1): the text is followed by fill
// characters so that the last eight of a pass are always there.
[[nodiscard]] std::string InHouseSlice(std::string_view text, int position);

// Four type 6A groups, each followed by ",": segment addresses first_segment to
// first_segment + 3, each group carrying two of the eight characters (fill where they run out).
[[nodiscard]] std::string BuildMessageGroups(int first_segment, int sequence,
                                             std::string_view identifier,
                                             std::string_view eight_characters);

// The two groups that carry the program's version while there is no message.
[[nodiscard]] std::string BuildVersionGroups(std::string_view hex_version);

}  // namespace morvane
