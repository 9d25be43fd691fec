#include "app/startup.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "app/startup_error.h"
#include "support/fakes.h"

namespace morvane {
namespace {

using ::testing::HasSubstr;
using testing::Rig;
using testing::SentCommand;

constexpr const char* kIniPath = "/wd/RDSmorvane.ini";

std::string Ini(const std::string& encoder_type, const std::string& more = "") {
  return "[RDSmorvane]\r\nCOMport=1\r\nEncoderType=" + encoder_type + "\r\n" + more;
}

TEST(FormLoad, Pira32ClearsTrafficFirstOnTheOpenPort) {
  Rig rig;
  rig.files.files[kIniPath] = Ini("PIRA32");
  std::vector<bool> open_at_write;
  rig.port.responder = [&](const std::string&) {
    open_at_write.push_back(rig.port.open);
    return std::string();
  };

  Form_Load(rig.controller, "/wd");

  const std::vector<SentCommand> sent = rig.Sent();
  ASSERT_FALSE(sent.empty());
  EXPECT_EQ(sent.front(), (SentCommand{"TA=0\r", 200}));
  EXPECT_TRUE(open_at_write.front());
}

TEST(FormLoad, OtherEncoderTypesGetNoTrafficClear) {
  for (const char* type : {"PIRAMICRO", "NONE", "pira32"}) {
    Rig rig;
    rig.files.files[kIniPath] = Ini(type);
    Form_Load(rig.controller, "/wd");
    EXPECT_TRUE(rig.port.open) << type;
    if (type == std::string("PIRAMICRO")) {
      for (const std::string& bytes : rig.Writes()) {
        EXPECT_NE(bytes.substr(0, 2), "\xFE\x0E") << "a write to the traffic flags";
      }
    } else {
      EXPECT_TRUE(rig.Writes().empty()) << type;
    }
  }
}

TEST(FormLoad, ShowsNoticeAndEncoderTypeAndResetsTheWorkingFields) {
  Rig rig;
  rig.files.files[kIniPath] = Ini("NONE");
  ControllerState& s = rig.state;
  s.LastRT = "old";
  s.TAstatus = s.TAtimeout = s.ManualTraffic = 1;
  s.UDGcurrentMessage = s.UDGcurrentText = "M: 123 hello";
  s.UDGcurrentPosition = s.UDGsentTimes = s.UDGsequence = 3;
  s.UDGplaceCounter = 5;

  Form_Load(rig.controller, "/wd");

  EXPECT_EQ(rig.view.History(Label::lblNotice).size(), 1u);
  EXPECT_THAT(rig.view.Text(Label::lblNotice), ::testing::EndsWith(" V1.10"));
  EXPECT_EQ(rig.view.Text(Label::lblEncoderType), "NONE");
  EXPECT_EQ(rig.view.Text(Label::lblRTplus), "");
  EXPECT_EQ(s.LastRT + s.UDGcurrentMessage + s.UDGcurrentText, "");
  EXPECT_EQ(s.TAstatus + s.TAtimeout + s.ManualTraffic, 0);
  EXPECT_EQ(s.UDGcurrentPosition + s.UDGsentTimes + s.UDGsequence, 0);
  EXPECT_EQ(s.UDGplaceCounter, 5);  // start-up leaves it alone
  EXPECT_EQ(s.HexVersion, "0110");
  EXPECT_TRUE(rig.timers.IsOn(Timer::tmrInHouse));
}

TEST(FormLoad, OpensThePortAsConfigured) {
  const std::string usb = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
  const struct {
    std::string lines;
    PortAddress address;
    LineSettings settings;
  } cases[] = {
      {"COMport=3\nCOMsettings=19200,E,7,2\n", {3, ""}, {19200, Parity::Even, 7, 2}},
      {"COMport=2\n", {2, ""}, {9600, Parity::None, 8, 1}},
      // A device path is the port's own name: not cut to 29 characters.
      {"COMport=" + usb + "\nCOMsettings=4800,O,8,1\n", {0, usb}, {4800, Parity::Odd, 8, 1}},
  };
  for (const auto& c : cases) {
    Rig rig;
    rig.files.files[kIniPath] = "[RDSmorvane]\n" + c.lines;
    Form_Load(rig.controller, "/wd");
    ASSERT_TRUE(rig.port.opened_address && rig.port.opened_settings) << c.lines;
    const PortAddress& a = *rig.port.opened_address;
    const LineSettings& s = *rig.port.opened_settings;
    EXPECT_EQ(std::tie(a.number, a.device_path, s.baud, s.parity, s.data_bits, s.stop_bits),
              std::tie(c.address.number, c.address.device_path, c.settings.baud, c.settings.parity,
                       c.settings.data_bits, c.settings.stop_bits))
        << c.lines;
  }
}

TEST(FormLoad, FailureEndsStartUpBeforeAnythingIsSent) {
  const struct {
    const char* what;
    std::string ini;  // empty: no file
    std::optional<std::string> open_error;
    const char* message;
  } cases[] = {
      {"missing file", "", std::nullopt, "RDSmorvane.ini was not found"},
      {"TAMaxTimeout not a number", Ini("PIRA32", "TAMaxTimeout=two\r\n"), std::nullopt,
       "TAMaxTimeout \"two\""},
      {"port cannot be opened", Ini("PIRA32"), "/dev/ttyS0: no such port",
       "/dev/ttyS0: no such port"},
      {"COMsettings unusable", Ini("PIRA32", "COMsettings=9600,N,8,1.5\r\n"), std::nullopt,
       "COMsettings \"9600,N,8,1.5\""},
      {"COMport without a number", "[RDSmorvane]\nCOMport=COM1\nEncoderType=PIRA32\n", std::nullopt,
       "COMport \"COM1\""},
  };
  for (const auto& c : cases) {
    Rig rig;
    if (!c.ini.empty()) {
      rig.files.files[kIniPath] = c.ini;
    }
    rig.port.open_error = c.open_error;
    try {
      Form_Load(rig.controller, "/wd");
      ADD_FAILURE() << c.what << ": no start-up error";
    } catch (const StartupError& error) {
      EXPECT_THAT(error.what(), HasSubstr(c.message)) << c.what;
    }
    EXPECT_FALSE(rig.port.open) << c.what;
    EXPECT_TRUE(rig.log.empty()) << c.what;
    EXPECT_TRUE(rig.timers.history.empty()) << c.what;
  }
}

TEST(FormUnload, ClosesThePortAndSendsNothing) {
  Rig rig;
  rig.files.files[kIniPath] = Ini("PIRA32");
  Form_Load(rig.controller, "/wd");
  rig.state.TAstatus = 1;
  rig.ClearLog();
  Form_Unload(rig.controller);
  EXPECT_FALSE(rig.port.open);
  EXPECT_TRUE(rig.log.empty());
}

}  // namespace
}  // namespace morvane
