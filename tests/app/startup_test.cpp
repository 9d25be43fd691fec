#include "app/startup.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/startup_error.h"
#include "app/version.h"
#include "link/dialects.h"
#include "support/fakes.h"

namespace morvane {
namespace {

using ::testing::EndsWith;
using ::testing::HasSubstr;
using testing::Rig;
using testing::SentCommand;

std::string Ini(const std::string& encoder_type, const std::string& more = "") {
  return "[RDSmorvane]\r\nCOMport=1\r\nCOMsettings=9600,N,8,1\r\nEncoderType=" + encoder_type +
         "\r\n" + more;
}

TEST(FormLoad, Pira32ClearsTrafficFirstOnTheOpenPort) {
  Rig rig;
  rig.files.files["/wd/RDSmorvane.ini"] = Ini("PIRA32");
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
  // Drained before the write, read after the wait: a full exchange.
  ASSERT_GE(rig.log.size(), 4u);
  EXPECT_EQ(rig.log[0].kind, testing::WireEvent::Kind::Read);
  EXPECT_EQ(rig.log[3].kind, testing::WireEvent::Kind::Read);
}

TEST(FormLoad, OtherEncoderTypesGetNoTrafficClear) {
  for (const std::string_view type : {"PIRAMICRO", "NONE", "pira32", " PIRA32x", ""}) {
    Rig rig;
    rig.files.files["/wd/RDSmorvane.ini"] = Ini(std::string(type));
    Form_Load(rig.controller, "/wd");
    EXPECT_TRUE(rig.port.open) << type;
    for (const std::string& bytes : rig.Writes()) {
      EXPECT_NE(bytes, "TA=0\r") << type;
      // No PIRA micro write frame to the traffic flags either.
      EXPECT_NE(bytes.substr(0, 2), BuildWriteFrame(kAddressTraffic, "").substr(0, 2)) << type;
    }
    if (type != "PIRAMICRO") {
      EXPECT_TRUE(rig.Writes().empty()) << type;
    }
  }
}

TEST(FormLoad, ShowsNoticeEncoderTypeAndClearsRtPlusLabel) {
  Rig rig;
  rig.files.files["/wd/RDSmorvane.ini"] = Ini("NONE");
  Form_Load(rig.controller, "/wd");
  EXPECT_THAT(rig.view.Text(Label::lblNotice), EndsWith(" V1.10"));
  EXPECT_EQ(rig.view.Text(Label::lblEncoderType), "NONE");
  EXPECT_EQ(rig.view.Text(Label::lblRTplus), "");
  EXPECT_EQ(rig.view.History(Label::lblNotice).size(), 1u);
}

TEST(FormLoad, ResetsTheWorkingFields) {
  Rig rig;
  rig.files.files["/wd/RDSmorvane.ini"] = Ini("NONE");
  ControllerState& s = rig.state;
  s.LastRT = "old";
  s.TAstatus = 1;
  s.TAtimeout = 30;
  s.ManualTraffic = 1;
  s.UDGcurrentMessage = "M:1 hello";
  s.UDGcurrentText = "hello";
  s.UDGcurrentPosition = 4;
  s.UDGsentTimes = 2;
  s.UDGsequence = 3;
  s.UDGplaceCounter = 5;

  Form_Load(rig.controller, "/wd");

  EXPECT_EQ(s.LastRT, "");
  EXPECT_EQ(s.TAstatus, 0);
  EXPECT_EQ(s.TAtimeout, 0);
  EXPECT_EQ(s.ManualTraffic, 0);
  EXPECT_EQ(s.HexVersion, "0110");
  EXPECT_EQ(s.UDGcurrentMessage, "");
  EXPECT_EQ(s.UDGcurrentText, "");
  EXPECT_EQ(s.UDGcurrentPosition, 0);
  EXPECT_EQ(s.UDGsentTimes, 0);
  EXPECT_EQ(s.UDGsequence, 0);
  EXPECT_EQ(s.UDGplaceCounter, 5);  // start-up leaves it alone
  EXPECT_TRUE(rig.timers.IsOn(Timer::tmrInHouse));
}

TEST(FormLoad, OpensThePortAsConfigured) {
  Rig rig;
  rig.files.files["/wd/RDSmorvane.ini"] =
      "[RDSmorvane]\nCOMport=3\nCOMsettings=19200,E,7,2\nEncoderType=NONE\n";
  Form_Load(rig.controller, "/wd");
  ASSERT_TRUE(rig.port.opened_address && rig.port.opened_settings);
  EXPECT_EQ(rig.port.opened_address->number, 3);
  EXPECT_EQ(rig.port.opened_address->device_path, "");
  EXPECT_EQ(rig.port.opened_settings->baud, 19200);
  EXPECT_EQ(rig.port.opened_settings->parity, Parity::Even);
  EXPECT_EQ(rig.port.opened_settings->data_bits, 7);
  EXPECT_EQ(rig.port.opened_settings->stop_bits, 2);
}

struct FailureCase {
  const char* what;
  std::string ini;  // empty: no file
  std::optional<std::string> open_error;
  const char* message;
};

TEST(FormLoad, FailureEndsStartUpBeforeAnythingIsSent) {
  const std::vector<FailureCase> cases = {
      {"missing file", "", std::nullopt, "RDSmorvane.ini was not found"},
      {"TAMaxTimeout not a number", Ini("PIRA32", "TAMaxTimeout=two\r\n"), std::nullopt,
       "TAMaxTimeout \"two\""},
      {"RTplus too large", Ini("PIRA32", "RTplus=99999\r\n"), std::nullopt, "RTplus \"99999\""},
      {"port cannot be opened", Ini("PIRA32"), "/dev/ttyS0: no such port",
       "/dev/ttyS0: no such port"},
      {"COMsettings unusable",
       "[RDSmorvane]\nCOMport=1\nCOMsettings=9600,N,8\nEncoderType=PIRA32\n", std::nullopt,
       "COMsettings \"9600,N,8\""},
      {"COMsettings with 1.5 stop bits",
       "[RDSmorvane]\nCOMport=1\nCOMsettings=9600,N,8,1.5\nEncoderType=PIRA32\n", std::nullopt,
       "stop bits 1 or 2"},
      {"COMport without a number", "[RDSmorvane]\nCOMport=COM1\nEncoderType=PIRA32\n", std::nullopt,
       "COMport \"COM1\""},
      {"COMport empty", "[RDSmorvane]\nCOMport=\nEncoderType=PIRA32\n", std::nullopt,
       "COMport \"\""},
      {"COMport missing", "[RDSmorvane]\nEncoderType=PIRA32\n", std::nullopt, "COMport"},
  };
  for (const FailureCase& c : cases) {
    Rig rig;
    if (!c.ini.empty()) {
      rig.files.files["/wd/RDSmorvane.ini"] = c.ini;
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
  rig.files.files["/wd/RDSmorvane.ini"] = Ini("PIRA32");
  Form_Load(rig.controller, "/wd");
  rig.state.TAstatus = 1;
  rig.ClearLog();
  Form_Unload(rig.controller);
  EXPECT_FALSE(rig.port.open);
  EXPECT_TRUE(rig.log.empty());
}

}  // namespace
}  // namespace morvane
