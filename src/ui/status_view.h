#pragma once

#include <string_view>

namespace morvane {

// The labels of the status window, named as the controls are.
enum class Label {
  lblPS,
  lblPI,
  lblTA,
  lblTP,
  lblPTY,
  lblRTplus,
  lblClockUpdated,
  lblLastTextCheck,
  lblEncoderType,
  lblTATMOUT,
  lblOurTimeout,
  lblPILOT,
  lblCT,
  lblRT,
  lblNotice,
};

inline constexpr Label kAllLabels[] = {
    Label::lblPS,          Label::lblPI,      Label::lblTA,           Label::lblTP,
    Label::lblPTY,         Label::lblRTplus,  Label::lblClockUpdated, Label::lblLastTextCheck,
    Label::lblEncoderType, Label::lblTATMOUT, Label::lblOurTimeout,   Label::lblPILOT,
    Label::lblCT,          Label::lblRT,      Label::lblNotice,
};

enum class ButtonColour { ButtonFace, LightGreen, Red };

[[nodiscard]] std::string_view LabelName(Label label);
[[nodiscard]] std::string_view CreationText(Label label);
[[nodiscard]] std::string_view ButtonColourName(ButtonColour colour);

inline constexpr std::string_view kTrafficUnavailable = "TRAFFIC ALERT UNAVAILABLE";
inline constexpr std::string_view kTrafficActivate = "CLICK TO ACTIVATE TRAFFIC ALERT";
inline constexpr std::string_view kTrafficInProgress = "TRAFFIC ALERT IN PROGRESS - CLICK TO END";

// What the controller shows. Output only: nothing is ever read back from the window.
class StatusView {
 public:
  virtual ~StatusView() = default;
  virtual void SetLabel(Label label, std::string_view text) = 0;
  virtual void SetButtonCaption(std::string_view caption) = 0;
  virtual void SetButtonEnabled(bool enabled) = 0;
  virtual void SetButtonColour(ButtonColour colour) = 0;
};

}  // namespace morvane
