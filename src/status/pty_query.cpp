#include "status/pty_query.h"

#include <array>
#include <string>
#include <string_view>

#include "link/commands.h"
#include "link/dialects.h"

namespace morvane {

namespace {

// The station's own names for the 32 programme types, indexed by number; "Leasure" is how the
// window has always spelt it.
constexpr std::array<std::string_view, 32> kPtyNames = {
    "No PTY",
    "News",
    "Affairs",
    "Info",
    "Sport",
    "Education",
    "Drama",
    "Culture",
    "Science",
    "Varied Speech",
    "Pop Music",
    "Rock Music",
    "Easy Music",
    "Light Classics",
    "Serious Classics",
    "Other Music",
    "Weather",
    "Finance",
    "Children",
    "Social Affairs",
    "Religion",
    "Phone In",
    "Travel",
    "Leasure",
    "Jazz Music",
    "Country Music",
    "National Music",
    "Oldies Music",
    "Folk Music",
    "Documentary",
    "** ALARM TEST **",
    "**** ALARM ****",
};

// Keys are matched as text: "01" or " 1" is not programme type 1, and is shown as it came.
std::string PtyName(const std::string& value) {
  if (value.empty()) {
    return std::string(kNoPty);
  }
  for (std::size_t number = 0; number < kPtyNames.size(); ++number) {
    if (value == std::to_string(number)) {
      return std::string(kPtyNames[number]);
    }
  }
  return value;
}

}  // namespace

void QueryPTY(Controller& controller) {
  std::string value;
  if (IsPira32(controller.state)) {
    value = Ask(controller.link, pira32::kQueryPTY);
  }
  if (IsPiraMicro(controller.state)) {
    const std::string answer = Read(controller.link, piramicro::kReadPTY);
    const auto code = static_cast<unsigned char>(ParseFrameData(answer, 1).front());
    value = std::to_string(code);
  }
  controller.SetLabel(Label::lblPTY, PtyName(value));
}

}  // namespace morvane
