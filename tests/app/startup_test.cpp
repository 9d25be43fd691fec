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

TEST(FormLoad, OnlyAPira32GetsTheTrafficClearFirstOnTheOpenPort) {
  for (const char* type : {"PIRA32", "PIRAMICRO", "NONE"}) {
    Rig rig;
    rig.files.files[kIniPath] = Ini(type);
    rig.port.fail_when_closed = true;  // what is sent before the port is open is lost
    Form_Load(rig.controller, "/wd");
    EXPECT_TRUE(rig.port.open) << type;
    const std::vector<SentCommand> sent = rig.Sent();
    if (type == std::string("PIRA32")) {
      ASSERT_FALSE(sent.empty());
      EXPECT_EQ(sent.front(), (SentCommand{"TA=0\r", 200}));
    } else if (type == std::string("PIRAMICRO")) {
      for (const SentCommand& command : sent) {
        EXPECT_NE(command.bytes.substr(0, 2), "\xFE\x0E") << "a write to the traffic flags";
      }
    } else {
      EXPECT_TRUE(sent.empty()) << type;
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
  // A device path is the port's own name: not cut to 29 characters.
  const std::string usb = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
  Rig rig;
  rig.files.files[kIniPath] = "[RDSmorvane]\nCOMport=" + usb + "\nCOMsettings=19200,E,7,2\n";
  Form_Load(rig.controller, "/wd");
  ASSERT_TRUE(rig.port.opened_address && rig.port.opened_settings);
  EXPECT_EQ(rig.port.opened_address->device_path, usb);
  const LineSettings& s = *rig.port.opened_settings;
  EXPECT_EQ(std::tie(s.baud, s.parity, s.data_bits, s.stop_bits),
            std::make_tuple(19200, Parity::Even, 7, 2));

  // A network address is kept whole too; its line settings are the box's, COMsettings unread.
  const std::string host = "encoder-2.rack-4.studio.radio-morvane.example";
  rig.files.files[kIniPath] = "[RDSmorvane]\nCOMport=tcp://" + host + ":4001\nCOMsettings=x\n";
  Form_Load(rig.controller, "/wd");
  ASSERT_TRUE(rig.port.opened_address->network);
  EXPECT_EQ(rig.port.opened_address->network->host, host);
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
      {"network address without a port", "[RDSmorvane]\nCOMport=tcp://encoder\n", std::nullopt,
       "COMport \"tcp://encoder\" is no network address"},
      {"no such device", "[RDSmorvane]\nCOMport=/dev/ttyUSB9\n", std::nullopt,
       "Serial port /dev/ttyUSB9 (COMport) cannot be used: No such file or directory"},
      {"unreadable file says why", "unreadable", std::nullopt,
       "The configuration file /wd/RDSmorvane.ini cannot be read: Permission denied."},
      {"UTF-16 with a byte order mark", std::string("\xFF\xFE[\0R\0", 6), std::nullopt,
       "/wd/RDSmorvane.ini looks like UTF-16; save it as UTF-8 or ANSI."},
      {"UTF-16 without one", std::string("[\0R\0D\0S\0]\0", 10), std::nullopt, "looks like UTF-16"},
  };
  for (const auto& c : cases) {
    Rig rig;
    if (!c.ini.empty()) {
      rig.files.files[kIniPath] = c.ini;
    }
    if (c.ini == "unreadable") {
      rig.files.unreadable.insert(kIniPath);
    }
    rig.files.device_problems["/dev/ttyUSB9"] = "No such file or directory";
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
