#include "status/status_queries.h"

#include <string>
#include <string_view>

#include "link/commands.h"
#include "link/dialects.h"

namespace morvane {

namespace {

constexpr std::string_view kUnknown = "UNKNOWN";
constexpr std::string_view kPilotPresent = "Stereo Pilot OK";
constexpr std::string_view kCTDisabled = "0 (DISABLED ON ENCODER)";
constexpr std::string_view kCTBroadcast = "1 (TIME BEING BROADCAST)";

// PS and RadioText: a silent PIRA micro shows nothing rather than a row of spaces.
[[nodiscard]] std::optional<std::string> ReadText(Controller& controller,
                                                  const AsciiCommand& pira32_query,
                                                  const FrameCommand& piramicro_read) {
  if (IsPira32(controller.state)) {
    return AskReading(controller.link, pira32_query);
  }
  if (IsPiraMicro(controller.state)) {
    const std::string answer = Read(controller.link, piramicro_read);
    if (answer.empty()) {
      return std::nullopt;
    }
    return ParseFrameData(answer, piramicro_read.count);
  }
  return std::nullopt;
}

// The PIRA micro reports the pilot in the lowest bit of its status byte, clear while the pilot
// is present. An answer too short to hold the byte says nothing, so it counts as no pilot.
[[nodiscard]] std::string_view PilotFromStatus(std::string_view answer) {
  if (answer.size() <= protocol::kAnswerHeaderBytes) {
    return "0";
  }
  const auto status = static_cast<unsigned char>(answer[protocol::kAnswerHeaderBytes]);
  return (status & 0x01) == 0 ? "1" : "0";
}

}  // namespace

void QueryPS(Controller& controller) {
  controller.SetLabel(
      Label::lblPS,
      ReadText(controller, pira32::kQueryPS, piramicro::kReadPS).value_or(std::string()));
}

void QueryRT(Controller& controller) {
  (void)ReadRadioTextBack(controller);
}

std::optional<std::string> ReadRadioTextBack(Controller& controller) {
  std::optional<std::string> value =
      ReadText(controller, pira32::kQueryRadioText, piramicro::kReadRadioText);
  controller.SetLabel(Label::lblRT, value.value_or(std::string()));
  return value;
}

void QueryPI(Controller& controller) {
  std::string value(kUnknown);
  if (IsPira32(controller.state)) {
    value = Ask(controller.link, pira32::kQueryPI);
  }
  controller.SetLabel(Label::lblPI, value);
}

void QueryPilot(Controller& controller) {
  std::string value(kUnknown);
  if (IsPira32(controller.state)) {
    value = Ask(controller.link, pira32::kQueryPilot);
  } else if (IsPiraMicro(controller.state)) {
    value = PilotFromStatus(Read(controller.link, piramicro::kReadPilot));
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
    value = Ask(controller.link, pira32::kQueryCT);
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
