#include "text/leading_number.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace morvane {
namespace {

struct NumberCase {
  std::string text;
  std::optional<double> value;
  std::size_t length = 0;
};

// Too many digits give an infinite value, which no conversion accepts, or a vanishing fraction.
TEST(ParseLeadingNumber, ReadsTheDecimalNumberAtTheStart) {
  const std::vector<NumberCase> cases = {
      {"  12abc", 12, 4},   {"\t7", 7, 2},         {"+3", 3, 2},          {"-2.5", -2.5, 4},
      {".5", 0.5, 2},       {"5.x", 5, 2},         {"1e3", 1, 1},         {"1,5", 1, 1},
      {"0x10", 0, 1},       {"", std::nullopt},    {"yes", std::nullopt}, {".", std::nullopt},
      {"+.", std::nullopt}, {"- 1", std::nullopt}, {"inf", std::nullopt}, {"nan", std::nullopt},
  };
  for (const NumberCase& c : cases) {
    const std::optional<LeadingNumber> got = ParseLeadingNumber(c.text);
    ASSERT_EQ(got.has_value(), c.value.has_value()) << c.text;
    if (got) {
      EXPECT_EQ(got->value, *c.value) << c.text;
      EXPECT_EQ(got->length, c.length) << c.text;
    }
  }
  // A view into a longer text: nothing past its end is read.
  EXPECT_EQ(ParseLeadingNumber(std::string_view("12345", 2))->value, 12);
  EXPECT_EQ(ParseLeadingNumber(std::string_view("1.55", 3))->value, 1.5);
  EXPECT_EQ(ParseLeadingNumber(std::string_view("1.5", 1))->length, 1u);
  const std::string zeros(400, '0');
  EXPECT_EQ(ParseLeadingNumber("-1" + zeros)->value, -INFINITY);
  EXPECT_EQ(ParseLeadingNumber("0." + zeros + "1")->value, 0.0);
  EXPECT_EQ(ParseLeadingNumber("0." + zeros + "1")->length, 403u);
}

TEST(ParseLeadingNumber, IgnoresADecimalCommaLocale) {
  const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) {
    GTEST_SKIP() << "no German locale installed";
  }
  const std::optional<LeadingNumber> got = ParseLeadingNumber("1.5");
  std::setlocale(LC_NUMERIC, saved.c_str());
  ASSERT_TRUE(got);
  EXPECT_EQ(got->value, 1.5);
}

TEST(RoundToInt16, HalvesGoToTheEvenNeighbourAndRangeIsChecked) {
  const std::vector<std::pair<double, std::optional<int16_t>>> cases = {
      {0.5, 0},
      {1.5, 2},
      {2.5, 2},
      {-1.5, -2},
      {-2.5, -2},
      {2.5001, 3},
      {32767.4, 32767},
      {32767.5, std::nullopt},
      {-32768.5, -32768},
      {-32768.6, std::nullopt},
      {-INFINITY, std::nullopt},
      {NAN, std::nullopt},
  };
  for (const auto& [value, expected] : cases) {
    EXPECT_EQ(RoundToInt16(value), expected) << value;
  }
}

}  // namespace
}  // namespace morvane
