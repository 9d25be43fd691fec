#include "link/line_settings.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace morvane {
namespace {

struct SettingsCase {
  const char* text;
  std::optional<LineSettings> expected;
};

bool operator==(const LineSettings& a, const LineSettings& b) {
  return a.baud == b.baud && a.parity == b.parity && a.data_bits == b.data_bits &&
         a.stop_bits == b.stop_bits;
}

TEST(ParseLineSettings, AcceptsOnlyWellFormedSettings) {
  const std::vector<SettingsCase> cases = {
      {"9600,N,8,1", LineSettings{9600, Parity::None, 8, 1}},
      {"19200,E,7,2", LineSettings{19200, Parity::Even, 7, 2}},
      {"2400,O,5,1", LineSettings{2400, Parity::Odd, 5, 1}},
      {"115200,M,6,1", LineSettings{115200, Parity::Mark, 6, 1}},
      {"1200,S,8,2", LineSettings{1200, Parity::Space, 8, 2}},
      {"9600,n,8,1", LineSettings{9600, Parity::None, 8, 1}},
      {"9600,e,8,1", LineSettings{9600, Parity::Even, 8, 1}},
      {" 9600 , N , 8 , 1 ", LineSettings{9600, Parity::None, 8, 1}},
      {"", std::nullopt},
      {"9600", std::nullopt},
      {"9600,N,8", std::nullopt},
      {"9600,N,8,1,", std::nullopt},
      {"9600,N,8,1,1", std::nullopt},
      {"9600,,8,1", std::nullopt},
      {"9600,X,8,1", std::nullopt},
      {"9600,NO,8,1", std::nullopt},
      {"9600,N,4,1", std::nullopt},
      {"9600,N,9,1", std::nullopt},
      {"9600,N,8,0", std::nullopt},
      {"9600,N,8,3", std::nullopt},
      {"9600,N,8,1.5", std::nullopt},
      {"0,N,8,1", std::nullopt},
      {"-9600,N,8,1", std::nullopt},
      {"9600.5,N,8,1", std::nullopt},
      {"96 00,N,8,1", std::nullopt},
      {"99999999999,N,8,1", std::nullopt},
      {"baud,N,8,1", std::nullopt},
      {"9600;N;8;1", std::nullopt},
  };
  for (const SettingsCase& c : cases) {
    const std::optional<LineSettings> got = ParseLineSettings(c.text);
    ASSERT_EQ(got.has_value(), c.expected.has_value()) << c.text;
    if (got) {
      EXPECT_TRUE(*got == *c.expected) << c.text;
    }
  }
}

TEST(ParsePortAddress, DevicePathOrNumberAtTheStart) {
  const std::vector<std::pair<std::string, PortAddress>> cases = {
      {"1", {1, ""}},
      {"12", {12, ""}},
      {"3 (USB)", {3, ""}},
      {"  4", {4, ""}},
      {"2.5", {2, ""}},
      {"3.5", {4, ""}},
      {"COM1", {0, ""}},
      {"", {0, ""}},
      {"-1", {-1, ""}},
      {"99999999999", {0, ""}},
      {"/dev/ttyUSB0", {0, "/dev/ttyUSB0"}},
      {"/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0",
       {0, "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"}},
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
