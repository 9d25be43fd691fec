#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace morvane {

// The layout that RT+ tagging expects of a RadioText: prefix, first item, separator, second item.
struct RtPlusLayout {
  std::string_view prefix;
  std::string_view split;
  bool swap = false;  // tag the first item as the title and the second as the artist
};

// The tag command for text without its CR ("RTP=04,00,05,01,09,04"), or std::nullopt when the
// text does not fit the layout or a field would not fit its two digits: a clipped number would
// mark the wrong characters on listeners' radios.
[[nodiscard]] std::optional<std::string> BuildRtPlusTags(std::string_view text,
                                                         const RtPlusLayout& layout);

}  // namespace morvane
