#include "app/display_probe.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstddef>
#include <cstring>

namespace morvane {

namespace {

constexpr int kX11FirstTcpPort = 6000;
constexpr std::string_view kX11SocketDirectory = "/tmp/.X11-unix/X";
// A remote display that takes longer than this to answer would be of no use anyway.
constexpr int kConnectTimeoutMs = 2000;

class Socket {
 public:
  explicit Socket(int fd) : fd_(fd) {}
  ~Socket() {
    if (fd_ >= 0) {
      ::close(fd_);
    }
  }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  [[nodiscard]] int get() const { return fd_; }

 private:
  int fd_;
};

bool ConnectsLocally(const std::string& path, bool abstract) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::size_t offset = abstract ? 1 : 0;  // an abstract name starts with a NUL
  if (path.size() + offset >= sizeof address.sun_path) {
    return false;
  }
  std::memcpy(address.sun_path + offset, path.data(), path.size());
  const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset +
                                             path.size() + (abstract ? 0 : 1));
  const Socket socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  return socket.get() >= 0 &&
         ::connect(socket.get(), reinterpret_cast<const sockaddr*>(&address), length) == 0;
}

bool ConnectsOverTcp(const std::string& host, int port) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) {
    return false;
  }
  bool reached = false;
  for (const addrinfo* at = found; at != nullptr && !reached; at = at->ai_next) {
    const Socket socket(
        ::socket(at->ai_family, at->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, at->ai_protocol));
    if (socket.get() < 0) {
      continue;
    }
    if (::connect(socket.get(), at->ai_addr, at->ai_addrlen) == 0) {
      reached = true;
      break;
    }
    if (errno != EINPROGRESS) {
      continue;
    }
    pollfd waiting{socket.get(), POLLOUT, 0};
    int error = 0;
    socklen_t size = sizeof error;
    reached = poll(&waiting, 1, kConnectTimeoutMs) == 1 &&
              getsockopt(socket.get(), SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
  }
  freeaddrinfo(found);
  return reached;
}

bool Reachable(const DisplayEndpoint& endpoint) {
  if (!endpoint.socket_path.empty()) {
    return (endpoint.abstract_too && ConnectsLocally(endpoint.socket_path, true)) ||
           ConnectsLocally(endpoint.socket_path, false);
  }
  return ConnectsOverTcp(endpoint.host, endpoint.port);
}

bool Named(const char* value) {
  return value != nullptr && *value != '\0';
}

}  // namespace

std::optional<DisplayEndpoint> X11Endpoint(std::string_view display) {
  const std::size_t colon = display.rfind(':');
  if (colon == std::string_view::npos) {
    return std::nullopt;
  }
  std::string_view host = display.substr(0, colon);
  std::string_view number = display.substr(colon + 1);
  number = number.substr(0, number.find('.'));
  int n = -1;
  const auto [stop, error] = std::from_chars(number.data(), number.data() + number.size(), n);
  // "host::N" (DECnet), a launchd socket path, a protocol prefix: not for us to judge.
  if (number.empty() || error != std::errc() || stop != number.data() + number.size() || n < 0 ||
      (!host.empty() && host.back() == ':') || host.find('/') != std::string_view::npos) {
    return std::nullopt;
  }
  DisplayEndpoint endpoint;
  if (host.empty() || host == "unix") {
    endpoint.socket_path = std::string(kX11SocketDirectory) + std::to_string(n);
    endpoint.abstract_too = true;
    return endpoint;
  }
  if (host.size() > 2 && host.front() == '[' && host.back() == ']') {
    host = host.substr(1, host.size() - 2);
  }
  endpoint.host = std::string(host);
  endpoint.port = kX11FirstTcpPort + n;
  return endpoint;
}

std::optional<DisplayEndpoint> WaylandEndpoint(std::string_view wayland_display,
                                               const char* runtime_dir) {
  DisplayEndpoint endpoint;
  if (!wayland_display.empty() && wayland_display.front() == '/') {
    endpoint.socket_path = std::string(wayland_display);
  } else if (Named(runtime_dir)) {
    endpoint.socket_path = std::string(runtime_dir) + "/" + std::string(wayland_display);
  } else {
    return std::nullopt;  // the display's own library would find no socket either
  }
  return endpoint;
}

bool DisplayReachable(const char* display, const char* wayland_display, const char* runtime_dir) {
  if (Named(wayland_display)) {
    const std::optional<DisplayEndpoint> endpoint = WaylandEndpoint(wayland_display, runtime_dir);
    if (endpoint && Reachable(*endpoint)) {
      return true;
    }
  }
  if (Named(display)) {
    const std::optional<DisplayEndpoint> endpoint = X11Endpoint(display);
    return !endpoint || Reachable(*endpoint);
  }
  return false;
}

}  // namespace morvane
