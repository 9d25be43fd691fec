// Ticks of the metadata watcher and the in-house rotator over fuzzed files, settings and answers
// on every encoder type keep to their dialect's framing, the catalogue's waits and their rules.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <regex>
#include <string>

#include "fuzz_check.h"
#include "inhouse/inhouse_rotator.h"
#include "link/protocol.h"
#include "radiotext/metadata_watcher.h"
#include "support/fakes.h"

namespace {

using namespace morvane;

// "UDG1=" with four twelve-digit upper-case groups, each ended by ",", or the version groups.
const std::regex kGroupList("UDG1=(60[0-9A-F]{10},){4}\r|UDG1=600000000000,600100000110\r");

// Every command keeps to the framing of its dialect, and every wait is one the catalogue knows.
void CheckWire(const testing::Rig& rig) {
  for (const testing::WireEvent& event : rig.log) {
    const std::string& bytes = event.bytes;
    if (event.kind == testing::WireEvent::Kind::Sleep) {
      FUZZ_CHECK(event.wait_ms == 50 || event.wait_ms == 200 || event.wait_ms == 400 ||
                 event.wait_ms == 500);
    } else if (event.kind == testing::WireEvent::Kind::Write && IsPira32(rig.state)) {
      FUZZ_CHECK(bytes.find('\r') == bytes.size() - 1);
    } else if (event.kind == testing::WireEvent::Kind::Write) {
      FUZZ_CHECK(IsPiraMicro(rig.state) && bytes.size() >= protocol::kReadFrameBytes &&
                 bytes.front() == protocol::kFrameStart && bytes.back() == protocol::kFrameEnd);
      if (bytes[1] == protocol::kReadRequest) {
        FUZZ_CHECK(bytes.size() == protocol::kReadFrameBytes);
        continue;
      }
      FUZZ_CHECK(bytes[bytes.size() - 2] == protocol::kWriteClose);
      // FE and FF inside the data would end or restart the frame.
      const std::string data = bytes.substr(2, bytes.size() - protocol::kWriteFrameOverhead);
      FUZZ_CHECK(data.find_first_of("\xFE\xFF") == std::string::npos);
      FUZZ_CHECK(data.size() == protocol::WriteDataLength(static_cast<uint8_t>(bytes[1])));
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  // Configured texts never hold a line end: the INI reader splits lines there.
  const auto text = [&input](std::size_t max_length, std::string_view unset = {}) {
    std::string got = !unset.empty() && input.ConsumeBool()
                          ? std::string(unset)
                          : input.ConsumeRandomLengthString(max_length);
    got.erase(std::remove_if(got.begin(), got.end(), [](char c) { return c == '\r' || c == '\n'; }),
              got.end());
    return got;
  };
  // A file as the tick finds it: missing, unreadable, or holding fuzzed bytes.
  testing::Rig rig;
  const auto put_file = [&](const std::string& path) {
    const int kind = input.ConsumeIntegralInRange<int>(0, 3);
    rig.files.files.erase(path);
    rig.files.unreadable.erase(path);
    if (kind > 0) {
      rig.files.files[path] = input.ConsumeRandomLengthString(400);
      (void)(kind == 1 && rig.files.unreadable.insert(path).second);
    }
  };
  ControllerState& state = rig.state;
  static const char* const kTypes[] = {"PIRA32", "PIRAMICRO", "pira32", ""};
  state.EncoderType = kTypes[input.ConsumeIntegralInRange<int>(0, 3)];
  state.MetadataFile = "metadata.txt";
  state.HexVersion = "0110";
  state.TAmaxtime = 120;
  state.RTplus = input.ConsumeBool() ? 1 : 0;
  state.RTplusSwap = input.ConsumeBool() ? "1" : "";
  state.RTPlusPrefix = text(12, kRtPlusSentinel);
  state.RTPlusSplit = text(6, kRtPlusSentinel);
  state.TrafficMeta = text(8, kMarkerSentinel);
  if (state.TrafficMeta.empty()) {
    state.TrafficMeta = std::string(kMarkerSentinel);
  }
  state.TrafficRadioText = text(29);
  state.DefaultRadioText = text(29);
  state.TAstatus = input.ConsumeBool() ? 1 : 0;
  state.ManualTraffic = input.ConsumeBool() ? 1 : 0;
  rig.port.answer_delay_us = input.ConsumeIntegralInRange<int64_t>(0, 1'000'000);
  rig.port.responder = [&input](const std::string&) {
    return input.ConsumeRandomLengthString(300);
  };

  for (int tick = 0; tick < 16 && input.remaining_bytes() > 0; ++tick) {
    put_file(state.MetadataFile);
    put_file("inhouse.txt");
    const std::string before = state.LastRT;
    // A text the encoder did not hold is sent again, ten seconds after it was sent.
    const std::optional<int64_t> resend_at = rig.controller.radiotext_check.resend_at_ms;
    const bool resend_due = resend_at && rig.clock.SteadyMs() >= *resend_at;
    rig.ClearLog();
    tmrTextCheck_Timer(rig.controller);
    // At most: TA on or off with its three queries, RadioText, two RT+ commands, the read-back.
    FUZZ_CHECK(rig.TotalWaitMs() <= 200 + 600 + 500 + 1000 + 500);
    FUZZ_CHECK(state.LastRT != before || resend_due || rig.TotalWaitMs() == 0);
    FUZZ_CHECK(state.TAstatus == 0 || state.TAstatus == 1);
    FUZZ_CHECK(rig.view.Text(Label::lblRTplus).empty() || rig.view.Text(Label::lblRTplus) == "RT+");
    CheckWire(rig);

    rig.ClearLog();
    tmrInHouse_Timer(rig.controller);
    FUZZ_CHECK(rig.TotalWaitMs() == (IsPira32(state) ? 50 : 0));
    FUZZ_CHECK(state.UDGsequence >= 0 && state.UDGsequence <= 15);
    FUZZ_CHECK(state.UDGcurrentPosition >= 0 && state.UDGcurrentPosition <= 64 + 1);
    FUZZ_CHECK(state.UDGplaceCounter >= 0 && state.UDGplaceCounter <= 32);
    CheckWire(rig);
    for (const std::string& command : rig.Writes()) {
      FUZZ_CHECK(std::regex_match(command, kGroupList));
    }
  }
  return 0;
}
