#include "text/text_helpers.h"

namespace morvane {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

[[nodiscard]] char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) {
    text.remove_prefix(1);
  }
  while (!text.empty() && IsBlank(text.back())) {
    text.remove_suffix(1);
  }
  return text;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) {
      return false;
    }
  }
  return true;
}

std::string_view FirstLine(std::string_view content) {
  return content.substr(0, content.find(kCR));
}

char HexDigit(unsigned value) {
  return kHexDigits[value & 0x0F];
}

std::string HexByte(uint8_t value) {
  return {HexDigit(value >> 4), HexDigit(value)};
}

std::string HexWord(uint16_t value) {
  return HexByte(static_cast<uint8_t>(value >> 8)) + HexByte(static_cast<uint8_t>(value & 0xFF));
}

std::string TwoDigits(int value) {
  return {static_cast<char>('0' + value / 10 % 10), static_cast<char>('0' + value % 10)};
}

std::string TimeOfDay(int hour, int minute, int second) {
  return TwoDigits(hour) + ":" + TwoDigits(minute) + ":" + TwoDigits(second);
}

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

}  // namespace morvane
