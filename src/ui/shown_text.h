#pragma once

#include <string>
#include <string_view>

#include "ui/status_view.h"

namespace morvane {

// What the status window shows for a label's bytes, as UTF-8, so that every display of the
// controller (the window, the web page) reads alike. One byte is one character: Latin-1, or for
// PS and RadioText read back from the encoder the RDS character set when titles are converted
// into it (rds_characters). A line break would push the text out of its row, so CR and LF show
// as blanks.
[[nodiscard]] std::string ShownText(Label label, std::string_view bytes, bool rds_characters);

}  // namespace morvane
