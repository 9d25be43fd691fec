#include "radiotext/stale_radiotext.h"

#include "radiotext/radiotext_sender.h"
#include "status/status_queries.h"

namespace morvane {

namespace {

constexpr int64_t kMsPerMinute = int64_t{60} * 1000;

}  // namespace

void FallBackWhenStale(Controller& controller, const std::string& line, bool line_sends_default) {
  StaleRadioText& stale = controller.stale;
  if (stale.minutes <= 0) {
    return;
  }
  const ControllerState& state = controller.state;
  const int64_t now = controller.steady_now_ms();
  if (line != state.LastRT) {
    // The watcher puts this line on air now; the wait starts again.
    stale.line_since_ms = now;
    stale.default_on_air = line_sends_default;
    return;
  }
  if (stale.default_on_air || state.TAstatus != 0 ||
      now - stale.line_since_ms < stale.minutes * kMsPerMinute) {
    return;
  }
  // Set first: a send that fails is not tried again every second.
  stale.default_on_air = true;
  controller.Report(EventKind::Problem, Severity::Warning,
                    "the metadata line has not changed for " + std::to_string(stale.minutes) +
                        " minutes: DefaultRadioText goes on air");
  SendRadioText(controller, state.DefaultRadioText);
  QueryRT(controller);
  // What should be on air now is the default: a port that comes back gets it, and no re-send
  // of the stale line is left pending.
  controller.radiotext_check = RadioTextCheck{state.DefaultRadioText, 0, std::nullopt};
}

}  // namespace morvane
