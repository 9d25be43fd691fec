// The real program, headless, against the emulated encoder over a pty or TCP, in real time;
// against network peers that are not there or do not play along; and its web server.

#include <gtest/gtest.h>
#include <httplib.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <cstdlib>
#include <cstring>
#include <regex>

#include "../support/loopback.h"
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

// One PIRA32 run from start-up to a pulled-out port (or a peer that closed) and back, with UTF-8
// metadata converted to RDS codes; a network encoder must see exactly what a serial one sees.
TEST_P(Pira32EndToEnd, FromStartUpToPortLossAndBack) {
  line_ = GetParam();
  Write("inhouse.txt", "M: 1A2 Hello\r\n");
  Start(Dialect::Ascii, "DefaultRadioText=Radio Caf\xC3\xA9\r\nTextEncoding=UTF-8\r\n");

  ASSERT_TRUE(encoder_->WaitForCommand("PILOT", kStartupTimeoutMs));
  // The configured text is converted too: é goes out as the one RDS code 0x82.
  ExpectSequence(
      encoder_->Commands(),
      "TA=0/200|GRPSEQ=022221AEXYR/400|RTP=00,00,00,00,00,00/500|RT1=Radio Caf\\\\x82/500|"
      "PS/200|PI/200|RT1/500|CT/200|TP/200|TA/200|TATMOUT/200|PTY/200|"
      "TIME=\\d\\d:\\d\\d:\\d\\d/400|DATE=\\d\\d\\.\\d\\d\\.\\d\\d/400|UDG1=/50|"
      "SHORTRT=1/200|PILOT/0");
  EXPECT_TRUE(encoder_->WaitForOnAir("RT \"Radio Café\"", 0));

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
  for (const char* const flag : {"TA on", "TA off"}) {
    const std::size_t heard = encoder_->OnAir().size();
    controller_->Type("t\n");
    ASSERT_TRUE(encoder_->WaitForOnAir(flag, kOnAirTimeoutMs, heard));
  }
  EXPECT_TRUE(encoder_->WaitForOnAir("In-house seq 1 id 1A2 \"Hello\"", kInHouseTimeoutMs));

  // The traffic marker raises TA and puts the traffic RadioText on air.
  const std::size_t heard = encoder_->OnAir().size();
  (void)NewTitle("TRAFFIC bulletin");
  ASSERT_TRUE(encoder_->WaitForOnAir("TA on", kOnAirTimeoutMs, heard));
  ASSERT_TRUE(encoder_->WaitForOnAir("RT \"Traffic news\"", kOnAirTimeoutMs, heard));

  // The adapter is pulled out (or the connection closed) during the announcement; the program
  // says so once. The bulletin ends while it is out, with a UTF-8 title that has RT+ tags: the
  // metadata check that ends it begins while the port is lost, a reopen can only come after it.
  encoder_.reset();
  const std::string lost =
      "lblNotice \"Encoder port " + PortName() + " lost - retrying every 5 s\"";
  ASSERT_TRUE(controller_->WaitForOutput(lost, kOnAirTimeoutMs));
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
  Start(Dialect::Frame, "EncoderType=PIRAMICRO\r\n");
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
  Write("metadata.txt", "Artist - Title\r\n");
  Start(Dialect::Ascii, "EncoderType=pira32\r\n");  // not a model name: letter case counts
  // Two metadata checks shown: the first one, which found the title, has finished.
  ASSERT_TRUE(controller_->WaitForOutput("lblEncoderType \"pira32\"", kStartupTimeoutMs));
  ASSERT_TRUE(
      controller_->WaitForOutput("lblLastTextCheck", kStartupTimeoutMs, "lblLastTextCheck"));
  EXPECT_TRUE(controller_->Running());
  EXPECT_TRUE(encoder_->Commands().empty());
}

