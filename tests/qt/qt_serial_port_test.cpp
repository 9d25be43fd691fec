#include "link/qt_serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <chrono>
#include <memory>
#include <thread>

namespace morvane {
namespace {

// Generous bounds for the kernel to move bytes between the two ends of the pseudo-terminal;
// only reached when something is broken.
constexpr auto kSettleLimit = std::chrono::seconds(5);

std::string EveryByteValue() {
  std::string bytes;
  for (int value = 0; value < 256; ++value) {
    bytes += static_cast<char>(value);
  }
  return bytes;
}

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
  // The encoder's end goes away, as when a USB adapter is pulled out; the terminal end stays
  // with whoever has it open.
  void HangUp() {
    close(encoder_);
    encoder_ = -1;
  }
  [[nodiscard]] const std::string& path() const { return path_; }

  // What the encoder receives, until count bytes have come or the limit has passed.
  std::string Receive(std::size_t count) {
    std::string got;
    const auto deadline = std::chrono::steady_clock::now() + kSettleLimit;
    while (got.size() < count && std::chrono::steady_clock::now() < deadline) {
      pollfd ready{encoder_, POLLIN, 0};
      if (poll(&ready, 1, 50) == 1) {
        char buffer[512];
        const ssize_t n = read(encoder_, buffer, sizeof buffer);
        if (n > 0) {
          got.append(buffer, static_cast<std::size_t>(n));
        }
      }
    }
    return got;
  }

