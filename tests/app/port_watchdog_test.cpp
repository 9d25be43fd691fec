#include "app/port_watchdog.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "app/startup.h"
#include "clock/encoder_clock.h"
#include "radiotext/metadata_watcher.h"
#include "support/fakes.h"
#include "traffic/traffic_alert.h"

namespace morvane {
namespace {

using testing::Rig;
using Responder = testing::FakeEncoderPort::Responder;

const std::string kLost = "Encoder port /dev/ttyUSB0 lost - retrying every 5 s";

// A PIRA32 station, RT+ off, up on /dev/ttyUSB0 at odd line settings, a title on air, log empty.
struct StartedStation {
  StartedStation() {
    rig.files.files["/wd/RDSmorvane.ini"] =
        "[RDSmorvane]\nCOMport=/dev/ttyUSB0\nCOMsettings=19200,E,7,2\nEncoderType=PIRA32\n";
    rig.port.responder = testing::HoldingPira32Responder();
    rig.port.fail_when_closed = true;
    Form_Load(rig.controller, "/wd");
    rig.files.files["metadata.txt"] = "Artist - Title\r\n";
    tmrTextCheck_Timer(rig.controller);
    rig.ClearLog();
    rig.port.open_attempts = 0;
  }
  Rig rig;
};

// The watchdog is set going after start-up, as the program does.
struct Station : StartedStation {
  int64_t NowMs() const { return rig.time.now_us / 1000; }
  void Pass(int64_t ms) { rig.time.now_us += ms * 1000; }
  // The labels of the readings and the traffic button, as the window shows them.
  std::string Readings() const {
    std::string shown;
    for (Label label : {Label::lblPS, Label::lblPI, Label::lblRT, Label::lblPILOT, Label::lblCT,
                        Label::lblPTY, Label::lblTP, Label::lblTA, Label::lblTATMOUT}) {
      shown += rig.view.Text(label) + "|";
    }
    return shown + rig.view.caption + (rig.view.enabled ? " on " : " off ") +
           std::string(ButtonColourName(rig.view.colour));
  }

