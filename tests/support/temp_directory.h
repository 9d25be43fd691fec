#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace morvane::testing {

// A fresh directory for files a test puts on the real file system; removed with everything in it,
// even what a test made unreadable.
class TempDirectory {
 public:
  TempDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "morvane-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data()) != nullptr ? pattern : "";
  }
  ~TempDirectory() {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, ignored)) {
      std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all, ignored);
    }
    std::filesystem::remove_all(path_, ignored);
  }
  TempDirectory(const TempDirectory&) = delete;
  TempDirectory& operator=(const TempDirectory&) = delete;

  [[nodiscard]] const std::string& path() const { return path_; }
  [[nodiscard]] std::string PathOf(const std::string& name) const { return path_ + "/" + name; }
  // Replaces whatever stands at name (a file, a directory, a pipe) by a file with these bytes.
  void Write(const std::string& name, const std::string& content) const {
    std::error_code ignored;
    std::filesystem::remove_all(PathOf(name), ignored);
    std::ofstream(PathOf(name), std::ios::binary) << content;
  }

 private:
  std::string path_;
};

}  // namespace morvane::testing
