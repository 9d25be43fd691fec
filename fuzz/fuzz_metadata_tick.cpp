// Whole ticks of the metadata watcher over a fuzzed metadata file, configuration and encoder
// answers: the tick ends, keeps the framing and sends each changed line once, and again only
// when the encoder did not hold it.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "fuzz_tick.h"
#include "radiotext/metadata_watcher.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace morvane;
  FuzzedDataProvider input(data, size);
  testing::Rig rig;
  ControllerState& state = rig.state;
  state.EncoderType = fuzzing::EncoderType(input);
  state.MetadataFile = "metadata.txt";
  state.RTplus = input.ConsumeBool() ? 1 : 0;
  state.RTplusSwap = input.ConsumeBool() ? "1" : "";
  state.RTPlusPrefix =
      input.ConsumeBool() ? fuzzing::ConfiguredText(input, 12) : std::string(kRtPlusSentinel);
  state.RTPlusSplit =
      input.ConsumeBool() ? fuzzing::ConfiguredText(input, 6) : std::string(kRtPlusSentinel);
  state.TrafficMeta =
      input.ConsumeBool() ? fuzzing::ConfiguredText(input, 8) : std::string(kMarkerSentinel);
  if (state.TrafficMeta.empty()) {
    state.TrafficMeta = std::string(kMarkerSentinel);
  }
  state.TrafficRadioText = fuzzing::ConfiguredText(input, 29);
  state.DefaultRadioText = fuzzing::ConfiguredText(input, 29);
  state.TAmaxtime = 120;
  state.TAstatus = input.ConsumeBool() ? 1 : 0;
  state.ManualTraffic = input.ConsumeBool() ? 1 : 0;
  fuzzing::AnswerWithJunk(input, rig);

  for (int tick = 0; tick < fuzzing::kMaxTicks && input.remaining_bytes() > 0; ++tick) {
    fuzzing::PutFile(input, rig.files, state.MetadataFile);
    const std::string before = state.LastRT;
    const int waited_before = rig.TotalWaitMs();
    // A text the encoder did not hold is sent again, ten seconds after it was sent.
    const std::optional<int64_t> resend_at = rig.controller.radiotext_check.resend_at_ms;
    const bool resend_due = resend_at && rig.clock.SteadyMs() >= *resend_at;
    tmrTextCheck_Timer(rig.controller);
    // TA on or off with its three queries, RadioText, two RT+ commands and the read-back.
    FUZZ_CHECK(rig.TotalWaitMs() - waited_before <= 200 + 600 + 500 + 1000 + 500);
    FUZZ_CHECK(state.TAstatus == 0 || state.TAstatus == 1);
    const std::string& rt_plus = rig.view.Text(Label::lblRTplus);
    FUZZ_CHECK(rt_plus.empty() || rt_plus == "RT+");
    if (state.LastRT == before && !resend_due) {
      FUZZ_CHECK(rig.TotalWaitMs() == waited_before);
    }
  }
  fuzzing::CheckWire(rig);
  return 0;
}
