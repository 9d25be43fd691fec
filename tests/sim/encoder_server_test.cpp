#include "sim/encoder_server.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "../support/loopback.h"
#include "sim/pty_transport.h"
#include "sim/tcp_transport.h"

namespace morvane::sim {
namespace {

// Everything that arrives on fd within window_ms.
std::string ReadFor(int fd, int window_ms) {
  std::string got;
  const int64_t end = SteadyNowMs() + window_ms;
  for (int64_t now = SteadyNowMs(); now < end; now = SteadyNowMs()) {
    pollfd p{fd, POLLIN, 0};
    char buffer[256];
    if (poll(&p, 1, static_cast<int>(end - now)) > 0) {
      const ssize_t n = read(fd, buffer, sizeof buffer);
      got.append(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
      if (n == 0) {
        return got + "<closed>";
      }
    }
  }
  return got;
}

void Send(int fd, const std::string& bytes) {
  ASSERT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

// The server on a thread, on a pseudo-terminal or a loopback TCP port; the test plays the
// controller, which opens the terminal like a serial port or connects where the server says.
class Station {
 public:
  Station(const SimOptions& options, bool tcp) {
    std::unique_ptr<Transport> line =
        tcp ? std::unique_ptr<Transport>(std::make_unique<TcpTransport>("127.0.0.1", 0))
            : std::make_unique<PtyTransport>("");
    const std::string where = line->Where();  // "listening on 127.0.0.1:PORT" or the device
    server_ = std::make_unique<EncoderServer>(options, ServerHooks{}, std::move(line));
    thread_ = std::thread([this] { server_->Serve(stop_); });
    port_ = tcp ? static_cast<uint16_t>(std::stoi(where.substr(where.rfind(':') + 1))) : 0;
    fd_ = tcp ? testing::ConnectToLoopback(port_) : open(where.c_str(), O_RDWR | O_NOCTTY);
  }
  ~Station() {
    stop_.store(true);
    thread_.join();
    close(fd_);
  }

  std::unique_ptr<EncoderServer> server_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
  uint16_t port_ = 0;
  int fd_ = -1;
};

// The answer over a real line, whole, or late, or never: a controller waiting 200 ms gets
// nothing from a late encoder, whose answer is left for its next drain.
TEST(EncoderServer, AnswersAtOnceLateOrNever) {
  const struct {
    bool silent;
    int delay_ms;
    std::string at_once;
    std::string later;
  } cases[] = {
      {false, 0, "PS\r\nRADIO 1 \r\n", ""},
      {false, 400, "", "PS\r\nRADIO 1 \r\n"},
      {true, 0, "", ""},
  };
  for (const auto& c : cases) {
    SimOptions options;
    options.initial.ps = "RADIO 1 ";
    options.silent = c.silent;
    options.delay_ms = c.delay_ms;
    Station station(options, false);
    Send(station.fd_, "PS\r");
    EXPECT_EQ(ReadFor(station.fd_, 200), c.at_once) << c.delay_ms << c.silent;
    EXPECT_EQ(ReadFor(station.fd_, 600), c.later) << c.delay_ms << c.silent;
  }
}

// A controller that connects anew takes the line over: the old connection is closed, and
// neither its half-sent command nor its late answer reaches the new one.
TEST(TcpTransport, NewConnectionReplacesTheOld) {
  SimOptions options;
  options.initial.ps = "RADIO 1 ";
  options.delay_ms = 300;
  Station station(options, true);
  Send(station.fd_, "PI\rP");
  ASSERT_EQ(ReadFor(station.fd_, 100), "");  // the server has taken the bytes
  const int again = testing::ConnectToLoopback(station.port_);
  EXPECT_EQ(ReadFor(station.fd_, 200), "<closed>");
  Send(again, "S\rPS\r");
  EXPECT_EQ(ReadFor(again, 600), "!\r\nPS\r\nRADIO 1 \r\n");
  close(again);
}

}  // namespace
}  // namespace morvane::sim