  // The encoder answers; returns once the bytes wait in the terminal's receive queue.
  void Send(const std::string& bytes) {
    ASSERT_EQ(write(encoder_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    const auto deadline = std::chrono::steady_clock::now() + kSettleLimit;
    int queued = 0;
    while (std::chrono::steady_clock::now() < deadline) {
      ASSERT_EQ(ioctl(terminal_, FIONREAD, &queued), 0);
      if (queued >= static_cast<int>(bytes.size())) {
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    FAIL() << "only " << queued << " of " << bytes.size() << " bytes reached the terminal";
  }

 private:
  int encoder_ = -1;
  int terminal_ = -1;
  std::string path_;
};

TEST(QtSerialPort, BytesTravelWholeAndUnchangedBothWays) {
  PseudoTerminal pty;
  QtSerialPort port;
  ASSERT_EQ(port.Open({0, pty.path()}, {9600, Parity::None, 8, 1}), std::nullopt);

  // Nothing received: an empty answer at once, not a failure.
  EXPECT_EQ(port.ReadAll(), std::optional<std::string>(""));

  // CR must not become LF, nor any byte anything else: the encoder sees what was written.
  const std::string command = "TA=0\r" + EveryByteValue();
  ASSERT_TRUE(port.Write(command));
  EXPECT_EQ(pty.Receive(command.size()), command);

  const std::string answer = "TA=0\r\nOK\r\n" + EveryByteValue() + "\n\r";
  pty.Send(answer);
  EXPECT_EQ(port.ReadAll(), std::optional<std::string>(answer));
  EXPECT_EQ(port.ReadAll(), std::optional<std::string>(""));

  // Two answers that arrived separately come out of one read together.
  pty.Send("PS\r\n");
  pty.Send("RADIO 1 \r\n");
  EXPECT_EQ(port.ReadAll(), std::optional<std::string>("PS\r\nRADIO 1 \r\n"));

  port.Close();
  EXPECT_FALSE(port.Write("TA=0\r"));
  EXPECT_EQ(port.ReadAll(), std::nullopt);
}

TEST(QtSerialPort, OpenFailuresNameThePortOrSetting) {
  QtSerialPort port;
  const std::optional<std::string> missing =
      port.Open({0, "/dev/no-such-encoder-port"}, LineSettings{});
  ASSERT_TRUE(missing.has_value());
  EXPECT_NE(missing->find("/dev/no-such-encoder-port"), std::string::npos) << *missing;
  EXPECT_FALSE(port.Write("TA=0\r"));

  const std::optional<std::string> no_port = port.Open({0, ""}, LineSettings{});
  ASSERT_TRUE(no_port.has_value());
  EXPECT_NE(no_port->find("COMport"), std::string::npos) << *no_port;

  PseudoTerminal pty;
  const std::optional<std::string> data_bits =
      port.Open({0, pty.path()}, {9600, Parity::None, 9, 1});
  ASSERT_TRUE(data_bits.has_value());
  EXPECT_NE(data_bits->find("9 data bits"), std::string::npos) << *data_bits;
  EXPECT_NE(data_bits->find(pty.path()), std::string::npos) << *data_bits;
  EXPECT_FALSE(port.Write("TA=0\r")) << "a refused setting must leave the port closed";

  // The port in use by another controller.
  QtSerialPort first;
  ASSERT_EQ(first.Open({0, pty.path()}, LineSettings{}), std::nullopt);
  const std::optional<std::string> busy = port.Open({0, pty.path()}, LineSettings{});
  ASSERT_TRUE(busy.has_value());
  EXPECT_NE(busy->find(pty.path()), std::string::npos) << *busy;
}

// Runs the event loop until done() holds or the settle limit has passed.
template <typename Done>
bool ProcessEventsUntil(Done done) {
  const QDeadlineTimer deadline(
      std::chrono::duration_cast<std::chrono::milliseconds>(kSettleLimit));
  while (!done() && !deadline.hasExpired()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return done();
}

TEST(QtSerialPort, DeviceGoneBetweenExchangesIsReportedAndClosed) {
  auto pty = std::make_unique<PseudoTerminal>();
  const std::string path = pty->path();
  QtSerialPort port;
  int failures = 0;
  port.SetFailureListener([&] { ++failures; });
  ASSERT_EQ(port.Open({0, path}, LineSettings{}), std::nullopt);
  // The handshake line a pseudo-terminal lacks is no failure.
  QCoreApplication::processEvents();
  EXPECT_EQ(failures, 0);

  pty->HangUp();
  ASSERT_TRUE(ProcessEventsUntil([&] { return failures > 0; }));
  EXPECT_EQ(failures, 1);
  EXPECT_FALSE(port.Write("TA=0\r"));
  EXPECT_EQ(port.ReadAll(), std::nullopt);
  // Closed, the terminal is free: nothing of ours holds it.
  EXPECT_NE(access(path.c_str(), F_OK), 0) << path;
}

TEST(QtSerialPort, DeviceGoneDuringAnExchangeFailsItAndOpensAgain) {
  auto pty = std::make_unique<PseudoTerminal>();
  QtSerialPort port;
  int failures = 0;
  port.SetFailureListener([&] { ++failures; });
  ASSERT_EQ(port.Open({0, pty->path()}, LineSettings{}), std::nullopt);

  pty->HangUp();
  // No event loop ran in between: the exchange itself finds out, without waiting.
  const auto before = std::chrono::steady_clock::now();
  const bool drained = port.ReadAll().has_value();
  const bool written = port.Write("RT1=Artist - Title\r");
  EXPECT_FALSE(drained && written);
  EXPECT_FALSE(port.Write("RT1\r"));
  EXPECT_EQ(port.ReadAll(), std::nullopt);
  EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(500));
  port.Close();

  // The same object opens a new device and carries bytes as before; a late report of the old
  // device's failure does not touch it.
  PseudoTerminal again;
  ASSERT_EQ(port.Open({0, again.path()}, LineSettings{}), std::nullopt);
  for (int i = 0; i < 5; ++i) {
    QCoreApplication::processEvents();
  }
  ASSERT_TRUE(port.Write("PS\r"));
  EXPECT_EQ(again.Receive(3), "PS\r");
  again.Send("PS\r\nRADIO 1 \r\n");
  EXPECT_EQ(port.ReadAll(), std::optional<std::string>("PS\r\nRADIO 1 \r\n"));
  EXPECT_LE(failures, 1);
}

TEST(PortDeviceName, NumberedPortsAndDevicePaths) {
  EXPECT_EQ(PortDeviceName({1, ""}), "/dev/ttyS0");
  EXPECT_EQ(PortDeviceName({4, ""}), "/dev/ttyS3");
  EXPECT_EQ(PortDeviceName({0, ""}), "");
  EXPECT_EQ(PortDeviceName({-2, ""}), "");
  EXPECT_EQ(PortDeviceName({0, "/dev/ttyUSB0"}), "/dev/ttyUSB0");
}

}  // namespace
}  // namespace morvane
