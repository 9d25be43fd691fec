// The real program, headless, against the emulated encoder over a pty or TCP, in real time.

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "station.h"

namespace morvane::e2e {
namespace {

using sim::Dialect;

// Scheduling of this process may make a command look up to this much earlier than it was sent.
constexpr int64_t kArrivalJitterMs = 20;
// The metadata file is read once a second.
constexpr int64_t kMetadataReachMs = 1600;
constexpr int kOnAirTimeoutMs = 4000;
// The in-house timer's first tick comes eight seconds after start-up.
constexpr int kInHouseTimeoutMs = 12000;
// The port is tried again every 5 s; on its return the TA flag goes first.
constexpr int kPortBackTimeoutMs = 6000;

// The commands from index from in exactly this order, each followed by at least its wait:
// "regular expression/wait" one after the other, parted by "|".
void ExpectSequence(const std::vector<Received>& got, const std::string& expected,
                    std::size_t from = 0) {
  std::size_t i = from;
  for (std::size_t at = 0; at < expected.size(); ++i) {
    const std::size_t end = std::min(expected.find('|', at), expected.size());
    const std::size_t slash = expected.rfind('/', end);
    ASSERT_LT(i, got.size());
    EXPECT_TRUE(std::regex_match(got[i].text, std::regex(expected.substr(at, slash - at))))
        << i << ": " << got[i].text;
    if (i + 1 < got.size()) {
      EXPECT_GE(got[i + 1].at_ms - got[i].at_ms,
                std::stoi(expected.substr(slash + 1, end - slash - 1)) - kArrivalJitterMs)
          << "gap after " << got[i].text;
    }
    at = end + 1;
  }
}

class Pira32EndToEnd : public StationTest, public ::testing::WithParamInterface<Line> {};
INSTANTIATE_TEST_SUITE_P(Over, Pira32EndToEnd, ::testing::Values(Line::Pty, Line::Tcp),
                         [](const auto& line) { return line.param == Line::Pty ? "Pty" : "Tcp"; });

// One PIRA32 run from start-up to a pulled-out port, with UTF-8 metadata converted to RDS codes;
// a network encoder must see exactly what a serial one sees.
TEST_P(Pira32EndToEnd, FromStartUpToPortLossAndBack) {
  line_ = GetParam();
  Write("inhouse.txt", "M: 1A2 Hello\r\n");
  StationConfig config;
  config.default_radiotext = "Radio Caf\xC3\xA9";
  config.extra_lines = "TextEncoding=UTF-8\r\n";
  const std::time_t before = std::time(nullptr);
  Start(Dialect::Ascii, config);

  ASSERT_TRUE(encoder_->WaitForCommand("PILOT", kStartupTimeoutMs));
  const std::time_t after = std::time(nullptr);
  const std::vector<Received> startup = encoder_->Commands();
  // The configured text is converted too: é goes out as the one RDS code 0x82.
  ExpectSequence(
      startup,
      "TA=0/200|GRPSEQ=022221AEXYR/400|RTP=00,00,00,00,00,00/500|RT1=Radio Caf\\\\x82/500|"
      "PS/200|PI/200|RT1/500|CT/200|TP/200|TA/200|TATMOUT/200|PTY/200|"
      "TIME=\\d\\d:\\d\\d:\\d\\d/400|DATE=\\d\\d\\.\\d\\d\\.\\d\\d/400|UDG1=/50|"
      "SHORTRT=1/200|PILOT/0");
  EXPECT_TRUE(encoder_->WaitForOnAir("RT \"Radio Café\"", 0));
  // The encoder clock: the computer's local time, one second ahead.
  std::tm local{};
  local.tm_isdst = -1;
  const std::string clock = startup[13].text.substr(5) + " " + startup[12].text.substr(5);
  ASSERT_TRUE(strptime(clock.c_str(), "%d.%m.%y %H:%M:%S", &local)) << clock;
  const std::time_t set = std::mktime(&local);
  EXPECT_TRUE(set >= before && set <= after + 1) << clock;

  // A new title reaches the encoder within about a second, the old tags cleared before it, and
  // radios show the 35-character title whole: it goes as the first tag, the one with room.
  const std::string queen = "Queen - Bohemian Rhapsody (Remastered 2011)";
  const std::size_t seen = encoder_->Commands().size();
  const int64_t written = NewTitle(queen);
  ASSERT_TRUE(encoder_->WaitForCommand("RT1=" + queen, kOnAirTimeoutMs, seen));
  const std::size_t sent = IndexOf(encoder_->Commands(), "RT1=" + queen, seen) - 1;
  EXPECT_LE(encoder_->Commands()[sent].at_ms - written, kMetadataReachMs);
  ASSERT_TRUE(encoder_->WaitForOnAir(
      "RT+ ARTIST=\"Queen\" TITLE=\"Bohemian Rhapsody (Remastered 2011)\"", kOnAirTimeoutMs));
  ASSERT_TRUE(encoder_->WaitForCommand("RT1", kOnAirTimeoutMs, sent));
  ExpectSequence(
      encoder_->Commands(),
      "RTP=00,00,00,00,00,00/500|"
      "RT1=Queen - Bohemian Rhapsody \\(Remastered 2011\\)/500|RTP=01,08,34,04,00,04/500|RT1/0",
      sent);

  // The traffic button, clicked on the headless console: on, then off.
  std::size_t heard = encoder_->OnAir().size();
  controller_->Type("t\n");
  ASSERT_TRUE(encoder_->WaitForOnAir("TA on", kOnAirTimeoutMs, heard));
  heard = encoder_->OnAir().size();
  controller_->Type("t\n");
  ASSERT_TRUE(encoder_->WaitForOnAir("TA off", kOnAirTimeoutMs, heard));

  EXPECT_TRUE(encoder_->WaitForOnAir("In-house seq 1 id 1A2 \"Hello\"", kInHouseTimeoutMs));

  // The traffic marker raises TA and puts the traffic RadioText on air.
  heard = encoder_->OnAir().size();
  (void)NewTitle("TRAFFIC bulletin");
  ASSERT_TRUE(encoder_->WaitForOnAir("TA on", kOnAirTimeoutMs, heard));
  ASSERT_TRUE(encoder_->WaitForOnAir("RT \"Traffic news\"", kOnAirTimeoutMs, heard));

  // The adapter is pulled out (or the connection closed) during the announcement; the program
  // says so once. The bulletin ends while it is out, with a UTF-8 title that has RT+ tags.
  encoder_.reset();
  const std::string lost =
      "lblNotice \"Encoder port " + PortName() + " lost - retrying every 5 s\"";
  ASSERT_TRUE(controller_->WaitForOutput(lost, kOnAirTimeoutMs));
  // The metadata check that ends the bulletin has begun while the port is lost; a reopen can
  // only come after it.
  (void)NewTitle("Caf\xC3\xA9 M\xC3\xBCller - Sigur R\xC3\xB3s");
  std::this_thread::sleep_for(std::chrono::milliseconds(kMetadataReachMs));

  // It comes back at the same address as a new device: TA is cleared within 6 s, and the title
  // goes on air with its tags, the letters shown right. The new encoder is not in short
  // RadioText mode yet: radios get the 23 characters and 41 blanks.
  encoder_ = NewEncoder(Dialect::Ascii);
  EXPECT_TRUE(encoder_->WaitForCommand("TA=0", kPortBackTimeoutMs));
  ASSERT_TRUE(
      encoder_->WaitForOnAir("RT+ ARTIST=\"Café Müller\" TITLE=\"Sigur Rós\"", kPortBackTimeoutMs));
  EXPECT_TRUE(
      encoder_->WaitForOnAir("RT \"Café Müller - Sigur Rós" + std::string(41, ' ') + "\"", 0));
  EXPECT_TRUE(controller_->Running());
  const std::string output = controller_->Output();
  const std::string back = "lblNotice \"RDS Morvane dynamic RDS controller V1.10\"";
  EXPECT_EQ(output.find(lost), output.rfind(lost));
  EXPECT_LT(output.find(lost), output.rfind(back));
}

using ControllerEndToEnd = StationTest;

TEST_F(ControllerEndToEnd, PiraMicroStartUpThenATitle) {
  StationConfig config;
  config.encoder_type = "PIRAMICRO";
  Start(Dialect::Frame, config);

  ASSERT_TRUE(encoder_->WaitForCommand("FE D0 70 01 FF", kStartupTimeoutMs));
  // "Radio Morvane" and 51 blanks.
  ExpectSequence(
      encoder_->Commands(),
      "FE 20 52 61 64 69 6F 20 4D 6F 72 76 61 6E 65( 20){51} 40 FF/50|FE D0 02 08 FF/200|"
      "FE D0 20 40 FF/200|FE D0 0E 01 FF/200|FE D0 0A 01 FF/200|FE D0 70 01 FF/0");
  // A title goes out as a frame of 64 characters: radios get the blanks too.
  (void)NewTitle("Artist - Title");
  ASSERT_TRUE(
      encoder_->WaitForOnAir("RT \"Artist - Title" + std::string(50, ' ') + "\"", kOnAirTimeoutMs));
  for (const Received& r : encoder_->Commands()) {
    EXPECT_EQ(r.text.substr(0, 3), "FE ") << "not a frame: " << r.text;
  }
}

TEST_F(ControllerEndToEnd, OtherEncoderTypeSendsNothing) {
  StationConfig config;
  config.encoder_type = "pira32";  // not a model name: letter case counts
  Write("metadata.txt", "Artist - Title\r\n");
  Start(Dialect::Ascii, config);
  // Two metadata checks shown: the first one, which found the title, has finished.
  ASSERT_TRUE(controller_->WaitForOutput("lblEncoderType \"pira32\"", kStartupTimeoutMs));
  ASSERT_TRUE(
      controller_->WaitForOutput("lblLastTextCheck", kStartupTimeoutMs, "lblLastTextCheck"));
  EXPECT_TRUE(controller_->Running());
  EXPECT_TRUE(encoder_->Commands().empty());
}

// Under a pretend service manager: the datagram socket NOTIFY_SOCKET names.
TEST_F(ControllerEndToEnd, ServiceManagerHearsReadyStatusPingsFromTheLoopAndStopping) {
#ifndef MORVANE_HAVE_SYSTEMD
  GTEST_SKIP() << "built without libsystemd: the program tells the service manager nothing";
#endif
  const int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{AF_UNIX, {}};
  std::strncpy(address.sun_path, (dir_ + "/notify").c_str(), sizeof address.sun_path - 1);
  ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  setenv("NOTIFY_SOCKET", address.sun_path, 1);
  setenv("WATCHDOG_USEC", "400000", 1);  // a ping every 200 ms
  Start(sim::Dialect::Ascii, StationConfig{});
  unsetenv("NOTIFY_SOCKET");
  unsetenv("WATCHDOG_USEC");

  std::vector<std::pair<std::string, int64_t>> got;  // each message, and when it came
  const timeval tick{0, 10000};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tick, sizeof tick);
  const auto wait_for = [&](const std::string& text, int timeout_ms) {
    for (const int64_t end = SteadyNowMs() + timeout_ms; SteadyNowMs() < end;) {
      char bytes[512];
      const ssize_t size = recv(fd, bytes, sizeof bytes, 0);
      if (size > 0 && got.emplace_back(std::string(bytes, size), SteadyNowMs()).first == text) {
        return true;
      }
    }
    return false;
  };
  ASSERT_TRUE(wait_for("READY=1", kStartupTimeoutMs));
  ASSERT_EQ(got.front().first, "STATUS=Encoder link up, RadioText \"Radio Morvane\"");
  EXPECT_EQ(got.size(), 2U) << "no ping while start-up holds the loop";
  EXPECT_EQ(encoder_->Commands().back().text, "PILOT") << "ready after the last start-up step";
  (void)wait_for("", 2000);
  EXPECT_NEAR(static_cast<double>(got.size()), 2 + 10, 3) << "a ping every 200 ms for 2 s";

  // A new title holds the loop for four exchanges of 500 ms; its status comes after the second.
  (void)NewTitle("Artist - Title");
  ASSERT_TRUE(wait_for("STATUS=Encoder link up, RadioText \"Artist - Title\"", 3000));
  const int64_t status_at = got.back().second;
  ASSERT_TRUE(wait_for("WATCHDOG=1", 3000));
  EXPECT_GE(got.back().second - status_at, 900) << "a ping while a handler held the loop";
  controller_.reset();  // SIGTERM
  EXPECT_TRUE(wait_for("STOPPING=1", 1000));
  close(fd);
}

}  // namespace
}  // namespace morvane::e2e