// An encoder not reached ends start-up naming the address. A peer that takes the connection and
// never reads or answers is a silent encoder: start-up takes its waits (4.25 s for a PIRA32) and
// no more, and the port is not given up.
TEST_F(ControllerEndToEnd, NetworkPeersNotReachedOrMute) {
  const testing::LoopbackPort refusing(-1);
  const testing::LoopbackPort full(0);  // one waiting connection fills it: the next gets no answer
  const int crowd = testing::ConnectToLoopback(full.port);
  const std::string local = "tcp://127.0.0.1:";
  for (const std::string& com_port :
       {local + std::to_string(refusing.port), local + std::to_string(full.port),
        std::string("tcp://no-such-encoder.invalid:4001")}) {
    StartController(com_port);
    EXPECT_EQ(controller_->WaitForExit(kStartupTimeoutMs), 1) << com_port;
    EXPECT_NE(controller_->Output().find("rdsmorvane: Cannot connect to " + com_port + ": "),
              std::string::npos);
  }
  close(crowd);
  const testing::LoopbackPort mute(4);
  StartController("tcp://127.0.0.1:" + std::to_string(mute.port));
  ASSERT_TRUE(controller_->WaitForOutput("lblLastTextCheck", 8000));
  EXPECT_TRUE(controller_->WaitForOutput("lblLastTextCheck", 3000, "lblLastTextCheck"));
  EXPECT_EQ(controller_->Output().find("lost"), std::string::npos) << "no reconnecting";
}

