#include "link/qt_serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <chrono>
#include <thread>

namespace morvane {
namespace {

// Generous bounds for the kernel to move bytes between the two ends of the pseudo-terminal;
// only reached when something is broken.
constexpr auto kSettleLimit = std::chrono::seconds(10);

// A pseudo-terminal standing in for the encoder: the port opens the terminal end, the test plays
// the encoder on the other.
class PseudoTerminal {
 public:
  PseudoTerminal() {
    EXPECT_EQ(openpty(&encoder_, &terminal_, nullptr, nullptr, nullptr), 0);
    path_ = ttyname(terminal_);
  }
  ~PseudoTerminal() {
    close(encoder_);
    close(terminal_);
  }
  // The encoder's end goes away, as when a USB adapter is pulled out.
  void HangUp() {
    close(encoder_);
    encoder_ = -1;
  }
  [[nodiscard]] const std::string& path() const { return path_; }
  [[nodiscard]] int encoder() const { return encoder_; }

  // What the encoder receives, until count bytes have come or the limit has passed.
  std::string Receive(std::size_t count) {
    std::string got;
    const auto deadline = std::chrono::steady_clock::now() + kSettleLimit;
    while (got.size() < count && std::chrono::steady_clock::now() < deadline) {
      pollfd ready{encoder_, POLLIN, 0};
      char buffer[512];
      const ssize_t n = poll(&ready, 1, 50) == 1 ? read(encoder_, buffer, sizeof buffer) : 0;
      got.append(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
    }
    return got;
  }

  // The encoder answers; returns once the bytes wait in the terminal's receive queue.
  void Send(const std::string& bytes) {
    int before = 0;
    ASSERT_EQ(ioctl(terminal_, FIONREAD, &before), 0);
    ASSERT_EQ(write(encoder_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    const auto deadline = std::chrono::steady_clock::now() + kSettleLimit;
    const int expected = before + static_cast<int>(bytes.size());
    for (int queued = 0; queued < expected && std::chrono::steady_clock::now() < deadline;) {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
      ASSERT_EQ(ioctl(terminal_, FIONREAD, &queued), 0);
    }
  }

 private:
  int encoder_ = -1;
  int terminal_ = -1;
  std::string path_;
};

TEST(QtSerialPort, BytesTravelWholeAndUnchangedBothWays) {
  PseudoTerminal pty;
  QtSerialPort port;
  ASSERT_EQ(port.Open({0, pty.path(), {}}, {9600, Parity::None, 8, 1}), std::nullopt);
  // Nothing received: an empty answer at once, not a failure.
  EXPECT_EQ(port.ReadAll(), std::optional<std::string>(""));

  // CR must not become LF, nor any byte anything else: the encoder sees what was written.
  std::string every_byte;
  for (int value = 0; value < 256; ++value) {
    every_byte += static_cast<char>(value);
  }
  const std::string command = "TA=0\r" + every_byte;
  ASSERT_TRUE(port.Write(command));
  EXPECT_EQ(pty.Receive(command.size()), command);

  // Answers that arrived separately come out of one read together.
  pty.Send("PS\r\n");
  pty.Send("RADIO 1 \r\n" + every_byte + "\n\r");
  EXPECT_EQ(port.ReadAll(), "PS\r\nRADIO 1 \r\n" + every_byte + "\n\r");
  EXPECT_EQ(port.ReadAll(), std::optional<std::string>(""));

  port.Close();
  EXPECT_FALSE(port.Write("TA=0\r"));
  EXPECT_EQ(port.ReadAll(), std::nullopt);
}

TEST(QtSerialPort, OpenFailuresNameThePortOrSettingAndLeaveItClosed) {
  EXPECT_EQ(PortDeviceName({4, "", {}}), "/dev/ttyS3");
  EXPECT_EQ(PortDeviceName({0, "/dev/ttyUSB0", {}}), "/dev/ttyUSB0");

  PseudoTerminal pty;
  PseudoTerminal busy;
  QtSerialPort first;
  ASSERT_EQ(first.Open({0, busy.path(), {}}, LineSettings{}), std::nullopt);
  const struct {
    std::string device;
    int data_bits;
    std::string named;
  } cases[] = {
      {"/dev/no-such-encoder-port", 8, "/dev/no-such-encoder-port"},
      {pty.path(), 9, "9 data bits"},
      {busy.path(), 8, busy.path() + ": it is in use by another program (perhaps the rdsmorvane"},
  };
  QtSerialPort port;
  for (const auto& c : cases) {
    const std::optional<std::string> error =
        port.Open({0, c.device, {}}, {9600, Parity::None, c.data_bits, 1});
    ASSERT_TRUE(error.has_value()) << c.named;
    EXPECT_NE(error->find(c.named), std::string::npos) << *error;
    EXPECT_FALSE(port.Write("TA=0\r")) << *error;
  }
}

// An adapter pulled out just before an exchange fails that exchange at once, and the port opens
// again; a late report of the old device's failure does not touch the new one. (Loss between
// exchanges, found by the event loop, is shown end to end.)
TEST(QtSerialPort, DeviceGoneFailsTheExchangeAndThePortOpensAgain) {
  QtSerialPort port;
  int failures = 0;
  port.SetFailureListener([&] { ++failures; });
  {
    PseudoTerminal pty;
    ASSERT_EQ(port.Open({0, pty.path(), {}}, LineSettings{}), std::nullopt);
    pty.HangUp();
    const bool drained = port.ReadAll().has_value();
    EXPECT_FALSE(drained && port.Write("RT1=Artist - Title\r"));
    EXPECT_EQ(port.ReadAll(), std::nullopt);
    port.Close();
  }
  PseudoTerminal again;
  ASSERT_EQ(port.Open({0, again.path(), {}}, LineSettings{}), std::nullopt);
  for (int i = 0; i < 5; ++i) {
    QCoreApplication::processEvents();
  }
  ASSERT_TRUE(port.Write("PS\r"));
  EXPECT_EQ(again.Receive(3), "PS\r");
  again.Send("PS\r\n");
  EXPECT_EQ(port.ReadAll(), std::optional<std::string>("PS\r\n"));
  EXPECT_LE(failures, 1);
}

// An encoder that floods the line: one read never returns more than the cap, and what waited
// beyond it is thrown away, so the next answer comes first.
TEST(QtSerialPort, FloodBeyondTheCapIsDroppedBeforeTheNextAnswer) {
  PseudoTerminal pty;
  ASSERT_EQ(fcntl(pty.encoder(), F_SETFL, fcntl(pty.encoder(), F_GETFL) | O_NONBLOCK), 0);
  QtSerialPort port;
  ASSERT_EQ(port.Open({0, pty.path(), {}}, LineSettings{}), std::nullopt);
  // Fill the port's own buffer and the system's behind it until the system takes no more.
  const std::string flood(4096, 'x');
  const auto deadline = std::chrono::steady_clock::now() + kSettleLimit;
  int refused = 0;
  while (refused < 50 && std::chrono::steady_clock::now() < deadline) {
    QCoreApplication::processEvents();
    if (write(pty.encoder(), flood.data(), flood.size()) > 0) {
      refused = 0;
    } else {
      ++refused;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
  const std::optional<std::string> full = port.ReadAll();
  ASSERT_TRUE(full.has_value());
  EXPECT_EQ(full->size(), static_cast<std::size_t>(kMaxReceivedBytes));
  pty.Send("PS\r\nMORVANE \r\n");
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(port.ReadAll(), std::optional<std::string>("PS\r\nMORVANE \r\n"));
}

}  // namespace
}  // namespace morvane
