#include "ui/headless_view.h"

#include "text/console_text.h"
#include "text/text_helpers.h"

namespace morvane {

HeadlessView::HeadlessView(std::ostream& out, LocalClock& clock, bool verbose)
    : out_(out), clock_(clock), verbose_(verbose), caption_(kTrafficUnavailable) {
  for (const Label label : kAllLabels) {
    labels_[label] = std::string(CreationText(label));
  }
  printed_ = ButtonState{caption_, enabled_, colour_};
}

HeadlessView::~HeadlessView() {
  Flush();
}

void HeadlessView::SetLabel(Label label, std::string_view text) {
  std::string& shown = labels_[label];
  if (shown == text) {
    return;
  }
  shown = std::string(text);
  if (label == Label::lblLastTextCheck && !verbose_) {
    return;
  }
  PrintLine(LabelName(label), QuotedForConsole(text));
}

void HeadlessView::SetButtonCaption(std::string_view caption) {
  caption_ = std::string(caption);
}

void HeadlessView::SetButtonEnabled(bool enabled) {
  enabled_ = enabled;
}

void HeadlessView::SetButtonColour(ButtonColour colour) {
  colour_ = colour;
}

void HeadlessView::Flush() {
  if (caption_ == printed_.caption && enabled_ == printed_.enabled && colour_ == printed_.colour) {
    return;
  }
  printed_ = ButtonState{caption_, enabled_, colour_};
  PrintLine("cmdTraffic", QuotedForConsole(caption_) + (enabled_ ? " enabled " : " disabled ") +
                              std::string(ButtonColourName(colour_)));
}

void HeadlessView::PrintLine(std::string_view control, std::string_view rest) {
  // Flushed line by line: a journal or a pipe must see each change when it happens.
  const LocalTime now = clock_.Now();
  out_ << TimeOfDay(now.hour, now.minute, now.second) << ' ' << control << ' ' << rest << std::endl;
}

}  // namespace morvane
