#include "ui/web/qt_web_server.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "../support/loopback.h"

namespace morvane {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// A client connection that has sent its request; Answer is all it gets until the server closes.
struct Client {
  Client(int port, const std::string& request)
      : sock(testing::ConnectToLoopback(static_cast<uint16_t>(port))) {
    (void)!send(sock, request.data(), request.size(), MSG_NOSIGNAL);
    const timeval limit{5, 0};
    setsockopt(sock, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
  }
  ~Client() { close(sock); }
  std::string Answer() {
    std::string got;
    char buffer[4096];
    for (ssize_t count; (count = recv(sock, buffer, sizeof buffer, 0)) > 0;) {
      got.append(buffer, static_cast<std::size_t>(count));
    }
    return got;
  }
  int sock;
};

// Time for the server to take in a crowd of connections: the system keeps only a few waiting.
constexpr milliseconds kSettle(200);
constexpr const char* kStatus = "GET /api/status HTTP/1.1\r\nHost: t\r\n\r\n";

struct WebRig {
  WebRig() : server(board, WebAccess{"secret", MetadataSource::Push}, mailbox, [] {}) {
    EXPECT_EQ(server.Listen({"127.0.0.1", port, true}), std::nullopt);
  }
  StatusBoard board{[] { return 0.0; }};
  WebMailbox mailbox;
  int port = testing::LoopbackPort(-1).port;  // free: the system's choice, given back at once
  QtWebServer server;
};

// Whatever a client sends, or fails to send, its connection ends within the connection's time.
TEST(QtWebServer, EveryRequestIsAnsweredOrCutWithinItsTime) {
  WebRig rig;
  // A second program on the same address is told so; it must not take a share of the requests.
  QtWebServer second(rig.board, WebAccess{}, rig.mailbox, [] {});
  EXPECT_NE(second.Listen({"127.0.0.1", rig.port, true}), std::nullopt);
  std::string header_lines;
  for (int i = 0; i < 2000; ++i) {
    header_lines += "X-Fill: 0123456789\r\n";  // each line short, together far too many
  }
  const struct {
    const char* name;
    std::string request;
    std::string status_line;
    milliseconds within;
  } cases[] = {
      {"body too long",
       "POST /api/nowplaying HTTP/1.1\r\nContent-Length: 5000\r\n\r\n" + std::string(5000, 'x'),
       "HTTP/1.1 413", milliseconds(500)},
      {"no body, no length", "POST /api/traffic HTTP/1.1\r\nHost: t\r\n\r\n", "HTTP/1.1 401",
       milliseconds(500)},
      {"request never ends", "GET /api/status HTTP/1.1\r\nHost: t\r\n", "", milliseconds(3500)},
      {"endless headers", "GET / HTTP/1.1\r\n" + header_lines, "HTTP/1.1 400", milliseconds(500)},
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
  std::this_thread::sleep_for(kSettle);
  auto start = Clock::now();
  EXPECT_EQ(Client(rig.port, kStatus).Answer().substr(0, 12), "HTTP/1.1 200");
  EXPECT_LT(Clock::now() - start, milliseconds(500));

  for (int i = 0; i < 20; ++i) {
    slow.push_back(std::make_unique<Client>(rig.port, "GET / HTTP/1.1\r\n"));
    // Paced: the library's listen queue holds five, and a burst beyond it would only show the
    // kernel's SYN retries, not the server's waiting line.
    std::this_thread::sleep_for(milliseconds(10));
  }
  std::this_thread::sleep_for(kSettle);
  start = Clock::now();
  EXPECT_EQ(Client(rig.port, kStatus).Answer().substr(0, 12), "HTTP/1.1 503");
  EXPECT_LT(Clock::now() - start, milliseconds(500));
}

}  // namespace
}  // namespace morvane
