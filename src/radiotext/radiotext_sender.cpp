#include "radiotext/radiotext_sender.h"

#include <optional>

#include "link/commands.h"
#include "link/dialects.h"
#include "radiotext/rtplus_tags.h"
#include "text/text_helpers.h"

namespace morvane {

namespace {

// The PIRA32 keeps 64 characters and drops the rest, so longer lines go out as they are; but a
// runaway first line (a file with LF endings only, say) would hold the port for a minute at
// 9600 bit/s and look like a dead port. No text that RT+ can tag is longer than this.
constexpr std::size_t kMaxAsciiRadioTextBytes = 256;
constexpr std::string_view kRtPlusShown = "RT+";
constexpr std::string_view kRtPlusSwapOn = "1";

// The PIRA micro takes exactly 64 characters. FE and FF would end or restart the frame inside
// the text, so they go out as spaces.
[[nodiscard]] std::string FrameRadioText(std::string_view text) {
  std::string data(text.substr(0, protocol::kRadioTextLength));
  data.resize(protocol::kRadioTextLength, ' ');
  for (char& c : data) {
    if (c == '\xFE' || c == '\xFF') {
      c = ' ';
    }
  }
  return data;
}

}  // namespace

std::string RadioTextAsRead(std::string_view read_back) {
  std::string held;
  for (char c : read_back.substr(0, protocol::kRadioTextLength)) {
    if (c != kLF) {
      held += c;
    }
  }
  while (!held.empty() && IsBlank(held.back())) {
    held.pop_back();
  }
  return held;
}

std::string RadioTextAsHeld(const ControllerState& state, std::string_view text) {
  if (IsPira32(state)) {
    return RadioTextAsRead(text);
  }
  if (IsPiraMicro(state)) {
    return RadioTextAsRead(FrameRadioText(text));
  }
  return {};
}

void SendRadioText(Controller& controller, const std::string& text) {
  const ControllerState& state = controller.state;
  const bool rtplus = state.RTplus == 1 && IsPira32(state);
  controller.SetLabel(Label::lblRTplus, "");
  if (rtplus) {
    // The old tags go before the new text: cleared after it, they would mark the new text by
    // the old positions for as long as the clear takes to come.
    Exchange(controller.link, pira32::kClearRtPlus);
  }
  if (IsPira32(state)) {
    Exchange(controller.link, pira32::kSetRadioText, text.substr(0, kMaxAsciiRadioTextBytes));
  } else if (IsPiraMicro(state)) {
    Write(controller.link, piramicro::kWriteRadioText, FrameRadioText(text));
  }
  if (IsPira32(state) || IsPiraMicro(state)) {
    controller.Report(EventKind::RadioTextSent, Severity::Info, text);
  }
  if (!rtplus) {
    return;
  }
  const std::optional<std::string> tags = BuildRtPlusTags(
      text, RtPlusLayout{state.RTPlusPrefix, state.RTPlusSplit, state.RTplusSwap == kRtPlusSwapOn});
  // The window claims tags only when a tag command really reached the port.
  if (tags && controller.link.SendCommand(BuildAsciiCommand(*tags), pira32::kSetRtPlus.wait_ms)) {
    controller.SetLabel(Label::lblRTplus, kRtPlusShown);
  }
}

void EnableShortRT(Controller& controller) {
  if (IsPira32(controller.state)) {
    Exchange(controller.link, pira32::kShortRadioText);
  }
}

}  // namespace morvane
