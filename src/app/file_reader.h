#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace morvane {

// Files are opened, read and closed within one call; nothing is held open between ticks.
class FileReader {
 public:
  virtual ~FileReader() = default;
  // At most max_bytes from the start of the file; std::nullopt when it cannot be read
  // (missing, a directory, no access).
  [[nodiscard]] virtual std::optional<std::string> ReadPrefix(const std::string& path,
                                                              std::size_t max_bytes) = 0;
  // Names of the entries of a directory; empty when it cannot be listed.
  [[nodiscard]] virtual std::vector<std::string> ListDirectory(const std::string& path) = 0;
};

}  // namespace morvane
