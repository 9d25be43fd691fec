#pragma once

#include <string>

#include "sim/transport.h"

namespace morvane::sim {

// A pseudo-terminal: the controller opens its terminal end like a serial port.
class PtyTransport : public Transport {
 public:
  // Opens the pseudo-terminal in raw mode, and the symlink at link_path unless it is empty;
  // throws std::runtime_error when it cannot.
  explicit PtyTransport(std::string link_path);
  ~PtyTransport() override;
  PtyTransport(const PtyTransport&) = delete;
  PtyTransport& operator=(const PtyTransport&) = delete;

  [[nodiscard]] Received Receive(int timeout_ms) override;
  void Send(std::string_view bytes) override;
  // The device path.
  [[nodiscard]] std::string Where() const override { return device_path_; }

 private:
  std::string link_path_;
  int master_fd_ = -1;
  int slave_fd_ = -1;  // held open so the line stays up while no controller is connected
  std::string device_path_;
};

}  // namespace morvane::sim
