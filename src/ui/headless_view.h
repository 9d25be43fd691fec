#pragma once

#include <map>
#include <ostream>
#include <string>
#include <string_view>

#include "app/local_clock.h"
#include "ui/status_view.h"

namespace morvane {

// The status window without a window, for running as a service: every change of a control is
// one line "HH:MM:SS <control> "<text>"" on the output. The once-a-second metadata check time
// would drown everything else, so lblLastTextCheck is only printed when verbose.
class HeadlessView : public StatusView {
 public:
  HeadlessView(std::ostream& out, LocalClock& clock, bool verbose);
  ~HeadlessView() override;

  void SetLabel(Label label, std::string_view text) override;
  void SetButtonCaption(std::string_view caption) override;
  void SetButtonEnabled(bool enabled) override;
  void SetButtonColour(ButtonColour colour) override;

  // The traffic query sets caption, colour and enabled state one after the other; the button
  // line is printed once, with the state they add up to, when the handler has finished.
  void Flush();

  [[nodiscard]] bool ButtonEnabled() const { return enabled_; }
  [[nodiscard]] const std::string& ButtonCaption() const { return caption_; }

 private:
  struct ButtonState {
    std::string caption;
    bool enabled = false;
    ButtonColour colour = ButtonColour::ButtonFace;
  };

  void PrintLine(std::string_view control, std::string_view rest);

  std::ostream& out_;
  LocalClock& clock_;
  bool verbose_;
  std::map<Label, std::string> labels_;
  std::string caption_;
  bool enabled_ = false;
  ButtonColour colour_ = ButtonColour::ButtonFace;
  ButtonState printed_;
};

}  // namespace morvane
