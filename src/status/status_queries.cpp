#include "status/status_queries.h"

#include <string>
#include <string_view>

#include "link/dialects.h"

namespace morvane {

namespace {

constexpr int kQueryWaitMs = 200;
constexpr int kRadioTextQueryWaitMs = 500;
constexpr int kFrameQueryWaitMs = 200;

constexpr uint8_t kPSLength = 8;
constexpr uint8_t kRadioTextLength = 64;
constexpr uint8_t kPilotStatusLength = 1;
// Two answer bytes come before the data of a PIRA micro answer.
constexpr std::size_t kPilotStatusByteIndex = 2;

constexpr std::string_view kUnknown = "UNKNOWN";
constexpr std::string_view kPilotAbsent = "NONE/FREE RUN";
constexpr std::string_view kPilotPresent = "Stereo Pilot OK";
constexpr std::string_view kCTDisabled = "0 (DISABLED ON ENCODER)";
constexpr std::string_view kCTBroadcast = "1 (TIME BEING BROADCAST)";

[[nodiscard]] std::string AskPira32(Controller& controller, std::string_view command, int wait_ms) {
  return ParseAnswerLine(controller.ExchangeCommand(BuildAsciiCommand(command), wait_ms));
}

// PS and RadioText: a silent PIRA micro shows nothing rather than a row of spaces.
[[nodiscard]] std::string ReadText(Controller& controller, std::string_view pira32_command,
                                   int pira32_wait_ms, uint8_t address, uint8_t length) {
  if (IsPira32(controller.state)) {
    return AskPira32(controller, pira32_command, pira32_wait_ms);
  }
  if (IsPiraMicro(controller.state)) {
    const std::string answer =
        controller.ExchangeCommand(BuildReadFrame(address, length), kFrameQueryWaitMs);
    return answer.empty() ? std::string() : ParseFrameData(answer, length);
  }
  return {};
}

// The PIRA micro reports the pilot in the lowest bit of its status byte, clear while the pilot
// is present. An answer too short to hold the byte says nothing, so it counts as no pilot.
[[nodiscard]] std::string_view PilotFromStatus(std::string_view answer) {
  if (answer.size() <= kPilotStatusByteIndex) {
    return "0";
  }
  const auto status = static_cast<unsigned char>(answer[kPilotStatusByteIndex]);
  return (status & 0x01) == 0 ? "1" : "0";
}

}  // namespace

void QueryPS(Controller& controller) {
  controller.SetLabel(Label::lblPS,
                      ReadText(controller, "PS", kQueryWaitMs, kAddressPS, kPSLength));
}

void QueryRT(Controller& controller) {
  controller.SetLabel(Label::lblRT, ReadText(controller, "RT1", kRadioTextQueryWaitMs,
                                             kAddressRadioText, kRadioTextLength));
}

void QueryPI(Controller& controller) {
  std::string value(kUnknown);
  if (IsPira32(controller.state)) {
    value = AskPira32(controller, "PI", kQueryWaitMs);
  }
  controller.SetLabel(Label::lblPI, value);
}

void QueryPilot(Controller& controller) {
  std::string value(kUnknown);
  if (IsPira32(controller.state)) {
    value = AskPira32(controller, "PILOT", kQueryWaitMs);
  } else if (IsPiraMicro(controller.state)) {
    value = PilotFromStatus(controller.ExchangeCommand(
        BuildReadFrame(kAddressPilot, kPilotStatusLength), kFrameQueryWaitMs));
  }
  if (value == "0" || value.empty()) {
    value = kPilotAbsent;
  } else if (value == "1") {
    value = kPilotPresent;
  }
  controller.SetLabel(Label::lblPILOT, value);
}

void QueryCT(Controller& controller) {
  std::string value = "?";
  if (IsPira32(controller.state)) {
    value = AskPira32(controller, "CT", kQueryWaitMs);
  }
  // Anything else, silence included, leaves the last reading standing.
  if (value == "0") {
    controller.SetLabel(Label::lblCT, kCTDisabled);
  } else if (value == "1") {
    controller.SetLabel(Label::lblCT, kCTBroadcast);
  } else if (value == "?") {
    controller.SetLabel(Label::lblCT, kUnknown);
  }
}

}  // namespace morvane
