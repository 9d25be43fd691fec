#include "radiotext/metadata_line.h"

#include <algorithm>

#include "text/text_helpers.h"

namespace morvane {

namespace {

std::string WithoutNuls(std::string_view text) {
  std::string kept(text);
  kept.erase(std::remove(kept.begin(), kept.end(), '\0'), kept.end());
  return kept;
}

}  // namespace

std::string FirstMetadataLine(std::string_view content) {
  return std::string(FirstLine(content));
}

std::string MetadataFileProblem(const std::string& path, const std::string& reason) {
  return "metadata file " + path + " cannot be read: " + reason;
}

MetadataRead ReadMetadataLine(FileReader& files, const std::string& path, TextEncoding encoding) {
  const FileRead read = files.ReadPrefix(path, kMetadataReadLimitBytes);
  if (!read.content) {
    return {{}, read.error};
  }
  if (const std::optional<std::string> utf8 = Utf16ToUtf8(*read.content)) {
    return {ToRds(WithoutNuls(FirstLine(*utf8)), TextEncoding::Utf8), std::nullopt};
  }
  return {ToRds(WithoutNuls(FirstLine(*read.content)), encoding), std::nullopt};
}

}  // namespace morvane
