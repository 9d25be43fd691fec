#include "sim/pty_transport.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace morvane::sim {

namespace {
constexpr std::size_t kReadChunk = 4096;

std::runtime_error SystemError(const std::string& what) {
  return std::runtime_error(what + ": " + std::strerror(errno));
}

void MakeRaw(int fd) {
  termios settings{};
  if (tcgetattr(fd, &settings) != 0) {
    throw SystemError("tcgetattr");
  }
  cfmakeraw(&settings);
  if (tcsetattr(fd, TCSANOW, &settings) != 0) {
    throw SystemError("tcsetattr");
  }
}
}  // namespace

PtyTransport::PtyTransport(std::string link_path) : link_path_(std::move(link_path)) {
  master_fd_ = posix_openpt(O_RDWR | O_NOCTTY);
  if (master_fd_ < 0) {
    throw SystemError("posix_openpt");
  }
  if (grantpt(master_fd_) != 0 || unlockpt(master_fd_) != 0) {
    close(master_fd_);
    throw SystemError("grantpt/unlockpt");
  }
  const char* name = ptsname(master_fd_);
  if (name == nullptr) {
    close(master_fd_);
    throw SystemError("ptsname");
  }
  device_path_ = name;
  slave_fd_ = open(device_path_.c_str(), O_RDWR | O_NOCTTY);
  if (slave_fd_ < 0) {
    close(master_fd_);
    throw SystemError("open " + device_path_);
  }
  // Bytes must pass unchanged in both directions: no echo, no CR/LF translation.
  MakeRaw(slave_fd_);
  MakeRaw(master_fd_);
  fcntl(master_fd_, F_SETFD, FD_CLOEXEC);
  fcntl(slave_fd_, F_SETFD, FD_CLOEXEC);

  if (!link_path_.empty()) {
    struct stat existing {};
    if (lstat(link_path_.c_str(), &existing) == 0 && S_ISLNK(existing.st_mode)) {
      unlink(link_path_.c_str());
    }
    if (symlink(device_path_.c_str(), link_path_.c_str()) != 0) {
      const std::runtime_error error = SystemError("symlink " + link_path_);
      close(slave_fd_);
      close(master_fd_);
      throw error;
    }
  }
}

PtyTransport::~PtyTransport() {
  if (!link_path_.empty()) {
    unlink(link_path_.c_str());
  }
  close(slave_fd_);
  close(master_fd_);
}

Transport::Received PtyTransport::Receive(int timeout_ms) {
  pollfd fd{master_fd_, POLLIN, 0};
  const int ready = poll(&fd, 1, timeout_ms);
  if (ready < 0 && errno != EINTR) {
    throw SystemError("poll");
  }
  Received received;
  if (ready > 0 && (fd.revents & POLLIN) != 0) {
    char buffer[kReadChunk];
    const ssize_t count = read(master_fd_, buffer, sizeof buffer);
    if (count > 0) {
      received.bytes.assign(buffer, static_cast<std::size_t>(count));
    }
  }
  return received;
}

void PtyTransport::Send(std::string_view bytes) {
  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t count = write(master_fd_, bytes.data() + written, bytes.size() - written);
    if (count < 0) {
      if (errno == EINTR) {
        continue;
      }
      return;  // the line is gone; the controller will see no answer
    }
    written += static_cast<std::size_t>(count);
  }
}

}  // namespace morvane::sim
