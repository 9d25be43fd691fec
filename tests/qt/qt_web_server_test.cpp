#include "web/qt_web_server.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace morvane {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

int FreePort() {
  const int probe = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
  getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
  close(probe);
  return ntohs(address.sin_port);
}

// A client connection that has sent request and waits for the answer.
struct Client {
  Client(int port, const std::string& request) : sock(socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    connect(sock, reinterpret_cast<sockaddr*>(&address), sizeof address);
    (void)!send(sock, request.data(), request.size(), MSG_NOSIGNAL);
  }
  ~Client() { close(sock); }
  // Everything until the server closes, or until the limit.
  std::string Answer(milliseconds limit = milliseconds(5000)) {
    std::string got;
    const auto until = Clock::now() + limit;
    char buffer[4096];
    for (pollfd ready{sock, POLLIN, 0}; Clock::now() < until;) {
      if (poll(&ready, 1, 50) <= 0) {
        continue;
      }
      const ssize_t count = recv(sock, buffer, sizeof buffer, 0);
      if (count <= 0) {
        break;
      }
      got.append(buffer, static_cast<std::size_t>(count));
    }
    return got;
  }
  int sock;
};

std::string Repeat(const std::string& text, int times) {
  std::string repeated;
  for (int i = 0; i < times; ++i) {
    repeated += text;
  }
  return repeated;
}

constexpr const char* kStatus = "GET /api/status HTTP/1.1\r\nHost: t\r\n\r\n";

struct WebRig {
  WebRig()
      : server(board, WebAccess{"secret", MetadataSource::Push}, mailbox, [this] { ++wakes; }) {
    EXPECT_EQ(server.Listen({"127.0.0.1", port, true}), std::nullopt);
  }
  StatusBoard board{[] { return 0.0; }};
  WebMailbox mailbox;
  int wakes = 0;
  int port = FreePort();
  QtWebServer server;
};

// Whatever a client sends, or fails to send, its connection ends within the connection's time.
TEST(QtWebServer, EveryRequestIsAnsweredOrCutWithinItsTime) {
  WebRig rig;
  const struct {
    const char* name;
    std::string request;
    std::string status_line;
    milliseconds within;
  } cases[] = {
      {"status", kStatus, "HTTP/1.1 200", milliseconds(500)},
      {"body too long",
       "POST /api/nowplaying HTTP/1.1\r\nContent-Length: 5000\r\n\r\n" + Repeat("x", 5000),
       "HTTP/1.1 413", milliseconds(500)},
      {"no body, no length", "POST /api/traffic HTTP/1.1\r\nHost: t\r\n\r\n", "HTTP/1.1 401",
       milliseconds(500)},
      {"request never ends", "GET /api/status HTTP/1.1\r\nHost: t\r\n", "", milliseconds(3500)},
      {"endless headers", "GET / HTTP/1.1\r\n" + Repeat("X-Fill: 0123456789\r\n", 2000),
       "HTTP/1.1 400", milliseconds(500)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto start = Clock::now();
    Client client(rig.port, c.request);
    const std::string answer = client.Answer();
    EXPECT_LT(Clock::now() - start, c.within);
    EXPECT_EQ(answer.substr(0, c.status_line.size()), c.status_line);
  }
}

// Clients that never finish their request, or a crowd of them, hold no one else up for long:
// beyond the workers and the waiting line a connection is turned away at once.
TEST(QtWebServer, SlowClientsAndCrowdsDoNotHoldOthersUp) {
  WebRig rig;
  std::vector<std::unique_ptr<Client>> slow;
  for (int i = 0; i < 7; ++i) {
    slow.push_back(std::make_unique<Client>(rig.port, "GET / HTTP/1.1\r\n"));
  }
  auto start = Clock::now();
  EXPECT_EQ(Client(rig.port, kStatus).Answer().substr(0, 12), "HTTP/1.1 200");
  EXPECT_LT(Clock::now() - start, milliseconds(500));

  for (int i = 0; i < 20; ++i) {
    slow.push_back(std::make_unique<Client>(rig.port, "GET / HTTP/1.1\r\n"));
  }
  start = Clock::now();
  EXPECT_EQ(Client(rig.port, kStatus).Answer().substr(0, 12), "HTTP/1.1 503");
  EXPECT_LT(Clock::now() - start, milliseconds(500));
}

// The controller's thread is asleep in an exchange: readings are answered all the same, and a
// pushed line waits for it in the mailbox, with one wake-up however many lines came.
TEST(QtWebServer, AnswersWhileTheControllerSleepsAndWakesItOnce) {
  WebRig rig;
  rig.board.SetLabel(Label::lblRT, "Now");
  const std::string push =
      "POST /api/nowplaying HTTP/1.1\r\nAuthorization: Bearer secret\r\nContent-Length: 5\r\n\r\n";
  auto answers = std::async(std::launch::async, [&] {
    const auto start = Clock::now();
    std::vector<std::string> got{Client(rig.port, kStatus).Answer(),
                                 Client(rig.port, push + "A - B").Answer(),
                                 Client(rig.port, push + "C - D").Answer()};
    EXPECT_LT(Clock::now() - start, milliseconds(500));
    return got;
  });
  std::this_thread::sleep_for(milliseconds(1000));  // the exchange's wait
  const std::vector<std::string> got = answers.get();
  EXPECT_NE(got[0].find("\"lblRT\":\"Now\""), std::string::npos);
  EXPECT_EQ(got[1].substr(0, 12), "HTTP/1.1 204");
  EXPECT_EQ(rig.wakes, 0);
  QCoreApplication::processEvents();
  EXPECT_EQ(rig.wakes, 1);
  EXPECT_EQ(rig.mailbox.Take().line, "C - D");
}

}  // namespace
}  // namespace morvane
