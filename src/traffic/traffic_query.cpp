#include "traffic/traffic_query.h"

#include "link/commands.h"
#include "link/dialects.h"

namespace morvane {

namespace {

// A reading the configured encoder type cannot give.
constexpr std::string_view kNoReading = "-";
constexpr std::string_view kUnknown = "UNKNOWN";

struct TrafficReadings {
  std::string tp{kNoReading};
  std::string ta{kNoReading};
  std::string encoder_timeout{kUnknown};
};

TrafficReadings ReadTrafficSettings(Controller& controller) {
  TrafficReadings readings;
  const bool pira32 = IsPira32(controller.state);
  if (pira32) {
    readings.tp = Ask(controller.link, pira32::kQueryTP);
    readings.ta = Ask(controller.link, pira32::kQueryTA);
  }
  if (IsPiraMicro(controller.state)) {
    readings.ta = FrameFlagValue(Read(controller.link, piramicro::kReadTraffic));
  }
  if (pira32) {
    readings.encoder_timeout = Ask(controller.link, pira32::kQueryTATMOUT);
  }
  return readings;
}

// The PIRA micro gives no TP reading; its button follows whether the encoder answered the TA
// read, so a click can still reach it.
bool PiraMicroButtonEnabled(const std::string& ta) {
  return ta == "0" || ta == "1";
}

void ShowTrafficProgramme(Controller& controller, const TrafficReadings& readings) {
  StatusView& view = controller.io.view;
  if (readings.tp == "0") {
    controller.SetLabel(Label::lblTP, "0 (DISABLED ON ENCODER)");
    view.SetButtonEnabled(false);
  } else if (readings.tp == "1") {
    controller.SetLabel(Label::lblTP, "1 (READY FOR TRAFFIC)");
    view.SetButtonEnabled(true);
  } else if (readings.tp == kNoReading) {
    controller.SetLabel(Label::lblTP, kUnknown);
    view.SetButtonEnabled(IsPiraMicro(controller.state) && PiraMicroButtonEnabled(readings.ta));
  }
}

void ShowTrafficAnnouncement(Controller& controller, const std::string& ta) {
  StatusView& view = controller.io.view;
  if (ta == "0") {
    controller.SetLabel(Label::lblTA, "0 (NORMAL)");
    view.SetButtonCaption(kTrafficActivate);
    view.SetButtonColour(ButtonColour::LightGreen);
  } else if (ta == "1") {
    controller.SetLabel(Label::lblTA, "1 (TRAFFIC ALERT)");
    view.SetButtonCaption(kTrafficInProgress);
    view.SetButtonColour(ButtonColour::Red);
  } else if (ta == kNoReading) {
    controller.SetLabel(Label::lblTA, kUnknown);
    view.SetButtonCaption(kTrafficUnavailable);
    view.SetButtonColour(ButtonColour::ButtonFace);
  }
}

}  // namespace

std::string FrameFlagValue(std::string_view answer) {
  const std::string flag = ParseFrameData(answer, 1);
  return std::to_string(static_cast<unsigned char>(flag.at(0)));
}

std::optional<TrafficFlag> QueryTraffic(Controller& controller) {
  const TrafficReadings readings = ReadTrafficSettings(controller);
  ShowTrafficProgramme(controller, readings);
  ShowTrafficAnnouncement(controller, readings.ta);
  controller.SetLabel(Label::lblTATMOUT, readings.encoder_timeout);
  if (readings.ta == "0" || readings.ta == "1") {
    return readings.ta == "1" ? TrafficFlag::On : TrafficFlag::Off;
  }
  return std::nullopt;
}

}  // namespace morvane
