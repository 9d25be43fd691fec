// The emulator's command parser and encoder over any byte stream, cut into any pieces: the
// commands found do not depend on how the bytes arrived, and the encoder answers each of them.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "sim/command_parser.h"
#include "sim/encoder.h"

namespace {

using morvane::sim::Command;

bool Same(const Command& a, const Command& b) {
  return a.kind == b.kind && a.raw == b.raw && a.text == b.text && a.address == b.address &&
         a.count == b.count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace morvane::sim;
  FuzzedDataProvider input(data, size);
  const Dialect dialect = input.ConsumeBool() ? Dialect::Ascii : Dialect::Frame;
  std::vector<std::size_t> cuts;
  for (int i = input.ConsumeIntegralInRange<int>(0, 16); i > 0; --i) {
    cuts.push_back(input.ConsumeIntegralInRange<std::size_t>(0, 80));
  }
  const std::string stream = input.ConsumeRemainingBytesAsString();

  CommandParser whole(dialect);
  const std::vector<Command> expected = whole.Feed(stream);

  CommandParser pieces(dialect);
  std::vector<Command> found;
  std::size_t at = 0;
  for (std::size_t cut : cuts) {
    for (Command& command : pieces.Feed(std::string_view(stream).substr(at, cut))) {
      found.push_back(std::move(command));
    }
    at = std::min(stream.size(), at + cut);
  }
  for (Command& command : pieces.Feed(std::string_view(stream).substr(at))) {
    found.push_back(std::move(command));
  }
  FUZZ_CHECK(std::equal(expected.begin(), expected.end(), found.begin(), found.end(), Same));
  FUZZ_CHECK(whole.Pending() == pieces.Pending());
  FUZZ_CHECK(whole.Pending() <= stream.size());

  Encoder encoder(dialect, EncoderState{});
  int64_t now_ms = 0;
  for (const Command& command : expected) {
    FUZZ_CHECK(!command.raw.empty());
    if (command.kind == Command::Kind::Line) {
      FUZZ_CHECK(command.text.find_first_of("\r\n") == std::string::npos);
      FUZZ_CHECK(command.raw.back() == '\r');
    }
    if (command.kind == Command::Kind::ReadFrame) {
      FUZZ_CHECK(command.raw.size() == 5);
    }
    (void)encoder.Handle(command, now_ms);
    now_ms += 50;
    encoder.Tick(now_ms);
    FUZZ_CHECK(encoder.state().radiotext.size() <= kRadioTextLength);
    FUZZ_CHECK(encoder.state().ps.size() == kPsLength);
  }
  return 0;
}
