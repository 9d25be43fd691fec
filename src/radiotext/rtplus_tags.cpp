#include "radiotext/rtplus_tags.h"

#include <algorithm>
#include <utility>

namespace morvane {

namespace {

// RT+ content types from the published list; 0 marks a dummy tag.
constexpr int kContentTitle = 1;
constexpr int kContentArtist = 4;

// The encoder keeps this many characters of a RadioText; tags beyond them mark nothing.
constexpr std::size_t kKeptCharacters = 64;
// Widest length marker (length minus one) that the second tag of an 11A group can carry.
constexpr std::size_t kMostSecondLengthMarker = 31;

// A prefix that ends in spaces also matches a text that stops where those spaces would begin.
constexpr std::size_t kPrefixPadding = 80;

// One item of the text as a tag: content type, start, length marker.
struct Tag {
  int content_type = 0;
  std::size_t start = 0;
  std::size_t length_marker = 0;
};

[[nodiscard]] bool BeginsWithPrefix(std::string_view text, std::string_view prefix) {
  std::string padded(text);
  padded.append(kPrefixPadding, ' ');
  return padded.compare(0, prefix.size(), prefix) == 0;
}

// 0-based start of the last occurrence of split that leaves at least one character after it.
// Overlapping occurrences count.
[[nodiscard]] std::optional<std::size_t> LastSplit(std::string_view text, std::string_view split) {
  if (text.size() <= split.size()) {
    return std::nullopt;
  }
  const std::size_t found = text.rfind(split, text.size() - split.size() - 1);
  return found == std::string_view::npos ? std::nullopt : std::optional<std::size_t>(found);
}

// The item [begin, end) as the encoder keeps the text: a dummy tag when it begins past the
// kept characters, cut where they end.
[[nodiscard]] Tag KeptItem(int content_type, std::size_t begin, std::size_t end) {
  if (begin >= kKeptCharacters) {
    return Tag{};
  }
  return Tag{content_type, begin, std::min(end, kKeptCharacters) - begin - 1};
}

void AppendField(std::string& command, std::size_t value) {
  command += static_cast<char>('0' + value / 10);
  command += static_cast<char>('0' + value % 10);
}

void AppendTag(std::string& command, const Tag& tag) {
  AppendField(command, static_cast<std::size_t>(tag.content_type));
  command += ',';
  AppendField(command, tag.start);
  command += ',';
  AppendField(command, tag.length_marker);
}

}  // namespace

std::optional<std::string> BuildRtPlusTags(std::string_view text, const RtPlusLayout& layout) {
  if (layout.split.empty() || !BeginsWithPrefix(text, layout.prefix)) {
    return std::nullopt;
  }
  const std::optional<std::size_t> split = LastSplit(text, layout.split);
  // An empty first item, or a separator inside the prefix, marks nothing sensible.
  if (!split || *split <= layout.prefix.size()) {
    return std::nullopt;
  }
  Tag first = KeptItem(layout.swap ? kContentTitle : kContentArtist, layout.prefix.size(), *split);
  Tag second = KeptItem(layout.swap ? kContentArtist : kContentTitle, *split + layout.split.size(),
                        text.size());
  if (first.content_type == 0 && second.content_type == 0) {
    return std::nullopt;
  }
  // Both items fit in 64 characters with the separator between them, so when the second is too
  // long for its five bits, the first is short enough for them.
  if (second.length_marker > kMostSecondLengthMarker) {
    std::swap(first, second);
  }
  std::string command = "RTP=";
  AppendTag(command, first);
  command += ',';
  AppendTag(command, second);
  return command;
}

}  // namespace morvane
