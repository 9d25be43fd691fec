#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace morvane {

inline constexpr char kCR = '\x0D';
inline constexpr char kLF = '\x0A';

// Blanks as a station engineer types them around INI values and command fields.
[[nodiscard]] constexpr bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}
[[nodiscard]] std::string_view TrimBlanks(std::string_view text);

// Equal when only the letter case of A to Z differs; other bytes must match exactly.
[[nodiscard]] bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// The first line of a file's content as the playout and the station write it: every byte up to the
// first CR, so a CR LF ending goes with the CR and a lone LF stays in the text.
[[nodiscard]] std::string_view FirstLine(std::string_view content);

// Upper-case hexadecimal: one digit for the low four bits, or every digit (a tab is 09, not 9).
[[nodiscard]] char HexDigit(unsigned value);
[[nodiscard]] std::string HexByte(uint8_t value);
[[nodiscard]] std::string HexWord(uint16_t value);

// 0 to 99 as two digits, with a leading zero.
[[nodiscard]] std::string TwoDigits(int value);
// HH:MM:SS, 24-hour.
[[nodiscard]] std::string TimeOfDay(int hour, int minute, int second);

// Between double quotes, as it stands: for messages that name a value from a file.
[[nodiscard]] std::string Quoted(std::string_view text);

}  // namespace morvane
