#include "radiotext/metadata_watcher.h"

#include <string>
#include <string_view>

#include "radiotext/metadata_line.h"
#include "radiotext/radiotext_check.h"
#include "radiotext/radiotext_sender.h"
#include "radiotext/stale_radiotext.h"
#include "status/status_queries.h"
#include "text/text_helpers.h"
#include "traffic/traffic_alert.h"

namespace morvane {

namespace {

// A jingle or other station item: the default RadioText goes on air instead of the line.
constexpr std::string_view kSystemMarker = "!!*SYS*!!";

[[nodiscard]] bool Contains(std::string_view line, std::string_view marker) {
  // An unset marker never matches; the configuration puts a sentinel there instead.
  return !marker.empty() && line.find(marker) != std::string_view::npos;
}

// Said once when the file cannot be read (again once if the reason changes) and once when it
// can again; never a line a second.
void NoteMetadataFile(Controller& controller, const std::optional<std::string>& problem) {
  std::optional<std::string>& known = controller.metadata_file_problem;
  if (problem == known) {
    return;
  }
  known = problem;
  if (problem) {
    const std::string text = MetadataFileProblem(controller.state.MetadataFile, *problem);
    controller.notices.Post(Notice::MetadataFile, text);
    controller.Report(EventKind::MetadataFileFailed, Severity::Warning, text);
    return;
  }
  controller.notices.Withdraw(Notice::MetadataFile);
  controller.Report(EventKind::MetadataFileBack, Severity::Notice,
                    "metadata file " + controller.state.MetadataFile + " can be read again");
}

}  // namespace

void tmrTextCheck_Timer(Controller& controller) {
  ControllerState& state = controller.state;
  // Converted where it comes in, so markers, RT+ positions and the 64-character frame all count
  // the characters a radio shows.
  const MetadataRead read =
      ReadMetadataLine(controller.io.files, state.MetadataFile, controller.text_encoding);
  NoteMetadataFile(controller, read.problem);
  const std::string& line = read.line;
  const LocalTime now = controller.io.clock.Now();
  controller.SetLabel(Label::lblLastTextCheck, TimeOfDay(now.hour, now.minute, now.second));

  // A RadioText the encoder did not take: the line is acted on again.
  if (TakeRadioTextResend(controller)) {
    state.LastRT.clear();
  }
  FallBackWhenStale(controller, line, Contains(line, kSystemMarker));
  // A line is acted on once, on the tick that first sees it.
  if (line == state.LastRT) {
    return;
  }
  // Stored before sending; a send that fails is repeated by the RadioText check, not here.
  state.LastRT = line;

  const bool traffic_marker = Contains(line, state.TrafficMeta);
  std::string text = line;
  if (traffic_marker) {
    text = state.TrafficRadioText;
  }
  if (Contains(line, kSystemMarker)) {
    text = state.DefaultRadioText;
  }

  if (traffic_marker && state.TAstatus == 0) {
    RaiseTrafficAlert(controller);
  }
  // Tested after a possible start; an alert started with the button is never ended here.
  if (!traffic_marker && state.TAstatus == 1 && state.ManualTraffic != 1) {
    EndTrafficAlert(controller);
  }

  SendRadioText(controller, text);
  CheckRadioTextHeld(controller, text, ReadRadioTextBack(controller));
}

}  // namespace morvane
