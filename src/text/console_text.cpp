#include "text/console_text.h"

#include "text/text_helpers.h"

namespace morvane {

std::string EscapeForConsole(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\' || c == '"') {
      escaped += '\\';
      escaped += c;
    } else if (byte < 0x20 || byte >= 0x7F) {
      escaped += "\\x" + HexByte(byte);
    } else {
      escaped += c;
    }
  }
  return escaped;
}

std::string QuotedForConsole(std::string_view text) {
  return "\"" + EscapeForConsole(text) + "\"";
}

}  // namespace morvane
