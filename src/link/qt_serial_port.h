#pragma once

#include <QSerialPort>
#include <functional>

#include "link/line_settings.h"
#include "link/serial_port.h"

namespace morvane {

// An encoder that never stops talking must not grow our memory: the port keeps at most this many
// received bytes, and one read never returns more. The rest waits in the system's driver, which
// drops it once its own buffer is full; none of it is an answer we wait for.
inline constexpr qint64 kMaxReceivedBytes = qint64{64} * 1024;

// The encoder's serial port on the real system.
class QtSerialPort : public SerialPort {
 public:
  QtSerialPort();

  [[nodiscard]] std::optional<std::string> Open(const PortAddress& address,
                                                const LineSettings& settings) override;
  void Close() override;
  [[nodiscard]] bool Write(std::string_view bytes) override;
  [[nodiscard]] std::optional<std::string> ReadAll() override;

  // Called from the event loop, with the port already closed, when the device failed between two
  // exchanges (an adapter pulled out while no command was under way).
  void SetFailureListener(std::function<void()> listener) { on_failure_ = std::move(listener); }

 private:
  [[nodiscard]] std::optional<std::string> ApplyLineSettings(const LineSettings& settings);
  void OnError(QSerialPort::SerialPortError error);

  QSerialPort port_;
  // The device stopped carrying bytes: every write and read fails at once until the next Open.
  bool failed_ = false;
  std::function<void()> on_failure_;
};

}  // namespace morvane
