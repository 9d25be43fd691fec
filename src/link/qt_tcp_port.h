#pragma once

#include <QElapsedTimer>
#include <QTcpSocket>
#include <functional>

#include "link/serial_port.h"

namespace morvane {

// How long start-up waits for the encoder to take the connection.
inline constexpr int kConnectTimeoutMs = 5000;

// The encoder over a TCP connection: an encoder with a network port, or a serial device server
// ("TCP server" or raw mode) in front of a serial one. The exchange is the serial port's: Write
// hands every byte to the system before it returns, ReadAll takes what has come without
// waiting and never more than kMaxReceivedBytes. The controller only ever connects out.
//
// The first Open is start-up's and waits up to kConnectTimeoutMs. Once the encoder has been
// reached, an Open after a loss only starts a connection in the background and fails for now,
// so that an unreachable host never holds up the station; the ready listener says when that
// connection has been made, and the next Open then succeeds at once.
class QtTcpPort : public SerialPort {
 public:
  QtTcpPort();
  ~QtTcpPort() override;
  QtTcpPort(const QtTcpPort&) = delete;
  QtTcpPort& operator=(const QtTcpPort&) = delete;

  // The line settings are the encoder's or its device server's; they are not used here.
  [[nodiscard]] std::optional<std::string> Open(const PortAddress& address,
                                                const LineSettings& settings) override;
  void Close() override;
  [[nodiscard]] bool Write(std::string_view bytes) override;
  [[nodiscard]] std::optional<std::string> ReadAll() override;

  // Called from the event loop, with the port already closed, when the connection dropped
  // between two exchanges (the peer closed it, or stopped answering keep-alive probes).
  void SetFailureListener(std::function<void()> listener) { on_failure_ = std::move(listener); }
  // Called from the event loop when a connection started in the background has been made.
  void SetReadyListener(std::function<void()> listener) { on_ready_ = std::move(listener); }

 private:
  [[nodiscard]] std::optional<std::string> ConnectAndWait(const NetworkAddress& target);
  [[nodiscard]] std::optional<std::string> ConnectInBackground(const NetworkAddress& target);
  void StartConnecting(const NetworkAddress& target);
  void TuneConnection();
  void OnLost();

  QTcpSocket socket_;
  std::string name_;  // tcp://HOST:PORT, for messages
  bool reached_ = false;
  bool open_ = false;     // Open succeeded and the connection has not failed since
  bool failed_ = false;   // the connection dropped; it is closed from the event loop
  bool pending_ = false;  // a connection is being made in the background
  QElapsedTimer pending_since_;
  std::function<void()> on_failure_;
  std::function<void()> on_ready_;
};

}  // namespace morvane
