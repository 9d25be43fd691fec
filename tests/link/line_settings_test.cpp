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
      {"1,n,8,1", LineSettings{1, Parity::None, 8, 1}},
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

TEST(ParsePortAddress, NetworkAddressDevicePathOrNumberAtTheStart) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"12", "12"},
      {"3 (USB)", "3"},
      {"2.5", "2"},
      {"3.5", "4"},
      {"COM1", "0"},
      {"-1", "-1"},
      {"99999999999", "0"},
      {"/dev/ttyUSB0", "/dev/ttyUSB0"},
      {" /dev/ttyS0", "0"},
      {"-2147483648", "-2147483648"},
      {"2147483647.4", "2147483647"},
      {"tcp://192.168.1.50:4001", "192.168.1.50:4001"},
      {"TCP://encoder-2.lan:65535", "encoder-2.lan:65535"},
      {"tcp://[fe80::1%eth0]:7000", "fe80::1%eth0:7000"},
      {"tcp://::1:7000", "none"},
      {"tcp://encoder:0", "none"},
      {"tcp://encoder:4001/", "none"},
      {"tcp://[192.168.1.50]:4001", "none"},
  };
  for (const auto& [text, expected] : cases) {
    const PortAddress got = ParsePortAddress(text);
    const std::string shown = got.network
                                  ? got.network->host + ":" + std::to_string(got.network->port)
                              : IsNetworkPortText(text) ? "none"
                              : got.device_path.empty() ? std::to_string(got.number)
                                                        : got.device_path;
    EXPECT_EQ(shown, expected) << text;
  }
}

}  // namespace
}  // namespace morvane
