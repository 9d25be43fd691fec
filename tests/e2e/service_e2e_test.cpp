// The real program under a pretend service manager: the datagram socket NOTIFY_SOCKET names.

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "station.h"

namespace morvane::e2e {
namespace {

// systemd asks for a ping within this; the program pings at half of it.
constexpr const char* kWatchdogUsec = "400000";
constexpr int64_t kPingMs = 200;

struct Message {
  std::string text;
  int64_t at_ms;
};

// Binds the socket and names it, with the watchdog interval, in the environment the program
// inherits; each message is kept with the time it came.
class NotifySocket {
 public:
  explicit NotifySocket(const std::string& path) : fd_(socket(AF_UNIX, SOCK_DGRAM, 0)) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    if (fd_ < 0 || bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
      throw std::runtime_error("cannot bind " + path);
    }
    setenv("NOTIFY_SOCKET", path.c_str(), 1);
    setenv("WATCHDOG_USEC", kWatchdogUsec, 1);
  }
  ~NotifySocket() {
    unsetenv("NOTIFY_SOCKET");
    unsetenv("WATCHDOG_USEC");
    close(fd_);
  }

  // Waits for a message equal to text; every message that came is kept.
  bool WaitFor(const std::string& text, int timeout_ms) {
    const int64_t deadline = NowMs() + timeout_ms;
    for (int64_t now = NowMs(); now < deadline; now = NowMs()) {
      pollfd waiting{fd_, POLLIN, 0};
      if (poll(&waiting, 1, static_cast<int>(deadline - now)) != 1) {
        continue;
      }
      char buffer[4096];
      const ssize_t size = recv(fd_, buffer, sizeof buffer, 0);
      if (size > 0) {
        messages.push_back({std::string(buffer, static_cast<std::size_t>(size)), NowMs()});
        if (messages.back().text == text) {
          return true;
        }
      }
    }
    return false;
  }

  // The longest time without a ping from the event loop, between two moments.
  [[nodiscard]] int64_t LongestSilenceMs(int64_t from_ms, int64_t to_ms) const {
    int64_t last = from_ms;
    int64_t longest = 0;
    for (const Message& m : messages) {
      if (m.text == "WATCHDOG=1" && m.at_ms >= from_ms && m.at_ms <= to_ms) {
        longest = std::max(longest, m.at_ms - last);
        last = m.at_ms;
      }
    }
    return std::max(longest, to_ms - last);
  }

  std::vector<Message> messages;

 private:
  int fd_;
};

using ServiceEndToEnd = StationTest;

TEST_F(ServiceEndToEnd, ReadyAfterStartUpPingsFromTheLoopStatusAndStopping) {
#ifndef MORVANE_HAVE_SYSTEMD
  GTEST_SKIP() << "built without libsystemd: the program tells the service manager nothing";
#endif
  NotifySocket notify(dir_ + "/notify");
  Start(sim::Dialect::Ascii, StationConfig{});
  ASSERT_TRUE(notify.WaitFor("READY=1", kStartupTimeoutMs));
  const int64_t ready_ms = notify.messages.back().at_ms;
  // Ready only once the start-up sequence has ended with its last command.
  const std::vector<Received> startup = encoder_->Commands();
  ASSERT_FALSE(startup.empty());
  EXPECT_EQ(Text(startup.back()), "PILOT");
  EXPECT_LE(startup.back().at_ms, ready_ms);
  EXPECT_TRUE(std::any_of(notify.messages.begin(), notify.messages.end(), [](const Message& m) {
    return m.text == "STATUS=Encoder link up, RadioText \"Radio Morvane\"";
  }));

  // At half the interval while the loop turns.
  (void)notify.WaitFor("never", 10 * kPingMs);
  const std::size_t pings = static_cast<std::size_t>(
      std::count_if(notify.messages.begin(), notify.messages.end(),
                    [](const Message& m) { return m.text == "WATCHDOG=1"; }));
  EXPECT_GE(pings, 7U);
  EXPECT_LE(pings, 13U);
  EXPECT_LE(notify.LongestSilenceMs(ready_ms + kPingMs, NowMs()), 2 * kPingMs);

  // A new title holds the loop for four exchanges of 500 ms: no ping meanwhile.
  const int64_t written = NewTitle("Artist - Title");
  ASSERT_TRUE(
      notify.WaitFor("STATUS=Encoder link up, RadioText \"Artist - Title\"", kStartupTimeoutMs));
  (void)notify.WaitFor("never", 3000);
  EXPECT_GE(notify.LongestSilenceMs(written, NowMs()), 1800);

  controller_.reset();  // SIGTERM
  EXPECT_TRUE(notify.WaitFor("STOPPING=1", 1000));
  for (const Message& m : notify.messages) {
    EXPECT_FALSE(m.text == "WATCHDOG=1" && m.at_ms < ready_ms) << "a ping before start-up ended";
  }
}

}  // namespace
}  // namespace morvane::e2e
