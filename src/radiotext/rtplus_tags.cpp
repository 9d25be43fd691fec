#include "radiotext/rtplus_tags.h"

#include <cstdint>

namespace morvane {

namespace {

// RT+ content types from the published list.
constexpr std::string_view kContentTitle = "01";
constexpr std::string_view kContentArtist = "04";
constexpr int64_t kLargestField = 99;

// A prefix that ends in spaces also matches a text that stops where those spaces would begin.
constexpr std::size_t kPrefixPadding = 80;

[[nodiscard]] bool BeginsWithPrefix(std::string_view text, std::string_view prefix) {
  std::string padded(text);
  padded.append(kPrefixPadding, ' ');
  return padded.compare(0, prefix.size(), prefix) == 0;
}

// 1-based start of the last occurrence of split that leaves at least one character after it;
// 0 when there is none. Overlapping occurrences count.
[[nodiscard]] std::size_t LastSplitPosition(std::string_view text, std::string_view split) {
  if (text.size() <= split.size()) {
    return 0;
  }
  const std::size_t last_start = text.size() - split.size() - 1;  // 0-based
  const std::size_t found = text.rfind(split, last_start);
  return found == std::string_view::npos ? 0 : found + 1;
}

void AppendField(std::string& command, int64_t value) {
  command += static_cast<char>('0' + value / 10);
  command += static_cast<char>('0' + value % 10);
}

}  // namespace

std::optional<std::string> BuildRtPlusTags(std::string_view text, const RtPlusLayout& layout) {
  if (layout.split.empty() || !BeginsWithPrefix(text, layout.prefix)) {
    return std::nullopt;
  }
  const std::size_t p = LastSplitPosition(text, layout.split);
  if (p == 0) {
    return std::nullopt;
  }
  const auto lp = static_cast<int64_t>(layout.prefix.size());
  const auto ls = static_cast<int64_t>(layout.split.size());
  const auto lt = static_cast<int64_t>(text.size());
  const auto pos = static_cast<int64_t>(p);

  // Lengths go out minus one, as RT+ defines its length marker.
  const int64_t first_start = lp;
  const int64_t first_length = pos - lp - 2;
  const int64_t second_start = pos + ls - 1;
  const int64_t second_length = lt - pos - ls;
  for (int64_t field : {first_start, first_length, second_start, second_length}) {
    if (field < 0 || field > kLargestField) {
      return std::nullopt;
    }
  }

  const std::string_view first_type = layout.swap ? kContentTitle : kContentArtist;
  const std::string_view second_type = layout.swap ? kContentArtist : kContentTitle;
  std::string command = "RTP=";
  command.append(first_type).append(",");
  AppendField(command, first_start);
  command += ',';
  AppendField(command, first_length);
  command.append(",").append(second_type).append(",");
  AppendField(command, second_start);
  command += ',';
  AppendField(command, second_length);
  return command;
}

}  // namespace morvane
