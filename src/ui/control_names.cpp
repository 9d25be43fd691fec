#include "ui/status_view.h"

namespace morvane {

std::string_view LabelName(Label label) {
  switch (label) {
    case Label::lblPS:
      return "lblPS";
    case Label::lblPI:
      return "lblPI";
    case Label::lblTA:
      return "lblTA";
    case Label::lblTP:
      return "lblTP";
    case Label::lblPTY:
      return "lblPTY";
    case Label::lblRTplus:
      return "lblRTplus";
    case Label::lblClockUpdated:
      return "lblClockUpdated";
    case Label::lblLastTextCheck:
      return "lblLastTextCheck";
    case Label::lblEncoderType:
      return "lblEncoderType";
    case Label::lblTATMOUT:
      return "lblTATMOUT";
    case Label::lblOurTimeout:
      return "lblOurTimeout";
    case Label::lblPILOT:
      return "lblPILOT";
    case Label::lblCT:
      return "lblCT";
    case Label::lblRT:
      return "lblRT";
    case Label::lblNotice:
      return "lblNotice";
  }
  return "";
}

std::string_view CreationText(Label label) {
  switch (label) {
    case Label::lblRTplus:
      return "RT+";
    case Label::lblClockUpdated:
    case Label::lblLastTextCheck:
      return "Never";
    case Label::lblEncoderType:
      return "None";
    case Label::lblPILOT:
      return "N/A";
    case Label::lblRT:
      return "RADIOTEXT";
    case Label::lblNotice:
      return "RDS Morvane";
    default:
      return "?";
  }
}

std::string_view ButtonColourName(ButtonColour colour) {
  switch (colour) {
    case ButtonColour::ButtonFace:
      return "buttonface";
    case ButtonColour::LightGreen:
      return "lightgreen";
    case ButtonColour::Red:
      return "red";
  }
  return "";
}

}  // namespace morvane
