#include "sim/pty_server.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

namespace morvane::sim {
namespace {

// The server on a thread, and the controller's end of the line opened like a serial port.
class Line {
 public:
  explicit Line(const SimOptions& options) {
    server_ = std::make_unique<PtyEncoderServer>(options, ServerHooks{});
    thread_ = std::thread([this] { server_->Serve(stop_); });
    fd_ = open(server_->device_path().c_str(), O_RDWR | O_NOCTTY);
  }
  ~Line() {
    stop_.store(true);
    thread_.join();
    close(fd_);
  }

  void Write(const std::string& bytes) {
    ASSERT_EQ(write(fd_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }

  // Everything that arrives within window_ms.
  std::string ReadFor(int window_ms) {
    std::string got;
    const int64_t end = SteadyNowMs() + window_ms;
    for (int64_t now = SteadyNowMs(); now < end; now = SteadyNowMs()) {
      pollfd p{fd_, POLLIN, 0};
      char buffer[256];
      if (poll(&p, 1, static_cast<int>(end - now)) > 0) {
        const ssize_t n = read(fd_, buffer, sizeof buffer);
        got.append(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
      }
    }
    return got;
  }

 private:
  std::unique_ptr<PtyEncoderServer> server_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
  int fd_ = -1;
};

// The answer over a real line, whole, or late, or never: a controller waiting 200 ms gets
// nothing from a late encoder, whose answer is left for its next drain.
TEST(PtyEncoderServer, AnswersAtOnceLateOrNever) {
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
    Line line(options);
    line.Write("PS\r");
    EXPECT_EQ(line.ReadFor(200), c.at_once) << c.delay_ms << c.silent;
    EXPECT_EQ(line.ReadFor(600), c.later) << c.delay_ms << c.silent;
  }
}

}  // namespace
}  // namespace morvane::sim
