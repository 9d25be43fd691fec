#include "text/leading_number.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "text/text_helpers.h"

namespace morvane {

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

std::optional<LeadingNumber> ParseLeadingNumber(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size() && IsBlank(text[pos])) {
    ++pos;
  }
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    negative = text[pos] == '-';
    ++pos;
  }
  const std::size_t start = pos;
  bool nonzero_whole_digit = false;
  while (pos < text.size() && IsDigit(text[pos])) {
    nonzero_whole_digit = nonzero_whole_digit || text[pos] != '0';
    ++pos;
  }
  std::size_t digits = pos - start;
  if (pos < text.size() && text[pos] == '.') {
    const std::size_t point = pos++;
    while (pos < text.size() && IsDigit(text[pos])) {
      ++pos;
    }
    digits += pos - point - 1;
    if (digits == 0) {
      pos = point;  // a lone "." is no number
    }
  }
  if (digits == 0) {
    return std::nullopt;
  }

  double magnitude = 0;
  const auto [end, error] =
      std::from_chars(text.data() + start, text.data() + pos, magnitude, std::chars_format::fixed);
  if (error == std::errc::result_out_of_range) {
    // Too many digits either way: huge when a whole digit is not zero, else a vanishing fraction.
    magnitude = nonzero_whole_digit ? std::numeric_limits<double>::infinity() : 0.0;
  } else if (error != std::errc() || end != text.data() + pos) {
    return std::nullopt;
  }
  return LeadingNumber{negative ? -magnitude : magnitude, pos};
}

double RoundHalfEven(double value) {
  if (std::fabs(value - std::trunc(value)) == 0.5) {
    return 2.0 * std::round(value / 2.0);
  }
  return std::round(value);
}

std::optional<int16_t> RoundToInt16(double value) {
  const double rounded = RoundHalfEven(value);
  if (!(rounded >= std::numeric_limits<int16_t>::min() &&
        rounded <= std::numeric_limits<int16_t>::max())) {
    return std::nullopt;  // also NaN
  }
  return static_cast<int16_t>(rounded);
}

}  // namespace morvane
