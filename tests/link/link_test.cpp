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

const std::string kAnswer = "PS\r\nRADIO 1 \r\n";

// The status tests read ordinary answers.
TEST(AnswerLine, TakesTheSecondLineOnly) {
  const std::pair<std::string, std::string> cases[] = {
      {"no carriage return", ""},
      {"1\r\n", ""},
      {"first\ra\nb", "ab"},
      {"x\r\x01\xFE\r", "\x01\xFE"},
  };
  for (const auto& [answer, value] : cases) {
    EXPECT_EQ(ParseAnswerLine(answer), value) << "answer: " << answer;
  }
}

// Data is never escaped, not even the frame's own start and end bytes.
TEST(Frames, AnswerDataSkipsTwoBytesAndFillsWithSpacesWrittenDataIsNotEscaped) {
  EXPECT_EQ(ParseFrameData("\xFE\xD0\x41\x42", 8), "AB      ");
  EXPECT_EQ(ParseFrameData("\xFE\xD0\xFF\xFE\x01\xFF"s, 3), "\xFF\xFE\x01"s);
  // Found by fuzzing: counts beyond 80 came back short.
  EXPECT_EQ(ParseFrameData("\xFE\x20" + std::string(100, 'x'), 200),
            std::string(100, 'x') + std::string(100, ' '));
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
  std::string traced;
  for (const ExchangeRecord& r : trace) {
    traced += r.written + std::to_string(r.wait_ms) + (r.answer_read ? "+" + r.answer : "-") + "|";
  }
  EXPECT_EQ(traced, "PS\r200+" + kAnswer + "|PS\r500+|PS\r50+" + kAnswer + "|DATE=05.03.26\r400-|");
  EXPECT_EQ(rig.controller.link.counters().exchanges, 4u);
  EXPECT_EQ(rig.controller.link.counters().empty_answers, 1u);
}

// Whether any byte came in, before the command or after it; a late answer is no silence (the
// watchdog tests pin an answer). A set command tells whether it was written.
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
      {"a late answer waits for the drain", [](Rig& r) { r.port.Inject("x", 300000); }, true, 2},
      {"heard in the drain", [](Rig&) {}, true, 0},
      {"write fails", [](Rig& r) { r.port.fail_writes = true; }, false, 0},
  };
  for (const auto& step : steps) {
    step.before(rig);
    EXPECT_EQ(rig.controller.link.SendCommand("TA=0\r", 200), step.written) << step.what;
    EXPECT_EQ(rig.controller.link.counters().silent_in_a_row, step.silent_in_a_row) << step.what;
  }
  EXPECT_EQ(heard, (std::vector<bool>{false, false, true}));  // the failed write told nothing
}

// "baud parity data stop", or "none" for a text that is not of the form.
std::string Shown(const std::optional<LineSettings>& s) {
  return s ? std::to_string(s->baud) + " " + "NEOMS"[static_cast<int>(s->parity)] + " " +
                 std::to_string(s->data_bits) + " " + std::to_string(s->stop_bits)
           : "none";
}

TEST(ParseLineSettings, AcceptsOnlyWellFormedSettings) {
  const std::pair<const char*, const char*> cases[] = {
      {"115200,M,6,1", "115200 M 6 1"},
      {"1,o,5,1", "1 O 5 1"},
      {" 1200 , S , 8 , 2 ", "1200 S 8 2"},
  };
  for (const auto& [text, shown] : cases) {
    EXPECT_EQ(Shown(ParseLineSettings(text)), shown) << text;
  }
  for (const char* text : {"9600,N,8", "9600,NO,8,1", "9600,N,4,1", "9600,N,9,1", "9600,N,8,0",
                           "9600,N,8,3", "0,N,8,1", "99999999999,N,8,1"}) {
    EXPECT_EQ(Shown(ParseLineSettings(text)), "none") << text;
  }
}

// What the port is opened on: "host:port", the device path, or the port number.
std::string Address(std::string_view text) {
  const PortAddress got = ParsePortAddress(text);
  return got.network               ? got.network->host + ":" + std::to_string(got.network->port)
         : got.device_path.empty() ? std::to_string(got.number)
                                   : got.device_path;
}

// A network text that is no address leaves the number 0 (the configuration tests pin its message).
TEST(ParsePortAddress, NetworkAddressDevicePathOrNumberAtTheStart) {
  // The number at the start is decimal (no exponent, comma or hexadecimal), rounded half to even.
  const std::pair<const char*, const char*> numbers[] = {
      {"2.5", "2"}, {"3.5", "4"},         {".5", "0"},          {"+3x", "3"},
      {"1e3", "1"}, {"1,5", "1"},         {"0x10", "0"},        {"inf", "0"},
      {"- 1", "0"}, {"99999999999", "0"}, {" /dev/ttyS0", "0"},
  };

  for (const auto& [text, shown] : numbers) {
    EXPECT_EQ(Address(text), shown) << text;
  }
  EXPECT_EQ(Address("-2147483648") + " " + Address("2147483647.4"), "-2147483648 2147483647");
  EXPECT_EQ(Address("TCP://e:65535"), "e:65535");
  EXPECT_EQ(Address("tcp://[fe80::1%eth0]:7000"), "fe80::1%eth0:7000");
  // A view into a longer text: nothing past its end is read.
  EXPECT_EQ(Address(std::string_view("12345", 2)) + Address(std::string_view("2.56", 3)), "122");
  for (const char* text :
       {"tcp://::1:7000", "tcp://e:0", "tcp://e:+80", "tcp://[192.168.1.50]:4001"}) {
    EXPECT_EQ(Address(text), "0") << text;
  }
}

}  // namespace
}  // namespace morvane