// Under a pretend service manager: the datagram socket NOTIFY_SOCKET names.
TEST_F(ControllerEndToEnd, ServiceManagerHearsReadyStatusPingsFromTheLoopAndStopping) {
#ifndef MORVANE_HAVE_SYSTEMD
  GTEST_SKIP() << "built without libsystemd: the program tells the service manager nothing";
#endif
  const int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{AF_UNIX, {}};
  std::strncpy(address.sun_path, dir_.PathOf("notify").c_str(), sizeof address.sun_path - 1);
  ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  setenv("NOTIFY_SOCKET", address.sun_path, 1);
  setenv("WATCHDOG_USEC", "400000", 1);  // a ping every 200 ms
  Start(Dialect::Ascii);
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

// A reading must not wait for the controller, which sleeps up to 500 ms inside one exchange:
// well under that even on a loaded machine, and many answers over the four seconds of start-up.
constexpr int64_t kAnswerMs = 400;
// A pushed title is checked at once; the controller may be inside a short exchange then.
constexpr int64_t kPushReachMs = 300;
// The page polls twice a second.
constexpr int64_t kPageShowsMs = 2000;
constexpr int kBrowserStartMs = 20000;
constexpr const char* kChromium = "/usr/bin/chromium";

// The body of GET path, or "" when there is no answer.
std::string Get(int port, const std::string& path) {
  httplib::Client client("127.0.0.1", port);
  client.set_connection_timeout(1);
  client.set_read_timeout(1);
  const httplib::Result answer = client.Get(path.c_str());
  return answer && answer->status == 200 ? answer->body : "";
}

// Longer than the 29 characters of a text value: the whole of it must count.
constexpr const char* kToken = "0123456789abcdefghij0123456789ABCDEFGHIJ";

int Push(int port, const std::string& line, const std::string& token = kToken) {
  httplib::Headers headers;  // none at all for an empty token
  if (!token.empty()) {
    headers.emplace("Authorization", "Bearer " + token);
  }
  httplib::Client client("127.0.0.1", port);
  const httplib::Result answer = client.Post("/api/nowplaying", headers, line, "text/plain");
  return answer ? answer->status : 0;
}

using WebEndToEnd = StationTest;

TEST_F(WebEndToEnd, AnswersWhileStartUpRunsPutsAPushedTitleOnAirAndThePageShowsIt) {
  const int port = testing::LoopbackPort(-1).port;
  Start(Dialect::Ascii, "WebListen=127.0.0.1:" + std::to_string(port) + "\r\nWebToken=" + kToken +
                            "\r\nMetadataSource=Push\r\n");
  ASSERT_TRUE(encoder_->WaitForCommand("TA=0", kStartupTimeoutMs));
  // Clients that never finish their request hold no one else up.
  std::vector<int> slow;
  for (int i = 0; i < 7; ++i) {
    slow.push_back(testing::ConnectToLoopback(static_cast<uint16_t>(port)));
    (void)!send(slow.back(), "GET / HTTP/1.1\r\n", 16, MSG_NOSIGNAL);
  }
  // The synchronisation holds the controller for about four seconds of waits; the server
  // answers all the while.
  int answered = 0;
  while (!encoder_->WaitForCommand("PILOT", 0)) {
    const int64_t asked = SteadyNowMs();
    const std::string status = Get(port, "/api/status");
    EXPECT_LT(SteadyNowMs() - asked, kAnswerMs);
    EXPECT_NE(status.find("\"lblEncoderType\":\"PIRA32\""), std::string::npos) << status;
    ++answered;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  EXPECT_GE(answered, 15);

  const std::size_t seen = encoder_->Commands().size();
  EXPECT_EQ(Push(port, "Artist - Title", ""), 401);
  EXPECT_EQ(Push(port, "Artist - Title", "0123456789abcdefghij012345678"), 401);
  EXPECT_EQ(Push(port, std::string(1025, 'x')), 413);
  for (const int fd : slow) {
    close(fd);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  EXPECT_EQ(IndexOf(encoder_->Commands(), "RT1=Artist - Title", seen), encoder_->Commands().size())
      << "a refused push must send nothing";

  // Cut at its first CR like a file's first line, on the wire at once, with RT+.
  const int64_t pushed = SteadyNowMs();
  EXPECT_EQ(Push(port, "Artist - Title\r\nnext line"), 204);
  ASSERT_TRUE(encoder_->WaitForCommand("RT1=Artist - Title", kOnAirTimeoutMs, seen));
  const std::size_t sent = IndexOf(encoder_->Commands(), "RT1=Artist - Title", seen);
  // The handler's first command, the clear of the old tags, follows the push at once.
  const Received clear = encoder_->Commands()[sent - 1];
  EXPECT_EQ(clear.text, "RTP=00,00,00,00,00,00");
  EXPECT_LE(clear.at_ms - pushed, kPushReachMs);
  ASSERT_TRUE(encoder_->WaitForOnAir("RT+ ARTIST=\"Artist\" TITLE=\"Title\"", kOnAirTimeoutMs));

  if (!std::filesystem::exists(kChromium)) {
    GTEST_SKIP() << "chromium is not installed: the page is not tried";
  }
  // The page in headless chromium shows a new RadioText within two seconds of the change: the
  // DevTools list says each page's title, which the page sets to the RadioText on air.
  const int devtools = testing::LoopbackPort(-1).port;
  const Process browser(dir_.path(),
                        std::string(kChromium) +
                            " --headless --no-sandbox --disable-gpu --disable-quic --no-first-run"
                            " --disable-background-networking --disable-component-update"
                            " --disable-sync --user-data-dir=browser --remote-debugging-port=" +
                            std::to_string(devtools) + " http://127.0.0.1:" + std::to_string(port),
                        "browser.out");
  const auto shows = [devtools](const std::string& title) {
    return Eventually([&] { return Get(devtools, "/json/list").find(title) != std::string::npos; },
                      kBrowserStartMs);
  };
  ASSERT_TRUE(shows("Artist - Title - RDS Morvane"));
  ASSERT_EQ(Push(port, "Browser - Test"), 204);
  ASSERT_TRUE(Eventually(
      [&] {
        return Get(port, "/api/status").find("\"lblRT\":\"Browser - Test\"") != std::string::npos;
      },
      kOnAirTimeoutMs));
  const int64_t changed = SteadyNowMs();
  ASSERT_TRUE(shows("Browser - Test - RDS Morvane"));
  EXPECT_LE(SteadyNowMs() - changed, kPageShowsMs);
}

}  // namespace
}  // namespace morvane::e2e
