#include "link/qt_tcp_port.h"

#include <QTimer>

#include "link/line_settings.h"
#include "link/qt_serial_port.h"

#ifdef Q_OS_LINUX
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#endif

namespace morvane {

namespace {

// Bytes the system has not taken within this time mean a peer that no longer reads: the
// connection is given up rather than our buffer left to grow.
constexpr int kWriteTimeoutMs = 2000;
// Bounds one read when the encoder never stops talking: what is left waits for the next read.
constexpr int kMaxReadRounds = 64;

#ifdef Q_OS_LINUX
// A peer that is gone without a word (switched off, cable pulled, a device server that hung) is
// noticed within about 25 s: the first probe after 10 s of silence, then three more 5 s apart;
// the same bound holds for bytes sent and never acknowledged.
constexpr int kKeepIdleSeconds = 10;
constexpr int kKeepIntervalSeconds = 5;
constexpr int kKeepProbes = 3;
constexpr unsigned kUnacknowledgedLimitMs =
    (kKeepIdleSeconds + kKeepIntervalSeconds * kKeepProbes) * 1000;
#endif

}  // namespace

QtTcpPort::QtTcpPort() {
  QObject::connect(&socket_, &QAbstractSocket::disconnected, &socket_, [this] { OnLost(); });
  // A zero-time wait that found nothing reports a time-out; that is no failure.
  QObject::connect(&socket_, &QAbstractSocket::errorOccurred, &socket_,
                   [this](QAbstractSocket::SocketError error) {
                     if (error != QAbstractSocket::SocketTimeoutError) {
                       OnLost();
                     }
                   });
  QObject::connect(&socket_, &QAbstractSocket::connected, &socket_, [this] {
    if (!pending_) {
      return;  // start-up's own wait
    }
    // Told from the event loop, outside the socket's own signal: the listener opens the port
    // and may start an exchange at once.
    QTimer::singleShot(0, &socket_, [this] {
      if (pending_ && on_ready_) {
        on_ready_();
      }
    });
  });
}

QtTcpPort::~QtTcpPort() {
  // No signal of the closing socket may reach a half-destroyed port.
  QObject::disconnect(&socket_, nullptr, nullptr, nullptr);
  socket_.abort();
}

std::optional<std::string> QtTcpPort::Open(const PortAddress& address, const LineSettings&) {
  if (!address.network) {
    return "not a network address";
  }
  open_ = false;
  failed_ = false;
  name_ = NetworkPortName(*address.network);
  return reached_ ? ConnectInBackground(*address.network) : ConnectAndWait(*address.network);
}

void QtTcpPort::StartConnecting(const NetworkAddress& target) {
  socket_.abort();
  socket_.setReadBufferSize(kMaxReceivedBytes);
  socket_.connectToHost(QString::fromStdString(target.host), target.port);
}

std::optional<std::string> QtTcpPort::ConnectAndWait(const NetworkAddress& target) {
  pending_ = false;
  StartConnecting(target);
  if (!socket_.waitForConnected(kConnectTimeoutMs)) {
    const std::string reason =
        socket_.error() == QAbstractSocket::SocketTimeoutError
            ? "no connection within " + std::to_string(kConnectTimeoutMs / 1000) + " s"
            : socket_.errorString().toStdString();
    socket_.abort();
    return "Cannot connect to " + name_ + ": " + reason;
  }
  reached_ = true;
  TuneConnection();
  return std::nullopt;
}

std::optional<std::string> QtTcpPort::ConnectInBackground(const NetworkAddress& target) {
  if (pending_ && socket_.state() == QAbstractSocket::ConnectedState) {
    pending_ = false;
    TuneConnection();
    return std::nullopt;
  }
  // A name still being looked up is left to finish; any other attempt older than start-up's
  // wait is given up and made again.
  const bool still_trying = pending_ && socket_.state() != QAbstractSocket::UnconnectedState;
  if (still_trying && (socket_.state() == QAbstractSocket::HostLookupState ||
                       !pending_since_.hasExpired(kConnectTimeoutMs))) {
    return "still connecting to " + name_;
  }
  StartConnecting(target);
  pending_ = true;
  pending_since_.start();
  return "connecting to " + name_;
}

void QtTcpPort::TuneConnection() {
  open_ = true;
  // Each command goes out at once as one segment, not held back to be joined with the next.
  socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
  socket_.setSocketOption(QAbstractSocket::KeepAliveOption, 1);
#ifdef Q_OS_LINUX
  const auto fd = static_cast<int>(socket_.socketDescriptor());
  (void)setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &kKeepIdleSeconds, sizeof kKeepIdleSeconds);
  (void)setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &kKeepIntervalSeconds,
                   sizeof kKeepIntervalSeconds);
  (void)setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &kKeepProbes, sizeof kKeepProbes);
  (void)setsockopt(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, &kUnacknowledgedLimitMs,
                   sizeof kUnacknowledgedLimitMs);
#endif
}

void QtTcpPort::OnLost() {
  if (!open_ || failed_) {
    return;
  }
  failed_ = true;
  // The socket may be inside its own read here, so it is closed from the event loop.
  QTimer::singleShot(0, &socket_, [this] {
    if (!failed_) {
      return;  // opened again meanwhile
    }
    Close();
    if (on_failure_) {
      on_failure_();
    }
  });
}

void QtTcpPort::Close() {
  open_ = false;
  pending_ = false;
  // Nothing waits in our own buffer (Write hands every byte over), so nothing is lost here.
  socket_.abort();
}

bool QtTcpPort::Write(std::string_view bytes) {
  if (!open_ || failed_) {
    return false;
  }
  const auto size = static_cast<qint64>(bytes.size());
  if (socket_.write(bytes.data(), size) != size) {
    return false;
  }
  // The wait after a command is the encoder's time to answer: it must not begin while bytes
  // still sit in our own buffer.
  while (socket_.bytesToWrite() > 0) {
    if (!socket_.waitForBytesWritten(kWriteTimeoutMs)) {
      return false;
    }
  }
  return true;
}

std::optional<std::string> QtTcpPort::ReadAll() {
  if (!open_ || failed_) {
    return std::nullopt;
  }
  // A zero timeout only collects what the system already holds; it never waits.
  for (int round = 0; round < kMaxReadRounds && socket_.waitForReadyRead(0); ++round) {
  }
  if (socket_.state() != QAbstractSocket::ConnectedState) {
    OnLost();
    return std::nullopt;
  }
  const QByteArray bytes = socket_.read(kMaxReceivedBytes);
  if (bytes.size() >= kMaxReceivedBytes) {
    // As on the serial port: a full buffer means more is waiting, older than any answer still to
    // come, so it goes rather than come in front of the next command's answer.
    int round = 0;
    do {
      (void)socket_.skip(socket_.bytesAvailable());
    } while (++round < kMaxReadRounds && socket_.waitForReadyRead(0));
  }
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace morvane
