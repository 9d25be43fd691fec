// Ticks of the in-house rotator over a fuzzed inhouse.txt on every encoder type: each command
// is a well-formed group list, whatever the file holds.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_tick.h"
#include "inhouse/inhouse_rotator.h"

namespace {

bool IsUpperHex(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

// "UDG1=" and twelve-digit groups, each ended by ","; the version groups alone have no last ",".
bool IsGroupList(std::string_view command) {
  constexpr std::string_view kHead = "UDG1=";
  if (command.substr(0, kHead.size()) != kHead || command.empty() || command.back() != '\r') {
    return false;
  }
  std::string_view groups = command.substr(kHead.size(), command.size() - kHead.size() - 1);
  const bool version = groups.size() == 25;
  if (!version && groups.size() != 4 * 13) {
    return false;
  }
  for (std::size_t i = 0; i < groups.size(); ++i) {
    const bool comma_place = i % 13 == 12;
    if (comma_place ? groups[i] != ',' : !IsUpperHex(groups[i])) {
      return false;
    }
  }
  return groups.substr(0, 2) == "60";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace morvane;
  FuzzedDataProvider input(data, size);
  testing::Rig rig;
  ControllerState& state = rig.state;
  state.EncoderType = fuzzing::EncoderType(input);
  state.HexVersion = "0110";
  fuzzing::AnswerWithJunk(input, rig);

  for (int tick = 0; tick < 3 * fuzzing::kMaxTicks && input.remaining_bytes() > 0; ++tick) {
    fuzzing::PutFile(input, rig.files, "inhouse.txt");
    const int waited_before = rig.TotalWaitMs();
    tmrInHouse_Timer(rig.controller);
    FUZZ_CHECK(rig.TotalWaitMs() - waited_before == (IsPira32(state) ? 50 : 0));
    FUZZ_CHECK(state.UDGsequence >= 0 && state.UDGsequence <= 15);
    FUZZ_CHECK(state.UDGcurrentPosition >= 0 && state.UDGcurrentPosition <= 64 + 1);
    FUZZ_CHECK(state.UDGplaceCounter >= 0 && state.UDGplaceCounter <= 32);
  }
  fuzzing::CheckWire(rig);
  for (const std::string& command : rig.Writes()) {
    FUZZ_CHECK(IsGroupList(command));
  }
  return 0;
}
