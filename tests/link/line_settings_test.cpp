#include "link/line_settings.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace morvane {
namespace {

TEST(ParseLineSettings, AcceptsOnlyWellFormedSettings) {
  const std::vector<std::pair<const char*, std::optional<LineSettings>>> cases = {
      {"19200,E,7,2", LineSettings{19200, Parity::Even, 7, 2}},
      {"2400,o,5,1", LineSettings{2400, Parity::Odd, 5, 1}},
      {"115200,M,6,1", LineSettings{115200, Parity::Mark, 6, 1}},
      {" 1200 , S , 8 , 2 ", LineSettings{1200, Parity::Space, 8, 2}},
      {"9600,N,8", std::nullopt},
      {"9600,N,8,1,", std::nullopt},
      {"9600,NO,8,1", std::nullopt},
      {"9600,N,4,1", std::nullopt},
      {"9600,N,9,1", std::nullopt},
      {"9600,N,8,0", std::nullopt},
      {"9600,N,8,1.5", std::nullopt},
      {"0,N,8,1", std::nullopt},
      {"99999999999,N,8,1", std::nullopt},
      {"9600;N;8;1", std::nullopt},
  };
  for (const auto& [text, expected] : cases) {
    const std::optional<LineSettings> got = ParseLineSettings(text);
    ASSERT_EQ(got.has_value(), expected.has_value()) << text;
    if (got) {
      EXPECT_EQ(
          std::tie(got->baud, got->parity, got->data_bits, got->stop_bits),
          std::tie(expected->baud, expected->parity, expected->data_bits, expected->stop_bits))
          << text;
    }
  }
}

TEST(ParsePortAddress, DevicePathOrNumberAtTheStart) {
  const std::vector<std::pair<std::string, PortAddress>> cases = {
      {"12", {12, ""}},         {"3 (USB)", {3, ""}},
      {"2.5", {2, ""}},         {"3.5", {4, ""}},
      {"COM1", {0, ""}},        {"-1", {-1, ""}},
      {"99999999999", {0, ""}}, {"/dev/ttyUSB0", {0, "/dev/ttyUSB0"}},
      {" /dev/ttyS0", {0, ""}},
  };
  for (const auto& [text, expected] : cases) {
    const PortAddress got = ParsePortAddress(text);
    EXPECT_EQ(got.number, expected.number) << text;
    EXPECT_EQ(got.device_path, expected.device_path) << text;
  }
}

}  // namespace
}  // namespace morvane
