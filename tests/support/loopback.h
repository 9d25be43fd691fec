#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>

namespace morvane::testing {

// A connection to a loopback port; when refused, a socket on which every later call fails.
inline int ConnectToLoopback(uint16_t port) {
  const sockaddr_in to{AF_INET, htons(port), {htonl(INADDR_LOOPBACK)}, {}};
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  (void)connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof to);
  return fd;
}

// A free loopback TCP port that refuses connections (backlog < 0) or listens. With a backlog of 0
// one waiting connection fills it, and the next is left unanswered, as by a host that is not there.
struct LoopbackPort {
  explicit LoopbackPort(int backlog) {
    sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    socklen_t length = sizeof address;
    (void)bind(fd, reinterpret_cast<sockaddr*>(&address), length);
    (void)(backlog >= 0 && listen(fd, backlog) == 0);
    (void)getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
  }
  ~LoopbackPort() { close(fd); }

  int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  uint16_t port = 0;
};

}  // namespace morvane::testing
