#pragma once

#include <string>
#include <string_view>

namespace morvane::sim {

// The line between the emulated encoder and the controller.
class Transport {
 public:
  struct Received {
    std::string bytes;
    // Another controller has taken the line: what the last one left half-said is void.
    bool new_controller = false;
  };

  virtual ~Transport() = default;
  // Waits up to timeout_ms for bytes from the controller. Throws std::runtime_error when the
  // line cannot be waited on any more.
  [[nodiscard]] virtual Received Receive(int timeout_ms) = 0;
  // Sends every byte; bytes nobody can take (no controller there) are lost, as on a serial line.
  virtual void Send(std::string_view bytes) = 0;
  // The emulator's first line of output: where the controller finds it.
  [[nodiscard]] virtual std::string Where() const = 0;
};

}  // namespace morvane::sim
