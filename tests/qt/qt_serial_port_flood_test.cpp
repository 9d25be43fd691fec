// An encoder that floods the line, on a pseudo-terminal: the port's memory stays bounded.
#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <thread>

#include "link/qt_serial_port.h"

namespace morvane {
namespace {

// Only reached when something is broken.
constexpr auto kSettleLimit = std::chrono::seconds(20);

TEST(QtSerialPortFlood, OneReadNeverReturnsMoreThanTheCapAndLosesNothingReadInTime) {
  int encoder = -1;
  int terminal = -1;
  ASSERT_EQ(openpty(&encoder, &terminal, nullptr, nullptr, nullptr), 0);
  ASSERT_EQ(fcntl(encoder, F_SETFL, fcntl(encoder, F_GETFL) | O_NONBLOCK), 0);
  QtSerialPort port;
  ASSERT_EQ(port.Open(PortAddress{0, ttyname(terminal)}, LineSettings{}), std::nullopt);

  std::string flood(8 * kMaxReceivedBytes, '\0');
  for (std::size_t i = 0; i < flood.size(); ++i) {
    flood[i] = static_cast<char>(i % 251);
  }
  // The encoder writes as fast as the terminal takes it.
  std::atomic<bool> stop{false};
  std::thread writer([&] {
    std::size_t at = 0;
    while (at < flood.size() && !stop) {
      const ssize_t n = write(encoder, flood.data() + at, flood.size() - at);
      if (n > 0) {
        at += static_cast<std::size_t>(n);
      } else if (errno == EAGAIN || errno == EINTR) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      } else {
        return;
      }
    }
  });

  std::string received;
  std::size_t largest_read = 0;
  const auto deadline = std::chrono::steady_clock::now() + kSettleLimit;
  while (received.size() < flood.size() && std::chrono::steady_clock::now() < deadline) {
    // Between two exchanges the event loop lets the port read on its own.
    for (int i = 0; i < 20; ++i) {
      QCoreApplication::processEvents();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const std::optional<std::string> got = port.ReadAll();
    ASSERT_TRUE(got.has_value());
    largest_read = std::max(largest_read, got->size());
    received += *got;
  }
  stop = true;
  writer.join();
  port.Close();
  close(encoder);
  close(terminal);

  EXPECT_LE(largest_read, static_cast<std::size_t>(kMaxReceivedBytes));
  EXPECT_GT(largest_read, 0u);
  EXPECT_EQ(received.size(), flood.size());
  EXPECT_TRUE(received == flood);
}

}  // namespace
}  // namespace morvane
