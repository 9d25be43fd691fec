#include "app/posix_file_reader.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

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

}  // namespace

std::optional<std::string> PosixFileReader::ReadPrefix(const std::string& path,
                                                       std::size_t max_bytes) {
  // O_NONBLOCK: opening a named pipe must not wait for a writer.
  const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  struct stat info {};
  if (file.get() < 0 || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
    return std::nullopt;
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
      return std::nullopt;
    }
    if (got == 0) {
      break;
    }
    content.append(buffer, static_cast<std::size_t>(got));
  }
  return content;
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

}  // namespace morvane
