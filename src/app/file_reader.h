#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace morvane {

// One read of a file: its content, or why it could not be read, in the system's words ("No such
// file or directory", "Permission denied", "Is a directory").
struct FileRead {
  std::optional<std::string> content;
  std::string error;
};

// Files are opened, read and closed within one call; nothing is held open between ticks.
class FileReader {
 public:
  virtual ~FileReader() = default;
  // At most max_bytes from the start of the file; no content when it cannot be read (missing, a
  // directory, no access).
  [[nodiscard]] virtual FileRead ReadPrefix(const std::string& path, std::size_t max_bytes) = 0;
  // Names of the entries of a directory; empty when it cannot be listed.
  [[nodiscard]] virtual std::vector<std::string> ListDirectory(const std::string& path) = 0;
  // Why the device at path cannot be the encoder's serial port (missing, not a terminal, no
  // access for this user), or std::nullopt when it can be opened as one.
  [[nodiscard]] virtual std::optional<std::string> SerialDeviceProblem(const std::string& path) = 0;
};

}  // namespace morvane
