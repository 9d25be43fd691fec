#include "link/qt_serial_port.h"

#include <QTimer>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

namespace morvane {

namespace {

// Long enough for 32 kB at 300 bit/s to leave the driver; a write that takes longer is a port
// that no longer takes bytes.
constexpr int kWriteTimeoutMs = 5000;
// Bounds one read when the encoder never stops talking: what is left waits for the next read.
constexpr int kMaxReadRounds = 64;

// Errors after which the device carries no more bytes: removed (ResourceError), or a read or
// write refused by the system, as a pseudo-terminal whose other end has gone does. Others (a
// handshake line a pseudo-terminal lacks, a zero-time wait that timed out) leave it in service.
bool IsLoss(QSerialPort::SerialPortError error) {
  return error == QSerialPort::ResourceError || error == QSerialPort::ReadError ||
         error == QSerialPort::WriteError;
}

std::string ErrorText(const QSerialPort& port) {
  return port.errorString().toStdString();
}

// The system's words for a port locked by another program ("Permission error while locking the
// device", "Device or resource busy") send the engineer after file permissions. When we may read
// and write the device, the refusal can only mean that someone else holds it.
std::string OpenErrorText(const QSerialPort& port, const std::string& device) {
#ifndef Q_OS_WIN
  if (port.error() == QSerialPort::PermissionError && access(device.c_str(), R_OK | W_OK) == 0) {
    return "it is in use by another program (perhaps the rdsmorvane service: systemctl stop "
           "rdsmorvane)";
  }
#else
  (void)device;
#endif
  return ErrorText(port);
}

std::optional<QSerialPort::Parity> QtParity(Parity parity) {
  switch (parity) {
    case Parity::None:
      return QSerialPort::NoParity;
    case Parity::Even:
      return QSerialPort::EvenParity;
    case Parity::Odd:
      return QSerialPort::OddParity;
    case Parity::Mark:
      return QSerialPort::MarkParity;
    case Parity::Space:
      return QSerialPort::SpaceParity;
  }
  return std::nullopt;
}

std::optional<QSerialPort::DataBits> QtDataBits(int bits) {
  switch (bits) {
    case 5:
      return QSerialPort::Data5;
    case 6:
      return QSerialPort::Data6;
    case 7:
      return QSerialPort::Data7;
    case 8:
      return QSerialPort::Data8;
    default:
      return std::nullopt;
  }
}

std::optional<QSerialPort::StopBits> QtStopBits(int bits) {
  switch (bits) {
    case 1:
      return QSerialPort::OneStop;
    case 2:
      return QSerialPort::TwoStop;
    default:
      return std::nullopt;
  }
}

const char* ParityName(Parity parity) {
  switch (parity) {
    case Parity::None:
      return "none";
    case Parity::Even:
      return "even";
    case Parity::Odd:
      return "odd";
    case Parity::Mark:
      return "mark";
    case Parity::Space:
      return "space";
  }
  return "?";
}

}  // namespace

QtSerialPort::QtSerialPort() {
  QObject::connect(&port_, &QSerialPort::errorOccurred, &port_,
                   [this](QSerialPort::SerialPortError error) { OnError(error); });
}

void QtSerialPort::OnError(QSerialPort::SerialPortError error) {
  if (failed_ || !port_.isOpen() || !IsLoss(error)) {
    return;
  }
  failed_ = true;
  // QSerialPort is still inside its own read here, so it is closed from the event loop; until
  // then its read notifier may fire again and again on the dead device.
  QTimer::singleShot(0, &port_, [this] {
    if (!failed_) {
      return;  // opened again meanwhile
    }
    Close();
    if (on_failure_) {
      on_failure_();
    }
  });
}

std::optional<std::string> QtSerialPort::Open(const PortAddress& address,
                                              const LineSettings& settings) {
  Close();
  failed_ = false;
  const std::string device = PortDeviceName(address);
  if (device.empty()) {
    return "COMport " + std::to_string(address.number) +
           " names no serial port: give the port number (1 for the first port) or a device "
           "path beginning with /";
  }
  port_.setPortName(QString::fromStdString(device));
  port_.setReadBufferSize(kMaxReceivedBytes);
  if (!port_.open(QIODevice::ReadWrite)) {
    return "Cannot open serial port " + device + ": " + OpenErrorText(port_, device);
  }
  if (std::optional<std::string> error = ApplyLineSettings(settings)) {
    Close();
    return "Serial port " + device + " cannot take " + *error;
  }
  // The encoder does not use the handshake lines; RTS stays off as the encoder expects. A
  // pseudo-terminal has no such line, which is no reason to refuse it.
  (void)port_.setRequestToSend(false);
  port_.clearError();
  return std::nullopt;
}

std::optional<std::string> QtSerialPort::ApplyLineSettings(const LineSettings& settings) {
  if (!port_.setBaudRate(settings.baud)) {
    return "the speed " + std::to_string(settings.baud) + " (COMsettings): " + ErrorText(port_);
  }
  const std::optional<QSerialPort::Parity> parity = QtParity(settings.parity);
  if (!parity || !port_.setParity(*parity)) {
    return std::string(ParityName(settings.parity)) + " parity (COMsettings): " + ErrorText(port_);
  }
  const std::optional<QSerialPort::DataBits> data_bits = QtDataBits(settings.data_bits);
  if (!data_bits || !port_.setDataBits(*data_bits)) {
    return std::to_string(settings.data_bits) + " data bits (COMsettings)" +
           (data_bits ? ": " + ErrorText(port_) : std::string());
  }
  const std::optional<QSerialPort::StopBits> stop_bits = QtStopBits(settings.stop_bits);
  if (!stop_bits || !port_.setStopBits(*stop_bits)) {
    return std::to_string(settings.stop_bits) + " stop bits (COMsettings)" +
           (stop_bits ? ": " + ErrorText(port_) : std::string());
  }
  if (!port_.setFlowControl(QSerialPort::NoFlowControl)) {
    return "no flow control: " + ErrorText(port_);
  }
  return std::nullopt;
}

void QtSerialPort::Close() {
  if (port_.isOpen()) {
    port_.close();
  }
}

bool QtSerialPort::Write(std::string_view bytes) {
  if (failed_ || !port_.isOpen()) {
    return false;
  }
  const auto size = static_cast<qint64>(bytes.size());
  if (port_.write(bytes.data(), size) != size) {
    return false;
  }
  // The wait after a command is the encoder's time to answer: it must not begin while bytes
  // still sit in our own buffer.
  while (port_.bytesToWrite() > 0) {
    if (!port_.waitForBytesWritten(kWriteTimeoutMs)) {
      return false;
    }
  }
  return true;
}

std::optional<std::string> QtSerialPort::ReadAll() {
  if (failed_ || !port_.isOpen()) {
    return std::nullopt;
  }
  // A zero timeout only collects what the system already holds; it never waits.
  for (int round = 0; round < kMaxReadRounds && port_.waitForReadyRead(0); ++round) {
  }
  const QSerialPort::SerialPortError error = port_.error();
  port_.clearError();
  if (error != QSerialPort::NoError && error != QSerialPort::TimeoutError) {
    return std::nullopt;
  }
  const QByteArray bytes = port_.readAll();
  if (bytes.size() >= kMaxReceivedBytes) {
    // A full buffer means more is waiting in the driver; it is older than any answer still to
    // come, so it goes, rather than come in front of the next command's answer.
    (void)port_.clear(QSerialPort::Input);
  }
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace morvane
