#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace morvane {

// The layout that RT+ tagging expects of a RadioText: prefix, first item, separator, second item.
struct RtPlusLayout {
  std::string_view prefix;
  std::string_view split;
  bool swap = false;  // the first item in the text is the title and the second the artist
};

// The tag command for text without its CR ("RTP=04,00,05,01,09,04"), or std::nullopt when the
// text does not fit the layout or neither item lies within the 64 characters the encoder keeps.
// Items are marked as the encoder keeps the text: one that begins past its end gets a dummy tag
// (00,00,00), one that runs past it is cut there. The 11A group has only five bits for the
// second tag's length, so a second item longer than 32 characters is sent as the first tag.
[[nodiscard]] std::optional<std::string> BuildRtPlusTags(std::string_view text,
                                                         const RtPlusLayout& layout);

}  // namespace morvane
