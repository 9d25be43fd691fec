// Start-up, shutdown, the handlers' dispatch and the command line.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "app/command_line.h"
#include "app/dispatch.h"
#include "app/startup.h"
#include "app/startup_error.h"
#include "support/fakes.h"

namespace morvane {
namespace {

using testing::Rig;
using Commands = std::vector<testing::SentCommand>;

constexpr const char* kIniPath = "/wd/RDSmorvane.ini";

// The PIRA32's steps around its RadioText; the clock is read after the waits before it, plus 1 s.
Commands Pira32Steps(const Commands& radiotext) {
  Commands sent = {{"TA=0\r", 200}, {"GRPSEQ=022221AEXYR\r", 400}};
  sent.insert(sent.end(), radiotext.begin(), radiotext.end());
  const Commands readings = {
      {"PS\r", 200}, {"PI\r", 200}, {"RT1\r", 500},     {"CT\r", 200},
      {"TP\r", 200}, {"TA\r", 200}, {"TATMOUT\r", 200}, {"PTY\r", 200},
  };
  sent.insert(sent.end(), readings.begin(), readings.end());
  sent.insert(sent.end(), {{"TIME=14:02:35\r", 400},
                           {"DATE=05.03.26\r", 400},
                           {"UDG1=\r", 50},
                           {"SHORTRT=1\r", 200},
                           {"PILOT\r", 200}});
  return sent;
}

// The port opens as configured before anything is sent; a PIRA32 then gets "TA=0" first, every
// step in order, the in-house timer last; working fields start afresh; shutdown sends nothing.
TEST(FormLoad, OpensThePortThenBringsTheEncoderIntoStep) {
  // A device path or a network address is the port's own name: not cut to 29 characters.
  const std::string usb = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
  const std::string host = "encoder-2.rack-4.studio.radio-morvane.example";
  const auto frame = [](const char* bytes) { return std::string(bytes, 5); };
  const struct {
    std::string keys;
    std::string device;  // or the network host
    std::tuple<int, Parity, int, int> settings;
    Commands sent;
    std::string shown;  // lblPTY, lblClockUpdated, lblRTplus, lblEncoderType
  } cases[] = {
      {"COMport=" + usb + "\nCOMsettings=19200,E,7,2\nEncoderType=PIRA32\nRTplus=1",
       usb,
       {19200, Parity::Even, 7, 2},
       Pira32Steps({{"RTP=00,00,00,00,00,00\r", 500},
                    {"RT1=Artist - Title\r", 500},
                    {"RTP=04,00,05,01,09,04\r", 500}}),
       "Pop Music|05.03.26 14:02:35|RT+|PIRA32"},
      // A network encoder's line settings are the box's: COMsettings is not even read.
      {"COMport=tcp://" + host + ":4001\nCOMsettings=x\nEncoderType=PIRAMICRO\nRTplus=1",
       host,
       {9600, Parity::None, 8, 1},
       {{"\xFE\x20"
         "Artist - Title" +
             std::string(50, ' ') + "\x40\xFF",
         50},
        {frame("\xFE\xD0\x02\x08\xFF"), 200},
        {frame("\xFE\xD0\x20\x40\xFF"), 200},
        {frame("\xFE\xD0\x0E\x01\xFF"), 200},
        {frame("\xFE\xD0\x0A\x01\xFF"), 200},
        {frame("\xFE\xD0\x70\x01\xFF"), 200}},
       "** ALARM TEST **|Never||PIRAMICRO"},
      {"COMport=2\nCOMsettings=4800,O,8,1\nEncoderType=NONE",
       "",
       {4800, Parity::Odd, 8, 1},
       {},
       "No PTY|Never||NONE"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.keys);
    Rig rig;
    rig.files.files[kIniPath] = "[RDSmorvane]\nDefaultRadioText=Artist - Title\n" + c.keys +
                                "\nRTplusPrefix=\nRTplusSplit= - \n";
    const auto encoder = c.keys.find("PIRAMICRO") == std::string::npos
                             ? testing::HoldingPira32Responder({{"PS", "MORVANE "}, {"PTY", "10"}})
                             : testing::FrameResponder({{0x0A, "\x1E"}});
    bool in_house_on_while_sending = false;
    rig.port.responder = [&](const std::string& command) {
      in_house_on_while_sending |= rig.timers.IsOn(Timer::tmrInHouse);
      return encoder(command);
    };
    rig.port.fail_when_closed = true;  // what is sent before the port is open is lost
    rig.clock.Set({2026, 3, 5, 14, 2, 30});
    // What a previous run left in the working fields.
    ControllerState& st = rig.state;
    st.LastRT = st.UDGcurrentMessage = st.UDGcurrentText = "M: 123 hello";
    st.TAstatus = st.TAtimeout = st.ManualTraffic = 1;
    st.UDGcurrentPosition = st.UDGsentTimes = st.UDGsequence = 3;
    st.UDGplaceCounter = 5;
    rig.controller.radiotext_check = {"old", 2, 7};
    rig.controller.metadata_file_problem = "Permission denied";
    rig.controller.notices.Post(Notice::PortLost, "lost");

    Form_Load(rig.controller, "/wd");

    EXPECT_EQ(rig.view.History(Label::lblNotice),
              (std::vector<std::string>{"lost", "RDS Morvane dynamic RDS controller V1.10"}));
    EXPECT_EQ(rig.view.History(Label::lblRTplus).front(), "");
    EXPECT_EQ(std::tie(st.TAstatus, st.TAtimeout, st.ManualTraffic, st.UDGcurrentPosition,
                       st.UDGsentTimes, st.UDGsequence, st.UDGplaceCounter),
              std::make_tuple(0, 0, 0, 0, 0, 0, 5));  // the place counter is left alone
    EXPECT_EQ(st.HexVersion + st.UDGcurrentMessage + st.UDGcurrentText, "0110");
    EXPECT_LE(rig.controller.radiotext_check.misses_in_a_row, 1);  // from 2, not on top of it
    EXPECT_FALSE(rig.controller.metadata_file_problem);

    ASSERT_TRUE(rig.port.opened_address && rig.port.opened_settings);
    const PortAddress& address = *rig.port.opened_address;
    EXPECT_EQ(address.network ? address.network->host : address.device_path, c.device);
    const LineSettings& s = *rig.port.opened_settings;
    EXPECT_EQ(std::tie(s.baud, s.parity, s.data_bits, s.stop_bits), c.settings);
    EXPECT_EQ(rig.Sent(), c.sent);
    EXPECT_EQ(rig.view.Text(Label::lblPTY) + "|" + rig.view.Text(Label::lblClockUpdated) + "|" +
                  rig.view.Text(Label::lblRTplus) + "|" + rig.view.Text(Label::lblEncoderType),
              c.shown);
    // Switched on last, once: no in-house groups may come between the start-up commands.
    EXPECT_FALSE(in_house_on_while_sending);
    EXPECT_EQ(rig.timers.history, (std::vector<std::pair<Timer, bool>>{{Timer::tmrInHouse, true}}));

    rig.ClearLog();
    Form_Unload(rig.controller);
    EXPECT_FALSE(rig.port.open);
    EXPECT_TRUE(rig.log.empty());
  }
}

TEST(FormLoad, APortThatWillNotOpenEndsStartUpBeforeAnythingIsSent) {
  Rig rig;
  rig.files.files[kIniPath] = "[RDSmorvane]\nEncoderType=PIRA32\nCOMport=1\n";
  rig.port.open_error = "/dev/ttyS0: no such port";
  EXPECT_THROW(Form_Load(rig.controller, "/wd"), StartupError);
  EXPECT_TRUE(rig.log.empty() && rig.timers.history.empty());
}

// Each tick and the click run their own handler; one that fails is named, not fatal.
TEST(Dispatch, EachHandlerRunsAndAFailingOneIsNamed) {
  const struct {
    std::optional<Timer> timer;  // std::nullopt: the traffic button's click
    const char* first_sent;
    const char* name;
  } cases[] = {
      {Timer::tmrTextCheck, "RT1=Song\r", "tmrTextCheck_Timer"},
      {Timer::tmrInHouse, "UDG1=600011A24865,600111A26C6C,600211A26F7C,600311A27C7C,\r",
       "tmrInHouse_Timer"},
      {Timer::tmrTAtimeout, "TA=0\r", "tmrTAtimeout_Timer"},
      {Timer::tmrClockCheck, "TP\r", "tmrClockCheck_Timer"},
      {std::nullopt, "TA=1\r", "cmdTraffic_Click"},
  };
  for (const auto& c : cases) {
    testing::Rig rig;
    rig.state.EncoderType = "PIRA32";
    rig.state.MetadataFile = "now.txt";
    rig.state.TAtimeout = 2;
    rig.state.TrafficMeta = rig.state.RTPlusPrefix = rig.state.RTPlusSplit = "-unset-";
    rig.files.files = {{"now.txt", "Song"}, {"inhouse.txt", "M: 1A2 Hello"}};
    rig.port.responder = [](const std::string&) -> std::string {
      throw std::runtime_error("no more room");
    };
    c.timer ? DispatchTick(rig.controller, *c.timer) : DispatchClick(rig.controller);
    ASSERT_FALSE(rig.log.empty()) << c.name;
    EXPECT_EQ(rig.Writes().front(), c.first_sent);
    EXPECT_EQ(rig.events.Told(),
              std::vector<std::string>{std::string(c.name) + " failed: no more room"});
  }
}

TEST(CommandLine, OptionsMistakesAndWhetherThereIsADisplay) {
  const CommandLine all = ParseCommandLine(
      {"--headless", "--verbose", "--trace", "-h", "--version", "--check", "--screenshot=a.png"});
  EXPECT_TRUE(all.headless && all.verbose && all.trace && all.help && all.version && all.check);
  EXPECT_EQ(all.screenshot + all.error, "a.png");
  const CommandLine none = ParseCommandLine({});
  EXPECT_FALSE(none.headless || none.verbose || none.trace || none.help || none.version ||
               none.check || !none.screenshot.empty() || !none.error.empty());
  EXPECT_EQ(ParseCommandLine({"--headless", "--tarce"}).error,
            "unknown argument \"--tarce\" (try --help)");
  // Any named display or platform: a window.
  EXPECT_FALSE(HasDisplay(nullptr, nullptr, nullptr) || HasDisplay("", "", ""));
  EXPECT_TRUE(HasDisplay(":0", nullptr, nullptr) && HasDisplay(nullptr, "wayland-0", nullptr) &&
              HasDisplay("", nullptr, "offscreen"));
}

}  // namespace
}  // namespace morvane
