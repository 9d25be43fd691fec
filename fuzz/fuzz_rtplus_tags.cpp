// RT+ tags for any text and layout: either none, or six two-digit fields that mark exactly the
// text between prefix and separator and the text after the separator.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "fuzz_check.h"
#include "radiotext/rtplus_tags.h"

namespace {

int Field(const std::string& command, int index) {
  const std::size_t at = 4 + 3 * static_cast<std::size_t>(index);
  return (command[at] - '0') * 10 + (command[at + 1] - '0');
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
  const std::string& command = *tags;
  FUZZ_CHECK(command.size() == 4 + 6 * 3 - 1);
  FUZZ_CHECK(command.compare(0, 4, "RTP=") == 0);
  for (int i = 0; i < 6; ++i) {
    const std::size_t at = 4 + 3 * static_cast<std::size_t>(i);
    FUZZ_CHECK(command[at] >= '0' && command[at] <= '9');
    FUZZ_CHECK(command[at + 1] >= '0' && command[at + 1] <= '9');
    FUZZ_CHECK(i == 5 || command[at + 2] == ',');
  }
  FUZZ_CHECK(Field(command, 0) == (swap ? 1 : 4));
  FUZZ_CHECK(Field(command, 3) == (swap ? 4 : 1));

  // Lengths go out minus one.
  const std::size_t first_start = Field(command, 1);
  const std::size_t first_end = first_start + Field(command, 2) + 1;
  const std::size_t second_start = Field(command, 4);
  const std::size_t second_end = second_start + Field(command, 5) + 1;
  FUZZ_CHECK(!split.empty());
  FUZZ_CHECK(first_start == prefix.size());
  FUZZ_CHECK(text.compare(0, prefix.size(), prefix) == 0 ||
             (prefix.size() > text.size() &&
              prefix.find_first_not_of(' ', text.size()) == std::string::npos &&
              prefix.compare(0, text.size(), text) == 0));
  FUZZ_CHECK(first_end <= text.size());
  FUZZ_CHECK(text.compare(first_end, split.size(), split) == 0);
  FUZZ_CHECK(second_start == first_end + split.size());
  FUZZ_CHECK(second_end == text.size());
  // The separator that counts is the last one that leaves a character after it.
  FUZZ_CHECK(text.find(split, first_end + 1) == std::string::npos ||
             text.find(split, first_end + 1) + split.size() >= text.size());
  return 0;
}
