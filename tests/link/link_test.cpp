// The link to the encoder: request bytes, answer rules, the exchange, line settings and addresses.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "link/dialects.h"
#include "link/encoder_link.h"
#include "link/line_settings.h"
#include "support/fakes.h"

namespace morvane {
namespace {

using namespace std::string_literals;
using testing::Rig;

constexpr char kAnswer[] = "PS\r\nRADIO 1 \r\n";

TEST(AnswerLine, TakesTheSecondLineOnly) {
  const std::pair<std::string, std::string> cases[] = {
      {"PS\r\nRADIO 1 \r\n", "RADIO 1 "},
      {"no carriage return", ""},
      {"1\r\n", ""},
      {"first\ra\nb", "ab"},
      {"x\r\x01\xFE\r", "\x01\xFE"},
      {"PS\r\n  spaced  \r\nthird line\r\n", "  spaced  "},
  };
  for (const auto& [answer, value] : cases) {
    EXPECT_EQ(ParseAnswerLine(answer), value) << "answer: " << answer;
  }
}

TEST(FrameData, SkipsTwoBytesAndFillsWithSpaces) {
  EXPECT_EQ(ParseFrameData("", 8), "        ");
  EXPECT_EQ(ParseFrameData("\xFE\xD0"
                           "AB",
                           8),
            "AB      ");
  EXPECT_EQ(ParseFrameData("\xFE\xD0\xFF\xFE\x01\xFF"s, 3), "\xFF\xFE\x01"s);
  EXPECT_EQ(ParseFrameData("\xFE", 1), " ");
  // Found by fuzzing: counts beyond 80 came back short.
  EXPECT_EQ(ParseFrameData("\xFE\x20" + std::string(100, 'x'), 200),
            std::string(100, 'x') + std::string(100, ' '));
}

// The start-up and clock tests pin the frames; data is never escaped, not even the frame's own
// start and end bytes.
TEST(Builders, DataIsNotEscaped) {
  EXPECT_EQ(BuildWriteFrame(0x20, "\xFE\xFF"), "\xFE\x20\xFE\xFF\x40\xFF");
}

// Drain, write, wait, read: what came before the command, or later than its wait, is never its
// answer. The date command alone is written and waited for without any read.
TEST(EncoderLink, DrainsWritesWaitsReadsAndTracesEachExchange) {
  Rig rig;
  std::vector<ExchangeRecord> trace;
  rig.controller.link.SetTrace([&trace](const ExchangeRecord& record) { trace.push_back(record); });
  rig.port.responder = testing::Pira32Responder({{"PS", "RADIO 1 "}});
  rig.port.Inject(std::string(1 << 20, '\xFE'));

  EXPECT_EQ(rig.controller.ExchangeCommand("PS\r", 200), kAnswer);
  EXPECT_EQ(rig.log[0].bytes.size(), 1u << 20);
  EXPECT_EQ(rig.log[3].at_us, 200000);
  rig.port.answer_delay_us = 900'000;
  EXPECT_EQ(rig.controller.ExchangeCommand("PS\r", 500), "");
  rig.port.answer_delay_us = 1000;
  rig.sleeper.SleepMs(1000);
  EXPECT_EQ(rig.controller.ExchangeCommand("PS\r", 50), kAnswer);
  EXPECT_EQ(rig.log[9].bytes, kAnswer) << "the late answer goes to the drain";
  rig.controller.link.WriteAndWait("DATE=05.03.26\r", 400);

  std::string kinds;
  for (const auto& event : rig.log) {
    kinds += "RWS"[static_cast<int>(event.kind)];
  }
  EXPECT_EQ(kinds, "RWSRRWSRSRWSRWS");
  ASSERT_EQ(trace.size(), 4u);
  EXPECT_EQ(trace[1].wait_ms, 500);
  EXPECT_EQ(trace[2].answer, kAnswer);
  EXPECT_TRUE(trace[2].answer_read);
  EXPECT_EQ(trace[3].written, "DATE=05.03.26\r");
  EXPECT_EQ(trace[3].wait_ms, 400);
  EXPECT_FALSE(trace[3].answer_read);
  EXPECT_EQ(rig.controller.link.counters().exchanges, 4u);
  EXPECT_EQ(rig.controller.link.counters().empty_answers, 1u);
}

// A failing port yields the empty answer after the whole wait, and tells the port watch.
TEST(EncoderLink, FailingPortGivesTheEmptyAnswerAndReportsIt) {
  const struct {
    bool fail_writes;
    bool fail_reads;
    std::string answer;
  } cases[] = {{false, false, kAnswer}, {true, false, ""}, {false, true, ""}};
  for (const auto& c : cases) {
    Rig rig;
    std::vector<bool> health;
    rig.controller.link.SetPortHealthListener([&health](bool ok) { health.push_back(ok); });
    rig.port.responder = testing::Pira32Responder({{"PS", "RADIO 1 "}});
    rig.port.fail_writes = c.fail_writes;
    rig.port.fail_reads = c.fail_reads;
    const bool ok = !c.fail_writes && !c.fail_reads;

    EXPECT_EQ(rig.controller.ExchangeCommand("PS\r", 200), c.answer);
    rig.controller.link.WriteAndWait("DATE=05.03.26\r", 400);

    EXPECT_EQ(rig.TotalWaitMs(), 600);
    EXPECT_EQ(health, (std::vector<bool>{ok, !c.fail_writes}));
    EXPECT_EQ(rig.controller.link.counters().empty_answers, ok ? 0u : 1u);
  }
}

// Whether any byte came in, before the command or after it; a late answer is no silence. A set
// command tells whether it was written.
TEST(EncoderLink, CountsTheExchangesInARowThatHeardNothing) {
  Rig rig;
  std::vector<bool> heard;
  rig.controller.link.SetHearingListener([&heard](bool any) { heard.push_back(any); });
  const struct {
    const char* what;
    std::function<void(Rig&)> before;
    bool written;
    uint64_t silent_in_a_row;
  } steps[] = {
      {"silent", [](Rig&) {}, true, 1},
      {"silent again", [](Rig&) {}, true, 2},
      {"a late answer waits for the drain", [](Rig& r) { r.port.Inject("x", 300000); }, true, 3},
      {"heard in the drain", [](Rig&) {}, true, 0},
      {"answered", [](Rig& r) { r.port.responder = testing::Pira32Responder({}); }, true, 0},
      {"write fails", [](Rig& r) { r.port.fail_writes = true; }, false, 0},
  };
  std::vector<bool> expected;
  for (const auto& step : steps) {
    step.before(rig);
    EXPECT_EQ(rig.controller.link.SendCommand("TA=0\r", 200), step.written) << step.what;
    EXPECT_EQ(rig.controller.link.counters().silent_in_a_row, step.silent_in_a_row) << step.what;
    if (step.written) {
      expected.push_back(step.silent_in_a_row == 0);
    }
  }
  EXPECT_EQ(heard, expected);
}

// "baud parity data stop", or "none" for a text that is not of the form.
std::string Shown(const std::optional<LineSettings>& s) {
  return s ? std::to_string(s->baud) + " " + "NEOMS"[static_cast<int>(s->parity)] + " " +
                 std::to_string(s->data_bits) + " " + std::to_string(s->stop_bits)
           : "none";
}

TEST(ParseLineSettings, AcceptsOnlyWellFormedSettings) {
  const std::pair<const char*, const char*> cases[] = {
      {"19200,E,7,2", "19200 E 7 2"}, {"115200,M,6,1", "115200 M 6 1"},
      {"1,o,5,1", "1 O 5 1"},         {" 1200 , S , 8 , 2 ", "1200 S 8 2"},
      {"9600,N,8", "none"},           {"9600,NO,8,1", "none"},
      {"9600,N,4,1", "none"},         {"9600,N,9,1", "none"},
      {"9600,N,8,0", "none"},         {"9600,N,8,3", "none"},
      {"9600,N,8,1.5", "none"},       {"0,N,8,1", "none"},
      {"99999999999,N,8,1", "none"},
  };
  for (const auto& [text, shown] : cases) {
    EXPECT_EQ(Shown(ParseLineSettings(text)), shown) << text;
  }
}

TEST(ParsePortAddress, NetworkAddressDevicePathOrNumberAtTheStart) {
  const std::pair<std::string, std::string> cases[] = {
      {"TCP://e:65535", "e:65535"},
      {"2.5", "2"},
      {"3.5", "4"},
      {"99999999999", "0"},
      {"/dev/ttyUSB0", "/dev/ttyUSB0"},
      {" /dev/ttyS0", "0"},
      {"-2147483648", "-2147483648"},
      {"2147483647.4", "2147483647"},
      {"tcp://192.168.1.50:4001", "192.168.1.50:4001"},
      {"tcp://[fe80::1%eth0]:7000", "fe80::1%eth0:7000"},
      {"tcp://::1:7000", "none"},
      {"tcp://encoder:0", "none"},
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
