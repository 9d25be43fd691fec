#include "radiotext/radiotext_check.h"

#include "app/controller.h"
#include "radiotext/radiotext_sender.h"

namespace morvane {

void CheckRadioTextHeld(Controller& controller, const std::string& text,
                        const std::optional<std::string>& read_back) {
  RadioTextCheck& check = controller.radiotext_check;
  check.meant = text;
  if (!IsPira32(controller.state) && !IsPiraMicro(controller.state)) {
    return;  // nothing was sent, nothing can be missing
  }
  const bool held =
      read_back && RadioTextAsRead(*read_back) == RadioTextAsHeld(controller.state, text);
  if (held) {
    check.misses_in_a_row = 0;
    check.resend_at_ms.reset();
    if (controller.notices.Posted(Notice::OtherRadioText)) {
      controller.notices.Withdraw(Notice::OtherRadioText);
      controller.Report(EventKind::RadioTextHeld, Severity::Notice,
                        "encoder holds the RadioText sent");
    }
    return;
  }
  ++check.misses_in_a_row;
  check.resend_at_ms = controller.io.clock.SteadyMs() + kRadioTextResendIntervalMs;
  if (check.misses_in_a_row == kRadioTextMissesNoticed) {
    controller.notices.Post(Notice::OtherRadioText, kOtherRadioTextNotice);
    controller.Report(EventKind::RadioTextMissed, Severity::Warning, kOtherRadioTextNotice);
  }
}

bool TakeRadioTextResend(Controller& controller) {
  std::optional<int64_t>& due = controller.radiotext_check.resend_at_ms;
  if (!due || controller.io.clock.SteadyMs() < *due) {
    return false;
  }
  due.reset();
  return true;
}

}  // namespace morvane
