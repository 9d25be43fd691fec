#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace morvane {

// A decimal number at the start of a text, as a station engineer writes it in the INI file:
// blanks, an optional sign, digits with an optional decimal point (".5" and "2." count). No
// exponent, no hexadecimal, no thousands separator. Read without the locale, so a desktop set to
// a decimal comma still reads "1.5" as one and a half.
struct LeadingNumber {
  double value = 0;
  std::size_t length = 0;  // characters taken, leading blanks included
};

// std::nullopt when the text does not begin with a number. Digits beyond what a double holds
// give an infinite value, which no conversion below accepts.
[[nodiscard]] std::optional<LeadingNumber> ParseLeadingNumber(std::string_view text);

// The nearest whole number, halves to the even neighbour (1.5 and 2.5 both give 2).
[[nodiscard]] double RoundHalfEven(double value);

// RoundHalfEven, or std::nullopt when the result does not fit a 16-bit signed integer.
[[nodiscard]] std::optional<int16_t> RoundToInt16(double value);

}  // namespace morvane
