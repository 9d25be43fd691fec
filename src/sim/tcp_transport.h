#pragma once

#include <cstdint>
#include <string>

#include "sim/transport.h"

namespace morvane::sim {

// A TCP port the controller connects to, as it would to an encoder on the network or a serial
// device server. One controller at a time: a new connection replaces the old one, as when the
// station restarts its controller before the old connection has timed out.
class TcpTransport : public Transport {
 public:
  // Listens on host (a name or an address, IPv6 without brackets) and port, 0 for any free one;
  // throws std::runtime_error when it cannot.
  TcpTransport(const std::string& host, uint16_t port);
  ~TcpTransport() override;
  TcpTransport(const TcpTransport&) = delete;
  TcpTransport& operator=(const TcpTransport&) = delete;

  [[nodiscard]] Received Receive(int timeout_ms) override;
  void Send(std::string_view bytes) override;
  // "listening on HOST:PORT", with the port actually taken.
  [[nodiscard]] std::string Where() const override;
  [[nodiscard]] uint16_t port() const { return port_; }

 private:
  void DropController();

  std::string host_;
  uint16_t port_ = 0;
  int listen_fd_ = -1;
  int client_fd_ = -1;
};

}  // namespace morvane::sim
