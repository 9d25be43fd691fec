#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace morvane {

// An encoder with a network port, or a serial device server in front of one: the controller
// connects to it, it never listens. host is a name or an address, IPv6 without its brackets.
struct NetworkAddress {
  std::string host;
  uint16_t port = 0;
};

// Where start-up points the port: a number N (the N-th serial port) or, as an extension for
// USB adapters and pseudo-terminals, a device path beginning with "/", or, for an encoder on the
// network, "tcp://HOST:PORT".
struct PortAddress {
  int number = 0;
  std::string device_path;
  std::optional<NetworkAddress> network;
};

enum class Parity { None, Even, Odd, Mark, Space };

struct LineSettings {
  int baud = 9600;
  Parity parity = Parity::None;
  int data_bits = 8;
  int stop_bits = 1;
};

// The byte pipe to the encoder. Bytes are bytes: one char per byte on the wire, no conversion.
class SerialPort {
 public:
  virtual ~SerialPort() = default;
  // Returns the error text on failure (no such port, port in use, a setting the port cannot take).
  [[nodiscard]] virtual std::optional<std::string> Open(const PortAddress& address,
                                                        const LineSettings& settings) = 0;
  virtual void Close() = 0;
  // Hands every byte to the operating system before returning; false when the port failed.
  [[nodiscard]] virtual bool Write(std::string_view bytes) = 0;
  // Every byte received since the previous read, emptying the receive buffer; never waits.
  // std::nullopt when the port failed.
  [[nodiscard]] virtual std::optional<std::string> ReadAll() = 0;
};

}  // namespace morvane
