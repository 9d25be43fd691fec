#include "radiotext/metadata_line.h"

#include <optional>

namespace morvane {

std::string FirstMetadataLine(std::string_view content) {
  return std::string(content.substr(0, content.find('\r')));
}

std::string ReadMetadataLine(FileReader& files, const std::string& path) {
  const std::optional<std::string> content = files.ReadPrefix(path, kMetadataReadLimitBytes);
  return content ? FirstMetadataLine(*content) : std::string();
}

}  // namespace morvane
