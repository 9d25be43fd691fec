#pragma once

#include <string>
#include <string_view>

namespace morvane {

// A text as it may safely appear between double quotes on a console line: backslash and double
// quote get a backslash, control bytes, DEL and every byte from 0x80 become \xHH. Nothing that
// the encoder or the metadata file holds can then break a line or confuse a terminal, and the
// bytes can be read back exactly.
[[nodiscard]] std::string EscapeForConsole(std::string_view text);
// EscapeForConsole between double quotes.
[[nodiscard]] std::string QuotedForConsole(std::string_view text);

}  // namespace morvane
