#include "app/port_watchdog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "app/startup.h"
#include "clock/encoder_clock.h"
#include "link/protocol.h"
#include "radiotext/metadata_watcher.h"
#include "support/fakes.h"
#include "traffic/traffic_alert.h"

namespace morvane {
namespace {

using testing::Rig;
using testing::SentCommand;
using Commands = std::vector<SentCommand>;

const std::string kLost = "Encoder port /dev/ttyUSB0 lost - retrying every 5 s";

// A PIRA32 station with RT+ off, started up on /dev/ttyUSB0 at unusual line settings, with a
// title in the metadata file that has gone on air; the log then starts empty.
struct Station {
  Station() {
    rig.files.files["/wd/RDSmorvane.ini"] =
        "[RDSmorvane]\r\nCOMport=/dev/ttyUSB0\r\nCOMsettings=19200,E,7,2\r\nEncoderType=PIRA32\r\n"
        "RTplus=0\r\n";
    rig.port.responder = testing::Pira32Responder({{"RT1", "Artist - Title"}});
    rig.port.fail_when_closed = true;
    Form_Load(rig.controller, "/wd");
    rig.files.files["metadata.txt"] = "Artist - Title\r\n";
    tmrTextCheck_Timer(rig.controller);
    rig.ClearLog();
    rig.port.open_attempts = 0;
  }

  int64_t NowMs() const { return rig.time.now_us / 1000; }
  void Pass(int64_t ms) { rig.time.now_us += ms * 1000; }

