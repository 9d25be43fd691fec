#include "radiotext/metadata_line.h"

#include "text/text_helpers.h"

#include <algorithm>
#include <optional>

namespace morvane {

std::string FirstMetadataLine(std::string_view content) {
  return std::string(FirstLine(content));
}

std::string ReadMetadataLine(FileReader& files, const std::string& path) {
  const std::optional<std::string> content = files.ReadPrefix(path, kMetadataReadLimitBytes);
  if (!content) {
    return {};
  }
  std::string line = FirstMetadataLine(*content);
  line.erase(std::remove(line.begin(), line.end(), '\0'), line.end());
  return line;
}

}  // namespace morvane
