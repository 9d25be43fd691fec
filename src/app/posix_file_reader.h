#pragma once

#include "app/file_reader.h"

namespace morvane {

// Files on the local file system. Only regular files are read: a directory, a device or a named
// pipe put where the metadata file should be must not block or flood the controller.
class PosixFileReader : public FileReader {
 public:
  [[nodiscard]] FileRead ReadPrefix(const std::string& path, std::size_t max_bytes) override;
  [[nodiscard]] std::vector<std::string> ListDirectory(const std::string& path) override;
  [[nodiscard]] std::optional<std::string> SerialDeviceProblem(const std::string& path) override;
};

}  // namespace morvane
