// An encoder that floods the line: endless garbage, answers far longer than any value, answers
// that come late. The drain throws away what is not an answer, so nothing piles up, and every
// handler sends the same commands with the same waits as against a quiet encoder.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "app/startup_sync.h"
#include "clock/encoder_clock.h"
#include "inhouse/inhouse_rotator.h"
#include "link/dialects.h"
#include "radiotext/metadata_watcher.h"
#include "support/fakes.h"
#include "traffic/traffic_alert.h"

namespace morvane {
namespace {

using testing::Rig;

constexpr int64_t kLateUs = 900'000;  // later than the longest wait of 500 ms

std::string Garbage(unsigned seed, std::size_t size) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& byte : bytes) {
    byte = static_cast<char>(random() & 0xFF);
  }
  return bytes;
}

TEST(EncoderFlood, DrainKeepsOnlyTheAnswerToThisCommand) {
  Rig rig;
  rig.port.responder = testing::Pira32Responder({{"PS", "RADIO 1 "}});
  rig.port.Inject(Garbage(1, 1 << 20));
  EXPECT_EQ(rig.controller.ExchangeCommand("PS\r", 200), "PS\r\nRADIO 1 \r\n");

  // An answer later than the wait is not this exchange's, nor the next one's.
  rig.port.answer_delay_us = kLateUs;
  EXPECT_EQ(rig.controller.ExchangeCommand("PS\r", 200), "");
  rig.port.answer_delay_us = 1000;
  rig.sleeper.SleepMs(1000);
  EXPECT_EQ(rig.controller.ExchangeCommand("PS\r", 200), "PS\r\nRADIO 1 \r\n");
}

struct HandlerCase {
  const char* name;
  const char* encoder;
  std::function<void(Rig&)> prepare;
  std::function<void(Controller&)> run;
};

void Configure(Rig& rig, const char* encoder) {
  rig.state.EncoderType = encoder;
  rig.state.MetadataFile = "metadata.txt";
  rig.state.TrafficMeta = "TRAFFIC";
  rig.state.TrafficRadioText = "Traffic news";
  rig.state.DefaultRadioText = "Radio Morvane";
  rig.state.RTplus = 1;
  rig.state.RTPlusPrefix = "";
  rig.state.RTPlusSplit = " - ";
  rig.state.TAmaxtime = 120;
  rig.state.HexVersion = "0110";
  rig.files.files["metadata.txt"] = "TRAFFIC Artist - Title\r\n";
  rig.files.files["inhouse.txt"] = "M: 1A2 In-house message\r\n";
  rig.clock.Set(LocalTime{2026, 3, 5, 14, 2, 0});
}

TEST(EncoderFlood, EveryHandlerSendsAndWaitsAsAgainstAQuietEncoder) {
  const auto nothing = [](Rig&) {};
  const auto alert_ending = [](Rig& rig) {
    rig.state.TAstatus = 1;
    rig.state.TAtimeout = 2;
  };
  const std::vector<HandlerCase> cases = {
      {"start-up", "PIRA32", nothing, SynchroniseEncoder},
      {"start-up", "PIRAMICRO", nothing, SynchroniseEncoder},
      {"metadata tick", "PIRA32", nothing, tmrTextCheck_Timer},
      {"metadata tick", "PIRAMICRO", nothing, tmrTextCheck_Timer},
      {"clock tick", "PIRA32", nothing, tmrClockCheck_Timer},
      {"clock tick", "PIRAMICRO", nothing, tmrClockCheck_Timer},
      {"in-house tick", "PIRA32", nothing, tmrInHouse_Timer},
      {"traffic button", "PIRA32", nothing, cmdTraffic_Click},
      {"traffic button", "PIRAMICRO", nothing, cmdTraffic_Click},
      {"alert countdown", "PIRA32", alert_ending, tmrTAtimeout_Timer},
      {"alert countdown", "PIRAMICRO", alert_ending, tmrTAtimeout_Timer},
  };
  for (const HandlerCase& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " on " + c.encoder);
    Rig quiet;
    Configure(quiet, c.encoder);
    c.prepare(quiet);
    quiet.port.responder = testing::Pira32Responder({});
    c.run(quiet.controller);

    Rig flooded;
    Configure(flooded, c.encoder);
    c.prepare(flooded);
    // Every command draws 64 KiB of junk, half of it too late for its wait, and junk that
    // nobody asked for is already waiting.
    unsigned seed = 0;
    flooded.port.responder = [&flooded, &seed](const std::string&) {
      ++seed;
      flooded.port.answer_delay_us = seed % 2 == 0 ? kLateUs : 1000;
      return Garbage(seed, 64 * 1024);
    };
    flooded.port.Inject(Garbage(0, 1 << 20));
    c.run(flooded.controller);

    EXPECT_FALSE(quiet.Sent().empty());
    EXPECT_EQ(flooded.Sent(), quiet.Sent());
    EXPECT_EQ(flooded.TotalWaitMs(), quiet.TotalWaitMs());
  }
}

}  // namespace
}  // namespace morvane
