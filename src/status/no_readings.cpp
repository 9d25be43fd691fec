#include "status/no_readings.h"

#include "status/pty_query.h"
#include "status/status_queries.h"

namespace morvane {

namespace {

constexpr std::string_view kUnknown = "UNKNOWN";

}  // namespace

void ShowNoReadings(Controller& controller) {
  const bool pira32 = IsPira32(controller.state);
  const bool model = pira32 || IsPiraMicro(controller.state);
  controller.SetLabel(Label::lblPS, "");
  // A PIRA micro is never asked for its PI.
  controller.SetLabel(Label::lblPI, pira32 ? "" : kUnknown);
  controller.SetLabel(Label::lblRT, "");
  controller.SetLabel(Label::lblPILOT, model ? kPilotAbsent : kUnknown);
  // A silent encoder would leave the CT reading standing; it is not the encoder's any more.
  controller.SetLabel(Label::lblCT, kUnknown);
  controller.SetLabel(Label::lblPTY, kNoPty);
  controller.SetLabel(Label::lblTP, kUnknown);
  controller.SetLabel(Label::lblTA, kUnknown);
  controller.SetLabel(Label::lblTATMOUT, "");
  StatusView& view = controller.io.view;
  view.SetButtonEnabled(false);
  view.SetButtonCaption(kTrafficUnavailable);
  view.SetButtonColour(ButtonColour::ButtonFace);
}

}  // namespace morvane
