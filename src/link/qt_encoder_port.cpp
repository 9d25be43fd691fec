#include "link/qt_encoder_port.h"

#include "link/line_settings.h"

namespace morvane {

std::optional<std::string> QtEncoderPort::Open(const PortAddress& address,
                                               const LineSettings& settings) {
  SerialPort* chosen = address.network ? static_cast<SerialPort*>(&tcp_) : &serial_;
  if (active_ != nullptr && active_ != chosen) {
    active_->Close();
  }
  active_ = chosen;
  return active_->Open(address, settings);
}

void QtEncoderPort::Close() {
  if (active_ != nullptr) {
    active_->Close();
  }
}

bool QtEncoderPort::Write(std::string_view bytes) {
  return active_ != nullptr && active_->Write(bytes);
}

std::optional<std::string> QtEncoderPort::ReadAll() {
  if (active_ == nullptr) {
    return std::nullopt;
  }
  return active_->ReadAll();
}

void QtEncoderPort::SetFailureListener(const std::function<void()>& listener) {
  serial_.SetFailureListener(listener);
  tcp_.SetFailureListener(listener);
}

void QtEncoderPort::SetReadyListener(std::function<void()> listener) {
  tcp_.SetReadyListener(std::move(listener));
}

std::string PortName(const PortAddress& address) {
  return address.network ? NetworkPortName(*address.network) : PortDeviceName(address);
}

}  // namespace morvane
