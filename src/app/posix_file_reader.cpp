#include "app/posix_file_reader.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace morvane {

namespace {

// Closes the descriptor on every way out.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) {
      ::close(fd_);
    }
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  [[nodiscard]] int get() const { return fd_; }

 private:
  int fd_;
};

std::string SystemReason(int error) {
  return std::strerror(error);
}

// A directory and a device say what they are; anything else that is not a plain file is named so.
std::string NotRegularReason(mode_t mode) {
  return S_ISDIR(mode) ? SystemReason(EISDIR) : std::string("Not a regular file");
}

}  // namespace

FileRead PosixFileReader::ReadPrefix(const std::string& path, std::size_t max_bytes) {
  // O_NONBLOCK: opening a named pipe must not wait for a writer.
  const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (file.get() < 0) {
    return {std::nullopt, SystemReason(errno)};
  }
  struct stat info {};
  if (::fstat(file.get(), &info) != 0) {
    return {std::nullopt, SystemReason(errno)};
  }
  if (!S_ISREG(info.st_mode)) {
    return {std::nullopt, NotRegularReason(info.st_mode)};
  }
  std::string content;
  while (content.size() < max_bytes) {
    char buffer[8192];
    const std::size_t wanted = std::min(sizeof buffer, max_bytes - content.size());
    const ssize_t got = ::read(file.get(), buffer, wanted);
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got < 0) {
      return {std::nullopt, SystemReason(errno)};
    }
    if (got == 0) {
      break;
    }
    content.append(buffer, static_cast<std::size_t>(got));
  }
  return {std::move(content), {}};
}

std::vector<std::string> PosixFileReader::ListDirectory(const std::string& path) {
  std::vector<std::string> names;
  DIR* directory = ::opendir(path.empty() ? "." : path.c_str());
  if (directory == nullptr) {
    return names;
  }
  while (const dirent* entry = ::readdir(directory)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") {
      names.push_back(name);
    }
  }
  ::closedir(directory);
  return names;
}

std::optional<std::string> PosixFileReader::SerialDeviceProblem(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    return SystemReason(errno);
  }
  if (!S_ISCHR(info.st_mode)) {
    return S_ISDIR(info.st_mode) ? SystemReason(EISDIR) : std::string("Not a device");
  }
  if (::access(path.c_str(), R_OK | W_OK) != 0) {
    return SystemReason(errno) +
           " (this user must be able to read and write it: usually a member "
           "of the group dialout)";
  }
  // O_NONBLOCK and O_NOCTTY: a port without carrier must not block, nor become our terminal.
  const FileDescriptor device(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
  if (device.get() < 0) {
    const int error = errno;
    return SystemReason(error) +
           (error == EBUSY ? " (another program holds it, perhaps the rdsmorvane service)" : "");
  }
  // /dev/null and its kind are character devices too, but no line settings can be put on them.
  if (::isatty(device.get()) == 0) {
    return std::string("Not a serial port (the device is no terminal)");
  }
  return std::nullopt;
}

}  // namespace morvane
