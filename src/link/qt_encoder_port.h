#pragma once

#include <functional>

#include "link/qt_serial_port.h"
#include "link/qt_tcp_port.h"

namespace morvane {

// The port start-up opens, whichever COMport names: a serial port, or a TCP connection to an
// encoder on the network. The choice is made at each Open, by the address.
class QtEncoderPort : public SerialPort {
 public:
  [[nodiscard]] std::optional<std::string> Open(const PortAddress& address,
                                                const LineSettings& settings) override;
  void Close() override;
  [[nodiscard]] bool Write(std::string_view bytes) override;
  [[nodiscard]] std::optional<std::string> ReadAll() override;

  // See QtSerialPort and QtTcpPort: the port failed between two exchanges; a connection made in
  // the background can now be opened.
  void SetFailureListener(const std::function<void()>& listener);
  void SetReadyListener(std::function<void()> listener);

 private:
  QtSerialPort serial_;
  QtTcpPort tcp_;
  SerialPort* active_ = nullptr;
};

// The port as the station knows it: its device, or tcp://HOST:PORT.
[[nodiscard]] std::string PortName(const PortAddress& address);

}  // namespace morvane
