#pragma once

#include <QSerialPort>

#include "link/serial_port.h"

namespace morvane {

// The system device a PortAddress names: COMport N is the N-th serial port (/dev/ttyS<N-1> on
// Linux, COM<N> on Windows); a device path is taken as it is. Empty when N names no port.
[[nodiscard]] std::string PortDeviceName(const PortAddress& address);

// The encoder's serial port on the real system.
class QtSerialPort : public SerialPort {
 public:
  [[nodiscard]] std::optional<std::string> Open(const PortAddress& address,
                                                const LineSettings& settings) override;
  void Close() override;
  [[nodiscard]] bool Write(std::string_view bytes) override;
  [[nodiscard]] std::optional<std::string> ReadAll() override;

 private:
  [[nodiscard]] std::optional<std::string> ApplyLineSettings(const LineSettings& settings);

  QSerialPort port_;
};

}  // namespace morvane
