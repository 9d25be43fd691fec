#pragma once

#include <string>

#include "app/file_reader.h"

namespace morvane {

// With MetadataSource=push the metadata file is the line last pushed over the web. The watcher
// reads it through this reader as it would read the file, so the pushed line is cut at its first
// CR, loses its NUL bytes and is converted by TextEncoding exactly like a file's first line. Before
// the first push it reads as an empty file. Every other file is read from the disk.
class PushedMetadataReader : public FileReader {
 public:
  explicit PushedMetadataReader(FileReader& files) : files_(files) {}

  // The path the watcher reads the metadata from; set once the configuration is known.
  void TakeOver(std::string metadata_path) { path_ = std::move(metadata_path); }
  void Push(std::string line) { line_ = std::move(line); }

  [[nodiscard]] FileRead ReadPrefix(const std::string& path, std::size_t max_bytes) override {
    if (!path_.empty() && path == path_) {
      return {line_.substr(0, max_bytes), {}};
    }
    return files_.ReadPrefix(path, max_bytes);
  }
  [[nodiscard]] std::vector<std::string> ListDirectory(const std::string& path) override {
    return files_.ListDirectory(path);
  }
  [[nodiscard]] std::optional<std::string> SerialDeviceProblem(const std::string& path) override {
    return files_.SerialDeviceProblem(path);
  }

 private:
  FileReader& files_;
  std::string path_;
  std::string line_;
};

}  // namespace morvane
