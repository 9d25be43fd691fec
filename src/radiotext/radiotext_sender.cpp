#include "radiotext/radiotext_sender.h"

#include <optional>

#include "link/dialects.h"
#include "radiotext/rtplus_tags.h"

namespace morvane {

namespace {

constexpr int kRadioTextWaitMs = 500;
constexpr int kRtPlusWaitMs = 500;
constexpr int kRadioTextFrameWaitMs = 50;
constexpr int kShortRtWaitMs = 200;

constexpr std::size_t kFrameRadioTextLength = 64;
// The PIRA32 keeps 64 characters and drops the rest, so longer lines go out as they are; but a
// runaway first line (a file with LF endings only, say) would hold the port for a minute at
// 9600 bit/s and look like a dead port. No text that RT+ can tag is longer than this.
constexpr std::size_t kMaxAsciiRadioTextBytes = 256;
constexpr std::string_view kRtPlusClear = "RTP=00,00,00,00,00,00";
constexpr std::string_view kRtPlusShown = "RT+";
constexpr std::string_view kRtPlusSwapOn = "1";

// The PIRA micro takes exactly 64 characters. FE and FF would end or restart the frame inside
// the text, so they go out as spaces.
[[nodiscard]] std::string FrameRadioText(std::string_view text) {
  std::string data(text.substr(0, kFrameRadioTextLength));
  data.resize(kFrameRadioTextLength, ' ');
  for (char& c : data) {
    if (c == '\xFE' || c == '\xFF') {
      c = ' ';
    }
  }
  return data;
}

void Send(Controller& controller, std::string_view command, int wait_ms) {
  // Set commands are sent once; their answers say nothing we act on.
  static_cast<void>(controller.ExchangeCommand(command, wait_ms));
}

}  // namespace

void SendRadioText(Controller& controller, const std::string& text) {
  const ControllerState& state = controller.state;
  if (IsPira32(state)) {
    Send(controller, BuildAsciiCommand("RT1=" + text.substr(0, kMaxAsciiRadioTextBytes)),
         kRadioTextWaitMs);
  } else if (IsPiraMicro(state)) {
    Send(controller, BuildWriteFrame(kAddressRadioText, FrameRadioText(text)),
         kRadioTextFrameWaitMs);
  }
  controller.SetLabel(Label::lblRTplus, "");

  if (state.RTplus != 1 || !IsPira32(state)) {
    return;
  }
  // Every tagged RadioText first loses the tags of the one before, whether new ones follow or not.
  Send(controller, BuildAsciiCommand(kRtPlusClear), kRtPlusWaitMs);
  const std::optional<std::string> tags = BuildRtPlusTags(
      text, RtPlusLayout{state.RTPlusPrefix, state.RTPlusSplit, state.RTplusSwap == kRtPlusSwapOn});
  if (!tags) {
    return;
  }
  Send(controller, BuildAsciiCommand(*tags), kRtPlusWaitMs);
  controller.SetLabel(Label::lblRTplus, kRtPlusShown);
}

void EnableShortRT(Controller& controller) {
  if (IsPira32(controller.state)) {
    Send(controller, BuildAsciiCommand("SHORTRT=1"), kShortRtWaitMs);
  }
}

}  // namespace morvane