  PortWatchdog watchdog{rig.controller, "/dev/ttyUSB0", [this] { return NowMs(); }};
};

const std::string kNoReadings =
    "|||NONE/FREE RUN|UNKNOWN|No PTY|UNKNOWN|UNKNOWN||TRAFFIC ALERT UNAVAILABLE off buttonface";

TEST(PortWatchdog, FailedExchangeMarksThePortLostOnce) {
  Station station;
  Rig& rig = station.rig;
  rig.port.fail_writes = true;  // the adapter is pulled out

  tmrClockCheck_Timer(rig.controller);

  EXPECT_TRUE(station.watchdog.Lost());
  EXPECT_FALSE(rig.port.open);
  EXPECT_EQ(rig.view.Text(Label::lblNotice), kLost);
  // The first failed write closed the port; the handler kept its waits, as with a silent encoder.
  EXPECT_EQ(rig.Writes().size(), 1u);
  EXPECT_EQ(rig.TotalWaitMs(), 4 * 200);
  EXPECT_EQ(station.Readings(), kNoReadings);

  // More failures and more handlers change nothing: one notice for one loss.
  rig.port.fail_writes = false;
  tmrClockCheck_Timer(rig.controller);
  station.watchdog.PortFailed();
  EXPECT_EQ(rig.view.History(Label::lblNotice), (std::vector<std::string>{NoticeText(), kLost}));
  EXPECT_EQ(rig.events.Told(), std::vector<std::string>{"encoder port /dev/ttyUSB0 lost"});
  EXPECT_EQ(rig.Writes().size(), 1u);
}

TEST(PortWatchdog, RetriesEveryFiveSecondsOrWhenThePortSaysSoWithTheStartUpSettings) {
  Station station;
  Rig& rig = station.rig;
  rig.port.open_error = "Cannot open serial port /dev/ttyUSB0: No such file or directory";
  station.watchdog.PortFailed();  // the device went away between two handlers
  const struct {
    int64_t after_ms;  // since the previous step
    bool now;          // the port says a connection can be made
    int open_attempts;
  } steps[] = {{4999, false, 0}, {1, false, 1}, {4999, false, 1}, {1, false, 2}, {0, true, 3}};
  for (const auto& step : steps) {
    station.Pass(step.after_ms);
    step.now ? station.watchdog.RetryNow() : station.watchdog.Tick();
    EXPECT_EQ(rig.port.open_attempts, step.open_attempts) << "at " << station.NowMs() << " ms";
  }
  EXPECT_TRUE(station.watchdog.Lost());
  EXPECT_EQ(rig.view.History(Label::lblNotice), (std::vector<std::string>{NoticeText(), kLost}));

  rig.port.open_error.reset();
  station.watchdog.RetryNow();
  EXPECT_FALSE(station.watchdog.Lost());
  EXPECT_EQ(rig.port.opened_address->device_path, "/dev/ttyUSB0");
  const LineSettings& s = *rig.port.opened_settings;
  EXPECT_EQ(std::tie(s.baud, s.parity, s.data_bits, s.stop_bits),
            std::make_tuple(19200, Parity::Even, 7, 2));
  EXPECT_EQ(rig.events.Told().back(), "encoder port /dev/ttyUSB0 back");
}

// Back, the encoder may have lost power: TA flag, then start-up's steps with the latest title.
TEST(PortWatchdog, BackOnTheLineBringsTheEncoderIntoStepAgain) {
  Station station;
  Rig& rig = station.rig;
  rig.port.fail_reads = true;
  tmrClockCheck_Timer(rig.controller);
  rig.port.fail_reads = false;
  ASSERT_TRUE(station.watchdog.Lost());

  rig.files.files["metadata.txt"] = "Band - Song\r\n";
  tmrTextCheck_Timer(rig.controller);

  station.Pass(kPortRetryIntervalMs);
  rig.ClearLog();
  station.watchdog.Tick();
  ASSERT_FALSE(station.watchdog.Lost());
  EXPECT_EQ(rig.view.Text(Label::lblNotice), NoticeText());
  const std::vector<std::string> writes = rig.Writes();
  ASSERT_EQ(writes.size(), 16u);
  EXPECT_EQ(std::vector<std::string>(writes.begin(), writes.begin() + 3),
            (std::vector<std::string>{"TA=0\r", "GRPSEQ=022221AEXYR\r", "RT1=Band - Song\r"}));
  EXPECT_EQ(writes.back(), "PILOT\r");
  EXPECT_EQ(rig.view.Text(Label::lblRT), "Band - Song");

  // Brought into step once: neither the watcher nor a later retry repeats anything.
  rig.ClearLog();
  tmrTextCheck_Timer(rig.controller);
  station.Pass(kPortRetryIntervalMs);
  station.watchdog.Tick();
  station.watchdog.RetryNow();
  EXPECT_TRUE(rig.Writes().empty());

  // A later loss is said again.
  rig.port.fail_writes = true;
  tmrClockCheck_Timer(rig.controller);
  EXPECT_EQ(rig.view.History(Label::lblNotice),
            (std::vector<std::string>{NoticeText(), kLost, NoticeText(), kLost}));
}

// Silence is no byte at all, drain or answer, kSilentExchanges times in a row; late answers and a
// PIRA micro's unanswered writes are heard. Silent: no-answer readings, the button disabled.
TEST(PortWatchdog, EncoderThatStopsAnsweringIsNamed) {
  const Responder echo_but_traffic = [](const std::string& c) {
    return c[0] == 'T' && c != "TA=1\r" ? std::string() : c + "\n";
  };
  const Responder every_third = [n = 0](const std::string& c) mutable {
    return ++n % 3 ? "" : c + "\n";
  };
  const std::vector<std::string> silent = {kSilentNotice};
  const std::vector<std::string> and_back = {kSilentNotice, "encoder answering again"};
  const std::tuple<const char*, Responder, std::vector<std::string>> cases[] = {
      {"PIRA32", nullptr, silent},
      {"PIRA32", echo_but_traffic, and_back},  // three unanswered, then an answer
      {"PIRA32", every_third, {}},             // two unanswered at a time
      {"PIRAMICRO", testing::FrameResponder({{0x0E, "\x01"}}), {}},  // answers reads only
  };
  for (const auto& [encoder, responder, told] : cases) {
    Station station;
    Rig& rig = station.rig;
    rig.state.EncoderType = encoder;
    rig.port.responder = responder;
    rig.view.enabled = true;  // as a TP reading of 1 left it
    cmdTraffic_Click(rig.controller);
    tmrClockCheck_Timer(rig.controller);

    const bool still_silent = told == silent;
    EXPECT_EQ(station.watchdog.Silent(), still_silent) << encoder;
    EXPECT_EQ(rig.view.Text(Label::lblNotice), still_silent ? kSilentNotice : NoticeText());
    EXPECT_EQ(rig.events.Told(), told);
    if (still_silent) {
      EXPECT_EQ(station.Readings(), kNoReadings);
    }
  }
}

}  // namespace
}  // namespace morvane
