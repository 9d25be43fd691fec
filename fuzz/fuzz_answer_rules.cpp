// Whatever an encoder sends back, the answer rules give a bounded value of the promised shape.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "link/dialects.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size == 0) {
    return 0;
  }
  // The first byte is the count a frame read asks for; the rest is the answer.
  const std::size_t count = data[0];
  const std::string_view answer(reinterpret_cast<const char*>(data + 1), size - 1);

  const std::string line = morvane::ParseAnswerLine(answer);
  FUZZ_CHECK(line.size() <= answer.size());
  FUZZ_CHECK(line.find_first_of("\r\n") == std::string::npos);
  // The value is the bytes between the first and second CR, in order.
  const std::size_t first_cr = answer.find('\r');
  if (first_cr == std::string_view::npos) {
    FUZZ_CHECK(line.empty());
  } else {
    std::string expected;
    for (char c : answer.substr(first_cr + 1, answer.find('\r', first_cr + 1) - first_cr - 1)) {
      if (c != '\n') {
        expected += c;
      }
    }
    FUZZ_CHECK(line == expected);
  }

  const std::string frame = morvane::ParseFrameData(answer, count);
  FUZZ_CHECK(frame.size() == count);
  for (std::size_t i = 0; i < count; ++i) {
    FUZZ_CHECK(frame[i] == (i + 2 < answer.size() ? answer[i + 2] : ' '));
  }
  return 0;
}