  Rig rig;
  PortWatchdog watchdog{rig.controller, "/dev/ttyUSB0", [this] { return NowMs(); }};
};

TEST(PortWatchdog, FailedExchangeMarksThePortLostOnce) {
  Station station;
  Rig& rig = station.rig;
  rig.port.fail_writes = true;  // the adapter is pulled out

  tmrClockCheck_Timer(rig.controller);

  EXPECT_TRUE(station.watchdog.Lost());
  EXPECT_FALSE(rig.port.open);
  EXPECT_EQ(rig.view.Text(Label::lblNotice), kLost);
  // The first failed write closed the port: the rest of the handler wrote nothing but kept its
  // waits, so the rhythm is the same as with a silent encoder.
  EXPECT_EQ(rig.Writes().size(), 1u);
  EXPECT_EQ(rig.TotalWaitMs(), 4 * 200);
  // No reading is left that is not the encoder's, and no click can be made.
  std::string shown;
  for (Label label : {Label::lblPS, Label::lblPI, Label::lblRT, Label::lblPILOT, Label::lblCT,
                      Label::lblPTY, Label::lblTP, Label::lblTA, Label::lblTATMOUT}) {
    shown += rig.view.Text(label) + "|";
  }
  EXPECT_EQ(shown, "|||NONE/FREE RUN|UNKNOWN|No PTY|UNKNOWN|UNKNOWN||");
  EXPECT_EQ(std::make_tuple(rig.view.enabled, rig.view.caption, rig.view.colour),
            std::make_tuple(false, std::string(kTrafficUnavailable), ButtonColour::ButtonFace));

  // More failures and more handlers change nothing: one notice for one loss.
  rig.port.fail_writes = false;
  tmrClockCheck_Timer(rig.controller);
  station.watchdog.PortFailed();
  EXPECT_EQ(rig.view.History(Label::lblNotice), (std::vector<std::string>{NoticeText(), kLost}));
  EXPECT_EQ(rig.Writes().size(), 1u);
}

TEST(PortWatchdog, RetriesAtMostEveryFiveSecondsWithTheStartUpSettings) {
  Station station;
  Rig& rig = station.rig;
  rig.port.open_error = "Cannot open serial port /dev/ttyUSB0: No such file or directory";
  station.watchdog.PortFailed();  // the device went away between two handlers

  struct Step {
    int64_t after_ms;  // since the previous step
    int open_attempts;
  };
  const Step steps[] = {{0, 0}, {4999, 0}, {1, 1}, {1000, 1}, {3999, 1}, {1, 2}, {12000, 3}};
  for (const Step& step : steps) {
    station.Pass(step.after_ms);
    station.watchdog.Tick();
    EXPECT_EQ(rig.port.open_attempts, step.open_attempts) << "at " << station.NowMs() << " ms";
  }
  EXPECT_TRUE(station.watchdog.Lost());
  EXPECT_EQ(rig.view.History(Label::lblNotice), (std::vector<std::string>{NoticeText(), kLost}));

  rig.port.open_error.reset();
  station.Pass(kPortRetryIntervalMs);
  station.watchdog.Tick();
  EXPECT_FALSE(station.watchdog.Lost());
  ASSERT_TRUE(rig.port.opened_address && rig.port.opened_settings);
  EXPECT_EQ(rig.port.opened_address->device_path, "/dev/ttyUSB0");
  EXPECT_EQ(rig.port.opened_settings->baud, 19200);
  EXPECT_EQ(rig.port.opened_settings->parity, Parity::Even);
  EXPECT_EQ(rig.port.opened_settings->data_bits, 7);
  EXPECT_EQ(rig.port.opened_settings->stop_bits, 2);
  // Back: no further tries.
  station.Pass(kPortRetryIntervalMs);
  station.watchdog.Tick();
  EXPECT_EQ(rig.port.open_attempts, 4);
}

// Back, the encoder may have lost power: the TA flag first, then the start-up synchronisation
// with the title the metadata watcher chose meanwhile; the watcher then has nothing to repeat.
TEST(PortWatchdog, BackOnTheLineBringsTheEncoderIntoStepAgain) {
  Station station;
  Rig& rig = station.rig;
  rig.port.responder = testing::HoldingPira32Responder();
  rig.port.fail_reads = true;
  tmrClockCheck_Timer(rig.controller);
  rig.port.fail_reads = false;
  ASSERT_TRUE(station.watchdog.Lost());

  // A new title while the port is lost costs its waits and nothing else.
  rig.files.files["metadata.txt"] = "Band - Song\r\n";
  rig.ClearLog();
  tmrTextCheck_Timer(rig.controller);
  EXPECT_TRUE(rig.Writes().empty());
  EXPECT_EQ(rig.TotalWaitMs(), 500 + 500);

  station.Pass(kPortRetryIntervalMs);
  rig.ClearLog();
  station.watchdog.Tick();
  ASSERT_FALSE(station.watchdog.Lost());
  EXPECT_EQ(rig.view.History(Label::lblNotice),
            (std::vector<std::string>{NoticeText(), kLost, NoticeText()}));
  const std::vector<std::string> writes = rig.Writes();
  ASSERT_EQ(writes.size(), 16u);
  EXPECT_EQ(std::vector<std::string>(writes.begin(), writes.begin() + 3),
            (std::vector<std::string>{"TA=0\r", "GRPSEQ=022221AEXYR\r", "RT1=Band - Song\r"}));
  EXPECT_EQ(writes.back(), "PILOT\r");
  EXPECT_EQ(rig.view.Text(Label::lblRT), "Band - Song");

  rig.ClearLog();
  tmrTextCheck_Timer(rig.controller);
  station.Pass(kPortRetryIntervalMs);
  station.watchdog.Tick();
  EXPECT_TRUE(rig.Writes().empty());

  // A later loss is reported again.
  rig.port.fail_writes = true;
  tmrClockCheck_Timer(rig.controller);
  EXPECT_EQ(rig.view.History(Label::lblNotice).size(), 4u);
}

// Silence is no byte at all, in the drain or the answer, kSilentExchanges times in a row: an
// encoder that answers late is heard, and so is a PIRA micro that leaves a write unanswered.
TEST(PortWatchdog, EncoderThatStopsAnsweringIsNamedThenBroughtIntoStep) {
  const struct {
    const char* name;
    const char* encoder;
    testing::FakeEncoderPort::Responder responder;
    int64_t answer_delay_us;
    bool silent;
  } cases[] = {
      {"no answer", "PIRA32", nullptr, 1000, true},
      {"answers after the wait", "PIRA32", testing::Pira32Responder({}), 300000, false},
      {"PIRA micro answers reads only", "PIRAMICRO",
       testing::FrameResponder({{protocol::kAddressTraffic, "\x01"}}), 1000, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Station station;
    Rig& rig = station.rig;
    rig.state.EncoderType = c.encoder;
    rig.port.responder = c.responder;
    rig.port.answer_delay_us = c.answer_delay_us;
    rig.events.events.clear();
    rig.view.enabled = true;  // as a TP reading of 1 left it
    cmdTraffic_Click(rig.controller);
    tmrClockCheck_Timer(rig.controller);

    EXPECT_EQ(station.watchdog.Silent(), c.silent);
    EXPECT_EQ(rig.view.Text(Label::lblNotice), c.silent ? kSilentNotice : NoticeText());
    EXPECT_EQ(rig.view.enabled, !c.silent);
    EXPECT_EQ(rig.events.Told().size(), c.silent ? 1u : 0u);
    if (c.silent) {
      // A lost port is the more urgent notice.
      station.watchdog.PortFailed();
      EXPECT_EQ(rig.view.Text(Label::lblNotice), kLost);
      station.Pass(kPortRetryIntervalMs);
      station.watchdog.Tick();
      EXPECT_EQ(rig.view.Text(Label::lblNotice), kSilentNotice);
      // Answering again: said once; what comes next is the reconcile rule's.
      rig.port.responder = testing::HoldingPira32Responder();
      tmrClockCheck_Timer(rig.controller);
      EXPECT_EQ(
          rig.events.Told(),
          (std::vector<std::string>{kSilentNotice, "encoder port /dev/ttyUSB0 lost",
                                    "encoder port /dev/ttyUSB0 back", "encoder answering again"}));
      EXPECT_EQ(rig.view.Text(Label::lblNotice), NoticeText());
    }
  }
}

TEST(PortWatchdog, HealthyPortIsLeftAlone) {
  Station station;
  Rig& rig = station.rig;
  for (int tick = 0; tick < 3; ++tick) {
    station.Pass(kPortRetryIntervalMs);
    station.watchdog.Tick();
    tmrClockCheck_Timer(rig.controller);
  }
  EXPECT_FALSE(station.watchdog.Lost());
  EXPECT_EQ(rig.port.open_attempts, 0);
  EXPECT_TRUE(rig.port.open);
  EXPECT_EQ(rig.view.History(Label::lblNotice), (std::vector<std::string>{NoticeText()}));
}

}  // namespace
}  // namespace morvane
