// RT+ tags for any text and layout: either none, or tags that mark the text between prefix and
// separator and the text after the separator, each as far as the 64 characters that the encoder
// keeps, in the two tags of an 11A group.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "fuzz_check.h"
#include "radiotext/rtplus_tags.h"

namespace {

constexpr std::size_t kKept = 64;

// A tag as content type and the characters it marks, [start, end).
struct Tag {
  int type;
  std::size_t start;
  std::size_t end;
};

Tag TagAt(const std::string& command, std::size_t first_field) {
  std::size_t field[3];
  for (std::size_t i = 0; i < 3; ++i) {
    const std::size_t at = 4 + 3 * (first_field + i);
    FUZZ_CHECK(command[at] >= '0' && command[at] <= '9');
    FUZZ_CHECK(command[at + 1] >= '0' && command[at + 1] <= '9');
    FUZZ_CHECK(at + 2 == command.size() || command[at + 2] == ',');
    field[i] = static_cast<std::size_t>((command[at] - '0') * 10 + (command[at + 1] - '0'));
  }
  FUZZ_CHECK(field[0] != 0 || (field[1] == 0 && field[2] == 0));  // a dummy is all zeros
  return Tag{static_cast<int>(field[0]), field[1], field[0] == 0 ? 0 : field[1] + field[2] + 1};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string prefix = input.ConsumeRandomLengthString(100);
  const std::string split = input.ConsumeRandomLengthString(20);
  const bool swap = input.ConsumeBool();
  const std::string text = input.ConsumeRemainingBytesAsString();

  const std::optional<std::string> tags =
      morvane::BuildRtPlusTags(text, morvane::RtPlusLayout{prefix, split, swap});
  if (!tags) {
    return 0;
  }
  FUZZ_CHECK(tags->size() == 4 + 6 * 3 - 1 && tags->compare(0, 4, "RTP=") == 0);
  const Tag sent[2] = {TagAt(*tags, 0), TagAt(*tags, 3)};
  FUZZ_CHECK(sent[1].end - sent[1].start <= 32);  // five bits for the second tag's length
  // The item before the separator is the artist unless swapped. It is sent second only when the
  // other is too long for the second tag.
  const bool in_order = sent[0].type == (swap ? 1 : 4);
  const Tag& first = sent[in_order ? 0 : 1];
  const Tag& second = sent[in_order ? 1 : 0];
  FUZZ_CHECK(in_order || second.end - second.start > 32);
  FUZZ_CHECK(first.type == (swap ? 1 : 4));
  FUZZ_CHECK(second.type == 0 || second.type == (swap ? 4 : 1));
  FUZZ_CHECK(text.compare(0, prefix.size(), prefix) == 0 ||
             (prefix.size() > text.size() &&
              prefix.find_first_not_of(' ', text.size()) == std::string::npos &&
              prefix.compare(0, text.size(), text) == 0));
  FUZZ_CHECK(first.start == prefix.size());
  // The separator that counts is the last one that leaves a character after it.
  FUZZ_CHECK(!split.empty() && text.size() > split.size());
  const std::size_t split_at = text.rfind(split, text.size() - split.size() - 1);
  FUZZ_CHECK(split_at != std::string::npos && first.end == std::min(split_at, kKept));
  const std::size_t after = split_at + split.size();
  FUZZ_CHECK(second.type == 0
                 ? after >= kKept
                 : second.start == after && second.end == std::min(text.size(), kKept));
  return 0;
}
