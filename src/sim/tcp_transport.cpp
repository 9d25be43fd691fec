#include "sim/tcp_transport.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace morvane::sim {

namespace {
constexpr std::size_t kReadChunk = 4096;
constexpr int kBacklog = 4;

std::runtime_error SystemError(const std::string& what) {
  return std::runtime_error(what + ": " + std::strerror(errno));
}

// The first address of host that takes a listening socket.
int Listen(const std::string& host, uint16_t port) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
  addrinfo* found = nullptr;
  const int lookup = getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found);
  if (lookup != 0) {
    throw std::runtime_error("cannot listen on " + host + ": " + gai_strerror(lookup));
  }
  int fd = -1;
  int error = 0;
  for (const addrinfo* a = found; a != nullptr && fd < 0; a = a->ai_next) {
    fd = socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
    // Restarted at once on the same port, as a station's encoder may be, while the last
    // connection still lingers in the system.
    const int on = 1;
    if (fd >= 0 && (setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0 ||
                    bind(fd, a->ai_addr, a->ai_addrlen) != 0 || listen(fd, kBacklog) != 0)) {
      error = errno;
      close(fd);
      fd = -1;
    }
  }
  freeaddrinfo(found);
  if (fd < 0) {
    errno = error;
    throw SystemError("cannot listen on " + host + ":" + std::to_string(port));
  }
  return fd;
}

uint16_t BoundPort(int fd) {
  sockaddr_storage address{};
  socklen_t length = sizeof address;
  if (getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    throw SystemError("getsockname");
  }
  const auto& any = reinterpret_cast<const sockaddr&>(address);
  return ntohs(any.sa_family == AF_INET6 ? reinterpret_cast<const sockaddr_in6&>(address).sin6_port
                                         : reinterpret_cast<const sockaddr_in&>(address).sin_port);
}
}  // namespace

TcpTransport::TcpTransport(const std::string& host, uint16_t port)
    : host_(host), listen_fd_(Listen(host, port)) {
  try {
    port_ = BoundPort(listen_fd_);
  } catch (...) {
    close(listen_fd_);
    throw;
  }
}

TcpTransport::~TcpTransport() {
  DropController();
  close(listen_fd_);
}

std::string TcpTransport::Where() const {
  const bool ipv6 = host_.find(':') != std::string::npos;
  return "listening on " + (ipv6 ? "[" + host_ + "]" : host_) + ":" + std::to_string(port_);
}

void TcpTransport::DropController() {
  if (client_fd_ >= 0) {
    close(client_fd_);
    client_fd_ = -1;
  }
}

Transport::Received TcpTransport::Receive(int timeout_ms) {
  pollfd fds[2] = {{listen_fd_, POLLIN, 0}, {client_fd_, POLLIN, 0}};  // -1 is not polled
  const int ready = poll(fds, 2, timeout_ms);
  if (ready < 0 && errno != EINTR) {
    throw SystemError("poll");
  }
  Received received;
  if (ready <= 0) {
    return received;
  }
  if ((fds[0].revents & POLLIN) != 0) {
    const int client = accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client >= 0) {
      DropController();
      client_fd_ = client;
      const int on = 1;
      (void)setsockopt(client_fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
      received.new_controller = true;
      return received;
    }
  }
  if (client_fd_ >= 0 && fds[1].revents != 0) {
    char buffer[kReadChunk];
    const ssize_t count = read(client_fd_, buffer, sizeof buffer);
    if (count > 0) {
      received.bytes.assign(buffer, static_cast<std::size_t>(count));
    } else if (count == 0 || (errno != EINTR && errno != EAGAIN)) {
      DropController();  // the controller has gone; the next one will connect anew
    }
  }
  return received;
}

void TcpTransport::Send(std::string_view bytes) {
  std::size_t sent = 0;
  while (client_fd_ >= 0 && sent < bytes.size()) {
    // Never blocks: a controller that does not read loses what does not fit, as on a serial line.
    const ssize_t count =
        send(client_fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (count < 0) {
      if (errno == EINTR) {
        continue;
      }
      if (errno != EAGAIN && errno != EWOULDBLOCK) {
        DropController();
      }
      return;
    }
    sent += static_cast<std::size_t>(count);
  }
}

}  // namespace morvane::sim
