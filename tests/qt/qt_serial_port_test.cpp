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

// Generous bound for the kernel to move bytes between the pty's ends; reached only on a fault.
constexpr auto kSettleLimit = std::chrono::seconds(10);

// A pseudo-terminal standing in for the encoder: the port opens the terminal end, the test plays
// the encoder on the other.
struct PseudoTerminal {
  PseudoTerminal() { EXPECT_EQ(openpty(&encoder, &terminal, nullptr, nullptr, nullptr), 0); }
  ~PseudoTerminal() {
    close(encoder);
    close(terminal);
  }
  [[nodiscard]] PortAddress At() const { return {0, ttyname(terminal), {}}; }
  // What the encoder receives, until count bytes have come or the limit has passed.
  std::string Receive(std::size_t count) const {
    std::string got;
    char buffer[512];
    for (auto end = std::chrono::steady_clock::now() + kSettleLimit;
         got.size() < count && std::chrono::steady_clock::now() < end;) {
      pollfd ready{encoder, POLLIN, 0};
      const ssize_t n = poll(&ready, 1, 50) == 1 ? read(encoder, buffer, sizeof buffer) : 0;
      got.append(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
    }
    return got;
  }
  // The encoder answers; returns once the bytes wait in the terminal's receive queue.
  void Send(const std::string& bytes) const {
    int queued = 0;
    ASSERT_EQ(ioctl(terminal, FIONREAD, &queued), 0);
    ASSERT_EQ(write(encoder, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    const int expected = queued + static_cast<int>(bytes.size());
    for (auto end = std::chrono::steady_clock::now() + kSettleLimit;
         queued < expected && std::chrono::steady_clock::now() < end;) {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
      ASSERT_EQ(ioctl(terminal, FIONREAD, &queued), 0);
    }
  }
  int encoder = -1;
  int terminal = -1;
};

// What the encoder sees is what was written, and the other way round; an encoder that floods the
// line gets no more than the cap into one read, and what waited beyond it is thrown away, so the
// next answer comes first.
TEST(QtSerialPort, BytesTravelUnchangedAndAFloodIsCutAtTheCap) {
  PseudoTerminal pty;
  QtSerialPort port;
  ASSERT_EQ(port.Open(pty.At(), {9600, Parity::None, 8, 1}), std::nullopt);
  EXPECT_EQ(port.ReadAll(), std::optional<std::string>("")) << "nothing came: empty, at once";
  // CR must not become LF, nor any byte anything else.
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

  // Fill the port's own buffer and the system's behind it until the system takes no more.
  ASSERT_EQ(fcntl(pty.encoder, F_SETFL, fcntl(pty.encoder, F_GETFL) | O_NONBLOCK), 0);
  const std::string flood(4096, 'x');
  for (auto [end, refused] = std::pair(std::chrono::steady_clock::now() + kSettleLimit, 0);
       refused < 50 && std::chrono::steady_clock::now() < end;) {
    QCoreApplication::processEvents();
    refused = write(pty.encoder, flood.data(), flood.size()) > 0 ? 0 : refused + 1;
    std::this_thread::sleep_for(std::chrono::milliseconds(refused > 0 ? 1 : 0));
  }
  const std::optional<std::string> full = port.ReadAll();
  ASSERT_TRUE(full.has_value());
  EXPECT_EQ(full->size(), static_cast<std::size_t>(kMaxReceivedBytes));
  pty.Send("PS\r\nMORVANE \r\n");
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(port.ReadAll(), std::optional<std::string>("PS\r\nMORVANE \r\n"));
  port.Close();
  EXPECT_FALSE(port.Write("TA=0\r"));
  EXPECT_EQ(port.ReadAll(), std::nullopt);
}

// Start-up's message names what failed: the device, the setting, or the program holding it.
TEST(QtSerialPort, OpenFailuresNameThePortTheSettingOrTheHolder) {
  PseudoTerminal pty, busy;
  QtSerialPort holder, port;
  ASSERT_EQ(holder.Open(busy.At(), LineSettings{}), std::nullopt);
  const struct {
    PortAddress at;
    int data_bits;
    std::string named;
  } cases[] = {
      {{0, "/dev/no-such-encoder-port", {}}, 8, "/dev/no-such-encoder-port"},
      {pty.At(), 9, "9 data bits"},
      {busy.At(), 8,
       busy.At().device_path + ": it is in use by another program (perhaps the rdsmorvane"},
  };
  for (const auto& c : cases) {
    const std::optional<std::string> error = port.Open(c.at, {9600, Parity::None, c.data_bits, 1});
    ASSERT_TRUE(error.has_value()) << c.named;
    EXPECT_NE(error->find(c.named), std::string::npos) << *error;
    EXPECT_FALSE(port.Write("TA=0\r")) << *error;
  }
}

}  // namespace
}  // namespace morvane
